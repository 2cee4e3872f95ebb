#include "virtualmodem/VirtualModem.h"

#include "virtualmodem/DataPort.h"
#include "virtualmodem/VoicePort.h"
#include "virtualmodem/Modem.h"
#include "virtualmodem/Phonebook.h"
#include "virtualmodem/Network.h"
#include "virtualmodem/PtyDevice.h"
#include "virtualmodem/SimCard.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace virtualmodem {

namespace {

// While nobody has the terminal open, the card looks again this often.
constexpr int kIdleCheckMilliseconds = 20;
// Output a terminal does not read is kept up to this much, then dropped, as a full serial
// buffer would lose it.
constexpr size_t kMaxUnsentBytes = 64 * 1024;

ModemState initialState(const CardOptions &options)
{
    ModemState state;
    state.sim.pin = options.pin;
    state.sim.puk = options.puk;
    state.sim.pinEnabled = options.pinRequired;
    state.simBusyTime = options.simBusyTime;
    state.networkScanTime = options.networkScanTime;
    if (!options.imsi.empty())
        state.sim.imsi = options.imsi;
    return state;
}

}  // namespace

VirtualModem::VirtualModem() : VirtualModem(CardOptions{}) {}

VirtualModem::VirtualModem(const CardOptions &options)
    : m_modem(std::make_unique<Modem>(initialState(options))), m_device(std::make_unique<PtyDevice>())
{
    m_dataPort = std::make_unique<DataPort>([this] {
        std::lock_guard lock(m_mutex);
        const int status = psRegistration(m_modem->state()).status;
        return status == 1 || status == 5;
    });
    m_voicePort = std::make_unique<VoicePort>([this] {
        std::lock_guard lock(m_mutex);
        return soundFlows(m_modem->state());
    });
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

VirtualModem::~VirtualModem()
{
    stop();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool VirtualModem::start(const std::string &linkPath)
{
    std::lock_guard lifecycle(m_lifecycleMutex);
    if (m_running) {
        std::lock_guard lock(m_mutex);
        m_lastError = "the card is already running";
        return false;
    }
    if (m_wakeFd < 0) {
        std::lock_guard lock(m_mutex);
        m_lastError = "cannot create the card's wake-up event";
        return false;
    }
    m_linkPath = linkPath;
    if (!startServing())
        return false;
    m_running = true;
    return true;
}

void VirtualModem::stop()
{
    std::lock_guard lifecycle(m_lifecycleMutex);
    if (!m_running)
        return;
    stopServing();
    m_running = false;
}

bool VirtualModem::isRunning() const
{
    std::lock_guard lifecycle(m_lifecycleMutex);
    return m_running;
}

bool VirtualModem::startServing()
{
    {
        std::lock_guard lock(m_mutex);
        std::string error;
        if (!m_device->open(m_linkPath, error)) {
            m_lastError = error;
            return false;
        }
        m_modem->powerUp();
        m_cardInserted = true;
    }
    // A card without its data port still talks on its control port; the dial then fails.
    std::string dataError;
    if (!m_dataPort->open(m_linkPath.empty() ? std::string() : m_linkPath + "-data", dataError)) {
        std::lock_guard lock(m_mutex);
        m_lastError = "data port: " + dataError;
    }
    if (std::string voiceError;
        !m_voicePort->open(m_linkPath.empty() ? std::string() : m_linkPath + "-voice", voiceError)) {
        std::lock_guard lock(m_mutex);
        m_lastError = "voice port: " + voiceError;
    }
    m_stopping = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void VirtualModem::stopServing()
{
    if (!m_cardInserted)
        return;
    m_stopping = true;
    wake();
    if (m_thread.joinable())
        m_thread.join();
    m_dataPort->close();
    m_voicePort->close();
    std::lock_guard lock(m_mutex);
    m_device->close();
    m_cardInserted = false;
}

std::string VirtualModem::devicePath() const
{
    std::lock_guard lock(m_mutex);
    if (!m_device->isOpen())
        return {};
    return m_device->linkPath().empty() ? m_device->terminalPath() : m_device->linkPath();
}

std::string VirtualModem::lastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

bool VirtualModem::removeCard()
{
    std::lock_guard lifecycle(m_lifecycleMutex);
    if (!m_running || !m_cardInserted)
        return false;
    stopServing();
    return true;
}

bool VirtualModem::insertCard()
{
    std::lock_guard lifecycle(m_lifecycleMutex);
    if (!m_running || m_cardInserted)
        return false;
    return startServing();
}

bool VirtualModem::cardInserted() const
{
    std::lock_guard lock(m_mutex);
    return m_cardInserted;
}

template <typename Change>
void VirtualModem::change(Change &&changeState)
{
    {
        std::lock_guard lock(m_mutex);
        changeState(*m_modem);
        m_modem->refreshRegistration();
    }
    wake();
}

void VirtualModem::editState(const std::function<void(ModemState &)> &edit)
{
    change([&](Modem &modem) { edit(modem.state()); });
}

bool VirtualModem::setSignal(int rssi)
{
    if (!((rssi >= 0 && rssi <= 31) || rssi == 99))
        return false;
    change([rssi](Modem &modem) { modem.state().network.signal = rssi; });
    return true;
}

void VirtualModem::setNetwork(Coverage coverage)
{
    change([coverage](Modem &modem) { modem.state().network.coverage = coverage; });
}

void VirtualModem::removeSim()
{
    change([](Modem &modem) { modem.state().sim.inserted = false; });
}

void VirtualModem::insertSim()
{
    change([](Modem &modem) {
        SimCard &sim = modem.state().sim;
        if (sim.inserted)
            return;
        sim.inserted = true;
        powerUpSim(sim, modem.now());
    });
}

void VirtualModem::setPinRequired(bool required)
{
    change([required](Modem &modem) { modem.state().sim.pinEnabled = required; });
}

void VirtualModem::setGarbage(bool on)
{
    change([on](Modem &modem) { modem.state().quirks.garbage = on; });
}

void VirtualModem::setSilent(bool on)
{
    change([on](Modem &modem) { modem.state().quirks.silent = on; });
}

void VirtualModem::setNoEcho(bool on)
{
    change([on](Modem &modem) { modem.state().quirks.noEcho = on; });
}

void VirtualModem::setSlowAnswers(std::chrono::milliseconds delay)
{
    change([delay](Modem &modem) { modem.state().quirks.slowAnswers = delay; });
}

namespace {

// Command names as the parser gives them: "+cpms" is "+CPMS".
std::set<std::string> commandNames(const std::set<std::string> &names)
{
    std::set<std::string> upper;
    for (const std::string &name : names)
        upper.insert(toUpper(name));
    return upper;
}

}  // namespace

void VirtualModem::setMissingCommands(const std::set<std::string> &names)
{
    change([upper = commandNames(names)](Modem &modem) {
        modem.state().quirks.missingCommands = upper;
    });
}

void VirtualModem::setMutedCommands(const std::set<std::string> &names)
{
    change([upper = commandNames(names)](Modem &modem) {
        modem.state().quirks.mutedCommands = upper;
    });
}

void VirtualModem::setQuirk(Quirk quirk, bool on)
{
    change([quirk, on](Modem &modem) {
        ModemState &state = modem.state();
        if (on)
            state.quirks.modes.insert(quirk);
        else
            state.quirks.modes.erase(quirk);
        // The quirks that are a state of the card take effect at once.
        if (quirk == Quirk::NumericResults)
            state.settings.verbose = !on;
        if (quirk == Quirk::RadioOff && on)
            state.network.functionality = 4;
    });
}

void VirtualModem::stallReading(std::chrono::milliseconds time)
{
    {
        std::lock_guard lock(m_mutex);
        m_stallUntil = Clock::now() + time;
    }
    wake();
}

void VirtualModem::setSimBusyTime(std::chrono::milliseconds time)
{
    change([time](Modem &modem) { modem.state().simBusyTime = time; });
}

void VirtualModem::setNetworkScanTime(std::chrono::milliseconds time)
{
    change([time](Modem &modem) { modem.state().networkScanTime = time; });
}

void VirtualModem::setUssdDelay(bool slow, std::chrono::milliseconds time)
{
    change([slow, time](Modem &modem) {
        (slow ? modem.state().ussd.slowDelay : modem.state().ussd.replyDelay) = time;
    });
}

void VirtualModem::setNoUcs2(bool on)
{
    change([on](Modem &modem) { modem.state().quirks.noUcs2 = on; });
}

bool VirtualModem::setPhonebookEntry(const std::string &memory, int index,
                                     const PhonebookEntry &entry)
{
    bool stored = false;
    change(
        [&](Modem &modem) { stored = storePhonebookEntry(modem.state(), memory, index, entry); });
    return stored;
}

std::string VirtualModem::deliverSms(const IncomingSms &message)
{
    std::string error = "the card is out";
    change([&](Modem &modem) { error = virtualmodem::deliverSms(modem, message); });
    return error;
}

std::string VirtualModem::deliverBroadcast(uint16_t channel, const std::string &text)
{
    std::string error;
    change([&](Modem &modem) { error = virtualmodem::deliverBroadcast(modem, channel, text); });
    return error;
}

void VirtualModem::setSmsFailing(const std::string &number, bool failing)
{
    change([&](Modem &modem) {
        auto &numbers = modem.state().smsNetwork.failingNumbers;
        if (failing)
            numbers.insert(number);
        else
            numbers.erase(number);
    });
}

void VirtualModem::setSmsReportDelay(std::chrono::milliseconds delay)
{
    change([&](Modem &modem) { modem.state().smsNetwork.reportDelay = delay; });
}

bool VirtualModem::fillMessages(const std::string &storage, int count)
{
    bool filled = false;
    change([&](Modem &modem) {
        filled = virtualmodem::fillMessages(modem.state(), storage, count, "+5491140001234");
    });
    return filled;
}

void VirtualModem::clearMessages(const std::string &storage)
{
    change([&](Modem &modem) {
        for (MessageStorage &candidate : modem.state().messageStorages) {
            if (candidate.name == storage) {
                candidate.messages.clear();
                candidate.used = 0;
            }
        }
    });
}

bool VirtualModem::setMessageCapacity(const std::string &storage, int capacity)
{
    bool set = false;
    change([&](Modem &modem) {
        for (MessageStorage &candidate : modem.state().messageStorages) {
            if (candidate.name == storage && capacity >= candidate.used) {
                candidate.capacity = capacity;
                set = true;
            }
        }
    });
    return set;
}

void VirtualModem::clearPhonebook(const std::string &memory)
{
    change([&](Modem &modem) {
        for (PhonebookMemory &candidate : modem.state().phonebooks) {
            if (equalsIgnoringCase(candidate.name, memory))
                candidate.entries.clear();
        }
    });
}
std::string VirtualModem::dataPortPath() const { return m_dataPort->path(); }

std::string VirtualModem::voicePortPath() const { return m_voicePort->path(); }

void VirtualModem::dropDataCall() { m_dataPort->dropCall(); }

void VirtualModem::setDataCallsRefused(bool refused) { m_dataPort->setRefused(refused); }

void VirtualModem::setDataAnswerDelay(std::chrono::milliseconds delay)
{
    m_dataPort->setAnswerDelay(delay);
}

void VirtualModem::setDataStreamBytesPerTick(size_t bytes)
{
    m_dataPort->setStreamBytesPerTick(bytes);
}

bool VirtualModem::dataCallOnline() const { return m_dataPort->online(); }

ModemState VirtualModem::snapshot() const
{
    std::lock_guard lock(m_mutex);
    return m_modem->state();
}

std::string VirtualModem::lastCommandLine() const
{
    std::lock_guard lock(m_mutex);
    return m_modem->lastLine();
}

bool VirtualModem::answerPending() const
{
    std::lock_guard lock(m_mutex);
    return m_modem->answerPending();
}

void VirtualModem::wake() const
{
    const uint64_t one = 1;
    if (m_wakeFd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    }
}

void VirtualModem::serve()
{
    const int fd = m_device->fd();
    bool terminalWasOpen = false;
    std::string unsent;
    while (!m_stopping) {
        int timeout = -1;
        bool stalled = false;
        {
            std::lock_guard lock(m_mutex);
            if (const auto next = m_modem->nextEvent()) {
                const auto wait =
                    std::chrono::ceil<std::chrono::milliseconds>(*next - m_modem->now());
                timeout = static_cast<int>(std::max<long long>(0, wait.count()));
            }
            const auto stallLeft =
                std::chrono::ceil<std::chrono::milliseconds>(m_stallUntil - Clock::now());
            if (stallLeft.count() > 0) {
                stalled = true;
                timeout = timeout < 0 ? static_cast<int>(stallLeft.count())
                                      : std::min(timeout, static_cast<int>(stallLeft.count()));
            }
        }

        const bool terminalOpen = m_device->terminalOpen();
        if (!terminalOpen) {
            if (terminalWasOpen) {
                // The program closed the port: what was on its way is lost, as on a real port.
                std::lock_guard lock(m_mutex);
                m_modem->discardPending();
                m_device->flush();
                unsent.clear();
            }
            terminalWasOpen = false;
            {
                std::lock_guard lock(m_mutex);
                m_modem->takeOutput();  // reports with nobody to hear them
            }
            pollfd waitForWake{m_wakeFd, POLLIN, 0};
            ::poll(
                &waitForWake, 1,
                timeout < 0 ? kIdleCheckMilliseconds : std::min(timeout, kIdleCheckMilliseconds));
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
            continue;
        }
        terminalWasOpen = true;

        const short reading = stalled ? 0 : POLLIN;
        pollfd entries[2] = {{fd, static_cast<short>(reading | (unsent.empty() ? 0 : POLLOUT)), 0},
                             {m_wakeFd, POLLIN, 0}};
        if (::poll(entries, 2, timeout) < 0 && errno != EINTR)
            break;
        if (entries[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(m_wakeFd, &count, sizeof count);
        }
        if (entries[0].revents & POLLHUP)
            continue;

        std::string received;
        if (entries[0].revents & POLLIN) {
            char buffer[4096];
            const ssize_t length = ::read(fd, buffer, sizeof buffer);
            if (length > 0)
                received.assign(buffer, static_cast<size_t>(length));
        }
        {
            std::lock_guard lock(m_mutex);
            if (!received.empty()) {
                m_modem->receive(received);
            } else {
                m_modem->process();
            }
            unsent += m_modem->takeOutput();
        }
        m_device->sendQueued(unsent, kMaxUnsentBytes);
    }
}

}  // namespace virtualmodem
