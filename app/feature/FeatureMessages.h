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

// The connection log link of the Internet page: show the connection log.
constexpr uint32_t WM_OPEN_CONNECTION_LOG = platform::WM_USER + 3003;
// The connection log's Back button: show the Internet page again.
constexpr uint32_t WM_SHOW_INTERNET_PAGE = platform::WM_USER + 3004;

}  // namespace feature
