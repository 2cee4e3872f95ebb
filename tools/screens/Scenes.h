// The windows lumadial-screens can render, each under a name. A scene file registers its
// scenes with static SceneRegistrar objects; add a file to CMakeLists.txt to add windows.
#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace screens {

struct Scene {
    QString name;
    QString description;
    std::function<QImage()> render;
};

void registerScene(Scene scene);
const std::vector<Scene> &scenes();

struct SceneRegistrar {
    explicit SceneRegistrar(Scene scene) { registerScene(std::move(scene)); }
};

// Shows the widget on the current platform, lets pending events run, and grabs it.
QImage grabShown(QWidget &widget);
// Lets the event loop run for the given time (timers, animations).
void runEventsFor(int milliseconds);

}  // namespace screens
