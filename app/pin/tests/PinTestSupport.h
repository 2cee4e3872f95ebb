// What the PIN tests share: the English texts, a recorder of posted window messages, a recorder
// of message boxes, and a call window with a list of emergency numbers.
#pragma once

#include "EmergencyCalls.h"

#include "platform/WindowMessages.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace pin::testing {

// The text of a string number, as the boxes show it.
QString textOf(unsigned number);

// Keeps the messages posted to it, once the posted events are delivered.
class MessageRecorder : public QObject {
public:
    using Message = std::pair<uint32_t, uint32_t>;  // number, wParam

    // Delivers what was posted and returns everything received so far.
    std::vector<Message> messages();
    // The wParams of the card-state messages received so far.
    std::vector<uint32_t> cardStates();

protected:
    bool event(QEvent *event) override;

private:
    std::vector<Message> m_messages;
};

// Answers every program message box and keeps its text. onBox, when set, runs inside the box
// (as code that runs in the box's nested event loop would).
class BoxRecorder {
public:
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder &) = delete;
    BoxRecorder &operator=(const BoxRecorder &) = delete;

    QStringList texts;
    std::vector<int> icons;
    std::function<void()> onBox;
};

// The call window as far as the PIN dialogs see it.
class FakeCallWindow : public EmergencyCalls {
public:
    QStringList emergencyNumbers{QStringLiteral("112"), QStringLiteral("911")};
    bool settingUpCall = false;
    QString numberField;
    QStringList dialled;

    bool IsEmergencyNumber(const QString &number) const override
    {
        return !number.isEmpty() && emergencyNumbers.contains(number.left(32));
    }
    bool IsSettingUpCall() const override { return settingUpCall; }
    QString NumberFieldText() const override { return numberField; }
    void ShowAndPlaceCall(const QString &number) override { dialled << number; }
};

// Loads the English texts once and resets the fake engine around every test.
class PinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;
};

}  // namespace pin::testing
