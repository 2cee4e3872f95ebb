// Messages the main window sends to a feature window through the routing table, beside the
// engine's own (platform/WindowMessages.h). Their numbers lie clear of every engine message.
#pragma once

#include "platform/WindowMessages.h"

namespace feature {

// The new-message indicator was clicked: show the SMS list of the kept message's folder
// (wParam) and storage (lParam).
constexpr uint32_t WM_OPEN_SMS_FOLDER = platform::WM_USER + 3001;
// The missed-call indicator was clicked: show the call records.
constexpr uint32_t WM_OPEN_CALL_RECORDS = platform::WM_USER + 3002;

}  // namespace feature
