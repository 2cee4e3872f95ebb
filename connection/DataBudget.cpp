#include "DataBudget.h"

#include "DataConnection.h"

#include "config/RanFile.h"
#include "platform/Clock.h"

#include <QFile>

DataBudget::DataBudget(DataConnection &connection, DataBudgetHost &host, QObject *parent)
    : QObject(parent), m_connection(connection), m_host(host)
{
    connect(&m_connection, &DataConnection::linkUp, this, &DataBudget::linkUp);
    connect(&m_connection, &DataConnection::trafficSampled, this, &DataBudget::sampled);
    connect(&m_connection, &DataConnection::linkDown, this, &DataBudget::linkDown);
    connect(&m_watch, &BudgetWatch::warningReached, this,
            [this](bool roaming, uint64_t used, uint64_t limit) {
                m_host.budgetWarning(roaming, used, limit);
            });
    connect(&m_watch, &BudgetWatch::limitReached, this,
            [this](bool roaming, uint64_t, uint64_t limit) {
                const bool disconnect = m_watch.settings().disconnectAtLimit &&
                                        roaming == m_host.roamingNow() &&
                                        m_connection.state() == kConnectionConnected;
                // The connection ends before the box is shown: the box waits for the user.
                if (disconnect)
                    m_connection.disconnectNow();
                m_host.budgetLimit(roaming, limit, disconnect);
            });
    connect(&m_watch, &BudgetWatch::memoryChanged, this, [this] {
        if (!m_memoryPath.isEmpty())
            ranfile::writeFileAtomically(QFile::encodeName(m_memoryPath).toStdString(),
                                         BudgetWatch::memoryText(m_watch.memory()).toStdString(),
                                         ranfile::FileAccess::Shared);
    });
    m_connection.setDialGuard([this] {
        refresh();
        if (!m_watch.dialNeedsConfirmation())
            return true;
        if (!m_host.confirmDialOverLimit(m_host.roamingNow()))
            return false;
        m_watch.confirmDial();
        return true;
    });
}

void DataBudget::setMemoryPath(const QString &path)
{
    m_memoryPath.clear();
    if (auto text = ranfile::readFile(QFile::encodeName(path).toStdString()))
        m_watch.restore(BudgetWatch::memoryFromText(QByteArray::fromStdString(*text)));
    m_memoryPath = path;
    refresh();
}

void DataBudget::setSettings(const BudgetSettings &settings)
{
    m_watch.setSettings(settings);
    refresh();
}

void DataBudget::usageCleared()
{
    m_watch.restartPeriod();
    refresh();
}

UsageMonth DataBudget::currentUse() const
{
    UsageMonth use = m_stored;
    if (m_counter.running())
        (m_counter.lastRoaming() ? use.roaming : use.home) += m_counter.unwritten();
    return use;
}

void DataBudget::refresh()
{
    m_storedOn = platform::clock().localNow().date();
    m_stored = UsageHistory::currentPeriod(m_storedOn, m_watch.settings().billingDay);
    check();
}

void DataBudget::check()
{
    const UsageMonth use = currentUse();
    m_watch.update(platform::clock().localNow().date(), use.home, use.roaming,
                   m_host.roamingNow());
}

void DataBudget::linkUp(const QString &identity)
{
    m_counter.start(identity.toStdString(), platform::clock().tickCount());
}

void DataBudget::sampled(uint64_t totalSent, uint64_t totalReceived)
{
    if (!m_counter.running())
        return;
    const QDate today = platform::clock().localNow().date();
    const uint64_t unwrittenBefore = m_counter.unwritten().total();
    m_counter.sample(platform::clock().tickCount(), today, m_host.roamingNow(), totalSent,
                     totalReceived);
    // The store changes only when the counter writes (what it holds shrinks) and the period
    // only with the day: between those, what was read plus what the counter holds is the use.
    if (m_counter.unwritten().total() < unwrittenBefore || today != m_storedOn)
        refresh();
    else
        check();
}

void DataBudget::linkDown()
{
    m_counter.end();
    refresh();
}
