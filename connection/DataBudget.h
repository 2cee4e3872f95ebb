// The data budget at work on the connection: counts the connection's traffic into the store's
// days (home or roaming as the card is registered), feeds this period's use to the watcher, and
// carries out what the watcher decides through its host: the warning, the limit, the connection
// ended there, and a dial held back until the user confirms it.
#pragma once

#include "BudgetWatch.h"
#include "UsageCounter.h"

#include <QObject>

class DataConnection;

class DataBudgetHost {
public:
    virtual ~DataBudgetHost() = default;
    // The card is registered on a network other than its home network.
    virtual bool roamingNow() const = 0;
    // The warning share was passed: a tray notice and a box.
    virtual void budgetWarning(bool roaming, uint64_t usedBytes, uint64_t limitBytes) = 0;
    // The limit was reached: a box; `disconnected` when the connection was ended for it.
    virtual void budgetLimit(bool roaming, uint64_t limitBytes, bool disconnected) = 0;
    // A dial over the limit: true when the user confirms it.
    virtual bool confirmDialOverLimit(bool roaming) = 0;
};

class DataBudget : public QObject {
    Q_OBJECT
public:
    DataBudget(DataConnection &connection, DataBudgetHost &host, QObject *parent = nullptr);

    BudgetWatch &watch() { return m_watch; }
    const UsageCounter &counter() const { return m_counter; }

    // Where what the watcher told in this period is kept across runs: read now (the watcher's
    // settings must be set before), written whenever it changes; then the use is checked.
    void setMemoryPath(const QString &path);
    // Reads the settings again (after the budget page saved them) and checks the use.
    void setSettings(const BudgetSettings &settings);
    // The counts were reset: the period's use starts from nothing.
    void usageCleared();
    // This period's use, with what the running connection has not yet written.
    UsageMonth currentUse() const;
    // Reads the period's use from the store again and checks it against the limits.
    void refresh();

private:
    void linkUp(const QString &identity);
    void sampled(uint64_t totalSent, uint64_t totalReceived);
    void linkDown();
    void check();

    DataConnection &m_connection;
    DataBudgetHost &m_host;
    BudgetWatch m_watch;
    UsageCounter m_counter;
    UsageMonth m_stored;  // the period's use in the store at the last read
    QDate m_storedOn;     // the day of that read
    QString m_memoryPath;
};
