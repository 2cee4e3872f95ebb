#include "UsageCommand.h"

#include "Json.h"

#include "lumacore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace lumacore {

namespace {

using namespace std::chrono;

struct Amounts {
    uint64_t homeSent = 0, homeReceived = 0, roamingSent = 0, roamingReceived = 0;
    void add(const _MEC_USAGE_DAY &row)
    {
        (row.roaming ? roamingSent : homeSent) += row.bytesSent;
        (row.roaming ? roamingReceived : homeReceived) += row.bytesReceived;
    }
    void add(const Amounts &other)
    {
        homeSent += other.homeSent;
        homeReceived += other.homeReceived;
        roamingSent += other.roamingSent;
        roamingReceived += other.roamingReceived;
    }
};

year_month_day dateOf(uint32_t day)
{
    return year_month_day{year{int(day / 10000)}, month{day / 100 % 100}, std::chrono::day{day % 100}};
}

uint32_t numberOf(const year_month_day &date)
{
    return uint32_t(int(date.year()) * 10000 + int(unsigned(date.month())) * 100 +
                    int(unsigned(date.day())));
}

std::string text(uint32_t day)
{
    char out[16];
    std::snprintf(out, sizeof out, "%04u-%02u-%02u", day / 10000, day / 100 % 100, day % 100);
    return out;
}

// "YYYY-MM-DD" as yyyymmdd; 0 when it is not a date.
uint32_t parseDate(const std::string &value)
{
    unsigned y = 0, m = 0, d = 0;
    char end = 0;
    if (std::sscanf(value.c_str(), "%4u-%2u-%2u%c", &y, &m, &d, &end) != 3)
        return 0;
    const year_month_day date{year{int(y)}, month{m}, day{d}};
    return date.ok() && y >= 1970 ? numberOf(date) : 0;
}

// The first day of the billing period holding `day` (a billing day past a month's end is that
// month's last day).
uint32_t periodStart(uint32_t number, unsigned billingDay)
{
    const year_month_day date = dateOf(number);
    auto startIn = [billingDay](year_month month) {
        const unsigned lastDay = unsigned((month / std::chrono::last).day());
        return year_month_day{month / day{std::min(billingDay, lastDay)}};
    };
    year_month_day start = startIn(date.year() / date.month());
    if (sys_days{date} < sys_days{start})
        start = startIn(date.year() / date.month() - months{1});
    return numberOf(start);
}

uint32_t periodEnd(uint32_t start, unsigned billingDay)
{
    const year_month_day date = dateOf(start);
    const year_month next = date.year() / date.month() + months{1};
    const unsigned lastDay = unsigned((next / std::chrono::last).day());
    const sys_days nextStart{year_month_day{next / day{std::min(billingDay, lastDay)}}};
    return numberOf(year_month_day{nextStart - days{1}});
}

std::string sideJson(uint64_t sent, uint64_t received, int depth)
{
    return JsonObject(depth + 1)
        .number("sent", (long long)sent)
        .number("received", (long long)received)
        .str();
}

JsonObject &withAmounts(JsonObject &object, const Amounts &amounts, int depth)
{
    return object.raw("home", sideJson(amounts.homeSent, amounts.homeReceived, depth))
        .raw("roaming", sideJson(amounts.roamingSent, amounts.roamingReceived, depth));
}

}  // namespace

const char *usageCommandUsage()
{
    return "       lumacore-tool usage [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--billing-day N]"
           " [--store PATH]\n";
}

int usageCommand(const std::vector<std::string> &arguments)
{
    uint32_t from = 19700101, to = 99991231;
    unsigned billingDay = 1;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string &option = arguments[i];
        if (i + 1 >= arguments.size())
            return 2;
        const std::string &value = arguments[++i];
        if (option == "--from" || option == "--to") {
            const uint32_t date = parseDate(value);
            if (!date) {
                std::fprintf(stderr, "lumacore-tool: %s is not a date (YYYY-MM-DD)\n", value.c_str());
                return 2;
            }
            (option == "--from" ? from : to) = date;
        } else if (option == "--billing-day") {
            char *end = nullptr;
            const long day = std::strtol(value.c_str(), &end, 10);
            if (*end || day < 1 || day > 31) {
                std::fprintf(stderr, "lumacore-tool: the billing day is a day from 1 to 31\n");
                return 2;
            }
            billingDay = unsigned(day);
        } else if (option == "--store") {
            setenv("LUMACORE_DB", value.c_str(), 1);
        } else {
            return 2;
        }
    }
    uint32_t count = 0;
    std::vector<_MEC_USAGE_DAY> rows;
    MEC_STATUS status = _MEC_GetUsageDays(from, to, nullptr, 0, &count);
    while (status == MEC_OK && count > rows.size()) {
        rows.resize(count);
        status = _MEC_GetUsageDays(from, to, rows.data(), uint32_t(rows.size()), &count);
    }
    if (status != MEC_OK) {
        std::fprintf(stderr, "lumacore-tool: the store cannot be read (%u)\n", unsigned(status));
        return 1;
    }
    rows.resize(count);
    std::map<uint32_t, Amounts> days;
    for (const _MEC_USAGE_DAY &row : rows)
        days[row.day].add(row);
    std::map<uint32_t, Amounts> periods;
    for (const auto &[day, amounts] : days)
        periods[periodStart(day, billingDay)].add(amounts);

    std::vector<std::string> dayItems, monthItems;
    for (const auto &[day, amounts] : days) {
        JsonObject item(3);
        item.text("day", text(day));
        dayItems.push_back(withAmounts(item, amounts, 3).str());
    }
    for (const auto &[start, amounts] : periods) {
        JsonObject item(3);
        item.text("start", text(start)).text("end", text(periodEnd(start, billingDay)));
        monthItems.push_back(withAmounts(item, amounts, 3).str());
    }
    JsonObject out;
    out.number("billingDay", billingDay)
        .raw("days", jsonArray(dayItems, 1))
        .raw("months", jsonArray(monthItems, 1));
    std::printf("%s\n", out.str().c_str());
    return 0;
}

}  // namespace lumacore
