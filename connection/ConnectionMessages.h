// The messages the connection pages post each other through the main window's routing table.
// Their numbers lie clear of the engine's (platform/WindowMessages.h) and of every other
// folder's; the table refuses a number taken twice.
#pragma once

#include "platform/WindowMessages.h"

// The connection log link of the Internet page: show the connection log.
constexpr uint32_t WM_OPEN_CONNECTION_LOG = platform::WM_USER + 3003;
// The connection log's Back button: show the Internet page again.
constexpr uint32_t WM_SHOW_INTERNET_PAGE = platform::WM_USER + 3004;
// The usage link of the Internet page: show the usage window.
constexpr uint32_t WM_OPEN_DATA_USAGE = platform::WM_USER + 3020;
