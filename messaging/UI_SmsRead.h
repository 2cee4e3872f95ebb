// The SMS reading screen: one received message with its sender, number and time, and the
// list's actions on it (reply, forward, move, delete, save the number).
#pragma once

#include "SmsScreenParts.h"
#include "SmsStoreAccess.h"

#include "FeatureWindow.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <memory>
#include <optional>

class TFrmSmsRead final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TFrmSmsRead(feature::FeatureHost &host,
                         std::unique_ptr<SmsStoreAccess> store = MakeProgramSmsStore());
    ~TFrmSmsRead() override;

    QLabel *lblSendOrRecvName, *lblSendOrRecvNum, *lblTime;
    QPlainTextEdit *mmoMsgContent;
    QPushButton *btnRes, *btnTrans, *btnSaveTo, *btnSaveNum, *btnDelSms, *btnCancel;
    sms_screens::FolderButtons folderButtons;

    // Keeps a copy of the item, fills the screen and shows it.
    void Show(const SmsItem &item);
    const std::optional<SmsItem> &item() const { return m_item; }

    void btnResClick();
    void btnTransClick();
    void btnSaveNumClick();
    void btnDelSmsClick();
    void btnSaveToClick();
    void btnCancelClick();

    void cardStateChanged(CardState state) override;
    void messageArrived(platform::WindowMessageEvent &message) override;

private:
    void run(sms_screens::RunKind kind);
    // Forgets the item and hides; showList: the list (read again) takes its place.
    void closeToList(bool showList);
    void updateButtons();

    feature::FeatureHost &m_host;
    std::unique_ptr<SmsStoreAccess> m_store;
    std::optional<SmsItem> m_item;
    uint8_t m_cardState = 1;
};
