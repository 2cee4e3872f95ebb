// The outcome of decoding something from outside: a value, or a sentence that says what is wrong
// with the input. Nothing the codec reads throws or reads past the bytes it was given.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace codec {

template <typename T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(std::string error)
    {
        Result result;
        result.error_ = std::move(error);
        return result;
    }

    explicit operator bool() const { return value_.has_value(); }
    const T &operator*() const { return *value_; }
    T &operator*() { return *value_; }
    const T *operator->() const { return &*value_; }
    T *operator->() { return &*value_; }
    // Empty when there is a value.
    const std::string &error() const { return error_; }

private:
    Result() = default;
    std::optional<T> value_;
    std::string error_;
};

}  // namespace codec
