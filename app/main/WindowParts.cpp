#include "WindowParts.h"

#include "skin/ColorRef.h"
#include "skin/Logo.h"
#include "skin/SkinControls.h"

#include <QPalette>

QLabel *makeLabel(QWidget *parent, const char *name, int pixelSize, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

void applyLightWindowColours(QWidget *window)
{
    QPalette colours = window->palette();
    colours.setColor(QPalette::Window, QColor(0xF4, 0xF7, 0xFB));
    colours.setColor(QPalette::WindowText, QColor(0x1F, 0x3A, 0x56));
    window->setPalette(colours);
    window->setAutoFillBackground(true);
}

QPixmap bigLogoPicture()
{
    const QPixmap logo = skin::logoPicture(QString::fromLatin1(skin::kBigLogoPath));
    if (logo.isNull())
        return {};
    return QPixmap::fromImage(
        skin::withColorKey(logo.toImage(), skin::fromColorRef(skin::kTransparentColorRef)));
}

BrandHead addBrandHead(QWidget *window, const char *backgroundName)
{
    BrandHead head{};
    head.background = new skin::BackImage(window);
    head.background->setObjectName(QLatin1String(backgroundName));
    head.background->setGeometry(0, 0, window->width(), window->height());

    head.logo = new skin::SkinImage(window);
    head.logo->setObjectName(QStringLiteral("LogoImage"));
    head.logo->setGeometry(18, 12, 64, 64);
    head.logo->setPicture(bigLogoPicture());

    head.productName = makeLabel(window, "Label_ProductName", 22, true);
    head.productName->setGeometry(96, 16, 280, 32);
    QPalette white = head.productName->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    head.productName->setPalette(white);
    return head;
}
