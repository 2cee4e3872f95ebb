// Deleting and moving several messages: one message after the other, counted in stored messages
// (a long message counts its parts), with a stop between two messages and progress after each.
// A move writes the message whole into the other storage (PC to SIM, SIM to PC) before it
// leaves its own, so a failure never loses one.
#pragma once

#include "SmsStoreAccess.h"

#include <QString>

#include <functional>
#include <vector>

struct SmsRunResult {
    int total = 0;      // messages selected
    int succeeded = 0;  // deleted or moved
    int failed = 0;
    int fullNotice = 0;    // text::kSmsSimFull or kSmsPcFull: told once per run
    bool stopped = false;  // the stop button ended the run
    bool changed() const { return succeeded > 0; }
};

class SmsRuns {
public:
    struct Hooks {
        std::function<bool()> stopRequested;                      // asked before each message
        std::function<void(size_t done, size_t total)> progress;  // after each message
        std::function<void(const SmsItem &item)> unreadTouched;   // an unread message is handled
    };

    SmsRuns(SmsStoreAccess &store, Hooks hooks) : m_store(store), m_hooks(std::move(hooks)) {}

    SmsRunResult Delete(const std::vector<SmsItem> &items);
    // Moves each item into the other storage; the storages that took messages are read again
    // at the end, so the lists show where everything is.
    SmsRunResult Move(const std::vector<SmsItem> &items);

    // The one-button box after a run: text::kSmsDeleteSummary or kSmsMoveSummary, with the counts.
    static QString Summary(int title, const SmsRunResult &result);

private:
    bool stop() const { return m_hooks.stopRequested && m_hooks.stopRequested(); }
    void touched(const SmsItem &item) const;
    void progress(size_t done, size_t total) const;

    SmsStoreAccess &m_store;
    Hooks m_hooks;
};
