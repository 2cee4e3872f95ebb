// What the main window tests share: every window of the program made as at start-up, on the
// fake engine, with a temporary program folder for the settings files, the program's message
// boxes answered, and the card states the window posts caught before they are applied.
#pragma once

#include "UI_MainFrm.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

// Catches the card-state messages posted to the main window, so a test sees what a command
// posted without the state machine running on.
class PostedCardStates : public QObject {
public:
    std::vector<int> states;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

class MainformTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the card into a state (its entry actions run), then forgets what that posted,
    // called and showed.
    void setCardState(uint8_t state);
    // Delivers what was posted; card states land in `posted`.
    void deliver();
    static QString text(unsigned number);

    QTemporaryDir folder;
    TMainform *form = nullptr;
    PostedCardStates posted;
    QStringList boxes;  // texts of the message boxes shown, in order
    int answer = 1;     // what two-button boxes answer
};
