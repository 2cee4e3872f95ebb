// A feature host that keeps what the windows asked of it, and collects what they post to the
// main window.
#pragma once

#include "FeatureWindow.h"

#include "platform/WindowMessages.h"

#include <QObject>
#include <QWidget>

#include <utility>
#include <vector>

class RecordingHost : public QObject, public feature::FeatureHost {
public:
    std::vector<QWidget *> shownInPanel;
    // Posted to the main window: (message, wParam), in the order delivered.
    std::vector<std::pair<uint32_t, uint32_t>> posted;

    void showInPanel(QWidget &window, QPoint) override { shownInPanel.push_back(&window); }
    QObject *messageTarget() override { return this; }
    QWidget *dialogOwner() override { return nullptr; }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != platform::WindowMessageEvent::eventType())
            return QObject::event(event);
        const auto &message = static_cast<platform::WindowMessageEvent &>(*event);
        posted.emplace_back(message.message(), message.wParam());
        return true;
    }
};
