#pragma once
// The failure that stops the evaluation of one line, and the small result type that carries
// either a value or that failure. Failures are returned, never thrown across a line.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <variant>

namespace quibsum {

struct EvaluationError {
    // What failed. Code tells failures apart by their kind; the message is for people.
    // `syntax`: the text is not an expression the engine understands; the line becomes a note.
    // Every other kind is a failure the user sees, with its engine message (EngineMessages.h).
    enum class Kind : std::uint8_t {
        syntax,
        invalidVariableName,
        invalidRate,
        invalidResult,
        unitMismatch,
        noRate,
        invalidExponent,
        outOfRange,
        invalidModulo,
        divisionByZero,
        multiplyUnits,
        missingTargetCurrency,
        outsideDomain,
        functionNeedsPlainNumber,
        noPreviousResult,  // the last kind
    };
    static constexpr std::size_t messageKinds = static_cast<std::size_t>(Kind::noPreviousResult);

    Kind kind = Kind::syntax;

    static EvaluationError of(Kind kind) { return {kind}; }
    static EvaluationError syntax() { return {Kind::syntax}; }
    bool isMessage() const { return kind != Kind::syntax; }
    // The message shown for the failure; empty for syntax.
    std::string_view text() const;

    friend bool operator==(const EvaluationError&, const EvaluationError&) = default;
};

// A value or an EvaluationError.
template <class T>
class Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(EvaluationError error) : v_(std::move(error)) {}

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }
    T& value() & { return std::get<0>(v_); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    const EvaluationError& error() const { return std::get<1>(v_); }

private:
    std::variant<T, EvaluationError> v_;
};

}  // namespace quibsum
