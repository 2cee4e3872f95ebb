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
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(std::string error)
    {
        Result result;
        result.m_error = std::move(error);
        return result;
    }

    explicit operator bool() const { return m_value.has_value(); }
    const T &operator*() const { return *m_value; }
    T &operator*() { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }
    // Empty when there is a value.
    const std::string &error() const { return m_error; }

private:
    Result() = default;
    std::optional<T> m_value;
    std::string m_error;
};

}  // namespace codec
