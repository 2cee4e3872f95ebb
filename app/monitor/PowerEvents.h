// System sleep and wake-up as the program's power events, through systemd-logind.
//
// While the program would refuse a suspend (a call, a connection, a USSD session, a long
// operation, or standby forbidden in the security settings), it holds a "block" sleep
// inhibitor. It always holds a "delay" inhibitor, so that when the system goes to sleep it can
// take the card off first (event 4) and release the inhibitor; on wake-up it gets event 7 and
// takes the delay inhibitor again. Without a system bus or logind there are no events and
// nothing fails.
#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>

class PowerEvents : public QObject {
    Q_OBJECT
public:
    // The program's power event codes.
    static constexpr uint32_t kQuerySuspend = 0;
    static constexpr uint32_t kQuerySuspendFailed = 2;
    static constexpr uint32_t kSuspend = 4;
    static constexpr uint32_t kResumeCritical = 6;
    static constexpr uint32_t kResumeSuspend = 7;
    static constexpr uint32_t kResumeAutomatic = 18;

    // handler gets kSuspend before the system sleeps (synchronously, the sleep waits for it)
    // and kResumeSuspend after it woke up.
    explicit PowerEvents(std::function<void(uint32_t event)> handler, QObject *parent = nullptr);
    ~PowerEvents() override;

    // Connects to logind; false when there is no system bus (the object then does nothing).
    bool start();
    bool isConnected() const { return m_connected; }

    // Holds (true) or releases (false) the "block" inhibitor.
    void setSuspendDenied(bool denied);
    bool isSuspendDenied() const { return m_denied; }

private Q_SLOTS:
    void PrepareForSleep(bool sleeping);

private:
    struct Inhibitors;
    void takeDelayInhibitor();
    void requestInhibitor(bool block);

    std::function<void(uint32_t)> m_handler;
    std::unique_ptr<Inhibitors> m_inhibitors;
    bool m_connected = false;
    bool m_denied = false;
};
