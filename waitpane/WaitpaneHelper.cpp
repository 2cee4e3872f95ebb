// lumadial-waitpane KIND CAPTION PROGRAM_DIR: the wait window's own process, started by the
// wait-window library. It shows the window until its standard input is closed (the library's
// close request), then ends; the cancel action writes "c" to its standard output.
//
// LUMADIAL_WAITPANE_REPORT=<path>: <path>.shown appears once the window is up; on closing, the
// window as it was is written to <path>.png and what it showed to <path>.txt (caption, title,
// animation file, frames advanced), for the tests and the screenshot tool.
#include "UI_StatusForm.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTimer>

#include <poll.h>
#include <unistd.h>

#include <cstdlib>

namespace {

bool g_closeRequested = false;

// True when the close request has come already (standard input at its end).
bool closedAlready()
{
    pollfd input{STDIN_FILENO, POLLIN, 0};
    if (poll(&input, 1, 0) <= 0)
        return false;
    char byte;
    return read(STDIN_FILENO, &byte, 1) <= 0;
}

void writeReport(waitpane::TStatusForm &form, const QString &path)
{
    form.grab().save(path + QStringLiteral(".png"));
    QFile text(path + QStringLiteral(".txt"));
    if (!text.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    const QString report = QStringLiteral("caption=%1\ntitle=%2\nanimation=%3\nframes=%4\n")
                               .arg(form.CaptionLabel->text(), form.windowTitle(),
                                    form.Animate1->property("animationFile").toString())
                               .arg(form.Animate1->framesAdvanced());
    text.write(report.toUtf8());
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    // A close that came before the window could appear: nothing to show.
    if (closedAlready())
        return 0;
    QApplication application(argc, argv);
    const int kind = std::atoi(argv[1]);
    const QString caption = platform::fromAnsi(argv[2]);
    const QString programDir = QString::fromLocal8Bit(argv[3]);

    waitpane::TStatusForm::Hooks hooks;
    hooks.closeRequested = [] { return g_closeRequested; };
    hooks.closed = [] { QCoreApplication::quit(); };
    hooks.cancel = [] {
        // The library reads it when it next looks; a lost byte only loses the cancel.
        (void)!write(STDOUT_FILENO, "c", 1);
    };
    waitpane::TStatusForm form(kind, caption, programDir, std::move(hooks));
    // Its own process: above the program's windows, which it stands for while they wait.
    form.setWindowFlag(Qt::WindowStaysOnTopHint);
    form.show();

    QSocketNotifier closeRequest(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&closeRequest, &QSocketNotifier::activated, [&] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) > 0)
            return;  // nothing is ever written; only the end counts
        closeRequest.setEnabled(false);
        g_closeRequested = true;
        form.Timer1Timer();
    });
    // Tests press Escape this way: the key goes through the window as a user's would.
    if (qEnvironmentVariableIsSet("LUMADIAL_WAITPANE_PRESS_ESCAPE")) {
        QTimer::singleShot(50, &form, [&form] {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&form, &escape);
        });
    }

    const QString report = qEnvironmentVariable("LUMADIAL_WAITPANE_REPORT");
    if (!report.isEmpty()) {
        // Once the loop runs, the window is up: say so.
        QTimer::singleShot(0, [report] {
            QFile shown(report + QStringLiteral(".shown"));
            (void)shown.open(QIODevice::WriteOnly);  // its being there is the message
        });
        // And how far the animation has come, each time it moves on.
        QObject::connect(form.Animate1, &waitpane::AnimationStrip::frameAdvanced,
                         [report](int frames) {
                             QSaveFile count(report + QStringLiteral(".frames"));
                             if (count.open(QIODevice::WriteOnly)) {
                                 count.write(QByteArray::number(frames));
                                 (void)count.commit();  // a lost count is only seen later
                             }
                         });
    }
    const int result = QApplication::exec();
    if (!report.isEmpty())
        writeReport(form, report);
    return result;
}
