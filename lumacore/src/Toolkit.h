// The SIM toolkit over the USAT commands of 3GPP TS 27.007 (+CUSATA, +CUSATE, +CUSATT, and the
// card's +CUSATP / +CUSATEND): the proactive commands the SIM sends are turned into the
// program's toolkit messages, and its choices into terminal responses and envelopes.
//
// A card without USAT refuses the activation; every toolkit call then answers "not supported"
// at once, and the program is never left waiting for a menu that cannot come.
#pragma once

#include "codec/Toolkit.h"
#include "lumacore.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace lumacore {

class Engine;
struct AtUnsolicited;

class ToolkitSession {
public:
    // _MEC_SetStkMainMenu: the main menu, now when the SIM has set it up, else as soon as it
    // does (the profile is activated the first time).
    uint16_t requestMainMenu(Engine &engine);
    uint16_t selectMainMenu(Engine &engine, uint32_t itemId);
    uint16_t selectSubMenu(Engine &engine, uint32_t itemId);
    // back: true one level up, false end the session.
    uint16_t goBack(Engine &engine, bool oneLevel);
    uint16_t confirmText(Engine &engine);
    uint16_t answerInput(Engine &engine, uint32_t kind, const std::string &utf8);

    // +CUSATP and +CUSATEND; false for any other code.
    bool onUnsolicited(Engine &engine, const AtUnsolicited &code);
    // The card went away: its menu, its activation and any dialogue are forgotten.
    void forget();

private:
    enum class Activation { Unknown, Active, Refused };

    void handle(Engine &engine, const codec::toolkit::ProactiveCommand &command);
    uint16_t respond(Engine &engine, const std::vector<uint8_t> &response);
    // Answers the waiting command of that type with the response `build` makes for it.
    template <typename Build>
    uint16_t answerWaiting(Engine &engine, std::initializer_list<codec::toolkit::CommandType> types,
                           Build build);
    void post(Engine &engine, uint32_t message, const _MEC_STK_RECORD &record);

    std::mutex m_mutex;  // guards the fields below
    Activation m_activation = Activation::Unknown;
    bool m_wantMenu = false;  // the program asked for the menu and has not had it yet
    std::optional<_MEC_STK_RECORD> m_mainMenu;
    std::optional<codec::toolkit::ProactiveCommand> m_waiting;  // the SIM waits for our answer
};

// For tests: a +CUSATP line's command bytes ("+CUSATP: \"D0..\"" or without quotes).
std::optional<std::vector<uint8_t>> proactiveCommandOf(const std::string &line);
// The record the program is given for a command, its texts in the system code page.
_MEC_STK_RECORD toolkitRecordOf(const codec::toolkit::ProactiveCommand &command);

}  // namespace lumacore
