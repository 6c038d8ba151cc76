#include "QuibSumRates/VCBProvider.h"

#include <expat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "QuibSumRates/FeedDates.h"
#include "QuibSumRates/RateProviderError.h"

namespace quibsum::VCBProvider {
namespace {

// No date is longer; a longer text is junk or an attempt to make us buffer it.
constexpr std::size_t maxDateText = 200;
constexpr std::size_t chunkBytes = 64 * 1024;

struct FeedReader {
    XML_Parser parser = nullptr;
    std::vector<std::pair<std::string, BankQuote>> quotes;
    std::string date;
    bool readingDate = false;
    bool invalid = false;
    std::string problem;

    // One bad element condemns the table, so there is no point reading on.
    void reject(std::string why) {
        if (invalid) return;
        problem = std::move(why);
        invalid = true;
        XML_StopParser(parser, XML_FALSE);
    }
};

const char* attribute(const XML_Char** attributes, const char* name) {
    for (const XML_Char** a = attributes; a[0] != nullptr; a += 2) {
        if (std::strcmp(a[0], name) == 0) return a[1];
    }
    return nullptr;
}

// "25,130.00" -> 25130.00. Blanks around the number are tolerated, nothing else.
std::optional<Decimal> readAmount(std::string_view text) {
    std::string digits;
    digits.reserve(text.size());
    for (char c : text) {
        if (c != ',') digits.push_back(c);
    }
    const auto first = digits.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::nullopt;
    const auto last = digits.find_last_not_of(" \t\r\n");
    return Decimal::parse(std::string_view(digits).substr(first, last - first + 1));
}

void readExrate(FeedReader& reader, const XML_Char** attributes) {
    const char* code = attribute(attributes, "CurrencyCode");
    if (code == nullptr || *code == '\0') return reader.reject("a currency without a code");

    struct Row {
        const char* attribute;
        std::optional<Decimal> BankQuote::*member;
    };
    static constexpr Row rows[] = {
        {"Buy", &BankQuote::buy}, {"Transfer", &BankQuote::transfer}, {"Sell", &BankQuote::sell}};

    BankQuote quote;
    for (const Row& row : rows) {
        const char* text = attribute(attributes, row.attribute);
        if (text == nullptr || std::strcmp(text, "-") == 0) continue;
        std::optional<Decimal> amount = readAmount(text);
        if (!amount || amount->isNaN() || !(*amount > Decimal(0)))
            return reader.reject(std::string("bad ") + row.attribute + " rate for " + code);
        quote.*row.member = *amount;
    }
    std::string upper(code);
    std::transform(upper.begin(), upper.end(), upper.begin(), asciiUpper);
    reader.quotes.emplace_back(std::move(upper), quote);
}

void XMLCALL startElement(void* context, const XML_Char* name, const XML_Char** attributes) {
    auto& reader = *static_cast<FeedReader*>(context);
    reader.readingDate = std::strcmp(name, "DateTime") == 0;
    if (std::strcmp(name, "Exrate") == 0) readExrate(reader, attributes);
}

void XMLCALL endElement(void* context, const XML_Char* name) {
    auto& reader = *static_cast<FeedReader*>(context);
    if (std::strcmp(name, "DateTime") == 0) reader.readingDate = false;
}

void XMLCALL characters(void* context, const XML_Char* text, int length) {
    auto& reader = *static_cast<FeedReader*>(context);
    if (!reader.readingDate) return;
    if (reader.date.size() + static_cast<std::size_t>(length) > maxDateText) {
        return reader.reject("date text too long");
    }
    reader.date.append(text, static_cast<std::size_t>(length));
}

void XMLCALL entityDeclaration(void* context, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                               const XML_Char*, const XML_Char*, const XML_Char*) {
    auto& reader = *static_cast<FeedReader*>(context);
    reader.reject("the document declares entities");
}

struct ParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n\v\f");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string endpoint() { return "https://portal.vietcombank.com.vn/Usercontrols/TVPortal.TyGia/pXML.aspx"; }

VCBFeed parse(std::string_view body) {
    std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser) throw std::bad_alloc();
    FeedReader reader;
    reader.parser = parser.get();
    XML_SetUserData(parser.get(), &reader);
    XML_SetElementHandler(parser.get(), startElement, endElement);
    XML_SetCharacterDataHandler(parser.get(), characters);
    XML_SetEntityDeclHandler(parser.get(), entityDeclaration);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    bool wellFormed = true;
    do {
        const std::string_view chunk = body.substr(0, chunkBytes);
        body.remove_prefix(chunk.size());
        if (XML_Parse(parser.get(), chunk.data(), static_cast<int>(chunk.size()), body.empty()) != XML_STATUS_OK) {
            wellFormed = false;
            break;
        }
    } while (!body.empty());

    if (reader.invalid) throw RateProviderError::invalidFeed(reader.problem);
    if (!wellFormed) {
        throw RateProviderError::invalidFeed(std::string("malformed XML: ") +
                                             XML_ErrorString(XML_GetErrorCode(parser.get())));
    }
    if (reader.quotes.empty()) throw RateProviderError::invalidFeed("no currency");
    const std::optional<Instant> asOf = FeedDates::parseBankTime(trimmed(reader.date));
    if (!asOf) throw RateProviderError::invalidFeed("unreadable date \"" + reader.date + "\"");
    return VCBFeed{CurrencyTable<BankQuote>(std::move(reader.quotes)), *asOf};
}

}  // namespace quibsum::VCBProvider
