// The SIM toolkit menu screen: the SIM's own menu and its sub-menus, the texts it shows, the
// notice while it sends a message, and its questions (asked in the input dialog). Every step
// comes from the SIM through the engine's toolkit messages; ToolkitMenu keeps the state.
#pragma once

#include "ToolkitMenu.h"

#include "FeatureWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>



class TSatMenuDisplayForm final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TSatMenuDisplayForm(feature::FeatureHost &host,
                                 ToolkitMenu::Calls calls = ToolkitMenu::programCalls());
    ~TSatMenuDisplayForm() override;

    QLabel *SatMenuLabel;
    QListWidget *SatMenuDisplayListBox;
    QPushButton *SatMenuDisplay_OkButton, *SatMenuDisplay_BackButton,
        *SatMenuDisplay_BackEndButton, *buttonUssdBTN, *buttonStkBTN;
    QTimer *SatMenuDisplayListBoxTimer, *SMSSending;

    // The STK buttons: opens the menu screen, with the sub-menu of the moment or the SIM's menu.
    void STKCallBackforMain();
    const ToolkitMenu &menu() const { return m_menu; }
    // The SIM's message notice, while it is up.
    QMessageBox *smsNotice() const { return m_smsNotice; }

    void cardStateChanged(CardState state) override;
    void messageArrived(platform::WindowMessageEvent &message) override;

private:
    void StkDisplayText(const _MEC_STK_RECORD &record);
    void StkDisplaySmsState(const _MEC_STK_RECORD &record);
    void StkDisplayInputTextForm(const _MEC_STK_RECORD &record);
    void choose();
    void closeSmsNotice();
    // Shows what the state says, and runs the busy period while it is busy.
    void refresh();

    feature::FeatureHost &m_host;
    ToolkitMenu m_menu;
    QPointer<QMessageBox> m_smsNotice;
};
