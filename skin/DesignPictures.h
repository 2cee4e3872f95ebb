// Pictures that controls carry from their layout rather than from the skin: the message icons
// and the close image. They are drawn here so that a window looks right with or without a skin.
#pragma once

#include <QPixmap>

namespace skin {

enum class MessageIcon { Information, Warning, Question };

// A 26 x 26 message icon.
QPixmap messageIconPicture(MessageIcon icon);
// A 16 x 16 close image; hot draws the highlighted form.
QPixmap closePicture(bool hot);

}  // namespace skin
