// What the composer does besides drawing: the message it was opened with, sending one text to
// each recipient in turn with a copy kept on the PC, and saving drafts. The window asks the user
// and shows the boxes; this class decides and calls the message store.
#pragma once

#include "logic/BL_Sms.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

// The three store calls the composer makes (the forwarding functions in the program).
class SmsStoreCalls {
public:
    virtual ~SmsStoreCalls() = default;
    virtual uint16_t SendMessage(const char *text, const char *recipients, uint8_t storage,
                                 bool saveCopy, int *sent) = 0;
    virtual uint16_t SaveMessage(SmsItem *item) = 0;
    virtual uint16_t DeleteMessage(const SmsItem &item) = 0;
    // The characters the store accepts in a number.
    virtual QString NumberCharacters() = 0;
};

// The program's store, through the forwarding functions.
class ForwardedSmsStore final : public SmsStoreCalls {
public:
    uint16_t SendMessage(const char *text, const char *recipients, uint8_t storage, bool saveCopy,
                         int *sent) override;
    uint16_t SaveMessage(SmsItem *item) override;
    uint16_t DeleteMessage(const SmsItem &item) override;
    QString NumberCharacters() override;
};

// What a send run reports back while it goes.
struct SendCallbacks {
    std::function<void(const QString &line)> show;  // the progress box's text
    std::function<bool()> stopRequested;            // asked before each recipient
    std::function<void(int milliseconds)> wait;     // let window messages run, then pause
};

struct RecipientOutcome {
    QString recipient;
    bool sent = false;
    QString result;  // why it failed, or that it went; and when its copy could not be kept
};

struct SendSummary {
    int total = 0;  // messages (parts) tried
    int succeeded = 0;
    int failed = 0;
    bool stopped = false;       // the user stopped the run before its last recipient
    bool storeChanged = false;  // a copy was kept or the opened draft deleted
    std::vector<RecipientOutcome> outcomes;

    // "<kSmsToSend>:total, <kSucceeded>:succeeded, <kFailed>:failed"
    QString CountsText() const;
};

struct DraftOutcome {
    bool storeChanged = false;
    QString error;  // empty when every draft was stored
};

class SmsComposer {
public:
    enum Mode { New = 1, OpenStored = 2, Reply = 3, Forward = 4 };

    explicit SmsComposer(SmsStoreCalls &store) : m_store(store) {}

    SmsStoreCalls &store() { return m_store; }

    // Takes a copy of the item (modes 2-4) or drops the one held; a mode outside 1-4 is 1.
    void Open(int mode, const SmsItem *item);
    // Drops the item and goes back to mode 1.
    void Close() { Open(New, nullptr); }

    int mode() const { return m_mode; }
    const std::optional<SmsItem> &source() const { return m_source; }
    // The fields the screen starts with.
    QString initialRecipients() const;
    QString initialText() const;
    // The item lies on the SIM or the card: it may be gone once the card leaves the ready state.
    bool sourceOnCard() const;

    // "<recipients x parts><kSmsWillBeSent>"
    static QString ConfirmationText(int recipients, int parts);

    // Sends the text to each recipient (already split and checked), parts messages each.
    SendSummary Send(const QString &text, const QStringList &recipients, int parts,
                     const SendCallbacks &callbacks);
    // Stores the text as a draft for each recipient, or once with no number.
    DraftOutcome SaveDraft(const QString &text, const QStringList &recipients);

private:
    // Opened from a PC draft that this run has not replaced yet.
    bool holdsPcDraft() const;
    uint16_t keepCopy(const QString &text, const QString &recipient, bool sent);
    bool deleteOpenedDraft();

    SmsStoreCalls &m_store;
    int m_mode = New;
    std::optional<SmsItem> m_source;
    bool m_draftDeleted = false;
};
