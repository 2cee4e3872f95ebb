#include "UI_Affixation.h"

#include "UI_SatMenuDisplay.h"
#include "UI_Ussd.h"

#include "FeaturePage.h"
#include "WindowControls.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

const feature::WindowSkin kSkin{"SETMENUDISPLAY.BKIMAGE",
                                "USSD.TITLEIMAGE",
                                {{"SETMENUDISPLAY.BTUSSD", "ussdBTN"}, {"SETMENUDISPLAY.BTSTK", "stkBTN"}}};

}  // namespace

TAffixationfrm::TAffixationfrm(feature::FeatureHost &host) : m_host(host)
{
    setObjectName(QStringLiteral("TAffixationfrm"));
    setWindowTitle(QStringLiteral("USSD/STK"));
    ussdBTN = NamedControl<QPushButton>(this, "ussdBTN", QStringLiteral("USSD"));
    stkBTN = NamedControl<QPushButton>(this, "stkBTN", QStringLiteral("STK"));
    AffixationPanel = NamedControl<QWidget>(this, "AffixationPanel");

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addWidget(ussdBTN);
    buttons->addWidget(stkBTN);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, feature::kTitleStripHeight + 4, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(buttons);
    layout->addWidget(AffixationPanel, 1);
    // The USSD screen fills the panel at (0, 0).
    auto *panel = new QVBoxLayout(AffixationPanel);
    panel->setContentsMargins(0, 0, 0, 0);

    connect(ussdBTN, &QPushButton::clicked, this, &TAffixationfrm::ussdBTNClick);
    connect(stkBTN, &QPushButton::clicked, this, &TAffixationfrm::stkBTNClick);
    feature::WearSkin(*this, kSkin);
}

void TAffixationfrm::FormShow()
{
    AffixationPanel->show();
    ussdBTNClick();
}

void TAffixationfrm::ussdBTNClick()
{
    auto *ussd = m_host.window<Tussdfrm>();
    if (!ussd)
        return;
    if (ussd->parentWidget() != AffixationPanel) {
        ussd->setParent(AffixationPanel, Qt::Widget);
        AffixationPanel->layout()->addWidget(ussd);
    }
    ussd->show();
    ussd->raise();
    ussd->FormShow();
}

void TAffixationfrm::stkBTNClick()
{
    if (auto *menu = m_host.window<TSatMenuDisplayForm>())
        m_host.showInPanel(*menu);
}
