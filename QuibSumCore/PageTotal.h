#pragma once
// The outcome of the whole page: the sum of the counted values, an error, nothing to sum,
// or units that cannot be added together.

#include <string>
#include <variant>

#include "QuibSumCore/Quantity.h"

namespace quibsum {

struct PageTotal {
    struct Value {
        Quantity quantity;
        std::string display;
        int count = 0;
        friend bool operator==(const Value&, const Value&) = default;
    };
    struct Error {
        std::string message;
        friend bool operator==(const Error&, const Error&) = default;
    };
    struct Empty {
        friend bool operator==(const Empty&, const Empty&) = default;
    };
    struct Incompatible {
        friend bool operator==(const Incompatible&, const Incompatible&) = default;
    };

    std::variant<Value, Error, Empty, Incompatible> payload = Empty{};

    friend bool operator==(const PageTotal&, const PageTotal&) = default;
};

}  // namespace quibsum
