// Incremental evaluation must equal evaluation from scratch. Random sheets take random edit
// sequences; after every step the edited sheet is compared with a fresh sheet given the whole
// text, and both with a plain re-statement of the pass below that copies its environment
// line by line and caches nothing. The number of lines each step analyses is checked too: the
// edited lines plus exactly those whose inputs changed.
//
// A failure prints the steps that led to it as calls on SheetChecker; paste them into a test
// to replay. QUIBSUM_SHEET_SEED and QUIBSUM_SHEET_RUNS choose other seeds and longer runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/Sheet.h"
#include "tests/support/TestRates.h"
#include "tests/support/TestValues.h"

namespace quibsum {

// Readable failures: what a line or the page shows instead of the bytes of the value.
static void PrintTo(const LineResult& r, std::ostream* os) {
    if (auto v = r.asValue())
        *os << v->display << " [" << v->quantity.value.toString() << "]";
    else if (auto e = r.asError())
        *os << "error: " << e->message;
    else
        *os << "note";
}

static void PrintTo(const PageTotal& t, std::ostream* os) {
    if (auto v = std::get_if<PageTotal::Value>(&t.payload))
        *os << v->display << " (" << v->count << ")";
    else if (auto e = std::get_if<PageTotal::Error>(&t.payload))
        *os << "error: " << e->message;
    else
        *os << (std::holds_alternative<PageTotal::Empty>(t.payload) ? "empty" : "incompatible");
}

}  // namespace quibsum

using namespace quibsum;

namespace {

// ---- The pass, written out plainly -------------------------------------------------------

bool isBlankOrHeading(const std::string& line, bool& blank) {
    static const std::vector<std::string_view> spaces = {" ", "\t", "\r", "\v", "\f", "\xC2\xA0", "\xE3\x80\x80"};
    std::string_view rest = line;
    for (bool trimmed = true; trimmed && !rest.empty();) {
        trimmed = false;
        for (std::string_view s : spaces) {
            if (rest.starts_with(s)) {
                rest.remove_prefix(s.size());
                trimmed = true;
            }
        }
    }
    blank = rest.empty();
    return blank || rest.front() == '#';
}

// What a line's analysis was computed from: the variables it could read (those named by its
// name keys, and the names with spaces it read), the names with spaces registered under its
// keys (which decide what it joins), the previous result if it read it, the block if it is an
// aggregate line, and the sheet rates.
struct Inputs {
    std::map<std::string, Quantity> variables;
    std::map<std::string, std::vector<std::string>> registered;
    std::optional<Quantity> prev;
    std::vector<Quantity> block;
    SheetRates rates;
    friend bool operator==(const Inputs&, const Inputs&) = default;
};

struct ReferenceLine {
    LineAnalysis analysis;
    Environment before;
    std::vector<Quantity> block;  // after the block break of this line

    Inputs inputsFor(const LineAnalysis& a) const {
        Inputs in;
        for (std::string_view key : a.nameKeys) {
            if (auto it = before.values.find(key); it != before.values.end()) in.variables.emplace(key, it->second);
            if (auto names = before.multiWordNames.find(key); names != before.multiWordNames.end())
                in.registered.emplace(key, names->second);
        }
        for (std::string_view name : a.referencedNames) {
            if (name.find(' ') == std::string_view::npos) continue;
            if (auto it = before.values.find(name); it != before.values.end()) in.variables.emplace(name, it->second);
        }
        if (a.usesPrev) in.prev = before.prev;
        if (a.aggregate) in.block = block;
        in.rates = before.sheetRates;
        return in;
    }
};

struct Reference {
    std::vector<ReferenceLine> lines;
    std::vector<LineResult> results;
    std::vector<bool> counted;
    SheetRates finalRates;
};

// Summing as stated: every value after the first goes through the engine's conversion.
Result<std::optional<Quantity>> sumOf(const std::vector<Quantity>& values, const Engine& engine,
                                      const SheetRates& rates, int& count) {
    std::optional<Quantity> sum;
    count = 0;
    for (const Quantity& q : values) {
        if (q.unit && q.unit->symbol == "%") continue;
        ++count;
        if (!sum) {
            sum = q;
            continue;
        }
        std::optional<Unit> target = sum->unit ? sum->unit : q.unit;
        sum->unit = target;
        Quantity item = q;
        if (!item.unit) item.unit = target;
        auto converted = engine.convert(item, target, engine.defaultVNDKind(), rates);
        if (!converted) return converted.error();
        sum->value = sum->value + converted->value;
        if (converted->rate) sum->rate = converted->rate;
    }
    if (sum && sum->value.isNaN()) return EvaluationError::of(EvaluationError::Kind::invalidResult);
    return sum;
}

Reference referencePass(const Engine& engine, const std::vector<std::string>& lines) {
    Reference ref;
    Environment env;
    std::vector<Quantity> block;
    for (const std::string& line : lines) {
        bool blank = false;
        if (isBlankOrHeading(line, blank)) block.clear();
        ReferenceLine rl{engine.analyze(line, env), env, block};
        LineAnalysis& a = rl.analysis;
        if (a.usesPrev && !env.prev) a.result = LineResult::error(std::string(messages::noPreviousResult));
        if (a.aggregate) {
            int count = 0;
            auto sum = sumOf(block, engine, env.sheetRates, count);
            if (!sum) {
                a.result = LineResult::error(
                    std::string(sum.error().isMessage() ? sum.error().text() : messages::unitMismatch));
            } else if (*sum) {
                Quantity q = **sum;
                if (*a.aggregate == Aggregate::average) q.value = q.value / Decimal(count);
                a.result = LineResult::value(q, engine.format(q));
            }
        }
        ref.results.push_back(a.result);
        ref.counted.push_back(!a.aggregate && !a.rateDefinition);
        if (auto v = a.result.asValue(); v && a.rateDefinition) {
            env.sheetRates.erase(CurrencyPair{a.rateDefinition->to, a.rateDefinition->from});
            env.sheetRates[CurrencyPair{a.rateDefinition->from, a.rateDefinition->to}] = a.rateDefinition->value;
            env.prev.reset();
        } else if (v) {
            if (a.assignedName) env.assign(*a.assignedName, v->quantity);
            env.prev = v->quantity;
            block.push_back(v->quantity);
        } else if (!blank) {
            env.prev.reset();
        }
        ref.lines.push_back(std::move(rl));
    }
    ref.finalRates = env.sheetRates;
    return ref;
}

PageTotal referenceTotal(const Engine& engine, const Reference& ref) {
    std::vector<Quantity> values;
    for (std::size_t i = 0; i < ref.results.size(); ++i)
        if (auto v = ref.results[i].asValue(); v && ref.counted[i]) values.push_back(v->quantity);
    int count = 0;
    auto sum = sumOf(values, engine, ref.finalRates, count);
    PageTotal t;
    if (!sum) {
        if (!sum.error().isMessage())
            t.payload = PageTotal::Error{std::string(messages::invalidResult)};
        else if (sum.error().kind == EvaluationError::Kind::unitMismatch)
            t.payload = PageTotal::Incompatible{};
        else
            t.payload = PageTotal::Error{std::string(sum.error().text())};
    } else if (*sum) {
        t.payload = PageTotal::Value{**sum, engine.format(**sum), count};
    }
    return t;
}

// ---- Checking one sheet through a sequence of steps ---------------------------------------

std::string literal(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\', out += c;
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out + "\"";
}

std::string join(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\n" : "") + lines[i];
    return text;
}

// The test rates at even versions; at odd ones other values, and no bank quote for EUR, so
// that a new version really changes what conversions give.
class VersionedRates final : public RateStore {
public:
    std::optional<Rate> rate(std::string_view from, std::string_view to, RateKind kind) const override {
        return (version_ % 2 == 0 ? even_ : odd_)->rate(from, to, kind);
    }
    std::int64_t version() const override { return version_; }
    void setVersion(std::int64_t v) { version_ = v; }

private:
    static std::shared_ptr<FixedRateStore> oddRates() {
        auto dec = [](const char* text) { return *Decimal::parse(text); };
        RateSnapshot s;
        s.vcb.quotes = CurrencyTable<BankQuote>({
            {"USD", BankQuote{dec("24000"), dec("24100"), dec("24400")}},
            {"JPY", BankQuote{std::nullopt, dec("171"), std::nullopt}},
        });
        s.erapi.quotes = CurrencyTable<Decimal>({
            {"USD", dec("1")},
            {"EUR", dec("0.95")},
            {"GBP", dec("0.8")},
            {"VND", dec("24300")},
        });
        return std::make_shared<FixedRateStore>(std::move(s));
    }

    std::shared_ptr<FixedRateStore> even_ = quibsum::testing::testRates();
    std::shared_ptr<FixedRateStore> odd_ = oddRates();
    std::int64_t version_ = 0;
};

class SheetChecker {
public:
    SheetChecker(NumberStyle style, RateKind kind)
        : rates_(std::make_shared<VersionedRates>()),
          engine_(rates_, style, kind),
          sheet_(engine_),
          ref_(referencePass(engine_, {})) {
        trace_ << "SheetChecker c(NumberStyle::" << (style == NumberStyle::en ? "en" : "vi") << ", RateKind::"
               << (kind == RateKind::transfer ? "transfer"
                   : kind == RateKind::sell   ? "sell"
                                              : "buy")
               << ");\n";
    }

    void setText(const std::string& text) {
        trace_ << "c.setText(" << literal(text) << ");\n";
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(text.substr(start, end - start));
        lines.push_back(text.substr(start));
        sheet_.setText(text);
        check(lines, lines.size(), std::nullopt);
    }

    void update(std::size_t lower, std::size_t upper, const std::vector<std::string>& replacement) {
        trace_ << "c.update(" << lower << ", " << upper << ", {";
        for (std::size_t k = 0; k < replacement.size(); ++k) trace_ << (k ? ", " : "") << literal(replacement[k]);
        trace_ << "});\n";

        std::vector<std::string> lines = sheet_.lines();
        lines.erase(lines.begin() + static_cast<long>(lower), lines.begin() + static_cast<long>(upper));
        lines.insert(lines.begin() + static_cast<long>(lower), replacement.begin(), replacement.end());

        // Expected work: the new lines, and every kept line whose inputs, judged by what its
        // last analysis read, differ now.
        Reference next = referencePass(engine_, lines);
        std::size_t expected = replacement.size();
        for (std::size_t j = 0; j < lines.size(); ++j) {
            if (j >= lower && j < lower + replacement.size()) continue;
            std::size_t old = j < lower ? j : j - replacement.size() + (upper - lower);
            const LineAnalysis& analysed = ref_.lines[old].analysis;
            if (ref_.lines[old].inputsFor(analysed) != next.lines[j].inputsFor(analysed)) ++expected;
        }

        std::vector<LineResult> before = sheet_.results();
        auto spansBefore = sheet_.variableSpans();
        auto u = sheet_.update(lower, upper, replacement);
        EXPECT_EQ(u.results.size(), sheet_.results().size());
        checkChanged(before, u.changed);
        // Every kept line whose variable ranges moved on must be reported, so that an editor
        // recolours it; new lines are the editor's own to recolour.
        auto spansAfter = sheet_.variableSpans();
        for (std::size_t j = 0; j < lines.size(); ++j) {
            if (j >= lower && j < lower + replacement.size()) continue;
            std::size_t old = j < lower ? j : j - replacement.size() + (upper - lower);
            auto was = spansBefore.find(old);
            auto now = spansAfter.find(j);
            bool differ = (was == spansBefore.end()) != (now == spansAfter.end()) ||
                          (was != spansBefore.end() && was->second != now->second);
            if (differ) {
                EXPECT_TRUE(std::binary_search(u.rangesChanged.begin(), u.rangesChanged.end(), j))
                    << "rangesChanged " << j;
            }
        }
        check(lines, expected, std::move(next));
    }

    // The store moves to `version` with the sheet: at least every line whose result the new
    // tables change must be analysed again, which the comparison with a fresh sheet checks.
    void setRatesVersion(std::int64_t version) {
        trace_ << "c.setRatesVersion(" << version << ");\n";
        bool same = version == sheet_.ratesVersion();
        std::size_t analysedBefore = sheet_.lastAnalysedCount();
        std::vector<LineResult> before = sheet_.results();
        rates_->setVersion(version);
        auto u = sheet_.setRatesVersion(version);
        if (same) {
            EXPECT_TRUE(u.changed.empty());
            check(sheet_.lines(), analysedBefore, std::nullopt);
            return;
        }
        checkChanged(before, u.changed);
        check(sheet_.lines(), std::nullopt, std::nullopt);
        EXPECT_LE(sheet_.lastAnalysedCount(), sheet_.lineCount());
    }

    const Sheet& sheet() const { return sheet_; }
    std::string trace() const { return trace_.str(); }

private:
    void checkChanged(const std::vector<LineResult>& before, const std::vector<std::size_t>& changed) {
        std::vector<std::size_t> expected;
        for (std::size_t i = 0; i < sheet_.results().size(); ++i)
            if (i >= before.size() || !(before[i] == sheet_.results()[i])) expected.push_back(i);
        EXPECT_EQ(changed, expected) << "changed lines";
    }

    void check(const std::vector<std::string>& lines, std::optional<std::size_t> expectedAnalysed,
               std::optional<Reference> next) {
        ref_ = next ? std::move(*next) : referencePass(engine_, lines);
        // The whole text at once (zero lines cannot be written as text, hence update).
        Sheet fresh(engine_);
        fresh.update(0, 0, lines);

        ASSERT_EQ(sheet_.lines(), lines);
        ASSERT_EQ(sheet_.results().size(), lines.size());
        ASSERT_EQ(fresh.results().size(), lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(sheet_.results()[i], fresh.results()[i])
                << "edited vs fresh, line " << i << " " << literal(lines[i]);
            EXPECT_EQ(fresh.results()[i], ref_.results[i])
                << "fresh vs reference, line " << i << " " << literal(lines[i]);
        }
        EXPECT_EQ(sheet_.counted(), fresh.counted());
        EXPECT_EQ(fresh.counted(), ref_.counted);
        EXPECT_EQ(sheet_.finalRates(), fresh.finalRates());
        EXPECT_EQ(fresh.finalRates(), ref_.finalRates);
        EXPECT_EQ(sheet_.total(), fresh.total());
        EXPECT_EQ(fresh.total(), referenceTotal(engine_, ref_));
        EXPECT_EQ(sheet_.variableSpans(), fresh.variableSpans());
        EXPECT_EQ(sheet_.variableNames(static_cast<std::ptrdiff_t>(lines.size())),
                  fresh.variableNames(static_cast<std::ptrdiff_t>(lines.size())));
        if (expectedAnalysed) {
            EXPECT_EQ(sheet_.lastAnalysedCount(), *expectedAnalysed) << "lines analysed";
        }
    }

    std::shared_ptr<VersionedRates> rates_;
    Engine engine_;
    Sheet sheet_;
    Reference ref_;
    std::ostringstream trace_;
};

// ---- Random sheets and edits ---------------------------------------------------------------

// Few names, so that edits keep hitting the lines that read them.
// clang-format off
const std::vector<std::string> linePool = {
    // plain values
    "100", "250", "-3", "1.5", "0", "42 km", "500 m", "3 kg", "10%", "25%", "20% of 50", "10% off 200", "2 ^ 10",
    "7 mod 3", "1/0", "sqrt(16)", "2 km + 300 m", "5 km in m",
    // currencies and conversions
    "10 USD", "5 EUR", "250000 VND", "100 USD in VND", "2 EUR to USD", "1000000 VND in USD", "3 CHF",
    "5 USD + 10 EUR", "100 USD @ 24000", "buy 100 USD in VND",
    // assignments, single- and multi-word
    "x = 5", "x = x + 1", "y = x * 2", "rent = 1200 USD", "tiền nhà = 5000000", "tiền = 3", "giá bán = 20 USD",
    "giá = 7", "y = prev", "rent = 10%", "tiền nhà = tiền * 2", "1x = 3", "tiền điện = 2000",
    // references
    "x * 2", "y + x", "tiền nhà / 2", "tiền + 1", "giá bán + giá", "rent in VND", "giá bán", "x", "tiền nhà",
    "Rent: rent * 12", "tiền điện + tiền nhà",
    // the previous result
    "prev + 1", "prev * 2", "trên / 2", "prev in USD",
    // aggregates
    "sum", "average", "total", "tổng", "avg",
    // rate definitions
    "1 USD = 25000 VND", "USD = 24000", "1 VND = 0.00004 USD", "1 EUR = 1.1 USD", "0 USD = 5 VND", "1 EUR = 27000",
    "2 CHF = 50000 VND",
    // structure
    "", "", "", "   ", "# Food", "# tổng", "// just words", "Rent: 500", "hello", "\xC2\xA0",
};
// clang-format on

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {  // splitmix64: the same sequence on every platform
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    std::size_t below(std::size_t n) { return n ? static_cast<std::size_t>(next() % n) : 0; }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }

private:
    std::uint64_t state_;
};

std::string poolLine(Random& rnd) { return linePool[rnd.below(linePool.size())]; }

std::vector<std::string> poolLines(Random& rnd, std::size_t n) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < n; ++i) out.push_back(poolLine(rnd));
    return out;
}

// A keystroke: a character typed into or deleted from a line, at a character boundary.
std::string typed(Random& rnd, std::string line) {
    std::vector<std::size_t> boundaries;
    for (std::size_t i = 0; i <= line.size(); ++i)
        if (i == line.size() || (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80) boundaries.push_back(i);
    std::size_t at = boundaries[rnd.below(boundaries.size())];
    if (rnd.chance(40) && at < line.size()) {
        std::size_t end = at + 1;
        while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80) ++end;
        return line.erase(at, end - at);
    }
    static const std::string keys = "0123456789 +-*/%.x";
    return line.insert(at, 1, keys[rnd.below(keys.size())]);
}

void randomStep(SheetChecker& c, Random& rnd, std::int64_t& version) {
    const std::size_t n = c.sheet().lineCount();
    const std::size_t roll = rnd.below(100);
    if (n > 40 && roll < 60) {
        std::size_t lower = rnd.below(n);
        c.update(lower, std::min(n, lower + 1 + rnd.below(4)), {});
    } else if (roll < 35 && n > 0) {
        std::size_t i = rnd.below(n);
        c.update(i, i + 1, {poolLine(rnd)});
    } else if (roll < 55 && n > 0) {
        std::size_t i = rnd.below(n);
        c.update(i, i + 1, {typed(rnd, c.sheet().lines()[i])});
    } else if (roll < 70) {
        std::size_t at = rnd.below(n + 1);
        c.update(at, at, poolLines(rnd, 1 + rnd.below(3)));
    } else if (roll < 80 && n > 0) {
        std::size_t lower = rnd.below(n);
        c.update(lower, std::min(n, lower + 1 + rnd.below(3)), {});
    } else if (roll < 90) {
        std::size_t lower = rnd.below(n + 1);
        std::size_t upper = std::min(n, lower + rnd.below(4));
        c.update(lower, upper, poolLines(rnd, rnd.below(4)));
    } else if (roll < 93) {
        std::size_t at = rnd.below(n + 1);
        c.update(at, at, {});
    } else if (roll < 96) {
        version += rnd.chance(20) ? 0 : 1;  // the same version must change nothing
        c.setRatesVersion(version);
    } else {
        c.setText(join(poolLines(rnd, rnd.below(30))));
    }
}

std::uint64_t envNumber(const char* name, std::uint64_t fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtoull(v, nullptr, 10) : fallback;
}

TEST(SheetProperty, IncrementalEqualsFresh) {
    const std::uint64_t seed = envNumber("QUIBSUM_SHEET_SEED", 20240611);
    const std::uint64_t runs = envNumber("QUIBSUM_SHEET_RUNS", 24);
    constexpr int stepsPerRun = 150;
    const RateKind kinds[] = {RateKind::transfer, RateKind::sell, RateKind::buy};
    std::size_t steps = 0;
    for (std::uint64_t run = 0; run < runs; ++run) {
        Random rnd(seed * 1000003 + run);
        NumberStyle style = run % 4 == 3 ? NumberStyle::vi : NumberStyle::en;
        SheetChecker c(style, kinds[run % 3]);
        std::int64_t version = 0;
        c.setText(join(poolLines(rnd, 5 + rnd.below(20))));
        for (int step = 0; step < stepsPerRun && !::testing::Test::HasFailure(); ++step, ++steps)
            randomStep(c, rnd, version);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "seed " << seed << ", run " << run << "; replay with:\n" << c.trace();
            return;
        }
    }
    RecordProperty("steps", static_cast<int>(steps));
}

// Sequences worth keeping, replayed as the checker prints them.
TEST(SheetProperty, Replays) {
    {  // every line deleted: a sheet of no lines, then one again
        SheetChecker c(NumberStyle::en, RateKind::buy);
        c.setText("5 km in m");
        c.update(0, 1, {});
        c.update(0, 0, {"sum"});
    }
    {  // the same multi-word names registered in the other order above their reader: reused
        SheetChecker c(NumberStyle::en, RateKind::transfer);
        c.setText("tiền nhà = 1\ntiền điện = 2\nx = 0\ntiền điện + tiền nhà");
        c.update(0, 2, {"tiền điện = 2", "tiền nhà = 1"});
    }
    {
        SheetChecker c(NumberStyle::en, RateKind::transfer);
        c.setText("x = 5\ntiền = 3\n\ntiền nhà / 2\nsum\n1 USD = 25000 VND\nrent in VND");
        c.update(0, 0, {"tiền nhà = tiền * 2"});
        c.update(2, 3, {"rent = 1200 USD", "x * 2"});
        c.update(5, 5, {"prev * 2"});
        c.setRatesVersion(1);
        c.update(7, 8, {"USD = 24000"});
        c.update(0, 2, {});
    }
}

// Edits whose correctness rests on what the sheet keeps between passes: the engine's
// environment for the line analysed, and the context carried over the lines above an edit.
TEST(SheetProperty, EditsThatReuseThePassContext) {
    struct Script {
        const char* what;
        const char* text;
        std::vector<std::tuple<std::size_t, std::size_t, std::vector<std::string>>> edits;
    };
    const std::vector<Script> scripts = {
        {"the same line typed into while the variable above it changes",
         "x = 2\ny = 3\n\nx + y\nsum",
         {{3, 4, {"x + y1"}},
          {3, 4, {"x + y"}},
          {0, 1, {"x = 5"}},
          {3, 4, {"x * y"}},
          {1, 2, {"y = 3.0"}},
          {3, 4, {"x * y + 1"}}}},
        {"a variable that vanishes above the line typed into",
         "a = 1\nb = a + 1\na * b",
         {{2, 3, {"a * b + 1"}}, {0, 1, {"c = 1"}}, {2, 3, {"a * b + 2"}}, {0, 1, {"a = 1"}}, {2, 3, {"a * b"}}}},
        {"multi-word names registered in another order above the line typed into",
         "tiền nhà = 1\ntiền điện = 2\ntiền nhà + tiền điện",
         {{2, 3, {"tiền nhà + tiền điện + 1"}},
          {0, 2, {"tiền điện = 2", "tiền nhà = 1"}},
          {2, 3, {"tiền nhà + tiền"}},
          {0, 0, {"tiền = 7"}},
          {3, 4, {"tiền nhà + tiền"}}}},
        {"a line typed into below a rate definition, a block and a chain of previous results",
         "1 USD = 25000 VND\n10 USD\nprev * 2\nsum\n5 USD in VND\n\n3\nprev + 1\naverage",
         {{4, 5, {"6 USD in VND"}},
          {7, 8, {"prev + 2"}},
          {0, 1, {"1 USD = 24000 VND"}},
          {4, 5, {"5 USD in VND"}},
          {2, 3, {"prev * 3"}},
          {8, 9, {"sum"}},
          {6, 7, {"4"}}}},
        {"edits above a heading that the lines below it read from",
         "x = 1\n5\n# Part\nx * 2\n1 USD = 25000 VND\n# More\n10 USD in VND\nx\n\n# End\nprev",
         {{1, 2, {"6"}},
          {0, 1, {"x = 3"}},
          {0, 1, {"y = 3"}},
          {1, 2, {"x = 4"}},
          {1, 2, {"x = 4.0"}},
          {4, 5, {"1 USD = 24000 VND"}},
          {3, 4, {"x * 3"}},
          {4, 5, {"7"}},
          {1, 2, {"x = 4 USD"}},
          {5, 6, {"# Again"}},
          {9, 10, {"5"}}}},
        {"lines inserted and deleted below the lines carried over",
         "x = 1\n100\nsum\nx * 3\n\n200\nsum",
         {{4, 4, {"x = 4", "x * 2"}}, {1, 1, {"50"}}, {5, 7, {}}, {3, 3, {""}}, {0, 1, {"x = 2"}}, {6, 6, {"x"}}}},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.what);
        SheetChecker c(NumberStyle::en, RateKind::transfer);
        c.setText(script.text);
        for (const auto& [lower, upper, replacement] : script.edits) c.update(lower, upper, replacement);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "replay with:\n" << c.trace();
            return;
        }
    }
}

}  // namespace
