// Where a card carries a call's sound to the computer: its voice port and the card's own
// commands that start and stop the sound on it. Cards differ in both, so they are settings of
// their own (voiceport.ini in the settings folder), with defaults for the common kind of card
// whose voice port lies beside its control port. It also remembers the cards the user was told
// carry no sound, so each is told once.
#pragma once

#include <QString>
#include <QStringList>

namespace calls {

struct VoicePortSettings {
    static constexpr const char *kFileName = "voiceport.ini";
    // Stands for the card's control port in `port`.
    static constexpr const char *kControlPortMark = "{control}";

    QString port = QStringLiteral("{control}-voice");
    QString start = QStringLiteral("AT^VPCM=1");  // empty: the port carries sound unasked
    QString stop = QStringLiteral("AT^VPCM=0");
    QStringList toldCards;  // identities (IMEI) of cards found without sound

    // The settings in `folder`; the defaults for a missing file or key. Lines that are not
    // "key=value" of a known key are left out and named in `problems`.
    static VoicePortSettings load(const QString &folder, QStringList *problems = nullptr);
    // Replaces the file whole, or leaves the old one as it was.
    bool save(const QString &folder) const;
    // The port's path for a card whose control port is `controlPort` (empty when the port needs
    // the control port and none is known).
    QString portFor(const QString &controlPort) const;
};

}  // namespace calls
