#pragma once
// SheetGenerator: deterministic sheets that read like real pages, for the sheet benchmarks.
// Sections open with a heading and close with a sum; in between stand arithmetic,
// percentages, units, currencies and conversions, labels, assignments to single- and
// multi-word names and the lines that read them, previous-result chains, comments, blank
// lines, and now and then a rate typed into the sheet. Names come back from section to
// section, as a page of monthly expenses reuses "rent" and "tiền nhà". The same seed gives
// the same text on every platform.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QuibSumCore/RateStore.h"

namespace quibsum::bench {

class SheetGenerator {
public:
    explicit SheetGenerator(std::uint64_t seed = 20240611) : state_(seed) {}

    std::vector<std::string> lines(std::size_t count);

    // The lines with one variable assigned on the first line and read by `readers` lines spread
    // evenly below it (replacing plain value lines), so that changing it reaches that many.
    static std::vector<std::string> withSharedVariable(std::vector<std::string> lines, std::size_t readers,
                                                       const std::string& assignment = "shared rate = 100");

    static std::string join(const std::vector<std::string>& lines);

private:
    std::uint64_t next();
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    std::string number(int maxWhole, bool fraction);
    std::string valueLine(std::size_t section);

    std::uint64_t state_;
    std::vector<std::string> names_;        // names assigned in the current section
    const char* const* measure_ = nullptr;  // the section's two units, or money when null
};

// A bank table and a mid-market table like the shipped seed's, for the currencies the
// generator writes.
std::shared_ptr<const RateStore> benchRates();

}  // namespace quibsum::bench
