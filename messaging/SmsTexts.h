// The texts the SMS screens put together from the language's texts: the delivery notice, a run's
// summary and a label cut to what fits.
#pragma once

#include "logic/BL_Sms.h"
#include "logic/WindowPayloads.h"

#include <QString>

#include <string_view>

// "Message delivered to:" (or still trying, or not delivered), the number and the time on two
// lines.
QString SmsReportText(const SmsReportPayload &report);

// What a run over several messages did: `title` (e.g. messages to delete) with the total, then
// how many succeeded and how many failed.
QString SmsRunSummary(int title, int total, int succeeded, int failed);

// A label's text in the system code page: more than 20 bytes become the first 17 (never half a
// character) and "...".
QString SmsShortLabel(std::string_view ansi);

// An item's time as shown: its text, and the zone the network gave it ("UTC+05:30").
QString SmsTimeText(const SmsItem &item);

// What the reading screen shows of a message: its whole text (a long message's parts joined, a
// missing part marked), and for a long message that lacks parts how many of them came.
QString SmsContentText(const SmsItem &item);

// The text of an item's fixed field.
QString SmsFieldText(const char *field, size_t size);
