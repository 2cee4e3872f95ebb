// The host a feature window drawn alone needs: no main window around it, the SIM ready.
#pragma once

#include "FeatureWindow.h"
#include "WindowTable.h"

#include <QObject>

namespace screens {

class SceneHost : public feature::FeatureHost, public feature::Notices {
public:
    // The peers a scene's window finds through the host: what the scene added.
    feature::WindowTable peers;

    std::vector<QWidget *> registeredWindows() const override { return peers.widgets(); }
    QWidget *windowPlaying(std::type_index role) const override { return peers.playing(role); }
    void show(feature::NavigationButton) override {}
    void show(feature::SettingsEntry) override {}
    void showPreviousPage() override {}
    void showInPanel(QWidget &, QPoint) override {}
    QObject *messageTarget() override { return &m_target; }
    QWidget *dialogOwner() override { return nullptr; }
    feature::Notices &notices() override { return *this; }
    uint8_t cardState() const override { return 12; }
    void setBusy(bool) override {}
    void newSmsArrived(const QString &) override {}
    void clearNewSms() override {}
    void incomingCall(const QString &, bool) override {}
    void callAccepted() override {}
    void callStopped() override {}
    void missedCall() override {}
    void clearMissedCall() override {}
    void connectionUp() override {}
    void connectionDown() override {}
    void disableNavigation() override {}
    void enableNavigation() override {}

private:
    QObject m_target;
};

}  // namespace screens
