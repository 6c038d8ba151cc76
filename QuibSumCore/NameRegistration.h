#pragma once
// NameRegistration: one link in the chain of names with spaces registered under a first word,
// newest first. A line that could read such names remembers the chain as it stood above it,
// not a copy of every name in it: an unchanged chain is the very same object from pass to
// pass (the line that registers a name keeps its link and hands it on while the chain before
// it is unchanged), so one pointer comparison tells that the names a line could join are the
// ones it was analysed with, and each registered name costs one link however many lines below
// read its first word.

#include <memory>
#include <utility>

#include "QuibSumCore/NameTable.h"

namespace quibsum {

struct NameRegistration {
    NameRegistration(NameId n, std::shared_ptr<const NameRegistration> b) : name(n), before(std::move(b)) {}
    NameRegistration(const NameRegistration&) = delete;
    NameRegistration& operator=(const NameRegistration&) = delete;

    // A chain of many thousand links is let go link by link: released one inside the other,
    // they would run the stack out.
    ~NameRegistration() {
        std::shared_ptr<const NameRegistration> next = std::move(before);
        while (next && next.use_count() == 1) next = std::move(next->before);
    }

    NameId name;
    // The chain before this name was registered; null for the first.
    mutable std::shared_ptr<const NameRegistration> before;
};

}  // namespace quibsum
