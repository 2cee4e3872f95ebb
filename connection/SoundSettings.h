// The sound settings without a widget: for each notification event the file played and whether
// the event is muted, as the page edits them, and writing them back to the global settings.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

class TBL_File;

class SoundSettings {
public:
    // The page's rows, top to bottom. The incoming-call row is not shown, yet kept and written.
    enum Row { kConnected, kDisconnected, kSmsArrived, kIncomingCall, kRowCount };
    struct Choice {
        QString file;
        bool muted = false;
    };

    explicit SoundSettings(TBL_File &store) : m_store(store) {}

    // The store's settings slot of a row.
    static int slotOfRow(int row);
    // The file dialog's filter and the folder it opens in (the delivered sounds).
    static QString fileFilter();
    QString initialFolder() const;

    // Takes the choices from the settings in memory (the page is shown).
    void load();
    const Choice &choice(int row) const { return m_choices.at(static_cast<size_t>(row)); }
    // A file the user chose. False, keeping the row as it was, when the settings cannot hold
    // its name (longer than the field, or characters the system code page lacks).
    bool choose(int row, const QString &file);
    void setMuted(int row, bool muted) { m_choices.at(static_cast<size_t>(row)).muted = muted; }

    // Writes every row into the settings and saves them: the text to show (3033 applied, 3018
    // not saved; the choices stay in memory and are written again at exit).
    int apply();

private:
    TBL_File &m_store;
    std::array<Choice, kRowCount> m_choices;
};
