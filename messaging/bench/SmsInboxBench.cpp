// How long the SMS list blocks the window when it shows a full inbox: 2,550 messages whose
// senders are looked up among 2,000 PC contacts (a third of them found, the rest looked for in
// every storage in vain). The engine is the scriptable fake, so only the program's own work is
// timed: the walk with its name look-ups, the sort and the table.
//
//   cmake --build build --target sms_inbox_bench && QT_QPA_PLATFORM=offscreen build/bin/sms_inbox_bench
#include "UI_SmsList.h"

#include "RecordingHost.h"

#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "lumacore/fake/FakePhonebook.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kContacts = 2000;
constexpr int kMessages = 2550;

std::string contactNumber(int n) { return "+54911" + std::to_string(40000000 + n); }

void scriptInbox()
{
    static int next = 0;
    const auto fill = [](_MEC_SMS_RECORD *record) -> MEC_STATUS {
        if (record->storage != SMS_STORE_PC || next >= kMessages)
            return 13;
        const int n = next++;
        record->index = static_cast<uint16_t>(n + 1);
        record->status = 1;
        record->storage = SMS_STORE_PC;
        // Every third sender is a contact; the others are numbers nobody keeps.
        const std::string sender =
            n % 3 == 0 ? contactNumber(n % kContacts) : "+4930" + std::to_string(7000000 + n);
        std::snprintf(record->sender, sizeof record->sender, "%s", sender.c_str());
        std::snprintf(record->text, sizeof record->text, "message %d", n);
        record->receiveTime = {2026, uint16_t(1 + n % 12), uint16_t(1 + n % 28), uint16_t(n % 24),
                               uint16_t(n % 60), uint16_t(n % 59), 0, 0};
        return 0;
    };
    lumacore_fake::onCall(&_MEC_GetFirstMessage, [fill](uint8_t, _MEC_SMS_RECORD *record) {
        next = 0;
        return fill(record);
    });
    lumacore_fake::onCall(&_MEC_GetNextMessage, fill);
}

void inboxRefresh(benchmark::State &state)
{
    lumacore_fake::reset();
    FakePhonebook phonebook;
    for (int n = 0; n < kContacts; ++n)
        phonebook.put(PB_PC, ("Contact " + std::to_string(n)).c_str(), contactNumber(n).c_str());
    scriptInbox();
    if (StartBusinessLogic(0, 400, 0) != 0) {
        state.SkipWithError("the business logic did not start");
        return;
    }
    LoadPcLists();
    RecordingHost host;
    TFrmSmsList list(host);
    list.ShowFolder(SMS_FOLDER_INBOX, SMS_STORE_PC);
    double longest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        list.Refresh();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        longest = std::max(longest, took.count());
        state.SetIterationTime(took.count() / 1000);
    }
    state.counters["rows"] = list.ListViewSms->topLevelItemCount();
    state.counters["longest_ms"] = longest;
    (void)StopBusinessLogic();
    lumacore_fake::reset();
}
BENCHMARK(inboxRefresh)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
