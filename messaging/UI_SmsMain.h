// The SMS main screen: the folder buttons, the message counts and capacities, and the timers
// that read the SIM and the card when the card becomes ready. It takes the new-message and
// delivery-report notices of the SMS windows.
#pragma once

#include "SmsFolders.h"
#include "SmsScreenParts.h"
#include "SmsStoreAccess.h"

#include "FeatureWindow.h"
#include "UI_MessageBox.h"

#include "logic/WindowPayloads.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class TFrmSmsMain final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TFrmSmsMain(feature::FeatureHost &host,
                         std::unique_ptr<SmsStoreAccess> store = MakeProgramSmsStore());
    ~TFrmSmsMain() override;

    sms_screens::FolderButtons folderButtons;
    QLabel *lblRecvBoxStoreInfo;
    QLabel *lblSendBoxStoreInfo;
    QLabel *lblDraftBoxStoreInfo;
    QLabel *lblSimMaxMount;
    QLabel *lblPcMaxMount;

    // The store-loading timers; they stand still during a voice call.
    QTimer tmrSmsInitSet;
    QTimer tmrLoadMeMsg;
    QTimer tmrLoadSimMsg;

    void SetDeviceState(uint8_t state);
    void RefreshCounts();
    // The notice when a storage is full.
    void CheckFull();
    // The delivery report, in a box that does not hold the program up.
    void ShowReport(const SmsReportPayload &report);

    void tmrSmsInitSetTimer() { tick(SmsFolders::InitSettings); }
    void tmrLoadMeMsgTimer() { tick(SmsFolders::LoadCard); }
    void tmrLoadSimMsgTimer() { tick(SmsFolders::LoadSim); }

    const SmsFolders &folders() const { return m_folders; }
    // The report boxes still open.
    std::vector<boxes::TMessageBoxForm *> reportBoxes() const;

    void cardStateChanged(CardState state) override { SetDeviceState(state); }
    // While a call is dialled the loads wait (the main window holds the timers); when it is
    // over they run again as the card state wants them.
    void callStateChanged(CallState state) override;
    void messageArrived(platform::WindowMessageEvent &message) override;
    // A full storage is told when the SMS button is pressed, not each time the screen returns.
    void shownByNavigation() override { CheckFull(); }
    std::vector<QTimer *> timersStoppedDuringCall() override
    {
        return {&tmrSmsInitSet, &tmrLoadMeMsg, &tmrLoadSimMsg};
    }

private:
    void tick(SmsFolders::Load load);
    void syncTimers();

    feature::FeatureHost &m_host;
    std::unique_ptr<SmsStoreAccess> m_store;
    SmsFolders m_folders;
    bool m_callDialling = false;
    std::vector<std::unique_ptr<boxes::TMessageBoxForm>> m_reports;
};
