#include "QuibSum/editor/LineIndexedText.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "QuibSumCore/LineEnds.h"

namespace quibsum {

LineIndexedText::LineIndexedText() : starts_{0} {}

LineIndexedText::LineIndexedText(QString text) : bytes_(LineEnds::withLineFeeds(std::move(text)).toUtf8()), starts_{0} {
    // A sheet's stored text is far below 4 GiB (SheetStore::maxTextBytes), which the index's
    // 32-bit offsets reach.
    Q_ASSERT(static_cast<std::size_t>(bytes_.size()) <= UINT32_MAX);
    bytes_.squeeze();  // made for the longest encoding a text could have
    starts_.reserve(static_cast<std::size_t>(std::count(bytes_.cbegin(), bytes_.cend(), '\n')) + 1);
    indexFrom(0);
}

void LineIndexedText::indexFrom(std::size_t offset) {
    const char* data = bytes_.constData();
    const auto size = static_cast<std::size_t>(bytes_.size());
    std::size_t at = offset;
    while (const void* found = at < size ? std::memchr(data + at, '\n', size - at) : nullptr) {
        const auto feed = static_cast<std::size_t>(static_cast<const char*>(found) - data);
        longest_ = std::max(longest_, feed - starts_.back());
        starts_.push_back(static_cast<std::uint32_t>(feed + 1));
        at = feed + 1;
    }
    longest_ = std::max(longest_, size - starts_.back());
}

std::size_t LineIndexedText::lineEnd(std::size_t index) const {
    return index + 1 < starts_.size() ? starts_[index + 1] - 1 : static_cast<std::size_t>(bytes_.size());
}

std::string_view LineIndexedText::line(std::size_t index) const {
    if (index >= starts_.size()) return {};
    const std::size_t start = starts_[index];
    return {bytes_.constData() + start, lineEnd(index) - start};
}

QString LineIndexedText::text(std::size_t first, std::size_t last) const {
    last = std::min(last, starts_.size() - 1);
    if (first > last) return {};
    const std::size_t start = starts_[first];
    return QString::fromUtf8(bytes_.constData() + start, static_cast<qsizetype>(lineEnd(last) - start));
}

std::size_t LineIndexedText::heapBytes() const {
    return static_cast<std::size_t>(bytes_.capacity()) + starts_.capacity() * sizeof(std::uint32_t);
}

void LineIndexedText::append(QStringView added) {
    if (added.isEmpty()) return;
    const auto from = static_cast<std::size_t>(bytes_.size());
    bytes_ += LineEnds::withLineFeeds(added.toString()).toUtf8();
    Q_ASSERT(static_cast<std::size_t>(bytes_.size()) <= UINT32_MAX);
    indexFrom(from);
}

}  // namespace quibsum
