// The roles a feature window plays for windows of other folders. A window that needs a window of
// another folder asks its host for the role (host.role<ContactPicker>()) and gets the one window
// whose registration says it plays it; neither folder includes the other's headers.
//
// Every call comes on the window thread.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace feature {

// The phonebook's recipient picker.
class ContactPicker {
public:
    virtual ~ContactPicker() = default;
    // Lets the user choose recipients; their numbers, ";"-separated, or nothing when the user
    // cancelled.
    virtual std::optional<QString> pickRecipients() = 0;
};

// The phonebook's editor for a new contact.
class ContactMaker {
public:
    // saved: the contact was saved, under `name`. Called when the editor closes; the window
    // that asked shows itself again then.
    using Done = std::function<void(bool saved, const QString &name)>;
    virtual ~ContactMaker() = default;
    // Opens the editor for a new contact with the number (its first 40 characters).
    virtual void newContactWithNumber(const QString &number, Done done) = 0;
};

// The contacts, as the windows that show a number find its name.
class ContactNames {
public:
    virtual ~ContactNames() = default;
    // The name of the first contact with the number (the PC, then the card, then the SIM);
    // empty when none has it.
    virtual QString nameOfNumber(const QString &number) = 0;
};

// The SMS composer.
class SmsWriter {
public:
    virtual ~SmsWriter() = default;
    // Opens a new message to the numbers (";"-separated); when it closes, the page shown before
    // it comes back.
    virtual void writeSmsTo(const QString &numbers) = 0;
};

// The SMS list.
class SmsFolderView {
public:
    virtual ~SmsFolderView() = default;
    // Shows the folder (SMS_FOLDER_*) of the storage (SMS_STORE_*).
    virtual void openSmsFolder(uint8_t folder, uint8_t storage) = 0;
};

// The Internet page, as the main window's menus and tray use it.
class InternetConnection {
public:
    virtual ~InternetConnection() = default;
    // The user took the card off line or powered it off: the link that ends was not lost.
    virtual void offlineAsked() = 0;
    // The tray hint while connected: sent, received and time; empty otherwise.
    virtual QString statusText() const = 0;
};

// The call records.
class CallRecordsView {
public:
    virtual ~CallRecordsView() = default;
    // The missed calls (the missed-call indicator and the call records button).
    virtual void showCallRecords() = 0;
};

}  // namespace feature
