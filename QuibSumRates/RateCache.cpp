#include "QuibSumRates/RateCache.h"

#include <sys/stat.h>
#include <unistd.h>

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <vector>

#include "QuibSumFiles/StoredFile.h"
#include "QuibSumRates/FeedDates.h"
#include "QuibSumRates/JsonReader.h"
#include "QuibSumRates/RateProviderError.h"

namespace quibsum::detail {
extern const unsigned char ratesSeedJson[];
extern const std::size_t ratesSeedJsonSize;
}  // namespace quibsum::detail

namespace quibsum::RateCache {
namespace {

// A real cache is tens of KiB; a file far larger is not ours.
constexpr std::size_t maxCacheBytes = 16 * 1024 * 1024;

using RawValues = std::vector<std::pair<std::string, std::optional<Decimal>>>;

struct RawTable {
    bool present = false;
    std::optional<Instant> asOf;
    bool haveQuotes = false;
};

void expect(const JsonValue& value, JsonType type, std::string_view member) {
    if (value.type != type) throw RateDecodingError("wrong type for \"" + std::string(member) + "\"");
}

Instant readDate(const JsonValue& value, std::string_view member) {
    expect(value, JsonType::string, member);
    std::optional<Instant> date = FeedDates::parseISO(value.text);
    if (!date) throw RateDecodingError("unreadable date in \"" + std::string(member) + "\"");
    return *date;
}

bool positive(const std::optional<Decimal>& value) { return value && !value->isNaN() && *value > Decimal(0); }

void writeDecimal(rapidjson::PrettyWriter<rapidjson::StringBuffer>& writer, const Decimal& value) {
    char text[Decimal::maxStringLength];
    const int length = value.write(text);
    writer.RawValue(text, static_cast<std::size_t>(length), rapidjson::kNumberType);
}

void writeKey(rapidjson::PrettyWriter<rapidjson::StringBuffer>& writer, std::string_view key) {
    writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
}

void writeTableHeader(rapidjson::PrettyWriter<rapidjson::StringBuffer>& writer, Instant asOf) {
    if (!FeedDates::isSupported(asOf)) throw RateProviderError::invalidFeed("implausible table date");
    writeKey(writer, "asOf");
    const std::string date = FeedDates::formatISO(asOf);
    writer.String(date.data(), static_cast<rapidjson::SizeType>(date.size()));
    writeKey(writer, "quotes");
}

void requirePositive(const Decimal& value) {
    if (value.isNaN() || !(value > Decimal(0))) throw RateProviderError::invalidFeed("a rate that is not positive");
}

// The rates sit beside the user's sheets: a folder this creates is readable by its owner only.
void makePrivateFolders(const std::filesystem::path& folder) {
    std::string prefix;
    const std::string whole = folder.string();
    for (std::size_t i = 1; i <= whole.size(); ++i) {
        if (i < whole.size() && whole[i] != '/') continue;
        prefix = whole.substr(0, i);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            throw std::system_error(errno, std::generic_category(), "cannot create the folder " + prefix);
    }
}

}  // namespace

RateSnapshot decode(std::string_view bytes) {
    RawTable vcb, erapi;
    std::optional<bool> vcbIsSeed, erapiIsSeed;
    std::vector<std::pair<std::string, RawValues>> bankQuotes;
    RawValues midQuotes;

    readJson(bytes, [&](JsonPath path, const JsonValue& value) {
        if (path.empty()) {
            expect(value, JsonType::object, "(root)");
        } else if (jsonPathIs(path, {"vcb"})) {
            expect(value, JsonType::object, "vcb");
            vcb = RawTable{true, {}, false};
            bankQuotes.clear();
        } else if (jsonPathIs(path, {"erapi"})) {
            expect(value, JsonType::object, "erapi");
            erapi = RawTable{true, {}, false};
            midQuotes.clear();
        } else if (jsonPathIs(path, {"vcbIsSeed"})) {
            expect(value, JsonType::boolean, "vcbIsSeed");
            vcbIsSeed = value.boolean;
        } else if (jsonPathIs(path, {"erapiIsSeed"})) {
            expect(value, JsonType::boolean, "erapiIsSeed");
            erapiIsSeed = value.boolean;
        } else if (jsonPathIs(path, {"vcb", "asOf"})) {
            vcb.asOf = readDate(value, "vcb.asOf");
        } else if (jsonPathIs(path, {"erapi", "asOf"})) {
            erapi.asOf = readDate(value, "erapi.asOf");
        } else if (jsonPathIs(path, {"vcb", "quotes"})) {
            expect(value, JsonType::object, "vcb.quotes");
            vcb.haveQuotes = true;
            bankQuotes.clear();
        } else if (jsonPathIs(path, {"erapi", "quotes"})) {
            expect(value, JsonType::object, "erapi.quotes");
            erapi.haveQuotes = true;
            midQuotes.clear();
        } else if (path.size() == 3 && jsonPathIs(path.first(2), {"vcb", "quotes"}) && !path[2].inArray) {
            expect(value, JsonType::object, "vcb.quotes");
            bankQuotes.emplace_back(path[2].name, RawValues{});
        } else if (path.size() == 4 && jsonPathIs(path.first(2), {"vcb", "quotes"}) && !path[2].inArray &&
                   !path[3].inArray) {
            expect(value, JsonType::number, "vcb.quotes");
            bankQuotes.back().second.emplace_back(path[3].name, Decimal::parse(value.text));
        } else if (path.size() == 3 && jsonPathIs(path.first(2), {"erapi", "quotes"}) && !path[2].inArray) {
            expect(value, JsonType::number, "erapi.quotes");
            midQuotes.emplace_back(path[2].name, Decimal::parse(value.text));
        }
    });

    if (!vcb.present) throw RateDecodingError("missing \"vcb\"");
    if (!erapi.present) throw RateDecodingError("missing \"erapi\"");
    if (!vcbIsSeed) throw RateDecodingError("missing \"vcbIsSeed\"");
    if (!erapiIsSeed) throw RateDecodingError("missing \"erapiIsSeed\"");
    if (!vcb.asOf) throw RateDecodingError("missing \"vcb.asOf\"");
    if (!vcb.haveQuotes) throw RateDecodingError("missing \"vcb.quotes\"");
    if (!erapi.asOf) throw RateDecodingError("missing \"erapi.asOf\"");
    if (!erapi.haveQuotes) throw RateDecodingError("missing \"erapi.quotes\"");

    if (bankQuotes.empty()) throw RateProviderError::invalidFeed("the bank table is empty");
    if (midQuotes.empty()) throw RateProviderError::invalidFeed("the mid-market table is empty");

    CurrencyTable<RawValues> bankTable(std::move(bankQuotes));
    std::vector<std::pair<std::string, BankQuote>> bank;
    bank.reserve(bankTable.size());
    for (const auto& [code, raw] : bankTable) {
        BankQuote quote;
        for (const auto& [key, value] : CurrencyTable<std::optional<Decimal>>(raw)) {
            if (!positive(value)) throw RateProviderError::invalidFeed("bad " + key + " rate for \"" + code + "\"");
            if (key == "buy")
                quote.buy = value;
            else if (key == "transfer")
                quote.transfer = value;
            else if (key == "sell")
                quote.sell = value;
        }
        bank.emplace_back(code, quote);
    }
    std::vector<std::pair<std::string, Decimal>> mid;
    mid.reserve(midQuotes.size());
    for (const auto& [code, value] : CurrencyTable<std::optional<Decimal>>(std::move(midQuotes))) {
        if (!positive(value)) throw RateProviderError::invalidFeed("bad rate for \"" + code + "\"");
        mid.emplace_back(code, *value);
    }

    return RateSnapshot{VCBFeed{CurrencyTable<BankQuote>(std::move(bank)), *vcb.asOf},
                        ERAPIFeed{CurrencyTable<Decimal>(std::move(mid)), *erapi.asOf}, *vcbIsSeed, *erapiIsSeed};
}

RateSnapshot load(const std::filesystem::path& location) {
    std::optional<std::string> bytes;
    try {
        bytes = StoredFile::read(location, maxCacheBytes);
    } catch (const StoredFileError& e) {
        if (e.kind() == StoredFileError::Kind::tooLarge) throw RateProviderError::invalidFeed("cache file too large");
        throw;
    }
    if (!bytes) throw std::system_error(ENOENT, std::generic_category(), "cannot read " + location.string());
    return decode(*bytes);
}

std::string encode(const RateSnapshot& snapshot) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
    writer.SetIndent(' ', 2);

    // Members in sorted order: erapi, erapiIsSeed, vcb, vcbIsSeed; table codes are kept sorted.
    writer.StartObject();
    writeKey(writer, "erapi");
    writer.StartObject();
    writeTableHeader(writer, snapshot.erapi.asOf);
    writer.StartObject();
    for (const auto& [code, value] : snapshot.erapi.quotes) {
        requirePositive(value);
        writeKey(writer, code);
        writeDecimal(writer, value);
    }
    writer.EndObject();
    writer.EndObject();
    writeKey(writer, "erapiIsSeed");
    writer.Bool(snapshot.erapiIsSeed);

    writeKey(writer, "vcb");
    writer.StartObject();
    writeTableHeader(writer, snapshot.vcb.asOf);
    writer.StartObject();
    for (const auto& [code, quote] : snapshot.vcb.quotes) {
        writeKey(writer, code);
        writer.StartObject();
        for (const auto& [key, value] : {std::pair<std::string_view, const std::optional<Decimal>*>{"buy", &quote.buy},
                                         {"sell", &quote.sell},
                                         {"transfer", &quote.transfer}}) {
            if (!*value) continue;
            requirePositive(**value);
            writeKey(writer, key);
            writeDecimal(writer, **value);
        }
        writer.EndObject();
    }
    writer.EndObject();
    writer.EndObject();
    writeKey(writer, "vcbIsSeed");
    writer.Bool(snapshot.vcbIsSeed);
    writer.EndObject();

    std::string text(buffer.GetString(), buffer.GetSize());
    text.push_back('\n');
    return text;
}

void save(const RateSnapshot& snapshot, const std::filesystem::path& location, FileDevice& device) {
    const std::string bytes = encode(snapshot);
    makePrivateFolders(location.parent_path().empty() ? "." : location.parent_path());
    StoredFile::replace(location, bytes, 0600, device);
}

std::string_view seedBytes() {
    return {reinterpret_cast<const char*>(detail::ratesSeedJson), detail::ratesSeedJsonSize};
}

RateSnapshot seed() {
    RateSnapshot snapshot = decode(seedBytes());
    snapshot.vcbIsSeed = true;
    snapshot.erapiIsSeed = true;
    return snapshot;
}

}  // namespace quibsum::RateCache
