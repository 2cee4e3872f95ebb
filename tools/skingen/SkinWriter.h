// Writes the delivered pictures into a program folder.
#pragma once

#include <QString>

namespace skingen {

// The skin (atlas and INI of both files) under <programDir>/resource/image/Default, the logos
// under resource/image/logo and the animations under resource/avi. False, with a message on
// standard error, when a file cannot be written.
bool writeAll(const QString &programDir);

// The file base names of the two skins.
QString skinFileName(bool mainWindow);

}  // namespace skingen
