// The SMS settings page of the settings area: service centre, validity period, delivery report
// and the storage for incoming messages. The rules are SmsSettings'; this is the page over them.
#pragma once

#include "SmsSettings.h"

#include "FeatureWindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

struct AllConfig;

class TSet_msgform final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // The settings record defaults to the program's (allconfig.ran in memory).
    explicit TSet_msgform(feature::FeatureHost &host, AllConfig *config = nullptr);

    QLabel *Label_MSGCen, *Label_MSGTime, *Label_SMSStore;
    QLineEdit *Edit_MSGCen;
    QComboBox *ComboBox_MSGTime, *Combo_SMSStore;
    QGroupBox *RadioGroup_MSGState;
    QRadioButton *RadioButton_Report, *RadioButton_NoReport;
    QPushButton *ApplyButton, *CancelButton;

    void SetDeviceState(uint8_t state);
    void FormShow();
    void ApplyButtonClick();
    void CancelButtonClick();

    void cardStateChanged(CardState state) override { SetDeviceState(state); }
    void shownInPanel() override { FormShow(); }

private:
    void setCardFieldsEnabled(bool enabled);
    void edited() { ApplyButton->setEnabled(true); }

    feature::FeatureHost &m_host;
    SmsSettings m_settings;
    uint8_t m_cardState = 1;
};
