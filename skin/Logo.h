// The logo bitmaps beside the program, relative to the program folder (the working folder).
// A logo that is missing or unreadable leaves its control with an empty picture; nothing is
// reported.
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

namespace skin {

inline constexpr const char *kSmallLogoPath = "resource/image/logo/MinDVOlogo.bmp";
inline constexpr const char *kBigLogoPath = "resource/image/logo/BIGDVOlogo.bmp";
inline constexpr const char *kTitleLogoPath = "resource/image/logo/MAXDVOlogo.bmp";
inline constexpr const char *kSecondLogoPath = "resource/image/logo/MinDVOlogo.bmp";

// The picture of a logo file, fuchsia pixels transparent; empty when it cannot be read.
QPixmap logoPicture(const QString &path);

// Each loads its file into a fresh picture and gives it to the control (SkinImage, TImImage,
// BackImage or QLabel).
void LoadSmallLogo(QWidget *control);
void LoadBigLogo(QWidget *control);
void LoadTitleLogo(QWidget *control);
void LoadSecondLogo(QWidget *control);

}  // namespace skin
