// The recipients of a message as the composer takes them: one text, numbers separated by ';' or
// the full-width semicolon; at most 200 numbers, each at most 32 bytes of the characters the
// engine allows in a number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kSmsNoRecipient = 1000;
constexpr uint16_t kSmsBadRecipient = 4207;
constexpr uint16_t kSmsTooManyRecipients = 4208;
constexpr size_t kSmsMaxRecipients = 200;

// 0 and the numbers, or 4208 when more than 200 are given. An empty text gives none; a
// trailing separator adds nothing; an empty number between two separators stays (and fails
// the validation).
uint16_t SplitRecipients(const std::string &text, std::vector<std::string> &recipients);
// 0, or 4207 when one number is empty, longer than 32 bytes or has a character outside
// allowed (and ';').
uint16_t ValidateRecipients(const std::vector<std::string> &recipients, const std::string &allowed);
