#pragma once
// The failure that stops the evaluation of one line, and the small result type that carries
// either a value or that failure. Failures are returned, never thrown across a line.

#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace quibsum {

// `message`: a failure the user sees (one of the engine messages).
// `syntax`: the text is not an expression the engine understands; the line becomes a note.
struct EvaluationError {
    enum class Kind { message, syntax };
    Kind kind = Kind::syntax;
    std::string text;  // the message; empty for syntax

    static EvaluationError message(std::string_view m) { return {Kind::message, std::string(m)}; }
    static EvaluationError syntax() { return {Kind::syntax, {}}; }
    bool isMessage() const { return kind == Kind::message; }
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
