#include "QuibSum/cli/SheetInput.h"
#include "QuibSum/common/CommandText.h"

#include <QString>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <istream>

#include "QuibSum/cli/TerminalText.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSumCore/LineEnds.h"
#include "QuibSumFiles/StoredFile.h"

namespace quibsum::SheetInput {

namespace {

std::string tooLargeText() {
    return CommandText::say("it is larger than the %1 limit", "nó vượt giới hạn %1",
                            {StoredFile::sizeText(SheetStore::maxTextBytes)});
}

}  // namespace

std::optional<std::string> read(const std::string& path, std::istream& in, std::string& error) {
    std::string bytes;
    char buffer[64 * 1024];
    if (path == "-") {
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
            if (bytes.size() + static_cast<std::size_t>(in.gcount()) > SheetStore::maxTextBytes) {
                error = CommandText::say("cannot read standard input: %1", "không đọc được đầu vào chuẩn: %1",
                                         {tooLargeText()});
                return std::nullopt;
            }
            bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        }
        if (in.bad()) {
            error = CommandText::say("cannot read standard input", "không đọc được đầu vào chuẩn");
            return std::nullopt;
        }
        return bytes;
    }
    // A file name as an error message quotes it: control characters and escape sequences in
    // it must not reach the terminal.
    auto failed = [&](const std::string& reason) {
        error = CommandText::say("cannot read '%1': %2", "không đọc được '%1': %2",
                                 {TerminalText::printable(path), reason});
        return std::nullopt;
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return failed(std::strerror(errno));
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > SheetStore::maxTextBytes) {
            const std::string reason = n < 0 ? std::string(std::strerror(errno)) : tooLargeText();
            ::close(fd);
            return failed(reason);
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::string textFromBytes(const std::string& bytes) {
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    text = LineEnds::withLineFeeds(std::move(text));
    if (text.endsWith(u'\n')) text.chop(1);
    return text.toStdString();
}

}  // namespace quibsum::SheetInput
