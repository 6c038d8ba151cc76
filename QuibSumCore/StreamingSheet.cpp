#include "QuibSumCore/StreamingSheet.h"

#include "QuibSumCore/LineStep.h"

namespace quibsum {

// What a line passes on, applied to what the streaming sheet keeps. The line's value is read
// only when it has one.
struct StreamingSheet::Context {
    StreamingSheet& sheet;
    const LineAnalysis& line;

    const Quantity& value() const { return line.result.asValue()->quantity; }
    void defineRate() { applyRateDefinition(sheet.env_.sheetRates, *line.rateDefinition); }
    void forgetPrevious() { sheet.prev_.reset(); }
    void assign() { sheet.env_.assign(*line.assignedName, value()); }
    void setPrevious() { sheet.prev_ = value(); }
    void addToBlock() { sheet.block_.add(value()); }
};

StreamingSheet::StreamingSheet(Engine engine) : engine_(std::move(engine)) {}

const LineResult& StreamingSheet::add(std::string_view line) {
    const LineShape shape = lineShapeOf(line);
    if (LineStep::endsBlock(shape)) block_.clear();

    env_.prev = prev_;
    LineAnalysis a = engine_.analyze(line, env_);
    LineStep::completeAnalysis(
        a, prev_.has_value(), [&](bool& askedStore) { return block_.sum(engine_, env_.sheetRates, askedStore); },
        engine_);
    const LineStep step = LineStep::of(shape, a);
    counted_ = step.counted();

    Context context{*this, a};
    step.passOn(context);
    if (const LineResult::Value* value = a.result.asValue(); value && counted_) page_.add(value->quantity);
    result_ = std::move(a.result);
    return result_;
}

PageTotal StreamingSheet::total() const {
    bool askedStore = false;
    return pageTotalOf(page_.sum(engine_, env_.sheetRates, askedStore), engine_);
}

}  // namespace quibsum
