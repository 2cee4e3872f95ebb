// The messages the SMS screens post each other through the main window's routing table, with
// the struct each carries. Their numbers lie clear of the engine's (platform/WindowMessages.h)
// and of every other folder's; the table refuses a number taken twice.
#pragma once

#include "logic/WindowPayloads.h"
#include "platform/WindowMessages.h"

// Show the SMS list of a folder (wParam) and storage (lParam); lParam above 2: the storage the
// list shows.
constexpr uint32_t WM_OPEN_SMS_FOLDER = platform::WM_USER + 3001;
// Open the SMS composer. wParam: the mode (ComposerMode); modes 2-4 carry the SmsItem they start
// from.
constexpr uint32_t WM_OPEN_COMPOSER = platform::WM_USER + 3005;
// The SMS list shows (wParam) folder 1-3 of (lParam) storage 0 SIM or 2 PC again, when it is the
// one it shows; other folders are not read.
constexpr uint32_t WM_SMS_LIST_CHANGED = platform::WM_USER + 3010;
// The reading screen shows the SmsItem the message carries.
constexpr uint32_t WM_READ_SMS = platform::WM_USER + 3011;
// The SMS main screen shows itself again (the list's Cancel).
constexpr uint32_t WM_SHOW_SMS_MAIN = platform::WM_USER + 3014;

enum ComposerMode : uint32_t {
    kComposeNew = 1,
    kComposeOpen = 2,
    kComposeReply = 3,
    kComposeForward = 4,
};

template <>
struct MessagePayloadType<WM_OPEN_COMPOSER> {
    using type = SmsItem;  // the message the composer starts from (modes 2-4)
};
template <>
struct MessagePayloadType<WM_READ_SMS> {
    using type = SmsItem;  // the received message the reading screen shows
};
