// A stand-in main window for tests of the core: it keeps every window message it receives.
#pragma once

#include "platform/WindowMessages.h"

#include <QCoreApplication>
#include <QObject>

#include <memory>
#include <vector>

struct CaughtMessage {
    uint32_t message;
    uint32_t wParam;
    uint32_t lParam;
    std::vector<uint8_t> block;
    std::string text;
    bool hasBlock = false;
    bool hasText = false;
};

class MessageCatcher : public QObject {
public:
    std::vector<CaughtMessage> messages;

    bool event(QEvent *event) override
    {
        if (event->type() != platform::WindowMessageEvent::eventType()) {
            return QObject::event(event);
        }
        auto *message = static_cast<platform::WindowMessageEvent *>(event);
        CaughtMessage caught{message->message(), message->wParam(), message->lParam(), {}, {}};
        if (const platform::ByteBlock *block = message->block()) {
            caught.block = block->bytes;
            caught.hasBlock = true;
        }
        if (const platform::TextBlock *text = message->text()) {
            caught.text = text->text;
            caught.hasText = true;
        }
        messages.push_back(std::move(caught));
        return true;
    }

    // Messages of one number, after letting posted events arrive.
    std::vector<CaughtMessage> take(uint32_t number)
    {
        // Twice: work that a callback hands to this thread posts its own message when it runs.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        std::vector<CaughtMessage> found;
        for (const CaughtMessage &message : messages) {
            if (message.message == number) {
                found.push_back(message);
            }
        }
        return found;
    }
};

// One application object for the whole test program.
inline void ensureApplication()
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "logic_tests";
        static char *argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }
}
