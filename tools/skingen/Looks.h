// How each look of the skin is drawn, and the colours each key gets.
#pragma once

#include "SkinKeys.h"

#include <QColor>
#include <QImage>

#include <optional>
#include <vector>

namespace skingen {

// The one colour scheme of the skin.
namespace scheme {
inline const QColor brand(0x16, 0x77, 0xC9);
inline const QColor brandDeep(0x0F, 0x5A, 0x9E);
inline const QColor brandLight(0x3A, 0x95, 0xE4);
inline const QColor teal(0x12, 0xA5, 0x94);
inline const QColor ink(0x1F, 0x3A, 0x56);  // text on light backgrounds
inline const QColor inkMuted(0x5B, 0x6E, 0x82);
inline const QColor page(0xF4, 0xF7, 0xFB);
inline const QColor border(0xC9, 0xD7, 0xE6);
inline const QColor warm(0xFF, 0xF1, 0xB8);  // hover text on blue
inline const QColor fuchsia(0xFF, 0x00, 0xFF);
}  // namespace scheme

// Pictures are drawn for this many device pixels per point (1, or 2 for the double-size skin);
// their sizes in points stay those of the key table.
void setDrawScale(int scale);

QImage drawPicture(const SkinKey &key);

struct ImageControlPictures {
    QImage normal;
    QImage hot;
    QImage pushed;
};
ImageControlPictures drawImageControl(const SkinKey &key);

// Three frames stacked top to bottom: normal, disabled, pushed.
QImage drawButtonStrip(const SkinKey &key);

std::vector<QImage> drawImageList(const SkinKey &key);

struct KeyColours {
    std::optional<QColor> color;
    std::optional<QColor> hotColor;
    std::optional<QColor> backColor;
};
KeyColours coloursOf(const SkinKey &key);

}  // namespace skingen
