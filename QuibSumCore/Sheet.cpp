#include "QuibSumCore/Sheet.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "QuibSumCore/BlockSum.h"
#include "QuibSumCore/LineStep.h"
#include "QuibSumCore/VariableNames.h"

namespace quibsum {

namespace {

const Quantity& valueOf(const LineResult& result) { return std::get<LineResult::Value>(result.payload).quantity; }

LineStep stepOf(const CachedLine& line) {
    return {line.shape, line.has(CachedLine::value), line.has(CachedLine::rateDefinition),
            line.has(CachedLine::assigns), line.has(CachedLine::aggregate)};
}

// Makes room for n more elements. A sheet's arrays hold a value per line, so an array filled
// from nothing is made to measure, and one that grows grows by a sixteenth rather than
// doubling: a line typed into a long sheet leaves little unused room, and still only every
// so many lines move the arrays.
template <class T>
void makeRoom(std::vector<T>& v, std::size_t n) {
    const std::size_t needed = v.size() + n;
    if (v.capacity() < needed) v.reserve(v.empty() ? needed : needed + needed / 16);
}

// Inserts n default values at `where`, building them in place: a sheet's arrays are large, and
// a temporary array of the new elements would be as much memory again to fault in.
template <class T>
void insertFresh(std::vector<T>& v, std::size_t where, std::size_t n) {
    const std::size_t size = v.size();
    makeRoom(v, n);
    v.resize(size + n);
    if (where == size) return;
    auto at = [&](std::size_t k) { return v.begin() + static_cast<std::ptrdiff_t>(k); };
    std::move_backward(at(where), at(size), at(size + n));
    for (auto it = at(where); it != at(where + n); ++it) *it = T{};
}

}  // namespace

// The variables one pass has met so far, by name number, and the environment handed to the
// engine. The tables are indexed by NameId and cleared at the start of each pass by visiting
// the numbers the last pass set, so a pass costs nothing for the names it does not meet.
struct Sheet::PassStorage {
    struct Variable {
        const Quantity* value = nullptr;  // null: no variable of that name so far
        Stamp stamp = 0;
    };
    std::vector<Variable> values;
    // Per name: whether any variable is known under it as a key (a variable of that name, or
    // multi-word names registered under it), one byte so that the common answer "none" is a
    // single look-up.
    std::vector<std::uint8_t> known;
    // The chain of multi-word names registered under each first word so far, newest first.
    std::vector<std::shared_ptr<const NameRegistration>> heads;
    std::vector<NameId> touched;  // the numbers whose entries above are set
    // Every assignment of the pass in order: replayed into `env` only when a line is analysed,
    // so that a pass that reuses every line never builds the engine's environment.
    struct Assignment {
        NameId name;
        Stamp stamp;
        const Quantity* value;
    };
    std::vector<Assignment> assignments;
    // The engine's environment, kept from pass to pass: it holds exactly the assignments in
    // envAssignments (name and stamp), applied in that order. A pass that made the same
    // assignments before the line it analyses (the usual keystroke) finds it ready.
    Environment env;
    std::vector<std::pair<NameId, Stamp>> envAssignments;
    bool envChecked = false;                     // envAssignments is known to begin this pass's assignments
    std::shared_ptr<const SheetRates> envRates;  // the rates env.sheetRates holds a copy of
    std::vector<const Quantity*> block;          // the values of the current block, for a sum

    void startPass(std::size_t names) {
        for (NameId id : touched) {
            values[id] = {};
            heads[id].reset();
            known[id] = 0;
        }
        touched.clear();
        grow(names);
        assignments.clear();
        envChecked = false;
        block.clear();
    }
    void forgetEnvironment() {
        env.values.clear();
        env.multiWordNames.clear();
        envAssignments.clear();
    }
    void grow(std::size_t names) {
        if (values.size() < names) {
            values.resize(names);
            heads.resize(names);
            known.resize(names, 0);
        }
    }
};

// The context one pass carries from line to line. The previous result, the variables and the
// block refer to the results of the lines above, which stay put during a pass (results_ has
// room for every line before it starts), so moving on to the next line copies no quantity;
// the environment handed to the engine is brought up to date only when a line is actually
// analysed.
class Sheet::Pass {
public:
    Pass(Sheet& sheet, Shift moved) : sheet_(sheet), s_(*sheet.passStorage_), rates_(sheet.noRates_), moved_(moved) {
        s_.startPass(sheet.names_.size());
    }

    // Steps through line i: reuses or analyses it, records its result, and moves the context on.
    void line(std::size_t i, std::size_t oldCount, Update& update) {
        CachedLine& line = sheet_.cache_[i];
        if (LineStep::endsBlock(line.shape)) endBlock();

        std::vector<LineResult>& results = sheet_.results_;
        const bool moved = i >= moved_.from && moved_.by != 0;
        // Where the line's own last result stands, and where the result shown at i before does.
        const std::size_t own = moved && moved_.by < 0 ? i - static_cast<std::size_t>(moved_.by) : i;
        const std::size_t before = moved && moved_.by > 0 ? i + static_cast<std::size_t>(moved_.by) : i;
        bool changed;

        const bool reused = line.analysed() && reusable(line);
        lastAsBefore_ = reused && line.sheetRates == rates_;
        if (reused) {
            // Equal by value: share the current copy so the next pass compares pointers.
            if (line.sheetRates != rates_) line.sheetRates = rates_;
            // Unmoved, the result shown at i is its own. Moved up, the own result is copied, not
            // moved: it is still the one shown before at `own`, which a line below compares with.
            changed = own != before && (i >= oldCount || !(results[before] == results[own]));
            if (own != i && changed) results[i] = results[own];
        } else {
            LineResult result = analyse(line, results[own], update.rangesChanged, i);
            changed = i >= oldCount || !(results[before] == result);
            results[i] = std::move(result);
            ++analysed;
        }
        if (changed) update.changed.push_back(i);
        sheet_.counted_[i] = stepOf(line).counted();
        advance(line, results[i], reused);
    }

    // Steps through a line known to be unchanged since the last pass, inputs included: its
    // result and flags are already in place; only the context moves on.
    void carry(std::size_t i) {
        CachedLine& line = sheet_.cache_[i];
        if (LineStep::endsBlock(line.shape)) endBlock();
        advance(line, sheet_.results_[i], true);
    }

    const std::shared_ptr<const SheetRates>& rates() const { return rates_; }

    // Whether the context after the line just stepped through is the one the last pass had
    // there: the line was reused with the very rates it had, and no line analysed in this pass
    // assigns or defines anything, or did before.
    bool contextAsBefore() const { return lastAsBefore_ && !exportsChanged_; }

    std::size_t analysed = 0;

private:
    bool reusable(CachedLine& line) const {
        if (line.has(CachedLine::ratesStale)) return false;
        if (line.sheetRates != rates_ && *line.sheetRates != *rates_) return false;
        if (!variablesAgree(line)) return false;
        if (line.has(CachedLine::usesPrev)) {
            const Quantity* stored = line.previous();
            if ((stored != nullptr) != (prev_ != nullptr)) return false;
            if (prev_ && !(*stored == *prev_)) return false;
        }
        if (line.has(CachedLine::aggregate)) {
            // The block read then had as many values, began with the same one, and none of its
            // values is newer than the sheet's last stamp then. The lines of the block now
            // existed then with these values (a stamp never comes back), in this order (lines
            // keep theirs) and below the same first line; every value line between that one and
            // this was in the block read then; so, being as many, they are that block.
            const CachedLine::Details& d = *line.details;
            if (d.blockSize != s_.block.size()) return false;
            if (!s_.block.empty() && (d.blockFirst != blockFirst_ || blockNewest_ > d.blockSeen)) return false;
        }
        return true;
    }

    // The line would read what it read: the variables named by its keys are the ones it met,
    // with the values it met; the names with spaces registered under its keys are the ones it
    // could join then, in the same order, so it joins the same names; and those it read have
    // the values they had.
    bool variablesAgree(CachedLine& line) const {
        if (!line.has(CachedLine::readsVariables)) {
            // It read none: it still agrees while none is known under its keys.
            bool anyKnown = false;
            for (NameId key : line.nameKeys()) anyKnown |= s_.known[key] != 0;
            if (!anyKnown) return true;
        }
        const auto stored = line.variables();
        const std::span<std::pair<NameId, std::shared_ptr<const NameRegistration>>> registered =
            line.details ? std::span(line.details->registered)
                         : std::span<std::pair<NameId, std::shared_ptr<const NameRegistration>>>();
        std::size_t next = 0, chains = 0;
        for (NameId key : line.nameKeys()) {
            if (const Quantity* value = s_.values[key].value) {
                if (next == stored.size() || stored[next].first != key || !(stored[next].second == *value))
                    return false;
                ++next;
            }
            if (const auto& head = s_.heads[key]) {
                if (chains == registered.size() || registered[chains].first != key) return false;
                std::shared_ptr<const NameRegistration>& then = registered[chains].second;
                if (then != head) {
                    // A chain made anew with the same names (a link above was replaced by an
                    // equal one): share the current one, so that the next pass compares pointers.
                    if (!sameNames(then.get(), head.get())) return false;
                    then = head;
                }
                ++chains;
            }
        }
        if (chains != registered.size()) return false;
        // The rest are names with spaces, which never name a key.
        for (; next < stored.size(); ++next) {
            const Quantity* value = s_.values[stored[next].first].value;
            if (!value || !(stored[next].second == *value)) return false;
        }
        return true;
    }

    // Whether two chains register the same names in the same order. They part where they
    // differ or meet where they are shared, so only the links made anew are walked.
    static bool sameNames(const NameRegistration* a, const NameRegistration* b) {
        while (a != b) {
            if (!a || !b || a->name != b->name) return false;
            a = a->before.get();
            b = b->before.get();
        }
        return true;
    }

    // Brings the engine's environment to the state the lines above have built.
    const Environment& environment() {
        Environment& env = s_.env;
        auto& held = s_.envAssignments;
        if (!s_.envChecked) {
            std::size_t agree = 0;
            std::size_t n = std::min(held.size(), s_.assignments.size());
            while (agree < n && held[agree].first == s_.assignments[agree].name &&
                   held[agree].second == s_.assignments[agree].stamp)
                ++agree;
            if (agree < held.size()) s_.forgetEnvironment();
            s_.envChecked = true;
        }
        for (std::size_t k = held.size(); k < s_.assignments.size(); ++k) {
            const PassStorage::Assignment& a = s_.assignments[k];
            env.assign(sheet_.names_.name(a.name), *a.value);
            held.emplace_back(a.name, a.stamp);
        }
        if (prev_ == nullptr)
            env.prev.reset();
        else if (!env.prev || !(*env.prev == *prev_))
            env.prev = *prev_;
        if (s_.envRates != rates_) {
            env.sheetRates = *rates_;
            s_.envRates = rates_;
        }
        return env;
    }

    // Analyses line i afresh against the context and returns the result to show. `last` is the
    // result shown for the line before (or for the text it replaced): an equal value of the
    // same kind keeps its stamp, so that the lines reading it stay valid. Appends i to
    // `rangesChanged` when the variable ranges differ from those of that analysis. Kept out of line,
    // like the other rare paths, so that the step over a reused line stays small.
    [[gnu::noinline]] LineResult analyse(CachedLine& line, const LineResult& last,
                                         std::vector<std::size_t>& rangesChanged, std::size_t i) {
        const Environment& env = environment();
        LineAnalysis a = sheet_.engine_.analyze(sheet_.lines_[i], env);
        LineStep::completeAnalysis(
            a, prev_ != nullptr,
            [&](bool& askedStore) { return BlockSum::of(s_.block, sheet_.engine_, *rates_, askedStore); },
            sheet_.engine_);
        const std::uint8_t exports = CachedLine::assigns | CachedLine::rateDefinition;
        exportsChanged_ |= (line.flags & exports) != 0 || a.assignedName || a.rateDefinition;
        if (!std::ranges::equal(line.variableRanges(), a.variableRanges)) rangesChanged.push_back(i);

        const std::uint8_t flags = static_cast<std::uint8_t>(
            (a.result.isValue() ? CachedLine::value : 0) | (a.usesPrev ? CachedLine::usesPrev : 0) |
            (a.aggregate ? CachedLine::aggregate : 0) | (a.rateDefinition ? CachedLine::rateDefinition : 0) |
            (a.assignedName ? CachedLine::assigns : 0) | (a.asksRateStore ? CachedLine::asksStore : 0));
        const bool sameValue = line.stamp != 0 && (line.flags & CachedLine::kinds) == (flags & CachedLine::kinds) &&
                               valueOf(last) == valueOf(a.result);

        // The rates a definition produced last time are handed on, to be kept if they come out
        // equal; so is the link of a name registered, to be kept if it registers the same name.
        std::shared_ptr<const SheetRates> ratesAfter;
        std::shared_ptr<const NameRegistration> registration;
        if (line.details) {
            if (a.rateDefinition) ratesAfter = std::move(line.details->ratesAfter);
            if (a.assignedName) registration = std::move(line.details->registration);
        }
        line.details.reset();
        if (registration) line.writableDetails().registration = std::move(registration);
        if (!a.variableRanges.empty()) {
            line.writableDetails().variableRanges.assign(a.variableRanges.begin(), a.variableRanges.end());
        }
        if (a.rateDefinition) {
            CachedLine::Details& d = line.writableDetails();
            d.rateDefinition = std::make_unique<const SheetRate>(std::move(*a.rateDefinition));
            d.ratesAfter = std::move(ratesAfter);
        }
        if (a.aggregate) {
            CachedLine::Details& d = line.writableDetails();
            d.blockSize = static_cast<std::uint32_t>(s_.block.size());
            d.blockFirst = blockFirst_;
            d.blockSeen = sheet_.lastStamp_;
        }

        NameTable& names = sheet_.names_;
        line.keys = {};
        for (std::size_t k = 0; k < a.nameKeys.size(); ++k) {
            NameId id = names.intern(a.nameKeys[k]);
            if (a.nameKeys.size() > CachedLine::inlineKeys)
                line.writableDetails().keys.push_back(id);
            else
                line.keys[k] = id;
        }
        line.keyCount = static_cast<std::uint8_t>(std::min<std::size_t>(a.nameKeys.size(), CachedLine::inlineKeys + 1));
        if (a.assignedName) {
            line.assigned = names.intern(*a.assignedName);
            line.assignedKey = names.intern(VariableNames::key(*a.assignedName));
        }
        // What the line read, and the chains of names it could have joined: the names it did not
        // join are not copied, however many share its first words.
        s_.grow(names.size());
        for (NameId key : line.nameKeys()) {
            if (const Quantity* value = s_.values[key].value)
                line.writableDetails().variables.emplace_back(key, *value);
        }
        for (std::string_view name : a.referencedNames) {
            if (name.find(' ') == std::string_view::npos) continue;  // a key of the line: read above
            const NameId id = names.intern(name);
            s_.grow(names.size());
            if (const Quantity* value = s_.values[id].value) line.writableDetails().variables.emplace_back(id, *value);
        }
        for (NameId key : line.nameKeys()) {
            if (const auto& head = s_.heads[key]) line.writableDetails().registered.emplace_back(key, head);
        }

        line.sheetRates = rates_;
        if (a.usesPrev && prev_) line.writableDetails().previous = std::make_unique<const Quantity>(*prev_);
        const bool reads = !line.variables().empty() || !line.registered().empty();
        line.flags = static_cast<std::uint8_t>(flags | (reads ? CachedLine::readsVariables : 0));
        if (!a.result.isValue())
            line.stamp = 0;
        else if (!sameValue)
            line.stamp = ++sheet_.lastStamp_;
        return std::move(a.result);
    }

    void endBlock() {
        s_.block.clear();
        blockNewest_ = 0;
    }

    // What a line passes on, applied to the pass's context. The line's value is read only when
    // it has one; a definition always has details.
    struct Context {
        Pass& pass;
        CachedLine& line;
        const LineResult& result;
        bool reused;

        void defineRate() { pass.define(*line.details, reused); }
        void forgetPrevious() { pass.prev_ = nullptr; }
        void assign() { pass.assign(line, valueOf(result)); }
        void setPrevious() { pass.prev_ = &valueOf(result); }
        void addToBlock() {
            if (pass.s_.block.empty()) pass.blockFirst_ = line.stamp;
            pass.blockNewest_ = std::max(pass.blockNewest_, line.stamp);
            pass.s_.block.push_back(&valueOf(result));
        }
    };

    void advance(CachedLine& line, const LineResult& result, bool reused) {
        Context context{*this, line, result, reused};
        stepOf(line).passOn(context);
    }

    // The rates after a definition. A reused definition saw the same rates before it, so the
    // rates after it are the ones it produced last time. Kept out of line: rare, and its map
    // handling would weigh on the step every line takes.
    [[gnu::noinline]] void define(CachedLine::Details& e, bool reused) {
        if (!reused || !e.ratesAfter) {
            const SheetRate& d = *e.rateDefinition;
            SheetRates next = *rates_;
            applyRateDefinition(next, d);
            if (!e.ratesAfter || *e.ratesAfter != next)
                e.ratesAfter = std::make_shared<const SheetRates>(std::move(next));
        }
        rates_ = e.ratesAfter;
    }

    // A name with spaces assigned for the first time is registered under its first word, as
    // the engine's environment registers it: the line's link is kept when it registers the
    // same name after the same chain as last time, so that the chain stays the same object.
    void assign(CachedLine& line, const Quantity& value) {
        const NameId name = line.assigned;
        const NameId key = line.assignedKey;
        const Stamp stamp = line.stamp;
        PassStorage::Variable& current = s_.values[name];
        if (current.value == nullptr) {
            s_.touched.push_back(name);
            if (key != name) {
                std::shared_ptr<const NameRegistration>& head = s_.heads[key];
                std::shared_ptr<const NameRegistration>& link = line.writableDetails().registration;
                if (!link || link->name != name || link->before != head)
                    link = std::make_shared<const NameRegistration>(name, head);
                head = link;
                s_.touched.push_back(key);
            }
            s_.known[key] = 1;
        }
        current = {&value, stamp};
        s_.assignments.push_back({name, stamp, &value});
    }

    Sheet& sheet_;
    PassStorage& s_;
    std::shared_ptr<const SheetRates> rates_;
    const Shift moved_;
    const Quantity* prev_ = nullptr;  // the previous result, among the results of the lines above
    Stamp blockFirst_ = 0;            // the stamp of the block's first value (s_.block holds the values)
    Stamp blockNewest_ = 0;           // and the latest stamp among them
    // The line just stepped through was reused, and found the very rates it had last time.
    bool lastAsBefore_ = false;
    bool exportsChanged_ = false;  // a line analysed in this pass assigns or defines, or did
};

Sheet::Sheet(Engine engine)
    : engine_(std::move(engine)),
      noRates_(std::make_shared<const SheetRates>()),
      finalRates_(noRates_),
      passStorage_(std::make_unique<PassStorage>()) {}

Sheet::Sheet(Sheet&&) noexcept = default;
Sheet::~Sheet() = default;

const std::vector<LineResult>& Sheet::setText(std::string_view text) {
    std::vector<std::string> pieces;
    pieces.reserve(static_cast<std::size_t>(std::ranges::count(text, '\n')) + 1);  // kept as the sheet's lines
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
    const std::size_t removed = upper - lower;
    const std::size_t added = replacement.size();
    const std::size_t common = std::min(removed, added);
    auto at = [&](auto& v, std::size_t k) { return v.begin() + static_cast<std::ptrdiff_t>(k); };

    // Whether a line that goes away made a variable or sheet rates for the lines below.
    bool removedExports = false;
    for (std::size_t k = lower; k < upper; ++k)
        removedExports |= cache_[k].has(CachedLine::assigns) || cache_[k].has(CachedLine::rateDefinition);
    // Below an edit that keeps every line where it was, the lines past the next heading may
    // find everything as the last pass left it (see evaluate).
    const std::size_t unmovedFrom = removed == added && !removedExports ? lower + removed : std::size_t(-1);

    for (std::size_t k = 0; k < common; ++k) {
        lines_[lower + k] = std::move(replacement[k]);
        cache_[lower + k] = cache_[lower + k].replaced();
    }
    Shift moved{lower + common, static_cast<std::ptrdiff_t>(added) - static_cast<std::ptrdiff_t>(removed)};
    if (removed > common) {
        lines_.erase(at(lines_, lower + common), at(lines_, upper));
        cache_.erase(at(cache_, lower + common), at(cache_, upper));
    } else if (added > common) {
        if (lines_.empty())
            lines_ = std::move(replacement);
        else {
            makeRoom(lines_, added - common);
            lines_.insert(at(lines_, lower + common), std::make_move_iterator(at(replacement, common)),
                          std::make_move_iterator(replacement.end()));
        }
        insertFresh(cache_, lower + common, added - common);
        // Room for the new lines' results, so that every line's own result stands at its index.
        insertFresh(results_, std::min(lower + common, results_.size()), added - common);
    }
    for (std::size_t k = lower; k < lower + added; ++k) cache_[k].shape = lineShapeOf(lines_[k]);

    return evaluate(lower, unmovedFrom, moved);
}

Sheet::Update Sheet::setRatesVersion(std::int64_t version) {
    if (version == ratesVersion_) return Update{results_, {}, {}};
    ratesVersion_ = version;
    // A line that asked the store nothing took the same path whatever its tables held, so its
    // analysis stands for the new version too.
    for (CachedLine& line : cache_) {
        if (line.has(CachedLine::asksStore)) line.flags |= CachedLine::ratesStale;
    }
    return evaluate(0, std::size_t(-1), Shift{});
}

Sheet::Update Sheet::evaluate(std::size_t unchangedBefore, std::size_t unmovedFrom, Shift moved) {
    total_.reset();
    const std::size_t count = lines_.size();
    // The lines shown before: results_ has made room for the inserted ones already.
    std::size_t oldCount = results_.size() - static_cast<std::size_t>(std::max<std::ptrdiff_t>(moved.by, 0));
    Update update;
    counted_.resize(count);
    if (names_.size() > 2 * namesInUse_ + 1024) compactNames();

    // A pass cut short (the engine threw) may have left entries that the lines above them no
    // longer match, and results out of place: analyse every line again. So does a sheet
    // running out of stamps, which would otherwise come round again.
    if (!passComplete_ || lastStamp_ > std::numeric_limits<Stamp>::max() - count) {
        forgetAnalyses();
        moved = Shift{};
        results_.resize(count);
        oldCount = std::min(oldCount, count);
        unchangedBefore = 0;
    }
    unchangedBefore = std::min({unchangedBefore, count, oldCount});
    passComplete_ = false;
    Pass pass(*this, moved);
    for (std::size_t i = 0; i < unchangedBefore; ++i) pass.carry(i);
    bool settled = false;
    for (std::size_t i = unchangedBefore; i < count && !settled; ++i) {
        pass.line(i, oldCount, update);
        // A heading resets the previous result and the block. Past the edit, when no line so
        // far changed what it assigns or defines and the heading was reused with the rates it
        // had, every line below meets exactly the inputs it met in the last pass, which left
        // it reused or analysed for them: the pass can stop here.
        settled = i >= unmovedFrom && cache_[i].shape == CachedLine::Shape::heading && pass.contextAsBefore();
    }
    passComplete_ = true;
    results_.resize(count);                    // the removed lines' results were kept until the lines below took theirs
    if (!settled) finalRates_ = pass.rates();  // else the last pass's, which nothing below changed
    lastAnalysed_ = pass.analysed;
    update.results = results_;
    return update;
}

void Sheet::forgetAnalyses() {
    for (CachedLine& line : cache_) {
        const CachedLine::Shape shape = line.shape;
        line = CachedLine{};
        line.shape = shape;
    }
    passStorage_->forgetEnvironment();
    lastStamp_ = 0;
}

void Sheet::compactNames() {
    passStorage_->startPass(0);
    passStorage_->forgetEnvironment();
    passStorage_->values.clear();
    passStorage_->heads.clear();
    NameTable fresh;
    auto renumber = [&](NameId& id) { id = fresh.intern(names_.name(id)); };
    for (CachedLine& line : cache_) {
        if (!line.analysed()) continue;  // analysed afresh before anything reads its numbers
        if (line.keyCount <= CachedLine::inlineKeys)
            std::for_each(line.keys.begin(), line.keys.begin() + line.keyCount, renumber);
        if (line.has(CachedLine::assigns)) {
            renumber(line.assigned);
            renumber(line.assignedKey);
        }
        if (CachedLine::Details* details = line.details.get()) {
            std::ranges::for_each(details->keys, renumber);
            for (auto& variable : details->variables) renumber(variable.first);
            // Chains hold the old numbers: the lines that recorded one are analysed again, and
            // the links are made anew.
            details->registered.clear();
            details->registration.reset();
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
        std::span<const TextRange> ranges = cache_[i].variableRanges();
        if (ranges.empty()) continue;
        spans.emplace_hint(spans.end(), i, std::vector<TextRange>(ranges.begin(), ranges.end()));
    }
    return spans;
}

std::span<const TextRange> Sheet::variableSpans(std::size_t line) const {
    return line < cache_.size() ? cache_[line].variableRanges() : std::span<const TextRange>();
}

std::vector<std::string> Sheet::variableNames(std::ptrdiff_t before) const {
    std::vector<std::string> names;
    if (before <= 0) return names;
    std::size_t end = std::min(static_cast<std::size_t>(before), cache_.size());
    std::unordered_set<NameId> seen;
    for (std::size_t i = 0; i < end; ++i) {
        const CachedLine& line = cache_[i];
        if (!line.analysed() || !line.has(CachedLine::assigns) || !line.has(CachedLine::value)) continue;
        if (seen.insert(line.assigned).second) names.push_back(names_.name(line.assigned));
    }
    return names;
}

}  // namespace quibsum
