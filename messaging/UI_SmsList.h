// The SMS list screen: one folder of one storage (the PC or the SIM) as a table, with reading,
// replying, forwarding, deleting, moving between the PC and the SIM, and saving a number as a
// contact. The rows and the rules are SmsListModel's; this is the window over it.
#pragma once

#include "SmsListModel.h"
#include "SmsScreenParts.h"
#include "SmsStoreAccess.h"

#include "FeatureRoles.h"
#include "FeatureWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include <memory>
#include <vector>

class TFrmSmsList final : public QWidget,
                          public feature::FeatureWindow,
                          public feature::SmsFolderView {
    Q_OBJECT
public:
    explicit TFrmSmsList(feature::FeatureHost &host,
                         std::unique_ptr<SmsStoreAccess> store = MakeProgramSmsStore());
    ~TFrmSmsList() override;

    QLabel *Label1, *Label2, *Label3, *Label4;
    QTreeWidget *ListViewSms;
    QPushButton *btnEditSms, *btnReplySms, *btnForwordSms, *btnDelSms, *btnSaveTo, *btnSaveNum,
        *btnCancel;
    sms_screens::FolderButtons folderButtons;
    QComboBox *cbbChooseStorage;

    void ShowFolder(uint8_t folder, uint8_t storage);
    void Refresh();
    const SmsListModel &model() const { return m_model; }

    // The handlers.
    void btnEditSmsClick();
    void btnReplySmsClick();
    void btnForwordSmsClick();
    void btnSaveNumClick();
    void btnDelSmsClick();
    void btnSaveToClick();
    void btnCancelClick();
    void cbbChooseStorageChange(int index);

    void cardStateChanged(CardState state) override;
    // The new-message indicator: the folder of the kept message.
    void openSmsFolder(uint8_t folder, uint8_t storage) override;
    void messageArrived(platform::WindowMessageEvent &message) override;

private:
    // The selected rows, in table order (row indexes of the model).
    std::vector<size_t> selectedRows() const;
    // The single selected row, or nothing after telling the user why not.
    bool oneRow(SmsListModel::Action action, size_t &row);
    void updateButtons();
    void runOnSelection(sms_screens::RunKind kind);

    feature::FeatureHost &m_host;
    std::unique_ptr<SmsStoreAccess> m_store;
    SmsListModel m_model;
    uint8_t m_cardState = 1;
};
