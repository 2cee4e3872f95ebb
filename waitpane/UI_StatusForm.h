// The wait window: a skinned caption strip with the caption text, and an animation below.
// The user cannot close it; Escape is its cancel action, which only raises the library's
// cancelled flag.
#pragma once

#include "AnimationStrip.h"

#include "skin/SkinControls.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace waitpane {

class TStatusForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 238;
    static constexpr int kHeight = 151;
    static constexpr int kCloseCheckInterval = 250;

    struct Hooks {
        std::function<bool()> closeRequested;  // asked by Timer1 every 250 ms
        std::function<void()> closed;          // the window has closed itself
        std::function<void()> cancel;          // the cancel action
    };

    // kind 1 and 2 choose an animation from <programDir>/resource/avi; others show none.
    TStatusForm(int kind, const QString &caption, const QString &programDir, Hooks hooks);

    // Every 250 ms: closes the window when a closer has asked for it.
    void Timer1Timer();
    void CancelAction();
    // Closes for good (the library's closer); afterwards every close is accepted.
    void closeForGood();
    bool isClosing() const { return m_closing; }

    skin::BackImage *WaitFrmBKImage;
    skin::BackImage *CaptionImage;
    skin::SkinImage *LogoImage;
    skin::SkinImage *AMLogoImage;
    QLabel *CaptionLabel;
    AnimationStrip *Animate1;
    QTimer Timer1;

    // The animation file of a kind, or empty for a kind without one.
    static QString animationFile(int kind, const QString &programDir);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void applySkin();

    Hooks m_hooks;
    bool m_closing = false;
};

}  // namespace waitpane
