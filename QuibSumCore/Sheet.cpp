#include "QuibSumCore/Sheet.h"

#include <algorithm>
#include <unordered_set>

#include "QuibSumCore/BlockSum.h"
#include "QuibSumCore/CurrencyConverter.h"
#include "QuibSumCore/EngineMessages.h"
#include "QuibSumCore/Lexicon.h"
#include "QuibSumCore/Utf8.h"
#include "QuibSumCore/VariableNames.h"

namespace quibsum {

namespace {

using BlockNode = CachedLine::BlockNode;

const Quantity& valueOf(const CachedLine& line) { return std::get<LineResult::Value>(line.result.payload).quantity; }

}  // namespace

// The variables one pass has met so far, by name number, and the environment handed to the
// engine. The tables are indexed by NameId and cleared at the start of each pass by visiting
// the numbers the last pass set, so a pass costs nothing for the names it does not meet.
struct Sheet::Scratch {
    std::vector<const Quantity*> values;  // the variable of each name, or null
    // Per name: whether any variable is known under it as a key (a variable of that name, or
    // multi-word names registered under it), one byte so that the common answer "none" is a
    // single look-up.
    std::vector<std::uint8_t> known;
    // The multi-word names registered under each first word, in order of registration.
    std::vector<std::vector<NameId>> multi;
    std::vector<NameId> touched;  // the numbers whose entries above are set
    // Every assignment of the pass in order: replayed into `env` only when a line is analysed,
    // so that a pass that reuses every line never builds the engine's environment.
    std::vector<std::pair<NameId, const Quantity*>> assignments;
    // The engine's environment, kept from pass to pass: it holds exactly the assignments in
    // envAssignments, applied in that order. A pass that made the same assignments before
    // the line it analyses (the usual keystroke) finds it ready.
    Environment env;
    std::vector<std::pair<NameId, Quantity>> envAssignments;
    bool envChecked = false;                     // envAssignments is known to begin this pass's assignments
    std::shared_ptr<const SheetRates> envRates;  // the rates env.sheetRates holds a copy of
    std::vector<Slot*> blockLines;
    std::vector<const Quantity*> sumValues;  // scratch for summing

    void startPass(std::size_t names) {
        for (NameId id : touched) {
            values[id] = nullptr;
            multi[id].clear();
            known[id] = 0;
        }
        touched.clear();
        grow(names);
        assignments.clear();
        envChecked = false;
        blockLines.clear();
    }
    void forgetEnvironment() {
        env.values.clear();
        env.multiWordNames.clear();
        envAssignments.clear();
    }
    void grow(std::size_t names) {
        if (values.size() < names) {
            values.resize(names, nullptr);
            multi.resize(names);
            known.resize(names, 0);
        }
    }
};

// The context one pass carries from line to line. The previous result and the block refer to
// the cache entries of the lines above (which stay put during a pass), so moving on to the
// next line copies no quantity; the environment handed to the engine is brought up to date
// only when a line is actually analysed.
class Sheet::Pass {
public:
    explicit Pass(Sheet& sheet) : sheet_(sheet), s_(*sheet.scratch_), rates_(sheet.noRates_) {
        s_.startPass(sheet.names_.size());
    }

    // Steps through line i: reuses or analyses it, records its result, and moves the context on.
    void line(std::size_t i, std::size_t oldCount, Update& update) {
        Slot& slot = sheet_.cache_[i];
        if (slot.shape != Slot::Shape::other) {
            s_.blockLines.clear();
            chainLength_ = 0;
        }

        bool reused = slot.entry && reusable(slot);
        lastAsBefore_ = reused && slot.rates == rates_.get();
        if (reused) {
            // Equal by value: share the current copies so the next pass compares pointers.
            if (slot.rates != rates_.get()) {
                slot.entry->sheetRates = rates_;
                slot.rates = rates_.get();
            }
            if (slot.has(Slot::aggregate) && slot.entry->block() != chainTail())
                slot.entry->writableDetails().block = chain();
        } else {
            if (analyse(slot, sheet_.lines_[i])) update.respanned.push_back(i);
            ++analysed;
        }

        // While an entry stays at its index and is reused, the result shown there is its own,
        // and so is the counted flag.
        bool unchanged = reused && slot.position == i && i < oldCount;
        slot.position = static_cast<std::uint32_t>(i);
        if (!unchanged) {
            const LineResult& result = slot.entry->result;
            if (i >= oldCount) {
                sheet_.results_.push_back(result);
                update.changed.push_back(i);
            } else if (!(sheet_.results_[i] == result)) {
                sheet_.results_[i] = result;
                update.changed.push_back(i);
            }
            sheet_.counted_[i] = !slot.has(Slot::aggregate) && !slot.has(Slot::rateDefinition);
        }

        advance(slot, reused);
    }

    // Steps through a line known to be unchanged since the last pass, inputs included: its
    // entry stands, its result and flags are already in place; only the context moves on.
    void carry(Slot& slot) {
        if (slot.shape != Slot::Shape::other) {
            s_.blockLines.clear();
            chainLength_ = 0;
        }
        advance(slot, true);
    }

    const std::shared_ptr<const SheetRates>& rates() const { return rates_; }

    // Whether the context after the line just stepped through is the one the last pass had
    // there: the line was reused with the very rates it had, and no line analysed in this pass
    // assigns or defines anything, or did before.
    bool contextAsBefore() const { return lastAsBefore_ && !exportsChanged_; }

    // How a line stands in the block and the chain of previous results, from its first
    // character that is not white space: none (blank), "#" (a heading or comment), or another.
    static Slot::Shape shapeOf(std::string_view text) {
        std::size_t pos = 0;
        while (pos < text.size()) {
            char32_t c = utf8::decode(text, pos);
            if (!Lexicon::isWhiteSpace(c)) return c == U'#' ? Slot::Shape::heading : Slot::Shape::other;
        }
        return Slot::Shape::blank;
    }

    std::size_t analysed = 0;

private:
    bool reusable(const Slot& slot) {
        if (slot.has(Slot::ratesStale)) return false;
        if (slot.rates != rates_.get() && *slot.entry->sheetRates != *rates_) return false;
        if (!variablesAgree(slot)) return false;
        if (slot.has(Slot::usesPrev)) {
            const Quantity* stored = slot.entry->previous();
            if ((stored != nullptr) != (prev_ != nullptr)) return false;
            if (prev_ && !(*stored == valueOf(*prev_))) return false;
        }
        if (slot.has(Slot::aggregate)) {
            buildChain();
            if (!sameBlock(slot.entry->block(), chainTail())) return false;
        }
        return true;
    }

    // Every variable the line could read (under its name keys) has the value it had, and no
    // such variable appeared or vanished.
    bool variablesAgree(const Slot& slot) const {
        if (!slot.has(Slot::readsVariables)) {
            // It read none: it still agrees while none is known under its keys.
            bool anyKnown = false;
            for (NameId key : slot.nameKeys()) anyKnown |= s_.known[key] != 0;
            if (!anyKnown) return true;
        }
        const auto stored = slot.entry->variables();
        std::size_t seen = 0;
        bool agree = true;
        forEachVariable(slot.nameKeys(), [&](NameId name, const Quantity& q) {
            if (!agree) return;
            // Found in the order they were stored, unless names were registered in another
            // order above.
            if (seen < stored.size() && stored[seen].first == name) {
                agree = stored[seen].second == q;
            } else {
                auto it = std::find_if(stored.begin(), stored.end(), [&](const auto& v) { return v.first == name; });
                agree = it != stored.end() && it->second == q;
            }
            ++seen;
        });
        return agree && seen == stored.size();
    }

    // Calls f(name, value) for every variable known under the given name keys: the variable
    // named by the key itself, then the multi-word names registered under it.
    template <class F>
    void forEachVariable(std::span<const NameId> keys, F&& f) const {
        for (NameId key : keys) {
            if (const Quantity* q = s_.values[key]) f(key, *q);
            for (NameId name : s_.multi[key]) f(name, *s_.values[name]);
        }
    }

    static bool sameBlock(const BlockNode* a, const BlockNode* b) {
        if ((a ? a->size : 0) != (b ? b->size : 0)) return false;
        for (; a != b; a = a->previous.get(), b = b->previous.get())
            if (a->value != b->value && !(*a->value == *b->value)) return false;
        return true;
    }

    const BlockNode* chainTail() const {
        return chainLength_ ? s_.blockLines[chainLength_ - 1]->joined.get() : nullptr;
    }
    std::shared_ptr<const BlockNode> chain() const {
        return chainLength_ ? s_.blockLines[chainLength_ - 1]->joined : nullptr;
    }

    // Brings the shared list of the current block up to date. Only aggregate lines need it, so
    // blocks that no aggregate line reads never build one.
    [[gnu::noinline]] void buildChain() {
        for (; chainLength_ < s_.blockLines.size(); ++chainLength_) {
            Slot& line = *s_.blockLines[chainLength_];
            const BlockNode* tail = chainTail();
            if (line.joined && line.joined->previous.get() == tail) continue;
            std::shared_ptr<const Quantity> value(line.entry, &valueOf(*line.entry));
            line.joined = std::make_shared<const BlockNode>(BlockNode{std::move(value), chain(), chainLength_ + 1});
        }
    }

    // Brings the engine's environment to the state the lines above have built.
    const Environment& environment() {
        Environment& env = s_.env;
        auto& held = s_.envAssignments;
        if (!s_.envChecked) {
            std::size_t agree = 0;
            std::size_t n = std::min(held.size(), s_.assignments.size());
            while (agree < n && held[agree].first == s_.assignments[agree].first &&
                   held[agree].second == *s_.assignments[agree].second)
                ++agree;
            if (agree < held.size()) s_.forgetEnvironment();
            s_.envChecked = true;
        }
        for (std::size_t k = held.size(); k < s_.assignments.size(); ++k) {
            const auto& [name, value] = s_.assignments[k];
            env.assign(sheet_.names_.name(name), *value);
            held.emplace_back(name, *value);
        }
        if (prev_ == nullptr)
            env.prev.reset();
        else if (!env.prev || !(*env.prev == valueOf(*prev_)))
            env.prev = valueOf(*prev_);
        if (s_.envRates != rates_) {
            env.sheetRates = *rates_;
            s_.envRates = rates_;
        }
        return env;
    }

    // Returns whether the line's variable ranges differ from those of its previous analysis.
    // Kept out of line, like the other rare paths, so that the step over a reused line stays small.
    [[gnu::noinline]] bool analyse(Slot& slot, const std::string& text) {
        const Environment& env = environment();
        const std::uint64_t questionsBefore = CurrencyConverter::storeQuestions();
        LineAnalysis a = sheet_.engine_.analyze(text, env);
        if (a.usesPrev && !prev_) a.result = LineResult::error(std::string(messages::noPreviousResult));
        if (a.aggregate) a.result = aggregate(*a.aggregate);
        const bool asksStore = CurrencyConverter::storeQuestions() != questionsBefore;
        const std::uint8_t exports = Slot::assigns | Slot::rateDefinition;
        exportsChanged_ |= (slot.flags & exports) != 0 || a.assignedName || a.rateDefinition;
        const bool respanned = slot.entry ? !std::ranges::equal(slot.entry->variableRanges(), a.variableRanges)
                                          : !a.variableRanges.empty();

        auto entry = std::make_shared<CachedLine>();
        entry->result = std::move(a.result);
        if (!a.variableRanges.empty()) entry->writableDetails().variableRanges = std::move(a.variableRanges);
        if (a.rateDefinition) {
            CachedLine::Details& d = entry->writableDetails();
            d.rateDefinition = std::make_unique<const SheetRate>(std::move(*a.rateDefinition));
            // The rates it produced last time are handed on, to be kept if they come out equal.
            // A block node is not: it holds the old entry's value and would keep it alive.
            if (slot.entry && slot.entry->details) d.ratesAfter = std::move(slot.entry->details->ratesAfter);
        }
        slot.joined.reset();

        NameTable& names = sheet_.names_;
        std::array<NameId, Slot::inlineKeys> inlineKeys{};
        for (std::size_t k = 0; k < a.nameKeys.size(); ++k) {
            NameId id = names.intern(a.nameKeys[k]);
            if (a.nameKeys.size() > Slot::inlineKeys)
                entry->writableDetails().keys.push_back(id);
            else
                inlineKeys[k] = id;
        }
        if (a.assignedName) {
            slot.assigned = names.intern(*a.assignedName);
            slot.assignedKey = names.intern(VariableNames::key(*a.assignedName));
        }
        s_.grow(names.size());
        slot.keys = inlineKeys;
        slot.keyCount = static_cast<std::uint8_t>(std::min<std::size_t>(a.nameKeys.size(), Slot::inlineKeys + 1));
        slot.entry = entry;  // the keys beyond the slot's are read through it
        forEachVariable(slot.nameKeys(), [&](NameId name, const Quantity& q) {
            entry->writableDetails().variables.emplace_back(name, q);
        });

        if (a.usesPrev && prev_) entry->writableDetails().previous = std::make_unique<const Quantity>(valueOf(*prev_));
        if (a.aggregate) {
            buildChain();
            if (chainLength_) entry->writableDetails().block = chain();
        }
        entry->sheetRates = rates_;
        entry->ratesVersion = sheet_.ratesVersion_;

        slot.rates = rates_.get();
        slot.flags = static_cast<std::uint8_t>(
            (entry->result.isValue() ? Slot::value : 0) | (a.usesPrev ? Slot::usesPrev : 0) |
            (a.aggregate ? Slot::aggregate : 0) | (entry->rateDefinition() ? Slot::rateDefinition : 0) |
            (a.assignedName ? Slot::assigns : 0) | (entry->variables().empty() ? 0 : Slot::readsVariables) |
            (asksStore ? Slot::asksStore : 0));
        return respanned;
    }

    LineResult aggregate(Aggregate kind) {
        s_.sumValues.clear();
        for (const Slot* line : s_.blockLines) s_.sumValues.push_back(&valueOf(*line->entry));
        return aggregateResultOf(BlockSum::of(s_.sumValues, sheet_.engine_, *rates_), kind, sheet_.engine_);
    }

    void advance(Slot& slot, bool reused) {
        if (slot.has(Slot::value) && slot.has(Slot::rateDefinition)) {
            define(*slot.entry->details, reused);  // a definition always has details
            prev_ = nullptr;
        } else if (slot.has(Slot::value)) {
            if (slot.has(Slot::assigns)) assign(slot.assigned, slot.assignedKey, valueOf(*slot.entry));
            prev_ = slot.entry.get();
            s_.blockLines.push_back(&slot);
        } else if (slot.shape != Slot::Shape::blank) {
            prev_ = nullptr;
        }
    }

    // The rates after a definition. A reused definition saw the same rates before it, so the
    // rates after it are the ones it produced last time. Kept out of line: rare, and its map
    // handling would weigh on the step every line takes.
    [[gnu::noinline]] void define(CachedLine::Details& e, bool reused) {
        if (!reused || !e.ratesAfter) {
            const SheetRate& d = *e.rateDefinition;
            SheetRates next = *rates_;
            next.erase(CurrencyPair{d.to, d.from});
            next.insert_or_assign(CurrencyPair{d.from, d.to}, d.value);
            if (!e.ratesAfter || *e.ratesAfter != next)
                e.ratesAfter = std::make_shared<const SheetRates>(std::move(next));
        }
        rates_ = e.ratesAfter;
    }

    // A name with spaces assigned for the first time is registered under its first word, as
    // the engine's environment registers it.
    void assign(NameId name, NameId key, const Quantity& value) {
        const Quantity*& current = s_.values[name];
        if (current == nullptr) {
            s_.touched.push_back(name);
            if (key != name) {
                s_.multi[key].push_back(name);
                s_.touched.push_back(key);
            }
            s_.known[key] = 1;
        }
        current = &value;
        s_.assignments.emplace_back(name, &value);
    }

    Sheet& sheet_;
    Scratch& s_;
    const CachedLine* prev_ = nullptr;  // the line whose value is the previous result
    // The block: the lines whose values joined it (s_.blockLines), of which the first
    // chainLength_ are linked into a shared list (as far as an aggregate line has needed it).
    std::size_t chainLength_ = 0;
    std::shared_ptr<const SheetRates> rates_;
    // The line just stepped through was reused, and found the very rates it had last time.
    bool lastAsBefore_ = false;
    bool exportsChanged_ = false;  // a line analysed in this pass assigns or defines, or did
};

Sheet::Sheet(Engine engine)
    : engine_(std::move(engine)),
      noRates_(std::make_shared<const SheetRates>()),
      finalRates_(noRates_),
      scratch_(std::make_unique<Scratch>()) {}

Sheet::Sheet(Sheet&&) noexcept = default;
Sheet::~Sheet() = default;

const std::vector<LineResult>& Sheet::setText(std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            break;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    update(0, lines_.size(), std::move(pieces));
    return results_;
}

Sheet::Update Sheet::update(std::size_t lower, std::size_t upper, std::vector<std::string> replacement) {
    // Out-of-range bounds are a caller error; clamp them rather than corrupt the arrays.
    upper = std::min(upper, lines_.size());
    lower = std::min(lower, upper);
    std::size_t removed = upper - lower;
    std::size_t common = std::min(removed, replacement.size());
    auto at = [&](auto& v, std::size_t k) { return v.begin() + static_cast<std::ptrdiff_t>(k); };

    // Whether a line that goes away made a variable or sheet rates for the lines below.
    bool removedExports = false;
    for (std::size_t k = lower; k < upper; ++k)
        removedExports |= cache_[k].has(Slot::assigns) || cache_[k].has(Slot::rateDefinition);
    // Below an edit that keeps every line where it was, the lines past the next heading may
    // find everything as the last pass left it (see evaluate).
    const std::size_t settledFrom =
        removed == replacement.size() && !removedExports ? lower + removed : std::size_t(-1);

    for (std::size_t k = 0; k < common; ++k) {
        lines_[lower + k] = std::move(replacement[k]);
        cache_[lower + k] = Slot{};
    }
    if (removed > common) {
        lines_.erase(at(lines_, lower + common), at(lines_, upper));
        cache_.erase(at(cache_, lower + common), at(cache_, upper));
    } else if (replacement.size() > common) {
        lines_.insert(at(lines_, lower + common), std::make_move_iterator(at(replacement, common)),
                      std::make_move_iterator(replacement.end()));
        std::vector<Slot> absent(replacement.size() - common);
        cache_.insert(at(cache_, lower + common), std::make_move_iterator(absent.begin()),
                      std::make_move_iterator(absent.end()));
    }
    for (std::size_t k = lower; k < lower + replacement.size(); ++k) cache_[k].shape = Pass::shapeOf(lines_[k]);

    return evaluate(lower, settledFrom);
}

Sheet::Update Sheet::setRatesVersion(std::int64_t version) {
    if (version == ratesVersion_) return Update{results_, {}, {}};
    ratesVersion_ = version;
    // A line that asked the store nothing took the same path whatever its tables held, so its
    // analysis stands for the new version too.
    for (Slot& slot : cache_) {
        if (!slot.entry) continue;
        if (slot.has(Slot::asksStore))
            slot.flags |= Slot::ratesStale;
        else
            slot.entry->ratesVersion = version;
    }
    return evaluate(0, std::size_t(-1));
}

Sheet::Update Sheet::evaluate(std::size_t unchangedBefore, std::size_t settledFrom) {
    total_.reset();
    const std::size_t count = lines_.size();
    const std::size_t oldCount = results_.size();
    Update update;
    counted_.resize(count);
    if (results_.size() > count) results_.resize(count);
    results_.reserve(count);
    if (names_.size() > 2 * namesInUse_ + 1024) compactNames();

    // A pass cut short (the engine threw) may have left entries that the lines above them no
    // longer match: look at every line again.
    if (!passComplete_) unchangedBefore = 0;
    unchangedBefore = std::min({unchangedBefore, count, oldCount});
    passComplete_ = false;
    Pass pass(*this);
    for (std::size_t i = 0; i < unchangedBefore; ++i) pass.carry(cache_[i]);
    bool settled = false;
    for (std::size_t i = unchangedBefore; i < count && !settled; ++i) {
        pass.line(i, oldCount, update);
        // A heading resets the previous result and the block. Past the edit, when no line so
        // far changed what it assigns or defines and the heading was reused with the rates it
        // had, every line below meets exactly the inputs it met in the last pass, which left
        // it reused or analysed for them: the pass can stop here.
        settled = i >= settledFrom && cache_[i].shape == Slot::Shape::heading && pass.contextAsBefore();
    }
    passComplete_ = true;
    if (!settled) finalRates_ = pass.rates();  // else the last pass's, which nothing below changed
    lastAnalysed_ = pass.analysed;
    update.results = results_;
    return update;
}

void Sheet::compactNames() {
    scratch_->startPass(0);
    scratch_->forgetEnvironment();
    scratch_->values.clear();
    scratch_->multi.clear();
    NameTable fresh;
    auto renumber = [&](NameId& id) { id = fresh.intern(names_.name(id)); };
    for (Slot& slot : cache_) {
        if (!slot.entry) continue;  // analysed afresh before anything reads its numbers
        if (slot.keyCount <= Slot::inlineKeys)
            std::for_each(slot.keys.begin(), slot.keys.begin() + slot.keyCount, renumber);
        if (slot.has(Slot::assigns)) {
            renumber(slot.assigned);
            renumber(slot.assignedKey);
        }
        if (CachedLine::Details* details = slot.entry->details.get()) {
            std::ranges::for_each(details->keys, renumber);
            for (auto& variable : details->variables) renumber(variable.first);
        }
    }
    names_ = std::move(fresh);
    namesInUse_ = names_.size();
}

PageTotal Sheet::total() const {
    if (total_) return *total_;
    std::vector<const Quantity*> values;
    for (std::size_t i = 0; i < results_.size(); ++i) {
        if (auto v = results_[i].asValue(); v && counted_[i]) values.push_back(&v->quantity);
    }
    total_ = pageTotalOf(BlockSum::of(values, engine_, *finalRates_), engine_);
    return *total_;
}

std::map<std::size_t, std::vector<TextRange>> Sheet::variableSpans() const {
    std::map<std::size_t, std::vector<TextRange>> spans;
    for (std::size_t i = 0; i < cache_.size(); ++i) {
        const CachedLine* e = cache_[i].entry.get();
        if (!e || e->variableRanges().empty()) continue;
        std::span<const TextRange> ranges = e->variableRanges();
        spans.emplace_hint(spans.end(), i, std::vector<TextRange>(ranges.begin(), ranges.end()));
    }
    return spans;
}

std::span<const TextRange> Sheet::variableSpans(std::size_t line) const {
    const CachedLine* e = cacheEntry(line);
    if (!e) return {};
    return e->variableRanges();
}

std::vector<std::string> Sheet::variableNames(std::ptrdiff_t before) const {
    std::vector<std::string> names;
    if (before <= 0) return names;
    std::size_t end = std::min(static_cast<std::size_t>(before), cache_.size());
    std::unordered_set<NameId> seen;
    for (std::size_t i = 0; i < end; ++i) {
        const Slot& slot = cache_[i];
        if (!slot.entry || !slot.has(Slot::assigns) || !slot.has(Slot::value)) continue;
        if (seen.insert(slot.assigned).second) names.push_back(names_.name(slot.assigned));
    }
    return names;
}

}  // namespace quibsum
