// A feature host that keeps what the windows asked of it, and collects what they post to the
// main window.
#pragma once

#include "FeatureWindow.h"
#include "WindowTable.h"

#include "platform/WindowMessages.h"

#include <QObject>
#include <QStringList>
#include <QWidget>

#include <utility>
#include <vector>

class RecordingHost : public QObject, public feature::FeatureHost, public feature::Notices {
public:
    std::vector<QWidget *> shownInPanel;
    // Posted to the main window: (message, wParam), in the order delivered.
    std::vector<std::pair<uint32_t, uint32_t>> posted;
    // The notices raised, as "name(argument)", in order.
    QStringList noticesRaised;
    // What the host showed for the windows' asking: the previous page, a button's or an
    // entry's window.
    int previousPagesShown = 0;
    std::vector<feature::NavigationButton> buttonsShown;
    std::vector<feature::SettingsEntry> entriesShown;
    uint8_t card = 12;
    bool busy = false;
    // The peers the windows under test find through the host: what the test added.
    feature::WindowTable peers;

    std::vector<QWidget *> registeredWindows() const override { return peers.widgets(); }
    QWidget *windowPlaying(std::type_index role) const override { return peers.playing(role); }
    void show(feature::NavigationButton button) override { buttonsShown.push_back(button); }
    void show(feature::SettingsEntry entry) override { entriesShown.push_back(entry); }
    void showPreviousPage() override { ++previousPagesShown; }
    void showInPanel(QWidget &window, QPoint) override { shownInPanel.push_back(&window); }
    QObject *messageTarget() override { return this; }
    QWidget *dialogOwner() override { return nullptr; }
    feature::Notices &notices() override { return *this; }
    uint8_t cardState() const override { return card; }
    void setBusy(bool value) override { busy = value; }

    void newSmsArrived(const QString &text) override { note("newSmsArrived", text); }
    void clearNewSms() override { note("clearNewSms"); }
    void incomingCall(const QString &number, bool updateOnly) override
    {
        note(updateOnly ? "incomingCall(update)" : "incomingCall", number);
    }
    void callAccepted() override { note("callAccepted"); }
    void callStopped() override { note("callStopped"); }
    void missedCall() override { note("missedCall"); }
    void clearMissedCall() override { note("clearMissedCall"); }
    void connectionUp() override { note("connectionUp"); }
    void connectionDown() override { note("connectionDown"); }
    void previewSound(const QString &file) override { note("previewSound", file); }
    void disableNavigation() override { note("disableNavigation"); }
    void enableNavigation() override { note("enableNavigation"); }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != platform::WindowMessageEvent::eventType())
            return QObject::event(event);
        const auto &message = static_cast<platform::WindowMessageEvent &>(*event);
        posted.emplace_back(message.message(), message.wParam());
        return true;
    }

private:
    void note(const char *name, const QString &argument = {})
    {
        noticesRaised << QStringLiteral("%1(%2)").arg(QLatin1String(name), argument);
    }
};
