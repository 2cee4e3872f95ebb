// The feature windows whose work is not built yet. Each exists once for the whole run under its
// own class name, takes the notices of the window contract like the finished windows will, and
// shows its caption and what it is for, with a plain line saying it is not available yet.
#pragma once

#include "FeatureWindow.h"

#include <QLabel>
#include <QString>
#include <QWidget>

#include <cstdint>

// How a feature window is shown: inside the main window's content panel, or on its own.
enum class FeatureWindowKind { Page, Dialog };

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

private:
    feature::FeatureHost &m_host;
    FeatureWindowKind m_kind;
    uint8_t m_cardState = 1;
};
