// The message box in its button modes and icon types, and the progress box.
#include "Scenes.h"

#include "app/boxes/UI_MessageBox.h"
#include "app/boxes/UI_ProgressBox.h"
#include "platform/ResStringManager.h"

namespace screens {

namespace {

// A resource string, or the given text when the language library lacks it.
QString text(unsigned number, const char *fallback)
{
    const QString found = platform::GetLanguageString(number);
    return found.isEmpty() ? QString::fromUtf8(fallback) : found;
}

SceneRegistrar messageBox(const char *name, const char *description, int icon, const QString &mode,
                          unsigned textNumber, const char *fallback)
{
    return SceneRegistrar({QString::fromLatin1(name), QString::fromLatin1(description), [=] {
                               boxes::TMessageBoxForm box(nullptr, icon, mode);
                               box.setMessageText(text(textNumber, fallback));
                               return grabShown(box);
                           }});
}

const SceneRegistrar scenes[] = {
    messageBox("messagebox-info", "one button, information, short text", 1, boxes::kButtonSingle,
               1102, "The data card has been powered off."),
    messageBox("messagebox-warning-long", "one button, warning, long text in the memo", 2,
               boxes::kButtonSingle, 1098,
               "Messages or contacts are being processed. Please wait until this has finished."),
    messageBox("messagebox-warning-short", "one button, warning, short text in the label", 2,
               boxes::kButtonSingle, 0, "PIN code incorrect."),
    messageBox("messagebox-question", "two buttons, question", 3, boxes::kButtonDouble, 1042,
               "Do you want to exit Brisa Internet?"),
    messageBox("messagebox-yesno", "two buttons, question, yes/no captions", 4,
               boxes::kButtonDouble, 3017,
               "Do you want to restore all settings to their factory values?"),
    messageBox("messagebox-noicon", "two buttons, no icon (type 5)", 5, boxes::kButtonDouble, 0,
               "Save the number as a contact?"),
    messageBox("messagebox-nobuttons", "no buttons, text moved down", 1, boxes::kButtonNo, 3007,
               "Searching for networks..."),
    SceneRegistrar({QStringLiteral("messagebox-budget-warning"),
                    QStringLiteral("the data budget's warning share passed at home"),
                    [] {
                        boxes::TMessageBoxForm box(nullptr, 2, boxes::kButtonSingle);
                        box.setMessageText(
                            text(6401, "You have used %1 of your monthly data limit of %2 at home.")
                                .arg(QStringLiteral("1.60GB"), QStringLiteral("2.00GB")));
                        return grabShown(box);
                    }}),
    SceneRegistrar({QStringLiteral("messagebox-budget-limit"),
                    QStringLiteral("the data budget's limit reached, the link ended"),
                    [] {
                        boxes::TMessageBoxForm box(nullptr, 2, boxes::kButtonSingle);
                        box.setMessageText(
                            text(6404, "Your monthly data limit of %1 for roaming is "
                                       "reached.")
                                .arg(QStringLiteral("200.00MB")) +
                            QLatin1Char(' ') + text(6405, "Disconnected."));
                        return grabShown(box);
                    }}),
    messageBox("messagebox-notice", "the call window's notice (OK only)", 1, boxes::kButtonNoModal,
               0, "Call ended."),
    SceneRegistrar({QStringLiteral("progressbox-cancel"),
                    QStringLiteral("progress box with its cancel button"),
                    [] {
                        boxes::TProgressBoxForm box(nullptr, boxes::kButtonSingle);
                        box.SetText(QStringLiteral("Sending message 2 of 5..."));
                        return grabShown(box);
                    }}),
    SceneRegistrar({QStringLiteral("progressbox-plain"),
                    QStringLiteral("progress box without buttons, long text"),
                    [] {
                        boxes::TProgressBoxForm box(nullptr, boxes::kButtonNo);
                        box.SetText(QStringLiteral(
                            "Copying contacts from the SIM card to the PC, 37 of 120..."));
                        return grabShown(box);
                    }}),
};

}  // namespace

}  // namespace screens
