// The network page and the manual selection dialog without a widget: what the card's selection
// mode means for the page, which choices are open while a call, a data connection or a USSD
// exchange runs, what Apply does, and the operator list of a search with its checks.
#pragma once

#include "config/ConfigRecords.h"
#include "lumacore.h"

#include <QIODevice>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// One row of the operator list.
struct OperatorRow {
    int state = 0;  // 0 unknown, 1 available, 2 current, 3 forbidden
    QString stateText;
    QString name;
    QString numeric;
    QString networkType;  // "2G", "3G" or empty
};

// The rows of a search; an operator the card names only by digits (or not at all) takes its
// name from `nameOf` (the provider database), when it knows one.
std::vector<OperatorRow> OperatorRows(const std::vector<_MEC_OPERATOR_INFO> &records,
                                      const std::function<QString(const QString &)> &nameOf);

// The provider's name for an MCC+MNC in serviceproviders.xml; empty when it has none.
QString ProviderNameOf(QIODevice &database, const QString &numeric);
QString ProviderNameOf(const QString &databasePath, const QString &numeric);

// Why a row cannot be chosen (the text to show), or 0 when it can.
int RowRefusal(const OperatorRow *row);
// The selection record for a row that can be chosen.
_MEC_OPERATOR_SELECT SelectionOf(const OperatorRow &row);

class NetworkSelection {
public:
    explicit NetworkSelection(AllConfig &config) : m_config(config) {}

    // The card's state, and the three exchanges that lock the choices while they run.
    void setCardState(uint8_t state);
    void setCallActive(bool active) { m_callActive = active; }
    void setConnectionBusy(bool busy) { m_connectionBusy = busy; }
    void setUssdActive(bool active) { m_ussdActive = active; }
    // The selection kind, the automatic choice and the manual button may be changed.
    bool choicesOpen() const;

    // Card ready: the engine's mode and the modes it offers, read into the page's values.
    void readModes();
    // Whether the card offers the automatic choice (0, 1, 2).
    bool choiceOffered(int choice) const;

    int shownKind = 0;  // 0 automatic, 1 manual
    int appliedKind = 0;
    int shownChoice = 0;
    int appliedChoice = 0;
    int engineMode = -1;  // 5, 2, 1, or -1 for manual or unknown
    bool registeredByHand = false;

    // Apply with manual shown: the dialog opens. With automatic: the mode is set when it changed
    // (or a manual registration is to be left); the text to show (applied or not applied).
    enum class ApplyStep { OpenManualDialog, Done };
    ApplyStep Apply(int &message);

    // The dialog: a search begins (0 when it may), a network was registered by hand, or the
    // dialog was left without a choice (the engine's automatic mode is set again; the text to
    // show on failure, else 0).
    uint16_t BeginSearch();
    void RegisteredByHand();
    int LeftWithoutChoice();

    // The engine's mode for an automatic choice, and the choice of a mode read back.
    static uint8_t ModeOfChoice(int choice);

private:
    AllConfig &m_config;
    uint8_t m_cardState = 1;
    bool m_callActive = false;
    bool m_connectionBusy = false;
    bool m_ussdActive = false;
    uint32_t m_offered = 1u << 5;
};
