#pragma once
// Sheet: the lines of one page, evaluated from first to last with their variables, previous
// results, blocks and typed rates, and kept so that an edit costs only the lines it touches.
// Every line's analysis is cached with the exact inputs it was computed from; a line is
// analysed again only when its text or one of those inputs changed. Not safe for concurrent
// use: one thread (or one serial task) at a time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "QuibSumCore/CachedLine.h"
#include "QuibSumCore/Engine.h"
#include "QuibSumCore/LineResult.h"
#include "QuibSumCore/NameTable.h"
#include "QuibSumCore/PageTotal.h"

namespace quibsum {

class Sheet {
public:
    struct Update {
        std::span<const LineResult> results;  // valid until the sheet changes again
        std::vector<std::size_t> changed;     // ascending line indices whose result changed
        // Ascending indices of the lines analysed afresh whose variable ranges differ from
        // those their line had before (a replaced or new line counts as having had none).
        std::vector<std::size_t> rangesChanged;
    };

    explicit Sheet(Engine engine);
    Sheet(Sheet&&) noexcept;
    ~Sheet();

    // Replaces every line by the text split at each "\n" (a trailing line feed gives a last
    // empty line) and evaluates. Returns the new results.
    const std::vector<LineResult>& setText(std::string_view text);

    // Replaces lines [lower, upper) by `replacement` (any number of lines) and evaluates; the
    // replaced lines lose their cache entries. Bounds beyond the lines (a caller's error) are
    // clamped. A line is reported as changed when it is new at the end or its result differs
    // from the result at the same index before.
    Update update(std::size_t lower, std::size_t upper, std::vector<std::string> replacement);

    // A new version of the rate store's data: every line whose last analysis asked the store
    // is analysed again, and with it whatever reads its value; lines that never asked keep
    // their analysis, which the store could not have changed. The same version changes nothing.
    Update setRatesVersion(std::int64_t version);

    // The sum of the counted lines' values, converted with the final sheet rates; computed on
    // first request after each evaluation.
    PageTotal total() const;

    // Where variable names stand, per line (UTF-16 ranges within the line), for every line
    // whose analysis found any.
    std::map<std::size_t, std::vector<TextRange>> variableSpans() const;
    // The same for one line: empty when the line has none or has not been analysed.
    std::span<const TextRange> variableSpans(std::size_t line) const;

    // The names assigned by the lines before line `before` whose result is a value, without
    // repeats, in order of first appearance; none for before <= 0.
    std::vector<std::string> variableNames(std::ptrdiff_t before) const;

    const Engine& engine() const { return engine_; }
    const std::vector<std::string>& lines() const { return lines_; }
    std::size_t lineCount() const { return lines_.size(); }
    const std::vector<LineResult>& results() const { return results_; }
    // Whether each line takes part in the page total (aggregate lines and rate definitions do not).
    const std::vector<bool>& counted() const { return counted_; }
    std::int64_t ratesVersion() const { return ratesVersion_; }
    // The sheet rates in force after the last line.
    const SheetRates& finalRates() const { return *finalRates_; }
    // How many lines the last evaluation analysed afresh rather than reused: a diagnostic for
    // tests and benchmarks.
    std::size_t lastAnalysedCount() const { return lastAnalysed_; }

private:
    class Pass;

    // How an update moved the lines below the edit: from `from` on, a line's own result (and,
    // before the pass, the result shown at its index) stands `by` places off. Lines were
    // inserted when `by` is positive: results_ has already made room for them, so a moved
    // line's own result is at its new index and the result shown there before is `by` places
    // further down. Lines were removed when it is negative: results_ keeps its old order until
    // the pass is over, so a moved line's own result is -`by` places further down.
    struct Shift {
        std::size_t from = 0;
        std::ptrdiff_t by = 0;
    };

    // What one pass keeps between lines, owned by the sheet so that its storage is reused from
    // pass to pass rather than allocated on every keystroke.
    struct PassStorage;

    // Runs the pass over every line. The lines before `unchangedBefore` are known to keep their
    // entries, results and inputs (nothing above them changed since the last complete pass), so
    // the pass only carries their context on. From `unmovedFrom` on, no line was edited or
    // moved, and the pass may stop once the context is back to what the last pass had.
    // `moved` says where the lines' own results stand in results_ (see Shift).
    Update evaluate(std::size_t unchangedBefore, std::size_t unmovedFrom, Shift moved);

    Engine engine_;
    std::vector<std::string> lines_;
    std::vector<CachedLine> cache_;
    std::vector<LineResult> results_;
    std::vector<bool> counted_;
    std::int64_t ratesVersion_ = 0;
    // The rates before any definition: one shared empty map, so that lines above the first
    // rate definition compare equal pointers from pass to pass.
    std::shared_ptr<const SheetRates> noRates_;
    std::shared_ptr<const SheetRates> finalRates_;
    std::size_t lastAnalysed_ = 0;
    Stamp lastStamp_ = 0;                     // the last stamp given to a value
    bool passComplete_ = true;                // false while a pass runs, and after one that was interrupted
    mutable std::optional<PageTotal> total_;  // computed on first request after an evaluation

    // Drops every line's analysis (each is analysed again by the pass that follows).
    void forgetAnalyses();
    // Renumbers the names when most numbers have fallen out of use (words typed and deleted
    // again), so that the table stays in proportion to the sheet.
    void compactNames();

    NameTable names_;
    std::size_t namesInUse_ = 0;  // the table's size after it was last renumbered
    std::unique_ptr<PassStorage> passStorage_;
};

}  // namespace quibsum
