// Lumadial: the connection manager for 3G USB data cards.
#include "AppWindows.h"
#include "InstanceLock.h"
#include "UI_MainFrm.h"
#include "UI_StartFrm.h"

#include "UI_MessageBox.h"

#include "config/BL_File.h"
#include "platform/DialogSeam.h"
#include "platform/ProgramFolders.h"
#include "platform/ResStringManager.h"
#include "skin/FaceManager.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include <clocale>
#include <cstdio>
#include <exception>
#include <memory>

namespace {

// A hook for the program's own run tests: after this many milliseconds the program ends as if
// the user had chosen Exit, with every question on the way answered with its first button, and
// says on standard error how far the card had come. Not for use otherwise.
constexpr const char *kQuitAfterVariable = "LUMADIAL_QUIT_AFTER_MS";

int testQuitDelay()
{
    bool valid = false;
    const int milliseconds = qEnvironmentVariableIntValue(kQuitAfterVariable, &valid);
    return valid && milliseconds >= 0 ? milliseconds : -1;
}

void scheduleTestQuit(TMainform &mainform)
{
    const int milliseconds = testQuitDelay();
    if (milliseconds < 0)
        return;
    QTimer::singleShot(milliseconds, &mainform, [&mainform] {
        std::fprintf(stderr, "lumadial: closing on request; card state %d; main window %s\n",
                     mainform.cardState(), mainform.isVisible() ? "shown" : "hidden");
        platform::setDialogResponder([](QDialog &) -> std::optional<int> { return 1; });
        mainform.close();
    });
}

// Steps 2 to 7 of the start: skin, splash, windows, the first page, the message loop.
int runProgram(QApplication &application)
{
    skin::CreateFaceManager();
    skin::SetFaceMode(skin::FaceManager::kModeDefault);
    std::unique_ptr<TStartForm> splash;
    if (skin::ChooseFaceSkin(skin::FaceManager::kVariantOthers)) {
        splash = std::make_unique<TStartForm>();
        splash->show();
        application.processEvents();
    }

    QApplication::setApplicationDisplayName(QStringLiteral("Brisa Internet"));

    CreateAppWindows();
    TMainform &mainform = *AppWindows().Mainform;
    const bool haveSplash = splash != nullptr;
    if (haveSplash)
        mainform.setSplash(std::move(splash));

    mainform.showInternetPage();
    // Every window has taken its skin.
    skin::DestroyFaceManager();

    // Without a splash, the main window shows as soon as the loop runs; with one, Timer_Start
    // (or the PIN flow) shows it.
    if (!haveSplash)
        mainform.show();

    QObject::connect(&mainform, &TMainform::formClosed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    scheduleTestQuit(mainform);
    return application.exec();
}

void showStartError(const QString &text)
{
    TMainform *owner = AppWindows().Mainform.get();
    platform::ShowMessageBox(owner, text, 2);
}

}  // namespace

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");
    QApplication application(argc, argv);
    // The main window decides when the program ends: a closed About box while the main window
    // sits in the tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    // The desktop matches the windows to the launcher entry (its icon and name) by this.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lumadial.Lumadial"));
    // Everything the program loads (language, skin, sounds, help, the delivered settings) is
    // found by relative paths from its data folder.
    QDir::setCurrent(platform::dataFolder());
    // A portable copy keeps the engine's store beside itself too.
    const QString program = platform::executableFolder();
    if (platform::isPortableFolder(program) && !qEnvironmentVariableIsSet("LUMACORE_DB"))
        qputenv("LUMACORE_DB", QFile::encodeName(program + QStringLiteral("/db.dat")));

    platform::createStringManager();

    InstanceLock instance;
    if (!instance.acquire()) {
        QMessageBox box(QMessageBox::NoIcon, platform::GetLanguageString(1001),
                        platform::GetLanguageString(9), QMessageBox::Ok);
        if (const int milliseconds = testQuitDelay(); milliseconds >= 0)
            QTimer::singleShot(milliseconds, &box, &QMessageBox::accept);
        box.exec();
        platform::destroyStringManager();
        return 0;
    }

    boxes::installProgramMessageBoxes();

    try {
        runProgram(application);
    } catch (const std::exception &error) {
        showStartError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showStartError(platform::GetLanguageString(4));
    }
    DestroyAppWindows();
    skin::DestroyFaceManager();
    platform::destroyStringManager();
    return 0;
}
