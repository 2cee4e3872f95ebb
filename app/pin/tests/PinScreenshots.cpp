// Draws the PIN dialogs as the user sees them into PNG files, for looking at them:
//   pin_screenshots <output folder>
// Run it in the program folder (the skin, logos and texts are read from there).
#include "UI_PasswordDlg.h"

#include "platform/ResStringManager.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

using namespace pin;

namespace {

bool save(TPasswordDlg &dialog, const QString &path)
{
    dialog.show();
    QApplication::processEvents();
    // As after typing: the caret at the end, nothing selected.
    for (QLineEdit *field : {dialog.Edit_Password1, dialog.Edit_Password2})
        field->end(false);
    const bool saved = dialog.grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "could not write ") << path << "\n";
    return saved;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: pin_screenshots <output folder>\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    platform::createStringManager();

    bool ok = true;
    TPasswordDlg startup(nullptr, PasswordMode::StartupPin, 3);
    startup.Edit_Password1->setText(QStringLiteral("12"));
    ok &= save(startup, folder.filePath(QStringLiteral("pin-startup.png")));

    TPasswordDlg puk(nullptr, PasswordMode::Puk, 10);
    puk.Edit_Password1->setText(QStringLiteral("12345678"));
    ok &= save(puk, folder.filePath(QStringLiteral("pin-puk.png")));

    TPasswordDlg newPin(nullptr, PasswordMode::NewPin);
    newPin.Edit_Password1->setText(QStringLiteral("4321"));
    newPin.Edit_Password2->setText(QStringLiteral("43"));
    ok &= save(newPin, folder.filePath(QStringLiteral("pin-puk-newpin.png")));

    TPasswordDlg current(nullptr, PasswordMode::CurrentPin);
    ok &= save(current, folder.filePath(QStringLiteral("pin-current.png")));

    platform::destroyStringManager();
    return ok ? 0 : 1;
}
