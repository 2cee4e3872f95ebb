#include "SmsScreenParts.h"

#include "SmsMessages.h"
#include "UI_ProgressBox.h"

#include "WindowControls.h"
#include "logic/WindowPayloads.h"
#include "platform/MessageBoxSeam.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

#include <QBoxLayout>
#include <QCoreApplication>

using platform::GetLanguageString;

namespace sms_screens {

namespace {

constexpr int kInformation = 1;
constexpr int kQuestion = 3;

}  // namespace

FolderButtons MakeFolderButtons(QWidget *parent, QBoxLayout *layout, feature::FeatureHost &host)
{
    FolderButtons buttons{NamedButton(parent, "btnReceiveBox", text::kSmsInbox),
                          NamedButton(parent, "btnSendBox", text::kSmsSent),
                          NamedButton(parent, "btnDraftBox", text::kSmsDrafts),
                          NamedButton(parent, "btnWriteSms", text::kSmsNewMessage)};
    const std::pair<QPushButton *, uint8_t> folders[] = {{buttons.btnReceiveBox, SMS_FOLDER_INBOX},
                                                         {buttons.btnSendBox, SMS_FOLDER_SENT},
                                                         {buttons.btnDraftBox, SMS_FOLDER_DRAFTS}};
    for (const auto &[button, folder] : folders) {
        QObject::connect(button, &QPushButton::clicked, parent,
                         [&host, folder = folder] { ShowList(host, folder); });
    }
    QObject::connect(buttons.btnWriteSms, &QPushButton::clicked, parent, [&host] {
        platform::PostMessage(host.messageTarget(), WM_OPEN_COMPOSER, kComposeNew,
                              0);
    });
    for (QPushButton *button :
         {buttons.btnReceiveBox, buttons.btnSendBox, buttons.btnDraftBox, buttons.btnWriteSms})
        layout->addWidget(button);
    return buttons;
}

void PostItem(feature::FeatureHost &host, uint32_t message, uint32_t wParam, const SmsItem &item)
{
    platform::PostMessage(host.messageTarget(), message, wParam, 0,
                          std::make_unique<platform::ByteBlock>(&item, sizeof item));
}

void ShowList(feature::FeatureHost &host, uint8_t folder, uint32_t storage)
{
    platform::PostMessage(host.messageTarget(), WM_OPEN_SMS_FOLDER, folder, storage);
}

void Tell(feature::FeatureHost &host, int text)
{
    platform::ShowMessageBox(host.dialogOwner(), GetLanguageString(text), kInformation);
}

SmsRunResult RunWithProgress(feature::FeatureHost &host, QWidget &window, SmsStoreAccess &store,
                             const std::vector<SmsItem> &items, RunKind kind)
{
    const bool move = kind == RunKind::Move;
    if (items.empty() || platform::AskMessageBox(host.dialogOwner(),
                                                 GetLanguageString(move ? text::kSmsMoveConfirm
                                                                        : text::kSmsDeleteConfirm),
                                                 kQuestion) != 1) {
        return {};
    }
    boxes::TProgressBoxForm progress(host.dialogOwner(),
                                     items.size() > 1 ? boxes::kButtonSingle : boxes::kButtonNo);
    const QString caption = GetLanguageString(move ? text::kSmsMoving : text::kSmsDeleting);
    progress.SetText(caption);
    progress.show();
    // Only this screen and the navigation are held: the progress box stays usable for Stop.
    window.setEnabled(false);
    host.notices().disableNavigation();
    host.setBusy(true);
    QCoreApplication::processEvents();

    SmsRuns runs(
        store,
        {.stopRequested = [&progress] { return progress.CancelRequested(); },
         .progress =
             [&](size_t done, size_t total) {
                 progress.SetText(QStringLiteral("%1 %2/%3").arg(caption).arg(done).arg(total));
                 // Pending window messages run between two messages, so Stop
                 // can be pressed and a new message is taken.
                 QCoreApplication::processEvents();
             },
         .unreadTouched = [&host](const SmsItem &) { host.notices().clearNewSms(); }});
    const SmsRunResult result = move ? runs.Move(items) : runs.Delete(items);

    progress.close();
    host.setBusy(false);
    host.notices().enableNavigation();
    window.setEnabled(true);
    window.setFocus();
    if (result.fullNotice != 0)
        Tell(host, result.fullNotice);
    platform::ShowMessageBox(
        host.dialogOwner(),
        SmsRuns::Summary(move ? text::kSmsMoveSummary : text::kSmsDeleteSummary, result),
        kInformation);
    return result;
}

}  // namespace sms_screens
