#pragma once
// JsonReader: streams a JSON document and hands each value to a visitor together with the
// member names that lead to it. Numbers arrive as their exact text, so no rate ever passes
// through a binary double. Nothing is kept but the current path, so a large hostile document
// costs no more memory than its text.

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace quibsum {

enum class JsonType { null, boolean, number, string, object, array };

// One step of a path: a member of an object (its name) or an element of an array.
struct JsonStep {
    bool inArray = false;
    std::string name;
};
using JsonPath = std::span<const JsonStep>;

struct JsonValue {
    JsonType type = JsonType::null;
    std::string_view text;  // a number's text or a string's contents
    bool boolean = false;
};

// Whether `path` is exactly the member names `names`, from the root.
bool jsonPathIs(JsonPath path, std::initializer_list<std::string_view> names);

// Calls `visit` for every value in document order; for an object or an array, once before its
// contents. Throws RateDecodingError when the text is not one well-formed UTF-8 JSON document
// or nests deeper than 32 levels; an exception thrown by `visit` stops reading and propagates.
void readJson(std::string_view document, const std::function<void(JsonPath, const JsonValue&)>& visit);

}  // namespace quibsum
