// Messages the main window sends to a feature window through the routing table, beside the
// engine's own (platform/WindowMessages.h). Their numbers lie clear of every engine message.
#pragma once

#include "platform/WindowMessages.h"

namespace feature {

// Show the SMS list of a folder (wParam) and storage (lParam): the new-message indicator for the
// kept message, the SMS screens' folder buttons (lParam above 2: the storage the list shows).
constexpr uint32_t WM_OPEN_SMS_FOLDER = platform::WM_USER + 3001;
// The missed-call indicator was clicked: show the call records.
constexpr uint32_t WM_OPEN_CALL_RECORDS = platform::WM_USER + 3002;

// The connection log link of the Internet page: show the connection log.
constexpr uint32_t WM_OPEN_CONNECTION_LOG = platform::WM_USER + 3003;
// The connection log's Back button: show the Internet page again.
constexpr uint32_t WM_SHOW_INTERNET_PAGE = platform::WM_USER + 3004;

// Open the SMS composer. wParam: the mode (ComposerMode: 1 new message, 2 open a sent message or
// a draft, 3 reply, 4 forward); modes 2-4 carry the SmsItem they start from
// (logic/WindowPayloads.h).
constexpr uint32_t WM_OPEN_COMPOSER = platform::WM_USER + 3005;
// Write a new message to the numbers the text carries (";"-separated, system code page).
// wParam: the window to bring back when the composer closes (ComposerReturn).
constexpr uint32_t WM_WRITE_SMS_TO = platform::WM_USER + 3006;

enum ComposerMode : uint32_t {
    kComposeNew = 1,
    kComposeOpen = 2,
    kComposeReply = 3,
    kComposeForward = 4,
};
enum ComposerReturn : uint32_t {
    kReturnNowhere = 0,
    kReturnToContacts = 1,
    kReturnToCallRecords = 2,
};

// The SMS list shows (wParam) folder 1-3 of (lParam) storage 0 SIM or 2 PC again, when it is the
// one it shows; other folders are not read.
constexpr uint32_t WM_SMS_LIST_CHANGED = platform::WM_USER + 3010;
// The reading screen shows the SmsItem the message carries (logic/WindowPayloads.h).
constexpr uint32_t WM_READ_SMS = platform::WM_USER + 3011;
// The contacts window opens its editor for a new contact with the number the text carries.
// wParam names the window that asked, brought back when the editor closes; from the SMS list,
// lParam is its folder | storage << 8.
constexpr uint32_t WM_NEW_CONTACT_WITH_NUMBER = platform::WM_USER + 3012;
enum ContactEditorCaller : uint32_t {
    kEditorFromContacts = 0,
    kEditorFromSmsList = 1,
    kEditorFromSmsRead = 2,
};
// The reading screen, which asked for a new contact, shows itself again; wParam 1: the contact
// was saved, with the name the text carries.
constexpr uint32_t WM_SMS_SENDER_SAVED = platform::WM_USER + 3019;
// The settings menu shows the SMS settings beside it.
constexpr uint32_t WM_SHOW_SMS_SETTINGS = platform::WM_USER + 3013;
// The first page of the settings area, the connection profiles, shows itself again beside the
// settings column (a settings page's Cancel).
constexpr uint32_t WM_SHOW_PROFILE_PAGE = platform::WM_USER + 3015;
// The SMS main screen shows itself again (the list's Cancel).
constexpr uint32_t WM_SHOW_SMS_MAIN = platform::WM_USER + 3014;

// Posted by the composer when it closes to bring back the window that opened it (wParam 1).
constexpr uint32_t WM_BACK_TO_CONTACTS = platform::WM_USER + 200;      // 1224
constexpr uint32_t WM_BACK_TO_CALL_RECORDS = platform::WM_USER + 300;  // 1324

}  // namespace feature
