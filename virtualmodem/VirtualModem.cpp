#include "virtualmodem/VirtualModem.h"

#include "virtualmodem/DataPort.h"
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
    : modem_(std::make_unique<Modem>(initialState(options))), device_(std::make_unique<PtyDevice>())
{
    dataPort_ = std::make_unique<DataPort>([this] {
        std::lock_guard lock(mutex_);
        const int status = psRegistration(modem_->state()).status;
        return status == 1 || status == 5;
    });
    wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

VirtualModem::~VirtualModem()
{
    stop();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

bool VirtualModem::start(const std::string &linkPath)
{
    std::lock_guard lifecycle(lifecycleMutex_);
    if (running_) {
        std::lock_guard lock(mutex_);
        lastError_ = "the card is already running";
        return false;
    }
    if (wakeFd_ < 0) {
        std::lock_guard lock(mutex_);
        lastError_ = "cannot create the card's wake-up event";
        return false;
    }
    linkPath_ = linkPath;
    if (!startServing())
        return false;
    running_ = true;
    return true;
}

void VirtualModem::stop()
{
    std::lock_guard lifecycle(lifecycleMutex_);
    if (!running_)
        return;
    stopServing();
    running_ = false;
}

bool VirtualModem::isRunning() const
{
    std::lock_guard lifecycle(lifecycleMutex_);
    return running_;
}

bool VirtualModem::startServing()
{
    {
        std::lock_guard lock(mutex_);
        std::string error;
        if (!device_->open(linkPath_, error)) {
            lastError_ = error;
            return false;
        }
        modem_->powerUp();
        cardInserted_ = true;
    }
    // A card without its data port still talks on its control port; the dial then fails.
    std::string dataError;
    if (!dataPort_->open(linkPath_.empty() ? std::string() : linkPath_ + "-data", dataError)) {
        std::lock_guard lock(mutex_);
        lastError_ = "data port: " + dataError;
    }
    stopping_ = false;
    thread_ = std::thread([this] { serve(); });
    return true;
}

void VirtualModem::stopServing()
{
    if (!cardInserted_)
        return;
    stopping_ = true;
    wake();
    if (thread_.joinable())
        thread_.join();
    dataPort_->close();
    std::lock_guard lock(mutex_);
    device_->close();
    cardInserted_ = false;
}

std::string VirtualModem::devicePath() const
{
    std::lock_guard lock(mutex_);
    if (!device_->isOpen())
        return {};
    return device_->linkPath().empty() ? device_->terminalPath() : device_->linkPath();
}

std::string VirtualModem::lastError() const
{
    std::lock_guard lock(mutex_);
    return lastError_;
}

bool VirtualModem::removeCard()
{
    std::lock_guard lifecycle(lifecycleMutex_);
    if (!running_ || !cardInserted_)
        return false;
    stopServing();
    return true;
}

bool VirtualModem::insertCard()
{
    std::lock_guard lifecycle(lifecycleMutex_);
    if (!running_ || cardInserted_)
        return false;
    return startServing();
}

bool VirtualModem::cardInserted() const
{
    std::lock_guard lock(mutex_);
    return cardInserted_;
}

template <typename Change>
void VirtualModem::change(Change &&changeState)
{
    {
        std::lock_guard lock(mutex_);
        changeState(*modem_);
        modem_->refreshRegistration();
    }
    wake();
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
        std::lock_guard lock(mutex_);
        stallUntil_ = Clock::now() + time;
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
std::string VirtualModem::dataPortPath() const { return dataPort_->path(); }

void VirtualModem::dropDataCall() { dataPort_->dropCall(); }

void VirtualModem::setDataCallsRefused(bool refused) { dataPort_->setRefused(refused); }

void VirtualModem::setDataAnswerDelay(std::chrono::milliseconds delay)
{
    dataPort_->setAnswerDelay(delay);
}

bool VirtualModem::dataCallOnline() const { return dataPort_->online(); }

ModemState VirtualModem::snapshot() const
{
    std::lock_guard lock(mutex_);
    return modem_->state();
}

std::string VirtualModem::lastCommandLine() const
{
    std::lock_guard lock(mutex_);
    return modem_->lastLine();
}

bool VirtualModem::answerPending() const
{
    std::lock_guard lock(mutex_);
    return modem_->answerPending();
}

void VirtualModem::wake() const
{
    const uint64_t one = 1;
    if (wakeFd_ >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
    }
}

void VirtualModem::serve()
{
    const int fd = device_->fd();
    bool terminalWasOpen = false;
    std::string unsent;
    while (!stopping_) {
        int timeout = -1;
        bool stalled = false;
        {
            std::lock_guard lock(mutex_);
            if (const auto next = modem_->nextEvent()) {
                const auto wait =
                    std::chrono::ceil<std::chrono::milliseconds>(*next - modem_->now());
                timeout = static_cast<int>(std::max<long long>(0, wait.count()));
            }
            const auto stallLeft =
                std::chrono::ceil<std::chrono::milliseconds>(stallUntil_ - Clock::now());
            if (stallLeft.count() > 0) {
                stalled = true;
                timeout = timeout < 0 ? static_cast<int>(stallLeft.count())
                                      : std::min(timeout, static_cast<int>(stallLeft.count()));
            }
        }

        const bool terminalOpen = device_->terminalOpen();
        if (!terminalOpen) {
            if (terminalWasOpen) {
                // The program closed the port: what was on its way is lost, as on a real port.
                std::lock_guard lock(mutex_);
                modem_->discardPending();
                device_->flush();
                unsent.clear();
            }
            terminalWasOpen = false;
            {
                std::lock_guard lock(mutex_);
                modem_->takeOutput();  // reports with nobody to hear them
            }
            pollfd waitForWake{wakeFd_, POLLIN, 0};
            ::poll(
                &waitForWake, 1,
                timeout < 0 ? kIdleCheckMilliseconds : std::min(timeout, kIdleCheckMilliseconds));
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(wakeFd_, &count, sizeof count);
            continue;
        }
        terminalWasOpen = true;

        const short reading = stalled ? 0 : POLLIN;
        pollfd entries[2] = {{fd, static_cast<short>(reading | (unsent.empty() ? 0 : POLLOUT)), 0},
                             {wakeFd_, POLLIN, 0}};
        if (::poll(entries, 2, timeout) < 0 && errno != EINTR)
            break;
        if (entries[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t drained = ::read(wakeFd_, &count, sizeof count);
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
            std::lock_guard lock(mutex_);
            if (!received.empty()) {
                modem_->receive(received);
            } else {
                modem_->process();
            }
            unsent += modem_->takeOutput();
        }
        device_->sendQueued(unsent, kMaxUnsentBytes);
    }
}

}  // namespace virtualmodem
