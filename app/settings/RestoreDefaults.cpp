#include "RestoreDefaults.h"

#include "config/BL_File.h"
#include "lumacore.h"
#include "platform/ResStringManager.h"

#include <cstring>

using platform::GetLanguageString;

namespace {

constexpr int kRestored = 3161;
constexpr int kNotResetOnCard = 3162;
constexpr int kNetworkSelection = 3163;
constexpr int kSmsStorage = 3164;
constexpr int kNotApplied = 3101;

constexpr uint8_t kAutomaticSelection = 5;
constexpr uint32_t kStoreOnSim = 1;

bool cardTakesSettings(uint8_t state) { return state == 6 || state == 11 || state == 12; }

}  // namespace

RestoreCalls RestoreCalls::program()
{
    RestoreCalls calls;
    calls.setNetworkSelectMode = [](uint8_t mode) { return _MEC_SetNetworkSelectMode(mode); };
    calls.setSmsSaveLocation = [](uint32_t storage) { return _MEC_SetSmsSaveLocation(storage); };
    calls.useFactoryProfile = [] {
        TBL_File &files = FileStore();
        const ProfileRecord &factory = files.factoryProfile();
        if (!files.SetDefaultProfile(factory.name))
            return;
        // The card is told the profile's context; a refusal leaves the old one, as dialling
        // sets it again anyway.
        (void)_MEC_SetModemPara(factory.pdpType, factory.apn, factory.pdpAddress);
    };
    calls.restoreAllConfig = [] { return FileStore().RestoreAllConfigDefaults(); };
    return calls;
}

RestoreOutcome RestoreFactorySettings(uint8_t cardState, AllConfig &config,
                                      const RestoreCalls &calls)
{
    RestoreOutcome outcome;
    QString note;
    if (cardTakesSettings(cardState)) {
        if (calls.setNetworkSelectMode(kAutomaticSelection) != 0) {
            note = GetLanguageString(kNetworkSelection);
        } else {
            config.autoSelectionChoice = 0;
            outcome.networkSelectionReset = true;
        }
        if (calls.setSmsSaveLocation(kStoreOnSim) == 0) {
            config.smsStorage[0] = '1';
            config.smsStorage[1] = '\0';
        } else {
            note += note.isEmpty() ? GetLanguageString(kSmsStorage)
                                   : QStringLiteral("and") + GetLanguageString(kSmsStorage);
        }
        calls.useFactoryProfile();
    }
    if (!note.isEmpty())
        note = QStringLiteral("(") + GetLanguageString(kNotResetOnCard) + note + QStringLiteral(")");
    outcome.restored = calls.restoreAllConfig();
    outcome.message = outcome.restored ? GetLanguageString(kRestored) + note
                                       : GetLanguageString(kNotApplied);
    return outcome;
}
