#include "DataConnection.h"

#include "ProfileRules.h"
#include "UsageCounter.h"

#include "config/BL_File.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"

namespace {

constexpr int kMessageNotInService = 1082;
constexpr int kMessageNoModem = 6011;
constexpr int kMessageBadPrimaryDns = 6026;
constexpr int kMessageBadSecondaryDns = 6027;
constexpr int kMessageEntryNameTooLong = 6028;
constexpr int kMessageNumberTooLong = 6029;
constexpr int kMessageUserTooLong = 6030;
constexpr int kMessagePasswordTooLong = 6031;
constexpr int kMessageDeviceTypeTooLong = 6032;
constexpr int kMessageDeviceNameTooLong = 6033;

constexpr size_t kDialCredentialLimit = 100;
// writeEntry's answer when it has told the user already.
constexpr uint32_t kErrorAlreadyShown = UINT32_MAX;
constexpr int kCleanUpTickLimit = 8;

std::string field(const char *text, size_t size)
{
    return std::string(platform::fieldText(text, size));
}

bool cardGone(uint8_t cardState) { return cardState == 1 || cardState == 7 || cardState == 10; }

}  // namespace

DataConnection::DataConnection(ras::RasApi &ras, TBL_File &files, DataConnectionHost &host,
                               QObject *parent)
    : QObject(parent), m_ras(ras), m_files(files), m_host(host)
{
    LinkDataUpdate.setInterval(1000);
    CheckConnStatus.setInterval(100);
    EnableConnBtn.setInterval(5000);
    EnableConnBtn.setSingleShot(true);
    WaitTimer.setInterval(3000);
    connect(&LinkDataUpdate, &QTimer::timeout, this, &DataConnection::LinkDataUpdateTimer);
    connect(&CheckConnStatus, &QTimer::timeout, this, &DataConnection::CheckConnStatusTimer);
    connect(&EnableConnBtn, &QTimer::timeout, this, &DataConnection::EnableConnBtnTimer);
    connect(&WaitTimer, &QTimer::timeout, this, &DataConnection::WaitTimerTimer);
    connect(&m_ras, &ras::RasApi::dialEvent, this, &DataConnection::dialEvent);
    connect(&m_ras, &ras::RasApi::hangUpFinished, this, &DataConnection::hangUpFinished);
    connect(&m_ras, &ras::RasApi::disconnected, this, &DataConnection::disconnected);
}

std::string DataConnection::profileName() const
{
    const ProfileRecord &profile = m_files.defaultProfile();
    return field(profile.name, sizeof profile.name);
}

bool DataConnection::cardUsable() const { return !cardGone(m_cardState); }

QString DataConnection::trayText(const QString &sentLabel, const QString &receivedLabel,
                                 const QString &timeLabel, const QString &hour,
                                 const QString &minute, const QString &second) const
{
    if (m_state != kConnectionConnected)
        return {};
    const DurationParts time = SplitDuration(m_traffic.connectionSeconds());
    return sentLabel + TrafficAmountText(m_traffic.sentKilobytes()) + "\r\n" + receivedLabel +
           TrafficAmountText(m_traffic.receivedKilobytes()) + "\r\n" + timeLabel + time.hours +
           hour + time.minutes + minute + time.seconds + second;
}

bool DataConnection::modemListed(ras::DialDevice &device)
{
    std::vector<ras::DialDevice> devices;
    if (m_ras.enumDevices(devices) != ras::kSuccess)
        return false;
    for (const ras::DialDevice &each : devices) {
        if (each.type == "modem") {
            device = each;
            return true;
        }
    }
    return false;
}

void DataConnection::ImButtonConnectClick()
{
    if (m_state == kConnectionDialling) {
        setState(kConnectionCancelling);
        hangUp();
        return;
    }
    if (m_state == kConnectionConnected && m_handle != ras::kNoConnection) {
        setState(kConnectionDisconnecting);
        hangUp();
        return;
    }
    if (m_state != kConnectionIdle)
        return;

    // A connection of the card that is already up is taken over, not dialled again.
    ras::DialDevice modem;
    const bool listed = modemListed(modem);
    std::vector<ras::ActiveConnection> active;
    if (listed && m_ras.enumConnections(active) == ras::kSuccess) {
        for (const ras::ActiveConnection &connection : active) {
            if (connection.deviceName == modem.name) {
                m_handle = connection.handle;
                m_entryName = connection.entryName;
                setState(kConnectionConnected);
                return;
            }
        }
    }
    if (!m_host.inService()) {
        m_host.showMessage(kMessageNotInService);
        return;
    }
    if (m_dialGuard && !m_dialGuard())
        return;
    m_traffic.reset();
    m_suppressErrors = false;
    std::vector<ras::DialDevice> devices;
    if (uint32_t error = m_ras.enumDevices(devices); error != ras::kSuccess) {
        showError(error);
        return;
    }
    if (devices.empty()) {
        m_host.showMessage(kMessageNoModem);
        return;
    }

    ProfileRecord &profile = m_files.defaultProfile();
    m_dialUser = field(profile.userName, sizeof profile.userName).substr(0, kDialCredentialLimit);
    m_dialPassword =
        field(profile.password, sizeof profile.password).substr(0, kDialCredentialLimit);
    m_entryName = field(profile.name, sizeof profile.name);
    if (field(profile.askCredentials, sizeof profile.askCredentials) == "1") {
        CredentialAnswer answer;
        if (!m_host.askCredentials(profile, answer))
            return;
        const std::string save = answer.save ? "1" : "0";
        if (answer.userName != field(profile.userName, sizeof profile.userName) ||
            answer.password != field(profile.password, sizeof profile.password) ||
            save != field(profile.saveCredentials, sizeof profile.saveCredentials)) {
            platform::copyToField(profile.userName, sizeof profile.userName,
                                  answer.save ? answer.userName : std::string());
            platform::copyToField(profile.password, sizeof profile.password,
                                  answer.save ? answer.password : std::string());
            platform::copyToField(profile.saveCredentials, sizeof profile.saveCredentials, save);
            m_dialUser = answer.userName;
            m_dialPassword = answer.password;
            m_files.StoreProfileAsDefault(profile);
        }
    }

    if (!listed) {
        m_host.showMessage(kMessageNoModem);
        return;
    }
    if (uint32_t result = m_ras.validateEntryName(m_entryName); result == ras::kInvalidName) {
        showError(result);
        return;
    }
    if (uint32_t error = writeEntry(profile, modem); error != ras::kSuccess) {
        if (error != kErrorAlreadyShown)
            showError(error);
        return;
    }

    const std::string number = field(profile.dialNumber, sizeof profile.dialNumber);
    if (m_entryName.size() > 256)
        return m_host.showMessage(kMessageEntryNameTooLong);
    if (m_dialUser.size() > 257)
        return m_host.showMessage(kMessageUserTooLong);
    if (m_dialPassword.size() > 257)
        return m_host.showMessage(kMessagePasswordTooLong);
    ras::ConnectionHandle handle = ras::kNoConnection;
    const uint32_t error = m_ras.dial({m_entryName, number, m_dialUser, m_dialPassword}, handle);
    m_handle = handle;
    if (error != ras::kSuccess) {
        if (m_handle != ras::kNoConnection)
            m_ras.hangUp(m_handle);
        setState(kConnectionIdle);
        startCleanUp();
        showError(error);
        return;
    }
    setState(kConnectionDialling);
}

uint32_t DataConnection::writeEntry(const ProfileRecord &profile, const ras::DialDevice &device)
{
    ras::PhonebookEntry entry;
    entry.name = m_entryName;
    entry.number = field(profile.dialNumber, sizeof profile.dialNumber);
    entry.deviceName = device.name;
    entry.deviceType = device.type;
    entry.requireChap = field(profile.authentication, sizeof profile.authentication) == "CHAP";
    entry.pdpType = field(profile.pdpType, sizeof profile.pdpType);
    if (field(profile.apnAutomatic, sizeof profile.apnAutomatic) != "1")
        entry.apn = field(profile.apn, sizeof profile.apn);
    if (field(profile.pdpAddressAutomatic, sizeof profile.pdpAddressAutomatic) != "1") {
        entry.specificIpAddress = true;
        entry.ipAddress = field(profile.pdpAddress, sizeof profile.pdpAddress);
    }
    if (field(profile.dnsAutomatic, sizeof profile.dnsAutomatic) == "0") {
        entry.specificNameServers = true;
        // A malformed address is reported and dialled as 0.0.0.0.
        if (auto primary = ParseDnsAddress(field(profile.primaryDns, sizeof profile.primaryDns)))
            entry.primaryDns = *primary;
        else
            m_host.showMessage(kMessageBadPrimaryDns);
        if (auto secondary =
                ParseDnsAddress(field(profile.secondaryDns, sizeof profile.secondaryDns)))
            entry.secondaryDns = *secondary;
        else
            m_host.showMessage(kMessageBadSecondaryDns);
    }
    const int tooLong = entry.number.size() > 128  ? kMessageNumberTooLong
                        : device.type.size() > 16  ? kMessageDeviceTypeTooLong
                        : device.name.size() > 128 ? kMessageDeviceNameTooLong
                                                   : 0;
    if (tooLong) {
        m_host.showMessage(tooLong);
        return kErrorAlreadyShown;
    }
    return m_ras.setEntryProperties(entry);
}

void DataConnection::setState(ConnectionState state)
{
    m_state = state;
    m_host.showConnectionState(state);
    switch (state) {
    case kConnectionIdle:
        if (m_shownState == kConnectionIdle)
            return;
        if (m_traffic.started()) {
            ConnectionLogRecord record;
            record.end = platform::clock().localNow();
            // The time up to now, not up to the last sample: the log shows what the user had.
            record.durationSeconds = (platform::clock().tickCount() - m_connectTick) / 1000;
            record.userName = m_logUser;
            record.bytesSent = m_traffic.totalSent();
            record.bytesReceived = m_traffic.totalReceived();
            m_host.logConnection(record);
            emit linkDown();
        }
        m_host.setLogLinkEnabled(true);
        LinkDataUpdate.stop();
        m_traffic.reset();
        m_host.setConnectEnabled(cardUsable());
        m_host.connectionDown();
        break;
    case kConnectionDialling:
        m_host.setConnectEnabled(false);
        EnableConnBtn.start();
        break;
    case kConnectionCancelling:
        LinkDataUpdate.stop();
        m_host.setConnectEnabled(false);
        m_suppressErrors = true;
        break;
    case kConnectionConnected:
        m_connectTick = platform::clock().tickCount();
        m_traffic.start(m_connectTick);
        m_logUser = m_dialUser;
        emit linkUp(QString::fromStdString(ConnectionIdentity(
            m_ras.connectionIdentity(m_handle), m_entryName,
            platform::clock().localNow().toMSecsSinceEpoch())));
        takeSample();
        LinkDataUpdate.start();
        m_host.setConnectEnabled(true);
        m_host.connectionUp();
        m_suppressErrors = false;
        break;
    case kConnectionDisconnecting:
        LinkDataUpdate.stop();
        m_host.setConnectEnabled(false);
        m_host.setLogLinkEnabled(false);
        break;
    }
    m_shownState = state;
}

void DataConnection::takeSample()
{
    ras::Statistics counters;
    if (m_ras.getStatistics(m_handle, counters) != ras::kSuccess)
        return;  // this sample is skipped
    if (m_traffic.sample(platform::clock().tickCount(), counters))
        m_ras.clearStatistics(m_handle);
    emit trafficSampled(m_traffic.totalSent(), m_traffic.totalReceived());
    m_host.showTraffic(m_traffic);
}

void DataConnection::LinkDataUpdateTimer()
{
    if (m_state == kConnectionConnected)
        takeSample();
}

void DataConnection::disconnectNow()
{
    if (m_state == kConnectionConnected)
        ImButtonConnectClick();
}

void DataConnection::hangUp()
{
    m_ras.clearStatistics(m_handle);
    if (m_handle != ras::kNoConnection)
        m_ras.hangUp(m_handle);
}

bool DataConnection::connectedNow()
{
    ras::ConnectionStatus status;
    return m_ras.getConnectStatus(m_handle, status) == ras::kSuccess &&
           status.state == ras::kConnected;
}

void DataConnection::dialEvent(ras::ConnectionHandle handle, uint32_t state, uint32_t error)
{
    if (handle != m_handle)
        return;
    if (error != ras::kSuccess) {
        setState(connectedNow() ? kConnectionConnected : kConnectionIdle);
        startCleanUp();
        showError(error);
        m_suppressErrors = true;
        if (m_handle != ras::kNoConnection)
            m_ras.hangUp(m_handle);
        return;
    }
    if (state == ras::kConnected) {
        if (m_state != kConnectionCancelling)
            setState(kConnectionConnected);
    } else if (state == ras::kDisconnected) {
        setState(kConnectionIdle);
        startCleanUp();
    }
}

void DataConnection::hangUpFinished(ras::ConnectionHandle handle, uint32_t result)
{
    if (handle != m_handle)
        return;
    if (connectedNow()) {
        setState(kConnectionConnected);
    } else {
        setState(kConnectionIdle);
        startCleanUp();
    }
    if (result != ras::kSuccess) {
        showError(result);
        m_suppressErrors = false;
    } else {
        m_handle = ras::kNoConnection;
    }
}

void DataConnection::disconnected(ras::ConnectionHandle handle)
{
    if (handle != m_handle)
        return;
    setState(kConnectionIdle);
    startCleanUp();
}

void DataConnection::startCleanUp()
{
    if (!CheckConnStatus.isActive()) {
        m_cleanUpTicks = 0;
        CheckConnStatus.setInterval(100);
        CheckConnStatus.start();
    }
}

void DataConnection::CheckConnStatusTimer()
{
    ++m_cleanUpTicks;
    CheckConnStatus.setInterval(2000);
    ras::ConnectionStatus status;
    const bool removed = m_ras.getConnectStatus(m_handle, status) == ras::kInvalidHandle &&
                         m_ras.validateEntryName(m_entryName) == ras::kAlreadyExists &&
                         m_ras.deleteEntry(m_entryName) == ras::kSuccess;
    if (removed || m_cleanUpTicks >= kCleanUpTickLimit) {
        CheckConnStatus.stop();
        CheckConnStatus.setInterval(100);
        m_cleanUpTicks = 0;
    }
}

void DataConnection::EnableConnBtnTimer()
{
    if (cardUsable())
        m_host.setConnectEnabled(true);
}

void DataConnection::cardStateChanged(uint8_t cardState)
{
    m_cardState = cardState;
    if (cardGone(cardState)) {
        // The card is gone: a dialler still running on its port is stopped, not left behind.
        const ras::ConnectionHandle handle = m_handle;
        m_handle = ras::kNoConnection;
        setState(kConnectionIdle);
        if (handle != ras::kNoConnection)
            m_ras.hangUp(handle);
        startCleanUp();
        m_host.setConnectEnabled(false);
    } else if (cardState == 12) {
        WaitTimer.start();
    }
}

void DataConnection::WaitTimerTimer()
{
    if (!cardUsable()) {
        m_host.setConnectEnabled(false);
        return;
    }
    ras::DialDevice modem;
    if (m_state == kConnectionIdle && modemListed(modem)) {
        m_host.setConnectEnabled(true);
        WaitTimer.stop();
    }
}

void DataConnection::showError(uint32_t error)
{
    if (m_suppressErrors)
        return;
    m_host.showDialError(error, QString::fromStdString(m_ras.errorString(error)));
}
