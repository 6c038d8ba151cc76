#pragma once
// JsonText: writes JSON text with members in the order they are added, numbers in their exact
// or shortest round-trip form, and UTF-8 strings escaped so that any input gives valid JSON.
// Qt's own writer sorts keys and cannot write a decimal's exact text, so the files and the
// command line's output use this instead.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quibsum {

class JsonText {
public:
    // escapeSlash: write "/" as "\/", as the index files have always been written.
    explicit JsonText(bool escapeSlash = false) : escapeSlash_(escapeSlash) {}

    JsonText& beginObject();
    JsonText& endObject();
    JsonText& beginArray();
    JsonText& endArray();
    JsonText& key(std::string_view name);

    JsonText& string(std::string_view utf8);
    JsonText& number(double value);  // shortest text that reads back as the same double
    JsonText& integer(std::int64_t value);
    JsonText& boolean(bool value);
    JsonText& null();
    JsonText& raw(std::string_view numberText);  // already valid JSON, e.g. a decimal's exact text

    const std::string& text() const { return text_; }

private:
    void separate();

    std::string text_;
    // Per open container: whether a value has been written in it yet.
    std::vector<bool> hasValue_;
    bool afterKey_ = false;
    bool escapeSlash_;
};

}  // namespace quibsum
