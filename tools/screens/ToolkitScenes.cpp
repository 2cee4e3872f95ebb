// The SIM toolkit's input dialog, asking for digits with the lengths the SIM allows.
#include "SceneHost.h"
#include "Scenes.h"

#include "UI_GetInput.h"

namespace screens {

namespace {

QImage inputDialog(uint32_t kind, const char *prompt, uint32_t minimum, uint32_t maximum,
                   const char *typed)
{
    SceneHost host;
    TgetInput dialog(host);
    dialog.Prepare(kind, minimum, maximum, prompt);
    dialog.Edit_InputBox->setText(QString::fromUtf8(typed));
    return grabShown(dialog);
}

const SceneRegistrar scenes[] = {
    SceneRegistrar({QStringLiteral("stk-input"),
                    QStringLiteral("SIM toolkit input: digits, 4 to 12"),
                    [] { return inputDialog(2, "Top-up code", 4, 12, "1234"); }}),
    SceneRegistrar({QStringLiteral("stk-input-yesno"),
                    QStringLiteral("SIM toolkit input: a yes/no question"),
                    [] { return inputDialog(1, "Switch to English?", 1, 1, ""); }}),
};

}  // namespace

}  // namespace screens
