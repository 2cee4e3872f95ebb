#include "SmsComposer.h"

#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "logic/BL_SmsRecipients.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <algorithm>

using platform::GetLanguageString;

namespace {

constexpr int kPauseMs = 2000;
constexpr size_t kNumberField = 33;  // at most 32 characters and a NUL

QString fieldString(const char *field, size_t size)
{
    return platform::fromAnsi(platform::fieldText(field, size));
}

// "<kSmsMessageTo><recipient>,<what happened>"
QString aboutRecipient(const QString &recipient, const QString &what)
{
    return GetLanguageString(text::kSmsMessageTo) + recipient + u',' + what;
}

}  // namespace

// Without the business logic (the engine did not start) there is no store to reach.
uint16_t ForwardedSmsStore::SendMessage(const char *text, const char *recipients, uint8_t storage,
                                        bool saveCopy, int *sent)
{
    if (BusinessLogic() == nullptr)
        return BL_ROOT_NOT_CREATED;
    return SmsSendMessage(text, recipients, storage, saveCopy, sent);
}

uint16_t ForwardedSmsStore::SaveMessage(SmsItem *item)
{
    return BusinessLogic() == nullptr ? BL_ROOT_NOT_CREATED : SmsSaveMessage(item);
}

uint16_t ForwardedSmsStore::DeleteMessage(const SmsItem &item)
{
    return BusinessLogic() == nullptr ? BL_ROOT_NOT_CREATED : SmsDeleteMessage(item);
}

QString ForwardedSmsStore::NumberCharacters()
{
    if (BusinessLogic() == nullptr)
        return {};
    char characters[33] = {};
    GetNumberCharacters(characters);
    return QString::fromLatin1(characters);
}

QString SendSummary::CountsText() const
{
    return QStringLiteral("%1:%2, %3:%4, %5:%6")
        .arg(GetLanguageString(text::kSmsToSend))
        .arg(total)
        .arg(GetLanguageString(text::kSucceeded))
        .arg(succeeded)
        .arg(GetLanguageString(text::kFailed))
        .arg(failed);
}

void SmsComposer::Open(int mode, const SmsItem *item)
{
    m_mode = mode >= New && mode <= Forward ? mode : New;
    m_source.reset();
    if (item != nullptr && m_mode != New)
        m_source = *item;
    m_draftDeleted = false;
}

QString SmsComposer::initialRecipients() const
{
    if (!m_source || m_mode == Forward)
        return {};
    return fieldString(m_source->number, sizeof m_source->number);
}

QString SmsComposer::initialText() const
{
    if (!m_source || m_mode == Reply)
        return {};
    return fieldString(m_source->text, sizeof m_source->text);
}

bool SmsComposer::sourceOnCard() const { return m_source && m_source->storage != SMS_STORE_PC; }

bool SmsComposer::holdsPcDraft() const
{
    return m_mode == OpenStored && m_source && m_source->storage == SMS_STORE_PC &&
           m_source->status == SMS_STATUS_UNSENT && !m_draftDeleted;
}

bool SmsComposer::deleteOpenedDraft()
{
    if (!holdsPcDraft())
        return false;
    m_draftDeleted = m_store.DeleteMessage(*m_source) == 0;
    return m_draftDeleted;
}

QString SmsComposer::ConfirmationText(int recipients, int parts)
{
    return QString::number(recipients * parts) + GetLanguageString(text::kSmsWillBeSent);
}

uint16_t SmsComposer::keepCopy(const QString &text, const QString &recipient, bool sent)
{
    SmsItem copy{};
    copy.recordSize = sizeof copy;
    copy.storage = SMS_STORE_PC;
    copy.status = sent ? SMS_STATUS_SENT : SMS_STATUS_UNSENT;
    copy.folder = sent ? SMS_FOLDER_SENT : SMS_FOLDER_DRAFTS;
    platform::copyToField(copy.text, kSmsTextBytes + 1, platform::toAnsi(text));
    platform::copyToField(copy.number, kNumberField, platform::toAnsi(recipient));
    return m_store.SaveMessage(&copy);
}

SendSummary SmsComposer::Send(const QString &text, const QStringList &recipients, int parts,
                              const SendCallbacks &callbacks)
{
    SendSummary summary;
    const std::string ansiText = platform::toAnsi(text);
    for (qsizetype i = 0; i < recipients.size(); ++i) {
        const QString &recipient = recipients[i];
        if (callbacks.stopRequested && callbacks.stopRequested()) {
            summary.stopped = true;
            break;
        }
        callbacks.show(aboutRecipient(recipient, GetLanguageString(text::kSmsSending)));
        summary.total += parts;
        int sent = 0;
        const uint16_t code = m_store.SendMessage(
            ansiText.c_str(), platform::toAnsi(recipient).c_str(), SMS_STORE_PC, false, &sent);
        sent = std::clamp(sent, 0, parts);
        summary.succeeded += sent;
        RecipientOutcome outcome{recipient, code == 0, {}};
        if (code != 0) {
            summary.failed += parts - sent;
            if (code == SMS_ERR_PC_FULL) {
                outcome.result = GetLanguageString(text::kSmsPcStoreFull);
                callbacks.show(outcome.result);
            } else if (code == kSmsBadRecipient) {
                outcome.result = GetLanguageString(text::kSmsInvalidNumber);
                callbacks.show(recipient + u':' + outcome.result);
            } else {
                outcome.result = GetLanguageString(text::kSmsNotSent).trimmed();
                callbacks.show(aboutRecipient(recipient, GetLanguageString(text::kSmsNotSent)));
            }
            callbacks.wait(kPauseMs);
        } else {
            summary.storeChanged |= deleteOpenedDraft();
            outcome.result = GetLanguageString(text::kSmsSentSuffix).trimmed();
            callbacks.show(aboutRecipient(recipient, GetLanguageString(text::kSmsSentSuffix)));
        }
        // A failed send keeps its text as an unsent draft, so nothing typed is lost.
        const uint16_t kept = keepCopy(text, recipient, code == 0);
        summary.storeChanged |= kept == 0;
        if (kept != 0) {
            const QString notKept =
                GetLanguageString(text::kSmsNotSaved) + u':' +
                GetLanguageString(kept == SMS_ERR_PC_FULL ? text::kSmsPcStoreFull
                                                          : text::kUnknownError);
            outcome.result += u' ' + notKept;
            callbacks.show(aboutRecipient(recipient, notKept));
            callbacks.wait(kPauseMs);
        }
        summary.outcomes.push_back(outcome);
        if (i + 1 < recipients.size())
            callbacks.wait(kPauseMs);
    }
    return summary;
}

DraftOutcome SmsComposer::SaveDraft(const QString &text, const QStringList &recipients)
{
    DraftOutcome outcome;
    const QStringList numbers = recipients.isEmpty() ? QStringList{QString()} : recipients;
    for (const QString &number : numbers) {
        const uint16_t code = keepCopy(text, number, false);
        if (code != 0) {
            const QString notSaved = GetLanguageString(text::kSmsNotSaved) + u':';
            if (code == SMS_ERR_PC_FULL)
                outcome.error = notSaved + GetLanguageString(text::kSmsPcStoreFull);
            else if (code == kSmsBadRecipient)
                outcome.error =
                    notSaved + number + u',' + GetLanguageString(text::kSmsInvalidNumber);
            else
                outcome.error = notSaved + GetLanguageString(text::kUnknownError);
            return outcome;
        }
        outcome.storeChanged = true;
        // The opened draft goes only once its new version is stored: a save that fails
        // leaves the user's draft where it was.
        deleteOpenedDraft();
    }
    return outcome;
}
