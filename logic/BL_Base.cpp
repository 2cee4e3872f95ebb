#include "logic/BL_Base.h"

#include "config/BL_File.h"
#include "logic/BL_Members.h"
#include "logic/BL_Pb.h"
#include "logic/BL_Set.h"
#include "logic/BL_Sms.h"
#include "logic/WindowPayloads.h"
#include "language/TextNumbers.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"
#include "platform/WindowMessages.h"
#include "platform/WindowSink.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::unique_ptr<TBL_base> g_root;

// The window handle lives in the root while there is one; the sink given to the engine must
// outlive the registration, so it is kept apart from the root.
std::mutex g_windowLock;
QPointer<QObject> g_window;
std::unique_ptr<platform::WindowSink> g_sink;
// Sinks replaced by the registration of another window. The engine may still be delivering
// through one of them from its own thread, so they live on until the process ends.
std::vector<std::unique_ptr<platform::WindowSink>> g_retiredSinks;

std::mutex g_sharedLock;
std::string g_serviceProviderName;
std::function<void()> g_stateRetryStopper;

constexpr size_t kNumberChars = 32;
// The first maxChars characters of text in the system code page, never half of one.
std::string_view firstCharacters(const char *text, size_t maxChars)
{
    const std::string_view whole = text != nullptr ? std::string_view(text) : std::string_view();
    size_t bytes = 0;
    for (size_t chars = 0; chars < maxChars && bytes < whole.size(); ++chars) {
        const size_t length = platform::ansiCharLength(whole, bytes);
        if (length == 0 || bytes + length > whole.size()) {
            break;
        }
        bytes += length;
    }
    return whole.substr(0, bytes);
}

// Copies a class-0 or broadcast text: its 160 characters, whatever bytes they take.
void putShortText(char (&field)[kShortTextField], const char *text)
{
    const std::string_view fitted = firstCharacters(text, kShortTextChars);
    std::memcpy(field, fitted.data(), std::min(fitted.size(), kShortTextField - 1));
}

// Copies text into a zeroed field: at most maxBytes bytes (the field's whole size for a time,
// which has no terminator in the block), never half a character of the system code page.
template <size_t FieldSize>
void putText(char (&field)[FieldSize], const char *text, size_t maxBytes)
{
    static_assert(FieldSize > 0);
    if (text == nullptr) {
        return;
    }
    const std::string_view fitted = platform::truncateAnsi(text, std::min(maxBytes, FieldSize));
    std::memcpy(field, fitted.data(), fitted.size());
}

bool postToMainWindow(uint32_t message, uint32_t wParam, uint32_t lParam,
                      std::unique_ptr<platform::MessagePayload> payload)
{
    return platform::PostMessage(MainWindowHandle(), message, wParam, lParam, std::move(payload));
}

}  // namespace

TBL_base::TBL_base()
    : settings(std::make_unique<TBLSet>()),
      sms(std::make_unique<TBL_sms>(settings.get(), &FileStore())),
      phonebook(std::make_unique<TBL_pb>(*settings, TBL_pb::ReadLater{})),
      file(&FileStore()),
      toolkit(std::make_unique<TBL_Stk>()),
      callRecords(std::make_unique<TBL_Cr>()),
      ussd(std::make_unique<TBL_Ussd>()),
      engineering(std::make_unique<TBL_QEVEng>())
{
}

TBL_base::~TBL_base()
{
    sms.reset();
    phonebook.reset();
    callRecords.reset();
    settings.reset();
    file = nullptr;
    toolkit.reset();
    ussd.reset();
    engineering.reset();
    window = nullptr;
}

TBL_base *BusinessLogic() { return g_root.get(); }

uint16_t StartBusinessLogic(uint8_t mode, uint16_t a, uint16_t b)
{
    const uint16_t startStatus = _MEC_Startup(mode, a, b);
    if (g_root) {
        return BL_ROOT_EXISTS;
    }
    try {
        g_root = std::make_unique<TBL_base>();
    } catch (const std::bad_alloc &) {
        return BL_ROOT_NOT_CREATED;
    }
    {
        std::lock_guard guard(g_windowLock);
        g_root->window = g_window.data();
    }

    // Setting a callback only stores the pointer: the engine answers 0 whatever its state.
    (void)_MEC_SetCallBackSmsArriveNew(
        [](uint8_t storage, uint16_t index) -> MEC_STATUS {
            return OnSmsArriveNew(storage, index);
        },
        0);
    (void)_MEC_SetCallBackSmsSendReportArrive(
        [](uint8_t status, const char *number, const char *time) -> MEC_STATUS {
            return OnSmsSendReport(status, number, time);
        },
        0);
    (void)_MEC_SetCallBackCallCallComing(
        [](const char *number) -> MEC_STATUS { return OnCallComing(number); }, 0);
    (void)_MEC_SetCallBackZpasNotify(
        [](const char *text) -> MEC_STATUS { return OnServiceText(text); }, 0);
    (void)_MEC_SetCallBackSmsArriveClass0(
        [](const char *number, const char *text) -> MEC_STATUS {
            return OnSmsArriveClass0(number, text);
        },
        0);
    (void)_MEC_SetCallBackSmsArriveBroadcast(
        [](const char *text) -> MEC_STATUS { return OnSmsArriveBroadcast(text); }, 0);
    return startStatus;
}

void LoadPcLists()
{
    if (!g_root) {
        return;
    }
    // An unreadable PC store starts empty; the messages window reads it again when opened.
    // The recount posts the new counts, so a window that showed them before hears of it.
    (void)g_root->sms->LoadMessages(SMS_STORE_PC);
    g_root->phonebook->ReadPcStore();
}

void RegisterCardCallbacks()
{
    // As in StartBusinessLogic: storing a callback cannot fail.
    (void)_MEC_SetCallBackMeStateChanged(
        [](uint8_t state) -> MEC_STATUS { return OnMeStateChanged(state); }, 0);
    (void)_MEC_SetCallBackZdonNotify(
        [](const _MEC_ZDON_RECORD *record) -> MEC_STATUS { return OnOperatorRecord(record); }, 0);
}

uint16_t RegisterMainWindow(QObject *window, int unregister)
{
    LumacoreWindowSink *sink = nullptr;
    {
        std::lock_guard guard(g_windowLock);
        g_window = unregister != 0 ? nullptr : window;
        if (g_root) {
            g_root->window = g_window.data();
        }
        // Unregistering hands the engine back the sink it holds; only a registration of
        // another window needs a new one.
        if (unregister == 0 && window != nullptr && (!g_sink || g_sink->window() != window)) {
            if (g_sink) {
                g_retiredSinks.push_back(std::move(g_sink));
            }
            g_sink = std::make_unique<platform::WindowSink>(window);
        }
        if (g_sink) {
            sink = g_sink->sink();
        }
    }
    return _MEC_RegisterAppHandle(sink, unregister);
}

QObject *MainWindowHandle()
{
    std::lock_guard guard(g_windowLock);
    return g_window.data();
}

uint16_t StopBusinessLogic()
{
    const uint16_t status = _MEC_Shutdown();
    if (status != 0) {
        return status;
    }
    g_root.reset();
    return status;
}

void SetServiceProviderName(const std::string &name)
{
    std::lock_guard guard(g_sharedLock);
    g_serviceProviderName = name;
}

std::string ServiceProviderName()
{
    std::lock_guard guard(g_sharedLock);
    return g_serviceProviderName;
}

void SetStateRetryStopper(std::function<void()> stopper)
{
    std::lock_guard guard(g_sharedLock);
    g_stateRetryStopper = std::move(stopper);
}

uint16_t OnSmsArriveNew(uint8_t storage, uint16_t index)
{
    // The message store belongs to the window thread: the engine's thread only hands the notice
    // over, and the message is read and stored there.
    QCoreApplication *application = QCoreApplication::instance();
    if (application == nullptr) {
        return 0;
    }
    QMetaObject::invokeMethod(
        application,
        [storage, index] {
            // A message that cannot be read stays in the card; the next load of its storage
            // shows it.
            (void)ReadNewSms(storage, index);
        },
        Qt::QueuedConnection);
    return 0;
}

uint16_t ReadNewSms(uint8_t storage, uint16_t index)
{
    TBL_base *root = BusinessLogic();
    if (root == nullptr) {
        return 0;
    }
    SmsItem item;
    const uint16_t status = root->sms->OnNewMessage(storage, index, &item);
    if (status != 0) {
        return status;
    }
    postPayload<platform::WM_SMS_NEW>(MainWindowHandle(), item);
    return 0;
}

uint16_t OnSmsSendReport(uint8_t status, const char *number, const char *time)
{
    SmsReportPayload report{};
    report.status = status;
    putText(report.number, number, kNumberChars);
    putText(report.time, time, sizeof report.time);
    postPayload<platform::WM_SMS_REPORT>(MainWindowHandle(), report);
    return 0;
}

uint16_t OnSmsArriveClass0(const char *number, const char *text)
{
    SmsClass0Payload message{};
    putText(message.number, number, kNumberChars);
    putShortText(message.text, text);
    postPayload<platform::WM_SMS_CLASS0>(MainWindowHandle(), message);
    return 0;
}

uint16_t OnSmsArriveBroadcast(const char *text)
{
    SmsBroadcastPayload page{};
    putShortText(page.text, text);
    postPayload<platform::WM_SMS_BROADCAST>(MainWindowHandle(), page);
    return 0;
}

uint16_t OnCallComing(const char *number)
{
    postToMainWindow(platform::WM_INCOMING_CALL, 0, 0,
                     std::make_unique<platform::TextBlock>(number != nullptr ? number : ""));
    return 0;
}

uint16_t OnServiceText(const char *text)
{
    postToMainWindow(platform::WM_SERVICE_TEXT, 0, 0,
                     std::make_unique<platform::TextBlock>(text != nullptr ? text : ""));
    return 0;
}

uint16_t OnMeStateChanged(uint8_t state)
{
    if (state == 1) {
        postToMainWindow(platform::WM_CARD_STATE, 2, 0, {});
    } else if (state == 2) {
        std::function<void()> stopper;
        {
            std::lock_guard guard(g_sharedLock);
            stopper = g_stateRetryStopper;
        }
        if (stopper) {
            stopper();
        }
        postToMainWindow(platform::WM_CARD_STATE, 1, 0, {});
    }
    return 0;
}

uint16_t OnOperatorRecord(const void *record)
{
    if (record == nullptr) {
        return 0;
    }
    _MEC_ZDON_RECORD shownRecord;
    std::memcpy(&shownRecord, record, sizeof shownRecord);

    const std::string_view name =
        platform::fieldText(shownRecord.operatorName, sizeof shownRecord.operatorName);
    const std::string provider = ServiceProviderName();
    // The replacement name is copied over the start of the record with its NUL; it never runs
    // past the name field, so the rest of the record stays as the engine sent it.
    const std::string shown = (!name.empty() && name != "Not Found" && !provider.empty())
                                  ? provider
                                  : platform::GetLanguageStringAnsi(text::kNoOperator);
    const std::string_view fitted =
        platform::truncateAnsi(shown, sizeof shownRecord.operatorName - 1);
    std::memcpy(shownRecord.operatorName, fitted.data(), fitted.size());
    shownRecord.operatorName[fitted.size()] = 0;

    postPayload<platform::WM_OPERATOR_RECORD>(MainWindowHandle(), shownRecord);
    return 0;
}
