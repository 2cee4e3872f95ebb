#include "UI_StartFrm.h"

#include "WindowParts.h"

#include "platform/ResStringManager.h"
#include "skin/ColorRef.h"
#include "skin/FaceManager.h"
#include "skin/Logo.h"

#include <QGuiApplication>
#include <QScreen>

TStartForm::TStartForm(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("StartForm"));
    setWindowTitle(QStringLiteral("Brisa Internet"));
    setFixedSize(kWidth, kHeight);
    applyLightWindowColours(this);
    const BrandHead head = addBrandHead(this, "StartMidImage");
    StartMidImage = head.background;
    LogoImage = head.logo;
    Label_ProductName = head.productName;

    Label_PCSoftwareVersionCaption = makeLabel(this, "Label_PCSoftwareVersionCaption", 12);
    Label_PCSoftwareVersionCaption->setGeometry(24, 104, 150, 18);
    Label_PCSoftwareVersion = makeLabel(this, "Label_PCSoftwareVersion", 12);
    Label_PCSoftwareVersion->setGeometry(176, 104, 190, 18);

    Label_Init = makeLabel(this, "Label_Init", 12, true);
    Label_Init->setGeometry(24, 140, 340, 18);

    Label_Rights = makeLabel(this, "Label_Rights", 11);
    Label_Rights->setGeometry(24, 206, 340, 18);

    YbUrlLabel_HomePage = new skin::LinkLabel(this);
    YbUrlLabel_HomePage->setObjectName(QStringLiteral("YbUrlLabel_HomePage"));
    YbUrlLabel_HomePage->setGeometry(24, 186, 340, 18);
    // There is no home page to point at; the link stays hidden.
    YbUrlLabel_HomePage->hide();

    {
        const skin::ScopedFaceManager faces(skin::FaceManager::kVariantOthers);
        faces.apply(StartMidImage, QStringLiteral("ABOUT.YBBACKIMAGE_BACK"));
        faces.apply(YbUrlLabel_HomePage, QStringLiteral("START.YbUrlLabel_HomePage"));
        faces.apply(Label_PCSoftwareVersionCaption,
                    QStringLiteral("ABOUT.LABEL_PCSOFTWAREVERSIONCAPTION"));
        faces.apply(Label_PCSoftwareVersion,
                    QStringLiteral("ABOUT.LABEL_PCSOFTWAREVERSIONCAPTION"));
        faces.apply(Label_Rights, QStringLiteral("ABOUT.LABEL_RIGHTS"));
    }

    Label_ProductName->setText(QStringLiteral("Brisa Internet"));
    Label_PCSoftwareVersionCaption->setText(platform::GetLanguageString(1065));
    Label_PCSoftwareVersion->setText(platform::GetLanguageString(1068));
    Label_Rights->setText(platform::GetLanguageString(1050));
    Label_Init->setText(platform::GetLanguageString(1069));

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
}
