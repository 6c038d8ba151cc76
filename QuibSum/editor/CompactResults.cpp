#include "QuibSum/editor/CompactResults.h"

#include "QuibSum/editor/LineIndexedText.h"
#include "QuibSumCore/StreamingSheet.h"

namespace quibsum {

namespace {

// How many lines go by between two questions whether the work is still wanted.
constexpr std::size_t linesBetweenChecks = 4096;

}  // namespace

std::optional<CompactResults> CompactResults::evaluate(const LineIndexedText& text, Engine engine,
                                                       const std::function<bool()>& stopped) {
    CompactResults out;
    const std::size_t count = text.lineCount();
    out.ends_.reserve(count);
    out.kinds_.reserve(count);
    StreamingSheet sheet(std::move(engine));
    for (std::size_t line = 0; line < count; ++line) {
        if (line % linesBetweenChecks == 0 && stopped && stopped()) return std::nullopt;
        const LineResult& result = sheet.add(text.line(line));
        if (const auto* value = result.asValue()) {
            out.texts_ += value->display;
            out.kinds_.push_back(Kind::value);
        } else if (const auto* error = result.asError()) {
            out.texts_ += error->message;
            out.kinds_.push_back(Kind::error);
        } else {
            out.kinds_.push_back(Kind::note);
        }
        out.ends_.push_back(static_cast<std::uint32_t>(out.texts_.size()));
    }
    out.texts_.shrink_to_fit();
    out.total_ = sheet.total();
    return out;
}

std::string_view CompactResults::text(std::size_t line) const {
    if (line >= ends_.size()) return {};
    const std::size_t start = line == 0 ? 0 : ends_[line - 1];
    return std::string_view(texts_).substr(start, ends_[line] - start);
}

std::size_t CompactResults::heapBytes() const {
    return texts_.capacity() + ends_.capacity() * sizeof(std::uint32_t) + kinds_.capacity() * sizeof(Kind);
}

}  // namespace quibsum
