#include "PinTestSupport.h"

#include "FakeLumacore.h"

#include "platform/DialogSeam.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>

namespace pin::testing {

QString textOf(unsigned number) { return platform::GetLanguageString(number); }

std::vector<MessageRecorder::Message> MessageRecorder::messages()
{
    QCoreApplication::sendPostedEvents(this);
    return m_messages;
}

std::vector<uint32_t> MessageRecorder::cardStates()
{
    std::vector<uint32_t> states;
    for (const auto &[number, wParam] : messages()) {
        if (number == platform::WM_CARD_STATE)
            states.push_back(wParam);
    }
    return states;
}

bool MessageRecorder::event(QEvent *event)
{
    if (event->type() == platform::WindowMessageEvent::eventType()) {
        const auto *message = static_cast<platform::WindowMessageEvent *>(event);
        m_messages.emplace_back(message->message(), message->wParam());
        return true;
    }
    return QObject::event(event);
}

BoxRecorder::BoxRecorder()
{
    platform::setMessageBoxHandler([this](QWidget *, const QString &text, int iconType, bool) {
        texts << text;
        icons.push_back(iconType);
        if (onBox)
            onBox();
        return 1;
    });
}

BoxRecorder::~BoxRecorder() { platform::setMessageBoxHandler({}); }

void PinTest::SetUpTestSuite()
{
    platform::createStringManager(qEnvironmentVariable("LUMADIAL_PROGRAM_DIR") +
                                  QStringLiteral("/language/english.so"));
}

void PinTest::TearDownTestSuite() { platform::destroyStringManager(); }

void PinTest::SetUp()
{
    // Without the texts every box would read the same (empty), and the tests could not tell
    // one message from another.
    ASSERT_TRUE(platform::stringManager() && platform::stringManager()->isLoaded());
    lumacore_fake::reset();
}

void PinTest::TearDown()
{
    platform::setDialogResponder({});
    lumacore_fake::reset();
}

}  // namespace pin::testing
