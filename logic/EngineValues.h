// The named values that travel between the windows, the logic and the engine: the card states,
// voice-call and data-connection states (the wParam of WM_CALL_STATE and WM_CONNECTION_STATE),
// the USSD session (WM_USSD_SESSION), the card's operation modes, the SIM's PIN states, and the
// positions in a FieldLimits record.
#pragma once

#include <cstdint>

// The card states, as the engine's card notices move through them; every window is told each
// change.
enum CardState : uint8_t {
    kCardAbsent = 1,
    kCardInserted = 2,
    kCardQueryMode = 3,
    kNoSim = 4,
    kCardOnline = 6,
    kCardOffline = 7,
    kPinRequired = 8,
    kPukRequired = 9,
    kSimBlocked = 10,
    kCardRegistered = 11,
    kSimReady = 12,
};

// The call window's state: which calls exist and how they stand.
enum CallState : uint8_t {
    kCallIdle = 0,
    kCallDialling = 1,
    kCallIncoming = 2,
    kCallActive = 3,
    kCallActiveWaiting = 4,
    kCallHeld = 5,
    kCallHeldDialling = 6,
    kCallHeldIncoming = 7,
    kCallActiveHeld = 8,
    kCallActiveHeldWaiting = 9,
    kCallConference = 10,
    kCallConferenceWaiting = 11,
    kCallActiveConferenceHeld = 12,
    kCallConferenceActiveHeld = 13,
    kCallConferenceHeld = 14,
    kCallConferenceHeldDialling = 15,
    kCallConferenceHeldIncoming = 16,
};

// An outgoing call not yet answered (alone, beside a held call or beside a held conference).
constexpr bool isCallDialling(uint8_t state)
{
    return state == kCallDialling || state == kCallHeldDialling ||
           state == kCallConferenceHeldDialling;
}

// The data connection's state.
enum ConnectionState : uint8_t {
    kConnectionIdle = 0,
    kConnectionDialling = 1,
    kConnectionCancelling = 2,
    kConnectionConnected = 3,
    kConnectionDisconnecting = 4,
};

// The USSD session, as the windows are told it: a request waits for the network's reply, or no
// session is open.
enum UssdSession : uint8_t {
    kUssdSessionOver = 0,
    kUssdWaitingForReply = 1,
};

// The card's operation mode as the engine reports and takes it.
enum OperationMode : uint8_t {
    kModeLowPower = 1,  // radio and SIM off
    kModeOnline = 5,
    kModeOffline = 6,  // radio off, SIM still answers
};

// What the SIM asks for before it can be used.
enum PinState : uint8_t {
    kPinReady = 0,
    kPinWanted = 1,
    kPukWanted = 2,
};

// Positions in a FieldLimits record (15 signed 32-bit values per storage and coding).
// The phonebook reads 0-9, the messages 10-12; 13 and 14 are kept zero.
enum FieldLimit : int {
    FIELD_LIMIT_CAPACITY = 0,       // the most contacts the storage holds
    FIELD_LIMIT_SECOND_COUNT = 1,   // a second count the engine reports; kept, not used
    FIELD_LIMIT_NAME = 2,           // longest name, in characters
    FIELD_LIMIT_NUMBER = 3,         // longest number (every slot)
    FIELD_LIMIT_TEXT2 = 4,          // longest second text
    FIELD_LIMIT_URL = 5,            // longest web address
    FIELD_LIMIT_TEXT3 = 6,          // longest third text
    FIELD_LIMIT_EMAIL = 7,          // longest e-mail address
    FIELD_LIMIT_NOTE = 8,           // longest note; 0: the storage keeps no note
    FIELD_LIMIT_NUMBER_SLOTS = 9,   // how many of the five number slots the storage keeps
    FIELD_LIMIT_SMS_SINGLE = 10,    // characters of a single message
    FIELD_LIMIT_SMS_PART = 11,      // characters per part of a long message
    FIELD_LIMIT_SMS_CAPACITY = 12,  // messages the storage holds
    FIELD_LIMIT_COUNT = 15,
};
