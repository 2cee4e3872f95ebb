// The engine's status codes, and how a card's final result becomes one.
#pragma once

#include <cstdint>

namespace lumacore {

struct FinalResult;

constexpr uint16_t kStatusOk = 0;
constexpr uint16_t kStatusServiceRefused = 7;
constexpr uint16_t kStatusNoMoreEntries = 13;
constexpr uint16_t kStatusTimeout = 7001;
constexpr uint16_t kStatusNoCard = 7002;
constexpr uint16_t kStatusError = 7003;
constexpr uint16_t kStatusNotSupported = 7004;
constexpr uint16_t kStatusPortBusy = 7005;
constexpr uint16_t kStatusWrongPassword = 7305;
constexpr uint16_t kStatusSimBlocked = 7306;
constexpr uint16_t kStatusNoSim = 7307;
constexpr uint16_t kStatusCmeBase = 10000;
constexpr uint16_t kStatusCmsBase = 20000;

// OK and CONNECT are 0; ERROR 7003; +CME ERROR 16 7305, 12 7306, 10 and 13 7307, other n
// 10000 + n; +CMS ERROR n 20000 + n; NO CARRIER, BUSY, NO ANSWER, NO DIALTONE 7003.
uint16_t statusOf(const FinalResult &result);

}  // namespace lumacore
