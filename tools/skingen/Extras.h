// The rest of the delivered pictures: the logo bitmaps and the wait window's animations.
#pragma once

#include <QImage>

namespace skingen {

enum class LogoSize { Small, Big, Title };
// A logo drawn over the colour it will sit on, with that colour then replaced by fuchsia
// (bitmaps have no alpha; the program keys fuchsia out).
QImage drawLogo(LogoSize size);

inline constexpr int kAnimationWidth = 227;
inline constexpr int kAnimationHeight = 120;
inline constexpr int kAnimationFrames = 16;
inline constexpr int kAnimationDelay = 90;  // milliseconds per frame

enum class Animation { Search, Select };
// Frames side by side, each kAnimationWidth x kAnimationHeight; the PNG text keys "Frames"
// and "Delay" describe the strip.
QImage drawAnimation(Animation animation);

}  // namespace skingen
