// The call services kept by the network without a widget: the cache of what the network answered
// (forwarding per condition, barring per facility, CLIP, call waiting), the controls' state as
// the window shows it, the rules between the controls (forwarding all calls holds the other
// conditions; barring all outgoing calls holds the two other outgoing facilities) and the apply
// sequences. The window copies the controls' state onto its widgets after each step.
#pragma once

#include "config/ConfigRecords.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class CallServices {
public:
    // Forwarding conditions in the order CFU, CFB, CFNRY, CFNRC (the index is the reason).
    enum Condition { kCfu = 0, kCfb = 1, kCfnry = 2, kCfnrc = 3 };
    // Barring facilities in the order AO, OI, OX, AI, IR.
    enum Facility { kAo = 0, kOi = 1, kOx = 2, kAi = 3, kIr = 4 };
    static constexpr std::array<const char *, 5> kFacilityCodes{"AO", "OI", "OX", "AI", "IR"};
    static constexpr int kNumberMaximum = 40;  // what the edits take
    static constexpr int kNumberSent = 26;     // what reaches the network

    struct ForwardRow {
        bool checked = false;
        QString number;
        bool enabled = false;
    };
    struct Box {
        bool checked = false;
        bool enabled = false;
    };

    // The controls as the window shows them.
    std::array<ForwardRow, 4> forward{};
    std::array<Box, 5> barring{};
    Box clip, waiting;
    bool applyForwardEnabled = false, applyBarringEnabled = false, applyClipEnabled = false;

    // Where the CLIP choice is kept; save writes the settings file.
    CallServices(AllConfig &config, std::function<bool()> save)
        : m_config(config), m_save(std::move(save))
    {
    }

    // The card's state: ready (12) hands the stored CLIP choice to the card; any other state
    // forgets every answer and disables every control.
    void CardStateChanged(uint8_t state);
    bool queried() const { return m_queried; }

    // The first show's queries (nothing when done already): the summary text to show, or 0.
    int FirstShow();

    // The tabs' redisplay from the cache.
    void ShowForwarding();
    void ShowBarring();
    void ShowClip();

    // What the user does.
    void ForwardClicked(int condition, bool checked);
    void ForwardEdited(int condition, const QString &number);
    void BarringClicked(int facility, bool checked);
    void ClipClicked(bool checked);
    void WaitingClicked(bool checked);

    // The apply sequences; the texts to show, in order.
    std::vector<int> ApplyForwarding();
    std::vector<int> ApplyBarring();
    std::vector<int> ApplyClip();

private:
    int queryForwarding(std::vector<int> *messages);
    int queryBarring(std::vector<int> *messages);
    bool queryClip();
    bool queryWaiting();
    void cfuRule();
    void showForwardRow(int condition);
    void reset();

    AllConfig &m_config;
    std::function<bool()> m_save;
    bool m_queried = false;
    std::array<bool, 4> m_forwardActive{};
    std::array<QString, 4> m_forwardNumber{};
    std::array<bool, 4> m_forwardAvailable{};
    std::array<bool, 5> m_barred{};
    std::array<bool, 5> m_barringAvailable{};
    bool m_clipOn = false, m_waitingOn = false;
    uint8_t m_pendingForward = 15, m_pendingBarring = 31;
    bool m_forwardSucceeded = true, m_barringSucceeded = true;
    bool m_applying = false;
};
