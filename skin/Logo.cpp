#include "skin/Logo.h"

#include "skin/ImImage.h"
#include "skin/SkinControls.h"

#include <QImageReader>
#include <QLabel>

namespace skin {

namespace {

void assignLogo(QWidget *control, const char *path)
{
    if (!control)
        return;
    const QPixmap picture = logoPicture(QString::fromLatin1(path));
    if (auto *plain = qobject_cast<SkinImage *>(control))
        plain->setPicture(picture);
    else if (auto *image = qobject_cast<TImImage *>(control))
        image->setPicture(picture);
    else if (auto *back = qobject_cast<BackImage *>(control))
        back->setPicture(picture);
    else if (auto *label = qobject_cast<QLabel *>(control))
        label->setPixmap(picture);
}

}  // namespace

QPixmap logoPicture(const QString &path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    // Bitmaps carry no alpha: fuchsia marks what is not part of the logo.
    return QPixmap::fromImage(withColorKey(image, QColor(255, 0, 255)));
}

void LoadSmallLogo(QWidget *control) { assignLogo(control, kSmallLogoPath); }
void LoadBigLogo(QWidget *control) { assignLogo(control, kBigLogoPath); }
void LoadTitleLogo(QWidget *control) { assignLogo(control, kTitleLogoPath); }
void LoadSecondLogo(QWidget *control) { assignLogo(control, kSecondLogoPath); }

}  // namespace skin
