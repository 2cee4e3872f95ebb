// The call services window: forwarding, barring, and caller ID with call waiting, on three tabs
// over the network's answers. The rules and the cache are CallServices'; this is the window
// over them.
#pragma once

#include "CallServices.h"

#include "FeatureWindow.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QWidget>

#include <array>

class TSet_SS final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // The settings record defaults to the program's (allconfig.ran in memory).
    explicit TSet_SS(feature::FeatureHost &host, AllConfig *config = nullptr);

    // The tabs' buttons: plain tool buttons, as the skin has no pictures for them.
    QToolButton *SSCFBtn, *SSCBBtn, *SSCLIPBtn;
    QStackedWidget *Tabs;
    // Forwarding in the order CFU, CFB, CFNRY, CFNRC; barring AO, OI, OX, AI, IR.
    std::array<QCheckBox *, 4> CheckBox_Forward{};
    std::array<QLineEdit *, 4> Edit_Forward{};
    std::array<QCheckBox *, 5> CheckBox_Barring{};
    QCheckBox *CheckBox_CLIP, *CheckBox_CCWA;
    QPushButton *ApplyButtonCF, *ApplyButtonCB, *ApplyButtonCLIP, *CancelButton;

    CallServices &services() { return m_services; }

    void FormShow();
    // The tabs: 0 forwarding, 1 barring, 2 CLIP and call waiting.
    void ShowTab(int tab);
    int currentTab() const { return Tabs->currentIndex(); }
    void ApplyButtonCFClick();
    void ApplyButtonCBClick();
    void ApplyButtonCLIPClick();
    void CancelButtonClick();

    void cardStateChanged(CardState state) override;
    void shownInPanel() override { FormShow(); }

private:
    // The controls take the logic's state.
    void refresh();
    void showMessages(const std::vector<int> &texts);

    feature::FeatureHost &m_host;
    CallServices m_services;
};
