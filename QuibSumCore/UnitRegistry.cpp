#include "QuibSumCore/UnitRegistry.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

#include "QuibSumCore/DecimalScaling.h"

namespace quibsum::UnitRegistry {

namespace {

// Factors are written as exact decimal text so that no binary rounding ever enters them.
Decimal exact(std::string_view text) {
    auto d = Decimal::parse(text);
    if (!d) std::abort();  // a typo in the table below; caught by the first test run
    return *d;
}

struct Row {
    std::string_view symbol;
    std::string_view factor;
};

std::vector<Entry> buildTable() {
    std::vector<Entry> table;
    table.reserve(80);
    auto add = [&](std::string symbol, std::string_view dimension, Decimal factor) {
        table.push_back({std::move(symbol), {dimension, factor}});
    };

    constexpr Row lengths[] = {
        {"m", "1"},       {"km", "1000"},   {"cm", "0.01"},     {"mm", "0.001"}, {"inch", "0.0254"},
        {"ft", "0.3048"}, {"yd", "0.9144"}, {"mi", "1609.344"}, {"nmi", "1852"},
    };
    for (const Row& r : lengths) add(std::string(r.symbol), dimensions::length, exact(r.factor));
    // Squares and cubes of every length; a cube is in litres, hence the 1000.
    const Decimal litresPerCubicMetre(1000);
    for (const Row& r : lengths) {
        const Decimal f = exact(r.factor);
        add(std::string(r.symbol) + "\u00B2", dimensions::area, f * f);
        add(std::string(r.symbol) + "\u00B3", dimensions::volume, f * f * f * litresPerCubicMetre);
    }

    constexpr Row masses[] = {
        {"g", "1"}, {"kg", "1000"}, {"t", "1000000"}, {"lb", "453.59237"}, {"oz", "28.349523125"}, {"lạng", "100"},
    };
    for (const Row& r : masses) add(std::string(r.symbol), dimensions::mass, exact(r.factor));

    constexpr Row volumes[] = {
        {"l", "1"},
        {"ml", "0.001"},
        {"gallon", "3.785411784"},
        {"cup", "0.2365882365"},
        {"tsp", "0.00492892159375"},
        {"tbsp", "0.01478676478125"},
    };
    for (const Row& r : volumes) add(std::string(r.symbol), dimensions::volume, exact(r.factor));

    constexpr Row areas[] = {{"ha", "10000"}, {"sào", "360"}, {"acre", "4046.8564224"}};
    for (const Row& r : areas) add(std::string(r.symbol), dimensions::area, exact(r.factor));

    for (const char* symbol : {"C", "F", "K"}) add(symbol, dimensions::temperature, Decimal(1));

    // A year is 365 days and a month one twelfth of it.
    constexpr Row durations[] = {
        {"s", "1"},         {"min", "60"},        {"h", "3600"},        {"day", "86400"},
        {"week", "604800"}, {"year", "31536000"}, {"month", "2628000"},
    };
    for (const Row& r : durations) add(std::string(r.symbol), dimensions::duration, exact(r.factor));

    add("b", dimensions::data, Decimal(1));
    add("B", dimensions::data, Decimal(8));
    // Decimal and binary prefixes; the binary kilo is written with a capital K (KiB).
    const Decimal bitsPerByte(8), thousand(1000), kibi(1024);
    Decimal decimalPower(1), binaryPower(1);
    for (char prefix : {'k', 'M', 'G', 'T', 'P', 'E'}) {
        decimalPower *= thousand;
        binaryPower *= kibi;
        const std::string p(1, prefix);
        const std::string q(1, prefix == 'k' ? 'K' : prefix);
        add(p + "B", dimensions::data, bitsPerByte * decimalPower);
        add(p + "b", dimensions::data, decimalPower);
        add(q + "iB", dimensions::data, bitsPerByte * binaryPower);
        add(q + "ib", dimensions::data, binaryPower);
    }

    std::sort(table.begin(), table.end(), [](const Entry& a, const Entry& b) { return a.symbol < b.symbol; });
    return table;
}

// The sorted table and an open-addressing index over it: every conversion, every formatted
// value and every currency test looks symbols up, so a look-up is one hash and, nearly
// always, one comparison.
class Index {
public:
    Index() : table_(buildTable()) {
        if (table_.size() * 2 > slotCount) std::abort();  // the table outgrew its index
        slots_.fill(empty);
        for (std::size_t i = 0; i < table_.size(); ++i) {
            std::size_t slot = hash(table_[i].symbol) & mask;
            while (slots_[slot] != empty) slot = (slot + 1) & mask;
            slots_[slot] = static_cast<std::int16_t>(i);
        }
        for (const Entry& e : table_) {
            const Decimal& f = e.definition.factor;
            powers_.push_back(f.mantissa() == 1 && !f.isNegative() ? std::optional<int>(f.exponent()) : std::nullopt);
        }
    }

    const std::vector<Entry>& table() const { return table_; }

    // The entry's position in the table, or -1.
    int find(std::string_view symbol) const {
        for (std::size_t slot = hash(symbol) & mask;; slot = (slot + 1) & mask) {
            const std::int16_t i = slots_[slot];
            if (i == empty) return -1;
            if (table_[static_cast<std::size_t>(i)].symbol == symbol) return i;
        }
    }
    const Definition* definition(int i) const {
        return i < 0 ? nullptr : &table_[static_cast<std::size_t>(i)].definition;
    }
    // k when the entry's factor is exactly 10^k, otherwise nullopt.
    std::optional<int> powerOfTen(int i) const { return powers_[static_cast<std::size_t>(i)]; }

private:
    static constexpr std::size_t slotCount = 256;  // over three times the table: short probes
    static constexpr std::size_t mask = slotCount - 1;
    static constexpr std::int16_t empty = -1;

    static std::size_t hash(std::string_view s) {  // FNV-1a
        std::uint32_t h = 2166136261u;
        for (unsigned char c : s) h = (h ^ c) * 16777619u;
        return h ^ (h >> 16);
    }

    std::vector<Entry> table_;
    std::vector<std::optional<int>> powers_;  // by table position
    std::array<std::int16_t, slotCount> slots_;
};

const Index& index() {
    static const Index i;
    return i;
}

const std::vector<Entry>& table() { return index().table(); }

// 0 °C in kelvin, exactly.
const Decimal& kelvinOffset() {
    static const Decimal offset = exact("273.15");
    return offset;
}

Decimal toCelsius(const Decimal& v, std::string_view from) {
    if (from == "F") return (v - Decimal(32)) * Decimal(5) / Decimal(9);
    if (from == "K") return v - kelvinOffset();
    return v;
}

Decimal fromCelsius(const Decimal& c, std::string_view to) {
    if (to == "F") return c * Decimal(9) / Decimal(5) + Decimal(32);
    if (to == "K") return c + kelvinOffset();
    return c;
}

}  // namespace

const Definition* definition(std::string_view symbol) {
    const Index& i = index();
    return i.definition(i.find(symbol));
}

Result<Decimal> convert(const Decimal& value, std::string_view from, std::string_view to) {
    const Index& registry = index();
    const int ia = registry.find(from), ib = registry.find(to);
    const Definition* a = registry.definition(ia);
    const Definition* b = registry.definition(ib);
    if (!a || !b || a->dimension != b->dimension) return EvaluationError::of(EvaluationError::Kind::unitMismatch);
    // Going through the base unit (or through Celsius) and back can round at the 38th digit;
    // a unit converted to itself must stay exactly what it was.
    if (from == to) return value;
    if (a->dimension == dimensions::temperature) return fromCelsius(toCelsius(value, from), to);
    // Multiplying or dividing by 1 changes nothing; skipping it saves a division whenever the
    // target is a base unit.
    // A factor of 10^k (km, mm, kg, kB…) only moves the exponent.
    const Decimal one(1);
    const std::optional<int> pa = registry.powerOfTen(ia), pb = registry.powerOfTen(ib);
    const Decimal base = a->factor == one ? value : pa ? scaledByPowerOfTen(value, *pa) : value * a->factor;
    return b->factor == one ? base : pb ? scaledByPowerOfTen(base, -*pb) : base / b->factor;
}

std::span<const Entry> entries() { return table(); }

}  // namespace quibsum::UnitRegistry
