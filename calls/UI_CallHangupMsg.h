// The call window's choice dialog: the things the person may do with the calls (end one, hold
// and answer, join, ...) as a column of buttons, Cancel last.
#pragma once

#include "FeatureWindow.h"

#include <QDialog>
#include <QPushButton>
#include <QStringList>

#include <vector>

class TCallHangupMsgDfm final : public QDialog, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TCallHangupMsgDfm(feature::FeatureHost &host);

    std::vector<QPushButton *> MyButtons;  // MyButton0 ... MyButton9
    QPushButton *BtCancel;

    // Puts the choices on the buttons (at most ten); the others are hidden.
    void SetChoices(const QStringList &choices);
    // Shows the choices modally: the index chosen, or -1 for Cancel, the close image, or a
    // change of the calls that closed the dialog.
    int Choose(const QStringList &choices);

private:
    int m_chosen = -1;
};
