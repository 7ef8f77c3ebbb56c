#pragma once
// How the file readers and writers report an expected failure: a value or a failure with a
// Japanese text for the user. Exceptions are kept for programming errors.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kelvora::files {

// What went wrong, so that a caller can tell "could not open" from "not a format we read"
// (the picture loader answers the two differently) from a broken file or a failed save.
enum class FailureKind { CannotOpen, WrongFormat, Malformed, CannotWrite };

// message names the problem in Japanese and is meant to be shown as it is. path is the file
// concerned, empty when bytes were decoded from memory; readers keep it apart from the message
// so that the fixed texts of the picture loader stay exact, writers name it in the message too.
struct Failure {
    FailureKind kind = FailureKind::Malformed;
    std::string message;
    std::string path;
};

// A value of type T, or the Failure that prevented it.
template <typename T>
class Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : state_(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const noexcept { return state_.index() == 0; }
    explicit operator bool() const noexcept { return ok(); }

    // Only valid when ok(); std::bad_variant_access otherwise (a programming error).
    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }

    // Only valid when !ok().
    const Failure& error() const { return std::get<1>(state_); }
    Failure& error() { return std::get<1>(state_); }

private:
    std::variant<T, Failure> state_;
};

// Success, or the Failure of an operation that yields no value.
class Status {
public:
    Status() = default;
    Status(Failure failure) : failure_(std::move(failure)) {}

    bool ok() const noexcept { return !failure_.has_value(); }
    explicit operator bool() const noexcept { return ok(); }

    // Only valid when !ok().
    const Failure& error() const { return failure_.value(); }

private:
    std::optional<Failure> failure_;
};

} // namespace kelvora::files
