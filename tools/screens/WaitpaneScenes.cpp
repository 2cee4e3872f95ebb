// The wait window, shown the way the program shows it: right before a call that blocks.
#include "Scenes.h"

#include "platform/CodePage.h"
#include "platform/ResStringManager.h"
#include "waitpane/Waitpane.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <chrono>
#include <string>
#include <thread>

namespace screens {

namespace {

QImage waitWindow(int kind, unsigned textNumber, const char *fallback)
{
    QString caption = platform::GetLanguageString(textNumber);
    if (caption.isEmpty())
        caption = QString::fromUtf8(fallback);
    const std::string ansi = platform::toAnsi(caption);
    // The window is its helper's: the helper saves it as it closes.
    QTemporaryDir folder;
    const QString report = folder.path() + QStringLiteral("/window");
    qputenv("LUMADIAL_WAITPANE_REPORT", report.toLocal8Bit());
    ShowStatusWindow(kind, ansi.c_str(), 0);
    qunsetenv("LUMADIAL_WAITPANE_REPORT");
    // This thread blocks, as the program's does in the engine call; the window animates on.
    for (int waited = 0; waited < 10000 && !QFile::exists(report + QStringLiteral(".shown"));
         waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // a few frames in
    CloseStatusWindow();
    return QImage(report + QStringLiteral(".png"));
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("waitpane-search"),
                    QStringLiteral("wait window, operator search (kind 1)"),
                    [] { return waitWindow(1, 3007, "Searching for networks..."); }}),
    SceneRegistrar({QStringLiteral("waitpane-select"),
                    QStringLiteral("wait window, registering (kind 2)"),
                    [] { return waitWindow(2, 3008, "Registering..."); }}),
};

}  // namespace

}  // namespace screens
