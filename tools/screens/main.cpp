// lumadial-screens [--list] [--scale N] <output folder> [scene ...]
// Renders the named windows (all when none is named) into <output folder>/<scene>.png, with
// the program folder as working folder so that the skin, logos and texts are the delivered
// ones. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "Scenes.h"

#include "app/boxes/UI_MessageBox.h"
#include "platform/ResStringManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifndef LUMADIAL_PROGRAM_DIR_DEFAULT
#define LUMADIAL_PROGRAM_DIR_DEFAULT ""
#endif

namespace screens {

namespace {
std::vector<Scene> &registry()
{
    static std::vector<Scene> all;
    return all;
}
}  // namespace

void registerScene(Scene scene) { registry().push_back(std::move(scene)); }
const std::vector<Scene> &scenes() { return registry(); }

void runEventsFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

QImage grabShown(QWidget &widget)
{
    widget.show();
    runEventsFor(50);
    return widget.grab().toImage();
}

}  // namespace screens

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // --scale 2: the windows as a screen scaled to 2x shows them (set before Qt starts).
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--scale") == 0)
            qputenv("QT_SCALE_FACTOR", argv[i + 1]);
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool list = arguments.removeAll(QStringLiteral("--list")) > 0;
    if (const qsizetype scale = arguments.indexOf(QStringLiteral("--scale")); scale >= 0)
        arguments.remove(scale, std::min<qsizetype>(2, arguments.size() - scale));
    if (list) {
        for (const screens::Scene &scene : screens::scenes())
            std::printf("%-28s %s\n", qPrintable(scene.name), qPrintable(scene.description));
        return 0;
    }
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: lumadial-screens [--list] <output folder> [scene ...]\n");
        return 2;
    }
    const QString output = QDir(arguments.takeFirst()).absolutePath();
    if (!QDir().mkpath(output)) {
        std::fprintf(stderr, "lumadial-screens: cannot create %s\n", qPrintable(output));
        return 1;
    }

    QString programDir = qEnvironmentVariable("LUMADIAL_PROGRAM_DIR");
    if (programDir.isEmpty())
        programDir = QStringLiteral(LUMADIAL_PROGRAM_DIR_DEFAULT);
    if (!programDir.isEmpty() && !QDir::setCurrent(programDir)) {
        std::fprintf(stderr, "lumadial-screens: no program folder %s\n", qPrintable(programDir));
        return 1;
    }
    qputenv("LUMADIAL_PROGRAM_DIR", QDir::currentPath().toLocal8Bit());
    platform::createStringManager();
    boxes::installProgramMessageBoxes();

    int failures = 0;
    int rendered = 0;
    for (const screens::Scene &scene : screens::scenes()) {
        if (!arguments.isEmpty() && !arguments.contains(scene.name))
            continue;
        const QImage image = scene.render();
        const QString file = output + QLatin1Char('/') + scene.name + QStringLiteral(".png");
        if (image.isNull() || !image.save(file)) {
            std::fprintf(stderr, "lumadial-screens: %s could not be rendered\n",
                         qPrintable(scene.name));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(file));
        ++rendered;
    }
    for (const QString &name : arguments) {
        bool known = false;
        for (const screens::Scene &scene : screens::scenes())
            known |= scene.name == name;
        if (!known) {
            std::fprintf(stderr, "lumadial-screens: no scene named %s (see --list)\n",
                         qPrintable(name));
            ++failures;
        }
    }
    platform::destroyStringManager();
    return failures == 0 && rendered > 0 ? 0 : 1;
}
