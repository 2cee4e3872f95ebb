// What the monitor tests share: a sound output that records, a fixture with a recording view and
// two recording windows, the fake engine scripted as a healthy card, a temporary program folder
// and answered boxes.
#pragma once

#include "CardMonitor.h"
#include "FakeSoundOutput.h"
#include "FeatureRoles.h"
#include "RecordingView.h"
#include "RecordingWindow.h"
#include "Sound.h"
#include "WindowTable.h"

#include "platform/WindowMessages.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// The pages the tray's indicators open, as their roles are asked.
class RecordingPages : public feature::FeatureWindow,
                       public feature::SmsFolderView,
                       public feature::CallRecordsView {
public:
    std::vector<std::pair<int, int>> foldersOpened;  // (folder, storage)
    int callRecordsShown = 0;
    void openSmsFolder(uint8_t folder, uint8_t storage) override
    {
        foldersOpened.emplace_back(folder, storage);
    }
    void showCallRecords() override { ++callRecordsShown; }
};

class MonitorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The fake engine as a card that is on line, wants no PIN, is registered on "UMTS" with
    // both domains and signal 20, and whose SIM store is ready.
    void scriptHealthyCard();
    // Delivers everything posted so far (and what that posts in turn).
    void deliverPosted();
    // Posts a card state and delivers until nothing more is posted.
    void walkFrom(uint8_t state);
    // Hands a message to the monitor as the window's dispatch would.
    bool send(uint32_t message, uint32_t wParam = 0, uint32_t lParam = 0,
              std::unique_ptr<platform::MessagePayload> payload = {});
    // The card states applied, in order, read from the notices to the first window.
    std::vector<int> appliedStates() const { return first.cardStates; }
    // What the call window and the data connection window post when their state changes.
    void setCallState(int state) { send(platform::WM_CALL_STATE, uint32_t(state)); }
    void setConnectionState(int state) { send(platform::WM_CONNECTION_STATE, uint32_t(state)); }
    // Puts the monitor into a state without running the states before it.
    void forceState(uint8_t state);

    static QString text(unsigned number);

    QTemporaryDir folder;
    RecordingView view;
    // Told the card state first; takes nothing else.
    RecordingWindow first;
    // Told the card state next, and again when the card's settings can be read; takes every
    // message the monitor hands on.
    RecordingWindow features;
    RecordingPages pages;
    feature::WindowTable windows;
    std::shared_ptr<FakeSoundOutput::State> sound = std::make_shared<FakeSoundOutput::State>();
    std::unique_ptr<CardMonitor> monitor;
    QStringList boxes;  // texts of the message boxes shown
    std::vector<int> boxIcons;
    std::function<void()> onBox;  // runs inside a box
};

// A new message's item (1108 bytes) from `number`, kept in `folder` of `storage`.
std::unique_ptr<platform::ByteBlock> smsBlock(const char *number, uint8_t folder, uint8_t storage);
// A class-0 message's block (200 bytes).
std::unique_ptr<platform::ByteBlock> class0Block(const char *number, const char *text);

// The monitor with a healthy card brought up to SIM ready.
class NoticeTest : public MonitorTest {
protected:
    void SetUp() override;
    // The full path of one of the delivered sounds.
    QString soundFile(const char *name) const;
};
