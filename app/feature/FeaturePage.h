// What every feature window wears of the skin, and the page the windows not built yet show.
//
// A window declares its skin in one table, WindowSkin: the key of its background picture, the
// key of the title strip along its top (with the window's caption on it), and the keys of its
// image buttons, each with the object name of the button that wears it. WearSkin puts them on.
// A key the skin lacks leaves a plain look in its place: a light background, a plain title
// strip, a normal Qt button with its caption.
#pragma once

#include "FeatureWindow.h"

#include <QLabel>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace feature {

// A skin key ("SMS_LIST.BTNDELSMS") and the object name of the window's control that wears it.
struct SkinKey {
    const char *key;
    const char *control;
};

struct WindowSkin {
    const char *background = nullptr;  // the whole window
    const char *title = nullptr;       // the strip along the top, under the window's caption
    std::vector<SkinKey> controls;
};

// Height of the title strip; a window wearing one has its layout start below it.
inline constexpr int kTitleStripHeight = 28;

// Puts the skin on the window, once, while it is built. Every control the table names must be
// one of the window's own; a name that is not is a fault in the table (reported on stderr and
// found by the tests through SkinKeysOf).
void WearSkin(QWidget &window, const WindowSkin &skin);
// Every key the window's table named, for the tests that check them against the delivered skin.
QStringList SkinKeysOf(const QWidget &window);
// Object names in the window's table that name no control of the window.
QStringList MissingSkinControlsOf(const QWidget &window);

}  // namespace feature

// How a feature window is shown: inside the main window's content panel, or on its own.
enum class FeatureWindowKind { Page, Dialog };

// The feature windows whose work is not built yet. Each exists once for the whole run under its
// own class name, takes the notices of the window contract like the finished windows will, and
// shows its caption and what it is for, with a plain line saying it is not available yet.
class FeaturePage : public QWidget, public feature::FeatureWindow {
    Q_OBJECT
public:
    // caption: the window's caption (the page title while it is shown).
    FeaturePage(feature::FeatureHost &host, const QString &className, const QString &caption,
                const QString &purpose, FeatureWindowKind kind = FeatureWindowKind::Page);

    FeatureWindowKind kind() const { return m_kind; }
    // The last card state the main window told this window (1, card absent, until told).
    uint8_t cardState() const { return m_cardState; }

    QLabel *Label_Title;
    QLabel *Label_Purpose;
    QLabel *Label_NotAvailable;

    void cardStateChanged(CardState state) override { m_cardState = state; }

protected:
    feature::FeatureHost &host() { return m_host; }
    // Wears the window's skin; its title strip shows the caption, so the page's own title
    // line goes.
    void wearSkin(const feature::WindowSkin &skin);

private:
    feature::FeatureHost &m_host;
    FeatureWindowKind m_kind;
    uint8_t m_cardState = 1;
};
