// Where the program's files lie. The delivered data (language/, resource/, help/, the delivered
// .ran files) is read-only: beside the executable in a build tree or a portable copy, under
// <prefix>/share/lumadial when installed. What the program writes goes to the user's folders.
#pragma once

#include <QString>

namespace platform {

// The folder of the running executable.
QString executableFolder();

// The delivered data of a program in programFolder: that folder when it holds the data, else
// <programFolder>/../share/lumadial, as an installed program has it.
QString dataFolderFor(const QString &programFolder);
// dataFolderFor(executableFolder()), decided once.
QString dataFolder();

// A portable copy keeps everything, the user's settings and store included, in its own folder:
// it is one when a file of this name lies beside the executable.
inline constexpr const char *kPortableMarker = "portable";
bool isPortableFolder(const QString &programFolder);

// Where the user's settings (the .ran files the program rewrites) go: the program folder of a
// portable copy, else $XDG_CONFIG_HOME/lumadial (~/.config/lumadial).
QString settingsFolder();

}  // namespace platform
