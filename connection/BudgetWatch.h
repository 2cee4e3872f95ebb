// Watches this period's use against the budget: warns once per period when the warning share
// of the limit is passed, reports the limit once per period, and, when the settings say so,
// ends the connection there and holds back the next dial until the user confirms it. Home and
// roaming are watched each against its own limit. A plain class: the program feeds it the use
// and the date, and acts on what it answers.
#pragma once

#include "BudgetSettings.h"
#include "UsageHistory.h"

#include <QDate>
#include <QObject>

class BudgetWatch : public QObject {
    Q_OBJECT
public:
    explicit BudgetWatch(QObject *parent = nullptr);

    void setSettings(const BudgetSettings &settings);
    const BudgetSettings &settings() const { return m_settings; }

    // This period's use as the store holds it, on `today`; `roamingNow` is the network the card
    // is registered on. Emits what the use has reached (each at most once per period and
    // network).
    void update(const QDate &today, const UsageAmount &home, const UsageAmount &roaming,
                bool roamingNow);

    // True while a dial must be confirmed by the user first: the limit was reached with
    // disconnect on, in this period, on the network the card is on now.
    bool dialNeedsConfirmation() const;
    // The user confirmed a dial over the limit: dials go ahead until the next period (or
    // until the settings change).
    void confirmDial();
    // Asked before each dial: true when it may go ahead; when it may not,
    // redialNeedsConfirmation is emitted.
    bool mayDial();
    // Counts were reset: this period starts over (warnings may come again).
    void restartPeriod();

    // The share of the limit used on the network the card is on now (0 without a limit).
    double usedShare() const;

    // What the watcher has told in its period, kept across runs so that a program started
    // again in the same period does not warn again.
    struct Memory {
        QDate periodStart;
        bool homeWarned = false, homeLimitReached = false, homeConfirmed = false;
        bool roamingWarned = false, roamingLimitReached = false, roamingConfirmed = false;
        bool operator==(const Memory &) const = default;
    };
    Memory memory() const;
    // Takes back what a run before told; a memory of another period than today's is dropped
    // with the next update.
    void restore(const Memory &memory);
    // The memory as a file's text and back (a text that cannot be read gives an empty memory).
    static QByteArray memoryText(const Memory &memory);
    static Memory memoryFromText(const QByteArray &text);

signals:
    // What the watcher has told changed (memory() is worth keeping now).
    void memoryChanged();
    // The warning share of the limit was passed (once per period and network).
    void warningReached(bool roaming, uint64_t usedBytes, uint64_t limitBytes);
    // The limit was reached (once per period and network). With disconnect on, the connection
    // is to be ended: disconnectRequested follows.
    void limitReached(bool roaming, uint64_t usedBytes, uint64_t limitBytes);
    void disconnectRequested();
    // A dial was held back: the user must confirm it (dialNeedsConfirmation()).
    void redialNeedsConfirmation(bool roaming);

private:
    struct NetworkState {
        bool warned = false;
        bool limitReached = false;
        bool confirmed = false;
    };
    NetworkState &state(bool roaming) { return roaming ? m_roaming : m_home; }
    const NetworkState &state(bool roaming) const { return roaming ? m_roaming : m_home; }

    BudgetSettings m_settings;
    BillingPeriod m_period;
    NetworkState m_home;
    NetworkState m_roaming;
    UsageAmount m_homeUse;
    UsageAmount m_roamingUse;
    bool m_roamingNow = false;
};
