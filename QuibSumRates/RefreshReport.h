#pragma once
// RefreshReport: what one refresh of the live store did with each table, so that a command
// can say what failed instead of reporting every failure as "unchanged".

#include <optional>
#include <string>

namespace quibsum {

struct RefreshReport {
    struct Table {
        enum class State {
            notDue,   // not asked for: too young, already being fetched, or asked too recently
            updated,  // a new table is in force
            kept,     // a valid feed that does not replace the table in force (not newer)
            failed,   // no usable feed: unreachable, an error status, or invalid
        };
        State state = State::notDue;
        std::string problem;                   // failed or kept: why, for a person
        std::optional<std::string> saveError;  // updated but the cache could not be written
    };

    Table bank;
    Table mid;
};

}  // namespace quibsum
