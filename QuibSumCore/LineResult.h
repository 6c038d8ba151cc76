#pragma once
// The outcome of one line: a value with its display text, an error message, or a note
// (the line is not a calculation).

#include <string>
#include <variant>

#include "QuibSumCore/Quantity.h"

namespace quibsum {

struct LineResult {
    struct Value {
        Quantity quantity;
        std::string display;
        friend bool operator==(const Value&, const Value&) = default;
    };
    struct Error {
        std::string message;
        friend bool operator==(const Error&, const Error&) = default;
    };
    struct Note {
        friend bool operator==(const Note&, const Note&) = default;
    };

    std::variant<Value, Error, Note> payload = Note{};

    static LineResult value(Quantity q, std::string display) { return {Value{std::move(q), std::move(display)}}; }
    static LineResult error(std::string message) { return {Error{std::move(message)}}; }
    static LineResult note() { return {Note{}}; }

    bool isValue() const { return std::holds_alternative<Value>(payload); }
    bool isError() const { return std::holds_alternative<Error>(payload); }
    bool isNote() const { return std::holds_alternative<Note>(payload); }
    const Value* asValue() const { return std::get_if<Value>(&payload); }
    const Error* asError() const { return std::get_if<Error>(&payload); }

    friend bool operator==(const LineResult&, const LineResult&) = default;
};

}  // namespace quibsum
