// Inside the fake: how one C call is logged and answered. Not for tests.
#pragma once

#include "FakeLumacore.h"

#include <cstring>
#include <span>
#include <string>
#include <type_traits>
#include <utility>

namespace lumacore_fake::detail {

// ---- Rendering arguments for the call log ------------------------------------------------------

// A fixed text field, up to its first NUL (never past its end), quoted.
template <size_t N>
std::string quoted(const char (&field)[N])
{
    return "\"" + std::string(field, strnlen(field, N)) + "\"";
}

std::string describeRecord(const _MEC_SMS_RECORD &record);
std::string describeRecord(const _MEC_CONTACT_RECORD &record);
std::string describeRecord(const _MEC_GROUP_RECORD &record);
std::string describeRecord(const CallEntry &entry);
std::string describeRecord(const _MEC_FIELD_SIZES &sizes);
std::string describeRecord(const SmsConfigBlock &config);
std::string describeRecord(const _MEC_OPERATOR_SELECT &selection);
std::string describeRecord(const _MEC_CALL_FORWARD_REQUEST &request);
std::string describeRecord(const _MEC_CALL_BARRING_REQUEST &request);

template <typename T>
concept DescribedRecord = requires(const T &value)
{
    describeRecord(value);
};

// Integers as numbers, a char as a character, texts quoted, records summarised; a pointer the
// engine only writes through is "out".
template <typename T>
std::string describe(const T &value)
{
    if constexpr (std::is_same_v<T, char>) {
        return std::string("'") + value + "'";
    } else if constexpr (std::is_integral_v<T>) {
        return std::to_string(+value);
    } else if constexpr (std::is_same_v<T, const char *>) {
        return value ? "\"" + std::string(value) + "\"" : "null";
    } else if constexpr (std::is_pointer_v<T> && std::is_function_v<std::remove_pointer_t<T>>) {
        return value ? "callback" : "null";
    } else if constexpr (std::is_same_v<T, LumacoreWindowSink *>) {
        return value ? "sink" : "null";
    } else if constexpr (std::is_pointer_v<T>) {
        using Pointee = std::remove_cv_t<std::remove_pointer_t<T>>;
        if (!value)
            return "null";
        if constexpr (DescribedRecord<Pointee>)
            return describeRecord(*value);
        else
            return "out";
    } else {
        return describeRecord(value);
    }
}

template <typename... Args>
std::string describeArguments(const Args &...args)
{
    std::string text;
    ((text += (text.empty() ? "" : ", ") + describe(args)), ...);
    return text;
}

// ---- Answering a call --------------------------------------------------------------------------

struct Answer {
    std::shared_ptr<void> handler;  // std::function<R(Args...)> of the call's signature, or null
    uint16_t result = 0;
};

// Logs the call and tells how to answer it.
Answer beginCall(const char *name, std::string arguments);

template <typename Result, typename... Args>
Result dispatch(const char *name, Result (*)(Args...), std::type_identity_t<Args>... args)
{
    Answer answer = beginCall(name, describeArguments(args...));
    if (answer.handler)
        return (*std::static_pointer_cast<std::function<Result(Args...)>>(answer.handler))(args...);
    return static_cast<Result>(answer.result);
}

// ---- What the C side tells the scripting side --------------------------------------------------

struct FunctionEntry {
    const char *name;
    FunctionKey key;
};
// Every C function the fake defines.
std::span<const FunctionEntry> functionTable();

void storeCallbacks(const std::function<void(RegisteredCallbacks &)> &update);
void storeSink(LumacoreWindowSink *sink);

}  // namespace lumacore_fake::detail
