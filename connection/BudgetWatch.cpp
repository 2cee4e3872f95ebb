#include "BudgetWatch.h"

#include <vector>

BudgetWatch::BudgetWatch(QObject *parent) : QObject(parent) {}

void BudgetWatch::setSettings(const BudgetSettings &settings)
{
    // A network whose limit or warning share changed is watched afresh; a changed billing day
    // starts another period with the next update.
    for (bool roaming : {false, true}) {
        if (settings.limitFor(roaming) != m_settings.limitFor(roaming) ||
            settings.warningPercent != m_settings.warningPercent)
            state(roaming) = {};
    }
    if (settings.disconnectAtLimit != m_settings.disconnectAtLimit) {
        m_home.confirmed = false;
        m_roaming.confirmed = false;
    }
    m_settings = settings;
    emit memoryChanged();
}

void BudgetWatch::update(const QDate &today, const UsageAmount &home, const UsageAmount &roaming,
                         bool roamingNow)
{
    const Memory before = memory();
    const BillingPeriod period = PeriodOf(today, m_settings.billingDay);
    if (period.start != m_period.start || period.end != m_period.end) {
        // The first update of a run, or a new period (the clock may also have gone back).
        m_period = period;
        m_home = {};
        m_roaming = {};
    }
    m_homeUse = home;
    m_roamingUse = roaming;
    m_roamingNow = roamingNow;
    struct Told {
        bool roaming;
        bool limit;
        uint64_t used, limitBytes;
    };
    std::vector<Told> told;
    for (bool network : {false, true}) {
        const uint64_t limit = m_settings.limitFor(network).bytes;
        if (!limit)
            continue;
        NetworkState &watched = state(network);
        const uint64_t used = (network ? m_roamingUse : m_homeUse).total();
        if (used >= limit) {
            // Past the limit at once: the limit says it all, the warning is not shown as well.
            watched.warned = true;
            if (!watched.limitReached) {
                watched.limitReached = true;
                told.push_back({network, true, used, limit});
            }
        } else if (!watched.warned &&
                   double(used) * 100.0 >= double(limit) * double(m_settings.warningPercent)) {
            watched.warned = true;
            told.push_back({network, false, used, limit});
        }
    }
    // Kept before it is told: a box left open when the program goes does not come again.
    if (memory() != before)
        emit memoryChanged();
    for (const Told &each : told) {
        if (!each.limit) {
            emit warningReached(each.roaming, each.used, each.limitBytes);
            continue;
        }
        emit limitReached(each.roaming, each.used, each.limitBytes);
        if (m_settings.disconnectAtLimit && each.roaming == m_roamingNow &&
            !state(each.roaming).confirmed)
            emit disconnectRequested();
    }
}

bool BudgetWatch::dialNeedsConfirmation() const
{
    const NetworkState &watched = state(m_roamingNow);
    return m_settings.disconnectAtLimit && m_settings.limitFor(m_roamingNow).bytes &&
           watched.limitReached && !watched.confirmed;
}

void BudgetWatch::confirmDial()
{
    state(m_roamingNow).confirmed = true;
    emit memoryChanged();
}

bool BudgetWatch::mayDial()
{
    if (!dialNeedsConfirmation())
        return true;
    emit redialNeedsConfirmation(m_roamingNow);
    return false;
}

void BudgetWatch::restartPeriod()
{
    m_home = {};
    m_roaming = {};
    m_homeUse = {};
    m_roamingUse = {};
    emit memoryChanged();
}

double BudgetWatch::usedShare() const
{
    const uint64_t limit = m_settings.limitFor(m_roamingNow).bytes;
    return limit ? double((m_roamingNow ? m_roamingUse : m_homeUse).total()) / double(limit) : 0;
}

BudgetWatch::Memory BudgetWatch::memory() const
{
    return {m_period.start,       m_home.warned,          m_home.limitReached, m_home.confirmed,
            m_roaming.warned,     m_roaming.limitReached, m_roaming.confirmed};
}

void BudgetWatch::restore(const Memory &memory)
{
    if (!memory.periodStart.isValid())
        return;
    m_period = PeriodOf(memory.periodStart, m_settings.billingDay);
    if (m_period.start != memory.periodStart) {
        // Kept under another billing day: not this period's.
        m_period = {};
        return;
    }
    m_home = {memory.homeWarned, memory.homeLimitReached, memory.homeConfirmed};
    m_roaming = {memory.roamingWarned, memory.roamingLimitReached, memory.roamingConfirmed};
}

QByteArray BudgetWatch::memoryText(const Memory &memory)
{
    auto flag = [](bool value) { return value ? '1' : '0'; };
    QByteArray text = "Period=" + memory.periodStart.toString(Qt::ISODate).toLatin1() + "\nHome=";
    text += flag(memory.homeWarned);
    text += flag(memory.homeLimitReached);
    text += flag(memory.homeConfirmed);
    text += "\nRoaming=";
    text += flag(memory.roamingWarned);
    text += flag(memory.roamingLimitReached);
    text += flag(memory.roamingConfirmed);
    return text + "\n";
}

BudgetWatch::Memory BudgetWatch::memoryFromText(const QByteArray &text)
{
    Memory memory;
    QByteArray home, roaming;
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith("Period="))
            memory.periodStart = QDate::fromString(QString::fromLatin1(line.mid(7)), Qt::ISODate);
        else if (line.startsWith("Home="))
            home = line.mid(5).trimmed();
        else if (line.startsWith("Roaming="))
            roaming = line.mid(8).trimmed();
    }
    auto valid = [](const QByteArray &flags) {
        return flags.size() == 3 && flags.count('0') + flags.count('1') == 3;
    };
    if (!memory.periodStart.isValid() || !valid(home) || !valid(roaming))
        return {};
    memory.homeWarned = home[0] == '1';
    memory.homeLimitReached = home[1] == '1';
    memory.homeConfirmed = home[2] == '1';
    memory.roamingWarned = roaming[0] == '1';
    memory.roamingLimitReached = roaming[1] == '1';
    memory.roamingConfirmed = roaming[2] == '1';
    return memory;
}
