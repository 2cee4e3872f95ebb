// Small pieces the program's own windows share: plain labels, the light card-window colours,
// and the branded head (background picture, big logo, product name) of the splash and About box.
#pragma once

#include <QLabel>
#include <QPixmap>

class QWidget;

namespace skin {
class BackImage;
class SkinImage;
}  // namespace skin

// A plain-text label with the object name and a font of the given pixel size.
QLabel *makeLabel(QWidget *parent, const char *name, int pixelSize = 12, bool bold = false);

// The light background and dark text of the splash and the About box.
void applyLightWindowColours(QWidget *window);

// The big operator logo with its fuchsia keyed out; empty when there is none.
QPixmap bigLogoPicture();

struct BrandHead {
    skin::BackImage *background;
    skin::SkinImage *logo;
    QLabel *productName;
};

// Adds the background picture (named backgroundName, covering the window), the big logo and the
// white product-name label over the picture's banner.
BrandHead addBrandHead(QWidget *window, const char *backgroundName);
