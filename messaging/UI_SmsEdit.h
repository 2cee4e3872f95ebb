// The screen on which a message is written, its recipients picked, and the message sent or
// saved as a draft. The rules are SmsTextRules' and the sending SmsComposer's; the screen shows
// them and asks the user.
#pragma once

#include "FeatureRoles.h"
#include "FeatureWindow.h"
#include "SmsComposer.h"
#include "SmsTextRules.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <memory>

class TFrmSmsEdit final : public QWidget,
                          public feature::FeatureWindow,
                          public feature::SmsWriter {
    Q_OBJECT
public:
    // store: the message store to send through; null: the program's.
    explicit TFrmSmsEdit(feature::FeatureHost &host, SmsStoreCalls *store = nullptr);
    ~TFrmSmsEdit() override;

    QPushButton *btnReceiveBox, *btnSendBox, *btnDraftBox, *btnWriteSms;
    QLabel *Label1;
    QLineEdit *EdRecvPer;
    QPushButton *btnSearchNum;
    QPlainTextEdit *MeContent;
    QLabel *SMSCharacterCount_Items;
    QPushButton *btnSent, *btnSaveas, *btnCancel;

    // Opens the screen in a mode (SmsComposer::Mode) with the message it starts from.
    void Open(int mode, const SmsItem *item);
    // A new message to the numbers; the page shown before comes back when the screen closes.
    void writeSmsTo(const QString &numbers) override;

    void btnSentClick();
    void btnSaveasClick();
    void btnCancelClick();
    void btnSearchNumClick();

    const SmsComposer &composer() const { return m_composer; }
    // What the last send run reported (the summary box shows it).
    const SendSummary &lastSummary() const { return m_lastSummary; }

    void cardStateChanged(CardState state) override;
    void messageArrived(platform::WindowMessageEvent &message) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void contentChanged();
    void recipientsChanged();
    void fillAndShow();
    // Closes the screen and brings back the one it was opened from.
    void closeScreen();
    void showNotice(int textNumber);
    // Splits and checks the recipient field; false (and the user told) when it does not hold
    // valid numbers. Empty is fine here.
    bool readRecipients(QStringList *recipients);
    void tellTooManyRecipients();
    // False (the first bad one named and the field selected) when one is not a number.
    bool recipientsAreNumbers(const QStringList &recipients);
    void openFolder(uint8_t folder);
    // The SMS list reads its PC folders again if it shows one of them.
    void tellListChanged();

    feature::FeatureHost &m_host;
    std::unique_ptr<SmsStoreCalls> m_ownStore;
    SmsComposer m_composer;
    SendSummary m_lastSummary;
    bool m_fitting = false;
    bool m_sending = false;
    bool m_noticeOpen = false;
};
