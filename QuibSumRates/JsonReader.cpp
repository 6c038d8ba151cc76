#include "QuibSumRates/JsonReader.h"

#include <rapidjson/error/en.h>
#include <rapidjson/reader.h>

#include <exception>
#include <vector>

#include "QuibSumRates/RateProviderError.h"

namespace quibsum {
namespace {

constexpr std::size_t maxDepth = 32;

class Handler : public rapidjson::BaseReaderHandler<rapidjson::UTF8<>, Handler> {
public:
    explicit Handler(const std::function<void(JsonPath, const JsonValue&)>& visit) : visit_(visit) {}

    bool Null() { return emit({JsonType::null, {}, false}); }
    bool Bool(bool b) { return emit({JsonType::boolean, {}, b}); }
    bool RawNumber(const char* text, rapidjson::SizeType length, bool) {
        return emit({JsonType::number, std::string_view(text, length), false});
    }
    bool String(const char* text, rapidjson::SizeType length, bool) {
        if (!wellFormed(text, length)) return false;
        return emit({JsonType::string, std::string_view(text, length), false});
    }
    bool StartObject() { return open(JsonType::object); }
    bool Key(const char* text, rapidjson::SizeType length, bool) {
        if (!wellFormed(text, length)) return false;
        path_.back().name.assign(text, length);
        return true;
    }
    bool EndObject(rapidjson::SizeType) { return close(); }
    bool StartArray() { return open(JsonType::array); }
    bool EndArray(rapidjson::SizeType) { return close(); }

    std::exception_ptr failure;
    bool tooDeep = false;

private:
    // The document is checked to be UTF-8, but an escape such as "\\udd05" (half of a
    // surrogate pair, alone) decodes to bytes that are not: refuse it rather than hand on
    // text that nothing else can read back.
    bool wellFormed(const char* text, std::size_t length) {
        for (std::size_t i = 0; i + 1 < length; ++i) {
            if (static_cast<unsigned char>(text[i]) == 0xED && static_cast<unsigned char>(text[i + 1]) >= 0xA0) {
                failure = std::make_exception_ptr(RateDecodingError("unpaired surrogate escape in a string"));
                return false;
            }
        }
        return true;
    }

    bool emit(const JsonValue& value) {
        try {
            visit_(JsonPath(path_), value);
            return true;
        } catch (...) {
            failure = std::current_exception();
            return false;
        }
    }
    bool open(JsonType type) {
        if (!emit({type, {}, false})) return false;
        if (path_.size() >= maxDepth) {
            tooDeep = true;
            return false;
        }
        path_.push_back(JsonStep{type == JsonType::array, {}});
        return true;
    }
    bool close() {
        path_.pop_back();
        return true;
    }

    const std::function<void(JsonPath, const JsonValue&)>& visit_;
    std::vector<JsonStep> path_;
};

}  // namespace

bool jsonPathIs(JsonPath path, std::initializer_list<std::string_view> names) {
    if (path.size() != names.size()) return false;
    auto name = names.begin();
    for (const JsonStep& step : path) {
        if (step.inArray || step.name != *name) return false;
        ++name;
    }
    return true;
}

void readJson(std::string_view document, const std::function<void(JsonPath, const JsonValue&)>& visit) {
    constexpr unsigned flags =
        rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseValidateEncodingFlag;
    Handler handler(visit);
    rapidjson::Reader reader;
    rapidjson::MemoryStream bytes(document.data(), document.size());
    rapidjson::ParseResult result = reader.Parse<flags>(bytes, handler);
    if (handler.failure) std::rethrow_exception(handler.failure);
    if (handler.tooDeep) throw RateDecodingError("JSON nested too deeply");
    if (result.IsError()) {
        throw RateDecodingError(std::string("malformed JSON at offset ") + std::to_string(result.Offset()) + ": " +
                                rapidjson::GetParseError_En(result.Code()));
    }
}

}  // namespace quibsum
