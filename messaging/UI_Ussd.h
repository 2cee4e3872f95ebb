// The USSD screen: a service code goes to the network, its reply is shown, and a dialogue the
// network keeps open is answered from the same field. It sits in the toolkit entry window's panel
// and follows the session's state; a balance button sends the operator's balance code.
#pragma once

#include "UssdBalanceCode.h"
#include "UssdWaiting.h"

#include "FeatureWindow.h"
#include "lumacore.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

class Tussdfrm final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // balanceDatabase: serviceproviders.xml; keptCodesPath: where the person's own codes live.
    explicit Tussdfrm(feature::FeatureHost &host, QString balanceDatabase = DefaultBalanceDatabasePath(),
                      QString keptCodesPath = KeptBalanceCodes::defaultPath());

    QLabel *specilfun, *lblUssdStr, *lblUssdInf;
    QLineEdit *USSDStr;
    QPlainTextEdit *USSDinf;
    QPushButton *btnSend, *btnCancel, *btnBalance, *btnKeepBalance;
    QTimer *USSDTimer;

    void Refresh();
    void ShowReply(const _MEC_USSD_REPLY &record);
    void SetDeviceState(uint8_t state);
    void FormShow();
    void btnSendClick();
    void btnCancelClick();
    void btnBalanceClick();
    void btnKeepBalanceClick();
    void USSDTimerTimer();
    void USSDStrChange();

    // The balance code the button sends now, if the operator has one.
    const std::optional<BalanceCode> &balanceCode() const { return m_balance; }

    void cardStateChanged(CardState state) override { SetDeviceState(state); }
    void messageArrived(platform::WindowMessageEvent &message) override;
    void shownInPanel() override { FormShow(); }

private:
    void showBox(unsigned text);
    void findBalanceCode();
    void showBalanceButton();

    feature::FeatureHost &m_host;
    UssdWaiting m_waiting;
    QString m_balanceDatabase;
    KeptBalanceCodes m_kept;
    QString m_imsi;
    std::optional<BalanceCode> m_balance;
};
