// What the SMS screens share: the row of folder buttons and the write button, handing an item
// to another screen, and a delete or move run shown with the progress box and summed up.
#pragma once

#include "SmsRuns.h"
#include "SmsStoreAccess.h"

#include "FeatureWindow.h"

#include <QPushButton>

#include <vector>

class QBoxLayout;
class QWidget;

namespace sms_screens {

// WM_OPEN_SMS_FOLDER with this storage: the list keeps the storage it showed last.
inline constexpr uint32_t kKeepStorage = 0xFF;

struct FolderButtons {
    QPushButton *btnReceiveBox;
    QPushButton *btnSendBox;
    QPushButton *btnDraftBox;
    QPushButton *btnWriteSms;
};
// The three folder buttons (each shows the list on its folder) and the write button (a new
// message in the composer), added to the layout.
FolderButtons MakeFolderButtons(QWidget *parent, QBoxLayout *layout, feature::FeatureHost &host);

// Posts the message with a copy of the item to the window that takes it.
void PostItem(feature::FeatureHost &host, uint32_t message, uint32_t wParam, const SmsItem &item);
// The list shows the folder of the storage (kKeepStorage: the one it shows).
void ShowList(feature::FeatureHost &host, uint8_t folder, uint32_t storage = kKeepStorage);

enum class RunKind { Delete, Move };
// Asks first (text::kSmsDeleteConfirm / kSmsMoveConfirm); then runs with the progress box (a
// stop button when there are several), the window and the navigation disabled and the busy
// flag set; tells the full storage once and the summary. Nothing ran when the user said no
// (result.total 0).
SmsRunResult RunWithProgress(feature::FeatureHost &host, QWidget &window, SmsStoreAccess &store,
                             const std::vector<SmsItem> &items, RunKind kind);

// A one-button box with the language's text.
void Tell(feature::FeatureHost &host, int text);

}  // namespace sms_screens
