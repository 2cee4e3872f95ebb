#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString executableFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).path();
}

QString dataFolderFor(const QString &programFolder)
{
    // The language folder is what the program cannot start without.
    if (QFileInfo(programFolder + QStringLiteral("/language")).isDir())
        return programFolder;
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("/../share/lumadial"));
    return QFileInfo(installed).isDir() ? installed : programFolder;
}

QString dataFolder()
{
    static const QString folder = dataFolderFor(executableFolder());
    return folder;
}

bool isPortableFolder(const QString &programFolder)
{
    return QFileInfo::exists(programFolder + QLatin1Char('/') + QLatin1String(kPortableMarker));
}

QString settingsFolder()
{
    const QString program = executableFolder();
    if (isPortableFolder(program))
        return program;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/lumadial");
}

}  // namespace platform
