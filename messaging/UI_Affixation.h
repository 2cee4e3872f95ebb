// The USSD/STK entry window: the USSD screen sits in its panel, and its two buttons show the
// USSD screen or open the SIM toolkit's menu.
#pragma once

#include "FeatureWindow.h"

#include <QPushButton>
#include <QWidget>

class TAffixationfrm final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TAffixationfrm(feature::FeatureHost &host);

    QPushButton *ussdBTN, *stkBTN;
    QWidget *AffixationPanel;

    void FormShow();
    void ussdBTNClick();
    void stkBTNClick();

    void shownInPanel() override { FormShow(); }

private:
    feature::FeatureHost &m_host;
};
