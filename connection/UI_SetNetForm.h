// The network settings page: automatic or manual selection and, for automatic, the radios the
// card may use. The rules are NetworkSelection's; this is the page over them.
#pragma once

#include "NetworkSelection.h"

#include "FeatureWindow.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <array>

class TSet_netform final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // The settings record defaults to the program's (allconfig.ran in memory).
    explicit TSet_netform(feature::FeatureHost &host, AllConfig *config = nullptr);

    QGroupBox *RadioGroup_NetOpt, *RadioGroup_Auto;
    QRadioButton *RadioButton_Automatic, *RadioButton_Manual;
    std::array<QRadioButton *, 3> RadioButton_Modes{};
    QPushButton *ApplyButton, *CancelButton, *ManualSelectBtn;

    void FormShow();
    void RadioGroup_NetOptClick(int index);
    void RadioGroup_AutoClick(int index);
    void ApplyButtonClick();
    void CancelButtonClick();

    NetworkSelection &selection() { return m_selection; }
    // What the dialog tells the page: a network registered by hand, or the dialog left without
    // one (the automatic mode set again).
    void ManualRegistered();
    void ManualLeft();

    void cardStateChanged(CardState state) override;
    void callStateChanged(CallState state) override;
    void connectionStateChanged(ConnectionState state) override;
    void ussdSessionChanged(UssdSession session) override;
    void shownInPanel() override { FormShow(); }

private:
    void showValues();
    void updateEnabled();

    feature::FeatureHost &m_host;
    NetworkSelection m_selection;
    uint8_t m_cardState = 1;
};
