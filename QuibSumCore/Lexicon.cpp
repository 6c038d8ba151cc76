#include "QuibSumCore/Lexicon.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>

#include "QuibSumCore/Utf8.h"

namespace quibsum {

namespace {

constexpr std::string_view kISOCodes =
    "AED AFN ALL AMD ANG AOA ARS AUD AWG AZN BAM BBD BDT BGN BHD BIF BMD BND BOB BOV BRL BSD "
    "BTN BWP BYN BZD CAD CDF CHE CHF CHW CLF CLP CNY COP COU CRC CUP CVE CZK DJF DKK DOP DZD "
    "EGP ERN ETB EUR FJD FKP GBP GEL GHS GIP GMD GNF GTQ GYD HKD HNL HTG HUF IDR ILS INR IQD "
    "IRR ISK JMD JOD JPY KES KGS KHR KMF KPW KRW KWD KYD KZT LAK LBP LKR LRD LSL LYD MAD MDL "
    "MGA MKD MMK MNT MOP MRU MUR MVR MWK MXN MXV MYR MZN NAD NGN NIO NOK NPR NZD OMR PAB PEN "
    "PGK PHP PKR PLN PYG QAR RON RSD RUB RWF SAR SBD SCR SDG SEK SGD SHP SLE SLL SOS SRD SSP "
    "STN SVC SYP SZL THB TJS TMT TND TOP TRY TTD TWD TZS UAH UGX USD USN UYI UYU UYW UZS VED "
    "VES VND VUV WST XAF XAG XAU XBA XBB XBC XBD XCD XCG XDR XOF XPD XPF XPT XSU XTS XUA XXX "
    "YER ZAR ZMW ZWG";

void insertCurrencyCode(LexiconTrie& trie, std::string_view code) {
    trie.insert(utf8::lowered(code), Token::Kind::currency(std::string(code)));
}

// Entries inserted later replace earlier ones with the same key, so the groups go in a fixed order.
LexiconTrie buildWordTrie() {
    LexiconTrie trie;
    const std::pair<Op, std::vector<std::string_view>> opWords[] = {
        {Op::add, {"plus", "and", "with", "cộng"}},
        {Op::subtract, {"minus", "without", "trừ"}},
        {Op::multiply, {"times", "nhân"}},
        {Op::divide, {"divide by", "chia"}},
        {Op::mod, {"mod"}},
        {Op::convert,
         {"in", "to", "into", "sang", "đổi ra", "ra", "bằng", "qua", "thành", "là", "đổi", "quy đổi", "đổi sang",
          "bao nhiêu", "bằng bao nhiêu", "là bao nhiêu", "được bao nhiêu", "ra bao nhiêu", "sang bao nhiêu"}},
    };
    for (const auto& [op, words] : opWords) {
        for (auto word : words) trie.insert(word, Token::Kind::op(op));
    }
    const std::pair<Keyword, std::vector<std::string_view>> keywordWords[] = {
        {Keyword::of, {"of", "của"}},
        {Keyword::on, {"on", "tăng"}},
        {Keyword::off, {"off", "giảm"}},
        {Keyword::what, {"what"}},
        {Keyword::is, {"is"}},
        {Keyword::as, {"as"}},
        {Keyword::asPercent, {"as a %"}},
        {Keyword::buy, {"mua"}},
        {Keyword::sell, {"bán"}},
        {Keyword::sum, {"sum", "total", "tổng"}},
        {Keyword::average, {"avg", "average", "tb"}},
        {Keyword::prev, {"prev", "trên"}},
    };
    for (const auto& [keyword, words] : keywordWords) {
        for (auto word : words) trie.insert(word, Token::Kind::keyword(keyword));
    }
    for (std::size_t at = 0; at < kISOCodes.size(); at += 4) insertCurrencyCode(trie, kISOCodes.substr(at, 3));
    for (auto code : Lexicon::feedCurrencyCodes()) insertCurrencyCode(trie, code);
    const std::pair<std::string_view, std::string_view> currencyNames[] = {
        {"$", "USD"}, {"đô", "USD"},  {"€", "EUR"},    {"euro", "EUR"}, {"đ", "VND"},
        {"₫", "VND"}, {"vnđ", "VND"}, {"đồng", "VND"}, {"¥", "JPY"},    {"£", "GBP"},
    };
    for (const auto& [word, code] : currencyNames) trie.insert(word, Token::Kind::currency(std::string(code)));
    return trie;
}

std::map<std::string, std::string, std::less<>> buildUnitWords() {
    std::map<std::string, std::string, std::less<>> words;
    auto add = [&](const std::string& word, const std::string& symbol) { words[word] = symbol; };
    for (const char* symbol : {"m",  "km",     "cm",  "mm",  "ft",   "yd", "mi",   "nmi", "g", "kg", "lb", "oz", "l",
                               "ml", "gallon", "cup", "tsp", "tbsp", "ha", "acre", "C",   "F", "K",  "b",  "B"}) {
        add(symbol, symbol);
    }
    const std::pair<std::string, std::vector<std::string>> aliases[] = {
        {"inch", {"inches"}}, {"t", {"tấn"}}, {"lạng", {}}, {"kg", {"cân"}}, {"sào", {}},
    };
    for (const auto& [symbol, others] : aliases) {
        add(symbol, symbol);
        for (const auto& word : others) add(word, symbol);
    }
    for (const std::string length : {"m", "km", "cm", "mm", "inch", "ft", "yd", "mi", "nmi"}) {
        const std::string area = length + "²", volume = length + "³";
        for (const auto& word : {area, length + "2", "square " + length}) add(word, area);
        for (const auto& word : {volume, length + "3", "cubic " + length}) add(word, volume);
    }
    for (const std::string prefix : {"k", "M", "G", "T", "P", "E"}) {
        const std::string binary = prefix == "k" ? "K" : prefix;
        for (const auto& word : {prefix + "B", prefix + "b", binary + "iB", binary + "ib"}) add(word, word);
    }
    const std::pair<std::string, std::vector<std::string>> durations[] = {
        {"s", {"second", "seconds"}},    {"min", {"phút", "minute", "minutes"}},
        {"h", {"giờ", "hour", "hours"}}, {"day", {"ngày", "days"}},
        {"week", {"tuần", "weeks"}},     {"month", {"tháng", "months"}},
        {"year", {"năm", "years"}},
    };
    for (const auto& [symbol, others] : durations) {
        add(symbol, symbol);
        for (const auto& word : others) add(word, symbol);
    }
    return words;
}

LexiconTrie buildUnitTrie() {
    LexiconTrie trie;
    for (const auto& [word, symbol] : Lexicon::unitWords()) trie.insert(word, Token::Kind::unit(UnitID{symbol}));
    return trie;
}

std::vector<Lexicon::ScaleWord> buildScaleWords() {
    const std::pair<std::vector<std::string_view>, long long> groups[] = {
        {{"k", "K", "nghìn", "ngàn", "thousand"}, 1000},
        {{"tr", "triệu", "M", "million"}, 1000000},
        {{"tỷ", "ty", "billion"}, 1000000000},
    };
    std::vector<Lexicon::ScaleWord> words;
    for (const auto& [group, value] : groups) {
        for (auto word : group) {
            std::u32string scalars;
            for (std::size_t pos = 0; pos < word.size();) scalars.push_back(utf8::decode(word, pos));
            words.push_back({std::string(word), std::move(scalars), Decimal(value)});
        }
    }
    return words;
}

struct SymbolTable {
    std::vector<std::pair<char32_t, Token::Kind>> entries;
    std::array<std::int8_t, 128> ascii;  // index into entries, or -1

    SymbolTable() {
        entries = {
            {U'+', Token::Kind::op(Op::add)},
            {U'-', Token::Kind::op(Op::subtract)},
            {U'\u2212', Token::Kind::op(Op::subtract)},
            {U'*', Token::Kind::op(Op::multiply)},
            {U'\u00D7', Token::Kind::op(Op::multiply)},
            {U'/', Token::Kind::op(Op::divide)},
            {U'\u00F7', Token::Kind::op(Op::divide)},
            {U'^', Token::Kind::op(Op::power)},
            {U'%', Token::Kind::percent()},
            {U'(', Token::Kind::lparen()},
            {U')', Token::Kind::rparen()},
            {U'=', Token::Kind::assign()},
            {U':', Token::Kind::colon()},
            {U'\u2192', Token::Kind::op(Op::convert)},
            {U'>', Token::Kind::op(Op::convert)},
            {U'@', Token::Kind::at()},
        };
        ascii.fill(-1);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].first < 128) ascii[entries[i].first] = static_cast<std::int8_t>(i);
        }
    }
};

const SymbolTable& symbolTable() {
    static const SymbolTable table;
    return table;
}

}  // namespace

const Lexicon::Trie& Lexicon::wordTrie() {
    static const Trie trie = buildWordTrie();
    return trie;
}

const Lexicon::Trie& Lexicon::unitTrie() {
    static const Trie trie = buildUnitTrie();
    return trie;
}

const std::map<std::string, std::string, std::less<>>& Lexicon::unitWords() {
    static const auto words = buildUnitWords();
    return words;
}

const std::vector<Lexicon::ScaleWord>& Lexicon::scaleWords() {
    static const auto words = buildScaleWords();
    return words;
}

bool Lexicon::startsScaleWord(char32_t scalar) {
    // The first scalars of the scale words: ASCII ones in a bit set, the few others in a list.
    struct Starts {
        std::uint64_t ascii[2] = {0, 0};
        std::vector<char32_t> others;
        Starts() {
            for (const ScaleWord& scale : scaleWords()) {
                const char32_t c = scale.scalars.front();
                if (c < 128)
                    ascii[c >> 6] |= std::uint64_t{1} << (c & 63);
                else
                    others.push_back(c);
            }
        }
    };
    static const Starts starts;
    if (scalar < 128) return (starts.ascii[scalar >> 6] >> (scalar & 63)) & 1;
    return std::find(starts.others.begin(), starts.others.end(), scalar) != starts.others.end();
}

bool Lexicon::isScaleWord(std::string_view word) {
    const auto& words = scaleWords();
    return std::any_of(words.begin(), words.end(), [&](const ScaleWord& s) { return s.word == word; });
}

const std::vector<std::pair<char32_t, Token::Kind>>& Lexicon::symbols() { return symbolTable().entries; }

const Token::Kind* Lexicon::symbol(char32_t scalar) {
    const auto& table = symbolTable();
    if (scalar < 128) {
        const int index = table.ascii[scalar];
        return index < 0 ? nullptr : &table.entries[index].second;
    }
    for (const auto& [key, kind] : table.entries) {
        if (key == scalar) return &kind;
    }
    return nullptr;
}

const std::vector<std::pair<char32_t, int>>& Lexicon::radixPrefixes() {
    static const std::vector<std::pair<char32_t, int>> prefixes = {{U'x', 16}, {U'b', 2}, {U'o', 8}};
    return prefixes;
}

std::optional<int> Lexicon::radixPrefix(char32_t scalar) {
    switch (scalar) {
        case U'x':
            return 16;
        case U'b':
            return 2;
        case U'o':
            return 8;
        default:
            return std::nullopt;
    }
}

const std::vector<std::string_view>& Lexicon::functionNames() {
    static const std::vector<std::string_view> names = {"sin",  "cos", "tan",   "log",   "ln",  "sqrt",
                                                        "root", "abs", "round", "floor", "ceil"};
    return names;
}

bool Lexicon::isFunctionName(std::string_view lowerCaseName) {
    const auto& names = functionNames();
    return std::find(names.begin(), names.end(), lowerCaseName) != names.end();
}

std::string_view Lexicon::isoCurrencyCodes() { return kISOCodes; }

const std::vector<std::string_view>& Lexicon::feedCurrencyCodes() {
    static const std::vector<std::string_view> codes = {"CNH", "FOK", "GGP", "HRK", "IMP", "JEP", "KID", "TVD", "ZWL"};
    return codes;
}

bool Lexicon::isWordScalarByProperties(char32_t scalar) {
    const auto c = static_cast<UChar32>(scalar);
    return u_hasBinaryProperty(c, UCHAR_ALPHABETIC) || u_getIntPropertyValue(c, UCHAR_NUMERIC_TYPE) != U_NT_NONE ||
           u_charType(c) == U_NON_SPACING_MARK || c == '_';
}

const std::uint64_t* Lexicon::wordScalarTable() {
    static const auto table = [] {
        std::array<std::uint64_t, wordScalarTableSize / 64> bits{};
        for (char32_t c = 0; c < wordScalarTableSize; ++c) {
            if (isWordScalarByProperties(c)) bits[c >> 6] |= std::uint64_t{1} << (c & 63);
        }
        return bits;
    }();
    return table.data();
}

}  // namespace quibsum
