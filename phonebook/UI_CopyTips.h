// The progress of a long phonebook run (copy, move, delete): a caption strip, a text, a bar from
// 0 to 100 and a Stop button, in the skin's copy-progress pictures when the skin has them. While
// it is open the windows behind it take no input; every update lets pending window events run,
// so the program keeps painting and Stop can be pressed.
#pragma once

#include "FeatureWindow.h"

#include "skin/SkinControls.h"

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <vector>

class TFrmCopyTips final : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    explicit TFrmCopyTips(feature::FeatureHost &host);

    skin::BackImage *CopyProgBkImage;
    skin::BackImage *CaptionImage;
    QLabel *LbCaption;
    QLabel *LbTips;
    QProgressBar *PBCopy;
    QPushButton *BtStop;

    // Shows the window with the text and progress 0, and disables the given windows.
    void Open(const QString &text, const std::vector<QWidget *> &disabled);
    void SetProgress(int percent);
    void SetText(const QString &text);
    // Closes the window and enables the windows it disabled.
    void Finish();
    bool StopPressed() const { return m_stopPressed; }

private:
    void applySkin();
    void letEventsRun();

    std::vector<QPointer<QWidget>> m_disabled;
    bool m_stopPressed = false;
};
