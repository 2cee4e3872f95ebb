// The wait window, shown the way the program shows it: from a worker thread.
#include "Scenes.h"

#include "platform/CodePage.h"
#include "platform/ResStringManager.h"
#include "waitpane/Waitpane.h"

#include <QApplication>
#include <QWidget>

#include <future>
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
    std::thread([&] { ShowStatusWindow(kind, ansi.c_str(), 0); }).join();
    QWidget *window = nullptr;
    for (int tries = 0; tries < 100 && !window; ++tries) {
        runEventsFor(20);
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->objectName() == QLatin1String("StatusForm") && widget->isVisible())
                window = widget;
    }
    QImage image;
    if (window) {
        runEventsFor(500);  // a few frames into the animation
        image = window->grab().toImage();
    }
    std::future<int32_t> closer =
        std::async(std::launch::async, [] { return CloseStatusWindow(); });
    while (closer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        runEventsFor(10);
    return image;
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
