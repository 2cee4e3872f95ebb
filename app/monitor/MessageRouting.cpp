#include "CardMonitor.h"

#include "RecordFields.h"

#include "WindowTable.h"
#include "app/pin/PinEntry.h"
#include "logic/BL_Sms.h"
#include "logic/WindowPayloads.h"
#include "platform/WindowMessages.h"

#include "lumacore.h"

// The one dispatch of the program's messages: the card monitor's own, and every other one to
// the window registered for its number.
bool CardMonitor::handleMessage(platform::WindowMessageEvent &message)
{
    using namespace platform;
    const std::string text = message.text() ? message.text()->text : std::string();
    const uint32_t id = message.message();

    switch (id) {
    case WM_POWERBROADCAST: message.setResult(m_power.powerEvent(message.wParam())); return true;
    case WM_CARD_STATE: applyCardState(uint8_t(message.wParam())); return true;
    case WM_CALL_STATE:
        callStateChanged(int(message.wParam()));
        m_windows.tellCallState(CallState(m_facts.callState));
        return true;
    case WM_CONNECTION_STATE:
        connectionStateChanged(int(message.wParam()));
        m_windows.tellConnectionState(ConnectionState(m_facts.connectionState));
        return true;
    case WM_USSD_SESSION:
        m_windows.tellUssdSession(message.wParam() == 1 ? kUssdWaitingForReply : kUssdSessionOver);
        return true;
    case WM_SMS_NEW: {
        // Kept first: the SMS windows refresh with it, then the notice is raised. A block that
        // is not a whole item is dropped: no window, no notice.
        SmsItem item;
        if (!payloadOf<WM_SMS_NEW>(message, &item))
            return true;
        m_tray.keepNewSms(item);
        m_windows.route(message);
        m_tray.newSmsArrived(
            monitor::ansi(monitor::fieldOf(newSmsEntry()->number, sizeof newSmsEntry()->number)));
        return true;
    }
    case WM_SERVICE_TEXT: m_network.serviceText(text); return true;
    case WM_OPERATOR_RECORD: {
        _MEC_ZDON_RECORD record;
        if (payloadOf<WM_OPERATOR_RECORD>(message, &record))
            m_network.operatorRecord(record);
        return true;
    }
    case WM_SMS_CLASS0: {
        SmsClass0Payload sms;
        if (payloadOf<WM_SMS_CLASS0>(message, &sms))
            m_tray.class0Sms(sms);
        return true;
    }
    case WM_SMS_BROADCAST: {
        SmsBroadcastPayload page;
        if (payloadOf<WM_SMS_BROADCAST>(message, &page))
            m_tray.broadcast(page);
        return true;
    }
    case WM_SIM_READY: simStoreReady(message.wParam()); return true;
    case WM_USSD_REPLY:
        // The engine waits for this answer before it goes on; the USSD window copies the reply.
        message.setResult(255);
        m_windows.route(message);
        return true;
    case WM_PIN_RESULT: pinEntry().PinDialogResult(message.wParam()); return true;
    case WM_STK_LAST: return true;  // the toolkit's other notices are not followed
    default: break;
    }
    if (!m_windows.route(message))
        return false;
    if (id == MEC_MSG_CALL_INCOMING_CONNECTED || id == MEC_MSG_CALL_INCOMING_MISSED)
        m_view.closeCallPopup();
    return true;
}
