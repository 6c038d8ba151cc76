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

std::uint16_t keySlot(std::string_view key) {
    std::size_t h = std::hash<std::string_view>{}(key);
    return static_cast<std::uint16_t>(h ^ (h >> 16) ^ (h >> 32) ^ (h >> 48));
}

const Quantity& valueOf(const CachedLine& line) {
    return std::get<LineResult::Value>(line.analysis.result.payload).quantity;
}

}  // namespace

// The context one pass carries from line to line. The previous result and the block refer to
// the cache entries of the lines above (which stay put during a pass), so moving on to the
// next line copies no quantity; the environment handed to the engine is brought up to date
// only when a line is actually analysed.
class Sheet::Pass {
public:
    explicit Pass(Sheet& sheet) : sheet_(sheet), filters_(*sheet.keyFilters_), rates_(sheet.noRates_) {
        filters_.single.reset();
        filters_.multi.reset();
    }

    // Steps through line i: reuses or analyses it, records its result, and moves the context on.
    void line(std::size_t i, std::size_t oldCount, Update& update) {
        Slot& slot = sheet_.cache_[i];
        if (slot.shape != Slot::Shape::other) {
            blockLines_.clear();
            chainLength_ = 0;
        }

        bool reused = slot.entry && reusable(slot);
        if (reused) {
            // Equal by value: share the current copies so the next pass compares pointers.
            if (slot.rates != rates_.get()) {
                slot.entry->sheetRates = rates_;
                slot.rates = rates_.get();
            }
            if (slot.has(Slot::aggregate) && slot.entry->block.get() != chainTail())
                slot.entry->block = chain();
        } else {
            if (analyse(slot, sheet_.lines_[i])) update.respanned.push_back(i);
            ++analysed;
        }

        // While an entry stays at its index and is reused, the result shown there is its own.
        bool unchanged = reused && slot.position == i && i < oldCount;
        slot.position = i;
        if (!unchanged) {
            const LineResult& result = slot.entry->analysis.result;
            if (i >= oldCount) {
                sheet_.results_.push_back(result);
                update.changed.push_back(i);
            } else if (!(sheet_.results_[i] == result)) {
                sheet_.results_[i] = result;
                update.changed.push_back(i);
            }
        }
        sheet_.counted_[i] = !slot.has(Slot::aggregate) && !slot.has(Slot::rateDefinition);

        advance(slot, reused);
    }

    const std::shared_ptr<const SheetRates>& rates() const { return rates_; }

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
        if (slot.ratesVersion != sheet_.ratesVersion_) return false;
        if (slot.rates != rates_.get() && *slot.entry->sheetRates != *rates_) return false;
        if (!variablesAgree(slot)) return false;
        if (slot.has(Slot::usesPrev)) {
            const std::unique_ptr<const Quantity>& stored = slot.entry->previous;
            if ((stored != nullptr) != (prev_ != nullptr)) return false;
            if (prev_ && !(*stored == valueOf(*prev_))) return false;
        }
        if (slot.has(Slot::aggregate)) {
            buildChain();
            if (!sameBlock(slot.entry->block.get(), chainTail())) return false;
        }
        return true;
    }

    // Every variable the line could read (under its name keys) has the value it had, and no
    // such variable appeared or vanished.
    bool variablesAgree(const Slot& slot) const {
        bool overflow = slot.keyCount == Slot::overflowKeys;
        if (!slot.has(Slot::readsVariables) && !overflow) {
            bool anyKnown = false;
            for (std::uint8_t k = 0; k < slot.keyCount && !anyKnown; ++k)
                anyKnown = filters_.single.test(slot.keySlots[k]) || filters_.multi.test(slot.keySlots[k]);
            if (!anyKnown) return true;
        }
        const auto& stored = slot.entry->variables;
        std::size_t seen = 0;
        bool agree = true;
        forEachVariable(slot.entry->analysis.nameKeys, overflow ? nullptr : slot.keySlots.data(),
                        [&](const std::string& name, const Quantity& q) {
                            if (!agree) return;
                            // Found in the order they were stored, unless names were registered
                            // in another order above.
                            if (seen < stored.size() && stored[seen].first == name) {
                                agree = stored[seen].second == q;
                            } else {
                                auto it = std::find_if(stored.begin(), stored.end(),
                                                       [&](const auto& v) { return v.first == name; });
                                agree = it != stored.end() && it->second == q;
                            }
                            ++seen;
                        });
        return agree && seen == stored.size();
    }

    // Calls f(name, value) for every variable known under the given name keys: the variable
    // named by the key itself, then the multi-word names registered under it. `slots` are the
    // keys' filter slots when already computed.
    template <class F>
    void forEachVariable(const NameList& keys, const std::uint16_t* slots, F&& f) const {
        std::size_t k = 0;
        for (std::string_view key : keys) {
            std::uint16_t slot = slots ? slots[k] : keySlot(key);
            ++k;
            if (filters_.single.test(slot)) {
                if (auto it = env_.values.find(key); it != env_.values.end()) f(it->first, it->second);
            }
            if (filters_.multi.test(slot)) {
                if (auto names = env_.multiWordNames.find(key); names != env_.multiWordNames.end()) {
                    for (const std::string& name : names->second) {
                        auto it = env_.values.find(name);
                        if (it != env_.values.end()) f(it->first, it->second);
                    }
                }
            }
        }
    }

    static bool sameBlock(const BlockNode* a, const BlockNode* b) {
        if ((a ? a->size : 0) != (b ? b->size : 0)) return false;
        for (; a != b; a = a->previous.get(), b = b->previous.get())
            if (a->value != b->value && !(*a->value == *b->value)) return false;
        return true;
    }

    const BlockNode* chainTail() const {
        return chainLength_ ? blockLines_[chainLength_ - 1]->joined.get() : nullptr;
    }
    std::shared_ptr<const BlockNode> chain() const {
        return chainLength_ ? blockLines_[chainLength_ - 1]->joined : nullptr;
    }

    // Brings the shared list of the current block up to date. Only aggregate lines need it, so
    // blocks that no aggregate line reads never build one.
    void buildChain() {
        for (; chainLength_ < blockLines_.size(); ++chainLength_) {
            Slot& line = *blockLines_[chainLength_];
            const BlockNode* tail = chainTail();
            if (line.joined && line.joinedPrevious == tail) continue;
            std::shared_ptr<const Quantity> value(line.entry, &valueOf(*line.entry));
            line.joined =
                std::make_shared<const BlockNode>(BlockNode{std::move(value), chain(), chainLength_ + 1});
            line.joinedPrevious = tail;
        }
    }

    // Returns whether the line's variable ranges differ from those of its previous analysis.
    bool analyse(Slot& slot, const std::string& text) {
        if (prev_ == nullptr)
            env_.prev.reset();
        else if (!env_.prev || !(*env_.prev == valueOf(*prev_)))
            env_.prev = valueOf(*prev_);
        if (envRates_ != rates_) {
            env_.sheetRates = *rates_;
            envRates_ = rates_;
        }

        auto entry = std::make_shared<CachedLine>();
        LineAnalysis& a = entry->analysis;
        const std::uint64_t questionsBefore = CurrencyConverter::storeQuestions();
        a = sheet_.engine_.analyze(text, env_);
        if (a.usesPrev && !prev_) a.result = LineResult::error(std::string(messages::noPreviousResult));
        if (a.aggregate) a.result = aggregate(*a.aggregate);
        const bool asksStore = CurrencyConverter::storeQuestions() != questionsBefore;
        const bool respanned = slot.entry ? slot.entry->analysis.variableRanges != a.variableRanges
                                          : !a.variableRanges.empty();

        // The rates a definition produced last time are handed on, to be kept if they come out
        // equal. A block node is not: it holds the old entry's value and would keep it alive.
        if (slot.entry) entry->ratesAfter = std::move(slot.entry->ratesAfter);
        slot.joined.reset();
        slot.joinedPrevious = nullptr;

        if (a.nameKeys.size() > slot.keySlots.size()) {
            slot.keyCount = Slot::overflowKeys;
        } else {
            slot.keyCount = static_cast<std::uint8_t>(a.nameKeys.size());
            for (std::size_t k = 0; k < a.nameKeys.size(); ++k) slot.keySlots[k] = keySlot(a.nameKeys[k]);
        }
        forEachVariable(
            a.nameKeys, slot.keyCount == Slot::overflowKeys ? nullptr : slot.keySlots.data(),
            [&](const std::string& name, const Quantity& q) { entry->variables.emplace_back(name, q); });
        if (a.usesPrev && prev_) entry->previous = std::make_unique<const Quantity>(valueOf(*prev_));
        if (a.aggregate) {
            buildChain();
            entry->block = chain();
        }
        entry->sheetRates = rates_;
        entry->ratesVersion = sheet_.ratesVersion_;

        slot.rates = rates_.get();
        slot.ratesVersion = sheet_.ratesVersion_;
        slot.flags = static_cast<std::uint8_t>(
            (a.result.isValue() ? Slot::value : 0) | (a.usesPrev ? Slot::usesPrev : 0) |
            (a.aggregate ? Slot::aggregate : 0) | (a.rateDefinition ? Slot::rateDefinition : 0) |
            (a.assignedName ? Slot::assigns : 0) | (entry->variables.empty() ? 0 : Slot::readsVariables) |
            (asksStore ? Slot::asksStore : 0));
        slot.entry = std::move(entry);
        return respanned;
    }

    LineResult aggregate(Aggregate kind) {
        values_.clear();
        for (const Slot* line : blockLines_) values_.push_back(&valueOf(*line->entry));
        return aggregateResultOf(BlockSum::of(values_, sheet_.engine_, *rates_), kind, sheet_.engine_);
    }

    void advance(Slot& slot, bool reused) {
        if (slot.has(Slot::value) && slot.has(Slot::rateDefinition)) {
            // A reused definition saw the same rates before it, so the rates after it are the
            // ones it produced last time.
            CachedLine& e = *slot.entry;
            if (!reused || !e.ratesAfter) {
                const SheetRate& d = *e.analysis.rateDefinition;
                SheetRates next = *rates_;
                next.erase(CurrencyPair{d.to, d.from});
                next.insert_or_assign(CurrencyPair{d.from, d.to}, d.value);
                if (!e.ratesAfter || *e.ratesAfter != next)
                    e.ratesAfter = std::make_shared<const SheetRates>(std::move(next));
            }
            rates_ = e.ratesAfter;
            prev_ = nullptr;
        } else if (slot.has(Slot::value)) {
            if (slot.has(Slot::assigns)) {
                const std::string& name = *slot.entry->analysis.assignedName;
                env_.assign(name, valueOf(*slot.entry));
                std::string_view key = VariableNames::key(name);
                (key.size() == name.size() ? filters_.single : filters_.multi).set(keySlot(key));
            }
            prev_ = slot.entry.get();
            blockLines_.push_back(&slot);
        } else if (slot.shape != Slot::Shape::blank) {
            prev_ = nullptr;
        }
    }

    Sheet& sheet_;
    KeyFilters& filters_;
    Environment env_;  // variables always current; prev and sheetRates brought up to date lazily
    std::shared_ptr<const SheetRates> envRates_;  // the rates env_.sheetRates holds a copy of
    const CachedLine* prev_ = nullptr;            // the line whose value is the previous result
    // The block: the lines whose values joined it, of which the first chainLength_ are linked
    // into a shared list (as far as an aggregate line has needed it).
    std::vector<Slot*> blockLines_;
    std::size_t chainLength_ = 0;
    std::vector<const Quantity*> values_;  // scratch for summing
    std::shared_ptr<const SheetRates> rates_;
};

Sheet::Sheet(Engine engine)
    : engine_(std::move(engine)),
      noRates_(std::make_shared<const SheetRates>()),
      finalRates_(noRates_),
      keyFilters_(std::make_unique<KeyFilters>()) {}

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
    for (std::size_t k = lower; k < lower + replacement.size(); ++k)
        cache_[k].shape = Pass::shapeOf(lines_[k]);

    return evaluate();
}

Sheet::Update Sheet::setRatesVersion(std::int64_t version) {
    if (version == ratesVersion_) return Update{results_, {}, {}};
    ratesVersion_ = version;
    // A line that asked the store nothing took the same path whatever its tables held, so its
    // analysis stands for the new version too.
    for (Slot& slot : cache_) {
        if (slot.entry && !slot.has(Slot::asksStore)) {
            slot.ratesVersion = version;
            slot.entry->ratesVersion = version;
        }
    }
    return evaluate();
}

Sheet::Update Sheet::evaluate() {
    total_.reset();
    const std::size_t count = lines_.size();
    const std::size_t oldCount = results_.size();
    Update update;
    counted_.resize(count);
    if (results_.size() > count) results_.resize(count);
    results_.reserve(count);

    Pass pass(*this);
    for (std::size_t i = 0; i < count; ++i) pass.line(i, oldCount, update);
    finalRates_ = pass.rates();
    lastAnalysed_ = pass.analysed;
    update.results = results_;
    return update;
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
        if (e && !e->analysis.variableRanges.empty())
            spans.emplace_hint(spans.end(), i, e->analysis.variableRanges);
    }
    return spans;
}

std::span<const TextRange> Sheet::variableSpans(std::size_t line) const {
    const CachedLine* e = cacheEntry(line);
    if (!e) return {};
    return e->analysis.variableRanges;
}

std::vector<std::string> Sheet::variableNames(std::ptrdiff_t before) const {
    std::vector<std::string> names;
    if (before <= 0) return names;
    std::size_t end = std::min(static_cast<std::size_t>(before), cache_.size());
    std::unordered_set<std::string_view> seen;
    for (std::size_t i = 0; i < end; ++i) {
        const CachedLine* e = cache_[i].entry.get();
        if (!e || !e->analysis.assignedName || !e->analysis.result.isValue()) continue;
        if (seen.insert(*e->analysis.assignedName).second) names.push_back(*e->analysis.assignedName);
    }
    return names;
}

}  // namespace quibsum
