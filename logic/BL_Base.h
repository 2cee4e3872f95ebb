// The business-logic core: the root object that owns one logic object per feature, the start
// and stop of the engine, and the engine callbacks turned into window messages.
#pragma once

#include "lumacore.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;
class TBLSet;
class TBL_sms;
class TBL_pb;
class TBL_Cr;
class TBL_File;
class TBL_Stk;
class TBL_Ussd;

namespace platform {
class WindowSink;
}

// The engineering object: kept for its place among the members; it has no state.
class TBL_QEVEng {};

// Result codes of the core itself.
constexpr uint16_t BL_ROOT_NOT_CREATED = 4001;
constexpr uint16_t BL_ROOT_EXISTS = 4002;

class TBL_base {
public:
    TBL_base();
    ~TBL_base();
    TBL_base(const TBL_base &) = delete;
    TBL_base &operator=(const TBL_base &) = delete;

    // Declared in the order of construction; the destructor frees them in an order of its own.
    QObject *window = nullptr;  // the main window; never freed here
    std::unique_ptr<TBLSet> settings;
    std::unique_ptr<TBL_sms> sms;
    std::unique_ptr<TBL_pb> phonebook;
    // The settings and profile files are loaded before the root exists and saved after it is
    // gone, so the root refers to the program's one file store instead of owning a second.
    TBL_File *file = nullptr;
    std::unique_ptr<TBL_Stk> toolkit;
    std::unique_ptr<TBL_Cr> callRecords;
    std::unique_ptr<TBL_Ussd> ussd;
    std::unique_ptr<TBL_QEVEng> engineering;
};

// The root, or null before start-up and after shut-down.
TBL_base *BusinessLogic();

// Starts the engine with (mode, a, b), creates the root and registers the message and call
// callbacks. Returns the engine's start status, 4002 when the root already exists, 4001 when it
// cannot be created.
uint16_t StartBusinessLogic(uint8_t mode, uint16_t a, uint16_t b);

// Reads the PC messages and the PC contacts (with the contact counts and the PC groups) into the
// root's stores. Apart from the start, so that the windows are on the screen before the store is
// read; nothing without a root.
void LoadPcLists();

// Stores (or, with a nonzero flag, clears) the main window and registers it with the engine.
uint16_t RegisterMainWindow(QObject *window, int unregister);
QObject *MainWindowHandle();

// Shuts the engine down; the root is destroyed only when that succeeds.
uint16_t StopBusinessLogic();

// The service-provider name read from the SIM, which the operator-record callback shows in
// place of the network's name. Written on the window thread, read on the engine's.
void SetServiceProviderName(const std::string &name);
std::string ServiceProviderName();

// The main window's state-retry timer is stopped by the card-removed callback before it posts
// state 1. The window installs how (it runs on the engine's thread).
void SetStateRetryStopper(std::function<void()> stopper);

// Registers the main window's own two callbacks (card present or removed, operator record);
// the main window calls it right after StartBusinessLogic.
void RegisterCardCallbacks();

// The callbacks the engine calls. StartBusinessLogic registers the first six; the main window
// registers the last two itself.
uint16_t OnSmsArriveNew(uint8_t storage, uint16_t index);
// The window-thread half of OnSmsArriveNew: reads the message, stores it and posts WM_SMS_NEW
// with the item as stored. Returns the engine's status of the read.
uint16_t ReadNewSms(uint8_t storage, uint16_t index);
uint16_t OnSmsSendReport(uint8_t status, const char *number, const char *time);
uint16_t OnSmsArriveClass0(const char *number, const char *text);
uint16_t OnSmsArriveBroadcast(const char *text);
uint16_t OnCallComing(const char *number);
uint16_t OnServiceText(const char *text);
uint16_t OnMeStateChanged(uint8_t state);
uint16_t OnOperatorRecord(const void *record);
