#include "NetworkSelection.h"

#include "logic/EngineValues.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"

#include <QFile>
#include <QXmlStreamReader>

#include <array>

namespace {

constexpr std::array<uint8_t, 3> kChoiceModes{5, 2, 1};

constexpr int kStateTexts[] = {3009, 3010, 3011, 3012};
constexpr int kApplied = 3033;
constexpr int kNotApplied = 3101;

QString fieldText(const char *field, size_t size)
{
    return platform::fromAnsi(std::string(field, ::strnlen(field, size)));
}

bool digitsOnly(const QString &text)
{
    for (QChar c : text)
        if (!c.isDigit())
            return false;
    return true;
}

QString networkTypeOf(const QString &technology)
{
    if (technology == QLatin1String("0") || technology == QLatin1String("2G"))
        return QStringLiteral("2G");
    if (technology == QLatin1String("2") || technology == QLatin1String("3G"))
        return QStringLiteral("3G");
    return {};
}

}  // namespace

std::vector<OperatorRow> OperatorRows(const std::vector<_MEC_OPERATOR_INFO> &records,
                                      const std::function<QString(const QString &)> &nameOf)
{
    std::vector<OperatorRow> rows;
    for (const auto &record : records) {
        OperatorRow row;
        row.state = static_cast<int>(record.state);
        row.stateText = record.state < 4 ? platform::GetLanguageString(kStateTexts[record.state])
                                         : QString();
        row.name = fieldText(record.shortName, sizeof record.shortName);
        row.numeric = fieldText(record.numericId, sizeof record.numericId);
        row.networkType =
            networkTypeOf(fieldText(record.accessTechnology, sizeof record.accessTechnology));
        if ((row.name.isEmpty() || digitsOnly(row.name)) && nameOf) {
            QString known = nameOf(row.numeric);
            if (!known.isEmpty())
                row.name = known;
        }
        rows.push_back(row);
    }
    return rows;
}

QString ProviderNameOf(QIODevice &database, const QString &numeric)
{
    // <provider><name>..</name><gsm><network-id mcc=".." mnc=".."/></gsm></provider>
    QXmlStreamReader xml(&database);
    QString name;
    int depth = 0;
    int providerDepth = -1;
    while (!xml.atEnd()) {
        auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            if (xml.name() == QLatin1String("provider")) {
                providerDepth = depth;
                name.clear();
            } else if (xml.name() == QLatin1String("name") && depth == providerDepth + 1) {
                name = xml.readElementText().trimmed();
                --depth;
            } else if (xml.name() == QLatin1String("network-id")) {
                auto attributes = xml.attributes();
                QString id = attributes.value(QLatin1String("mcc")).toString() +
                             attributes.value(QLatin1String("mnc")).toString();
                if (id == numeric && !name.isEmpty())
                    return name;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return {};
}

QString ProviderNameOf(const QString &databasePath, const QString &numeric)
{
    QFile file(databasePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ProviderNameOf(file, numeric);
}

int RowRefusal(const OperatorRow *row)
{
    if (row == nullptr)
        return 3153;
    if (row->state == 0)
        return 3016;
    if (row->state == 3)
        return 3015;
    return 0;
}

_MEC_OPERATOR_SELECT SelectionOf(const OperatorRow &row)
{
    _MEC_OPERATOR_SELECT selection{};
    selection.mode = 1;
    selection.format = 2;
    QByteArray numeric = row.numeric.toLatin1().left(sizeof selection.numericId - 1);
    std::memcpy(selection.numericId, numeric.constData(), static_cast<size_t>(numeric.size()));
    selection.accessTechnology = row.networkType == QLatin1String("3G") ? 2 : 0;
    return selection;
}

uint8_t NetworkSelection::ModeOfChoice(int choice)
{
    return choice >= 0 && choice < 3 ? kChoiceModes[static_cast<size_t>(choice)] : 5;
}

void NetworkSelection::setCardState(uint8_t state)
{
    m_cardState = state;
    if (state == kSimReady)
        readModes();
}

bool NetworkSelection::choicesOpen() const
{
    return m_cardState == kSimReady && !m_callActive && !m_connectionBusy;
}

bool NetworkSelection::choiceOffered(int choice) const
{
    return (m_offered & (1u << ModeOfChoice(choice))) != 0;
}

void NetworkSelection::readModes()
{
    uint8_t mode = 0;
    if (_MEC_GetNetworkSelectMode(&mode) == 0) {
        if (mode == 0) {
            m_config.networkSelection = 1;
            appliedKind = 1;
            engineMode = -1;
            registeredByHand = true;
        } else {
            int choice = mode == 2 ? 1 : mode == 1 ? 2 : 0;  // 5 and 4 are the first choice
            m_config.networkSelection = 0;
            m_config.autoSelectionChoice = static_cast<uint8_t>(choice);
            appliedKind = 0;
            engineMode = ModeOfChoice(choice);
        }
        shownKind = m_config.networkSelection;
        shownChoice = appliedChoice = m_config.autoSelectionChoice;
    }
    uint32_t offered = 0;
    m_offered = _MEC_GetNetworkSelectModes(&offered) == 0 ? (offered | (1u << 5)) : (1u << 5);
}

NetworkSelection::ApplyStep NetworkSelection::Apply(int &message)
{
    message = 0;
    if (shownKind == 1) {
        m_config.networkSelection = 1;
        return ApplyStep::OpenManualDialog;
    }
    bool failed = false;
    if (shownChoice != appliedChoice || registeredByHand) {
        uint8_t mode = ModeOfChoice(shownChoice);
        failed = _MEC_SetNetworkSelectMode(mode) != 0;
        engineMode = mode;
        registeredByHand = false;
    }
    if (failed) {
        message = kNotApplied;
        engineMode = -1;
        shownChoice = appliedChoice;
        shownKind = appliedKind;
        return ApplyStep::Done;
    }
    m_config.networkSelection = static_cast<uint8_t>(shownKind);
    m_config.autoSelectionChoice = static_cast<uint8_t>(shownChoice);
    appliedKind = shownKind;
    appliedChoice = shownChoice;
    message = kApplied;
    return ApplyStep::Done;
}

uint16_t NetworkSelection::BeginSearch() { return _MEC_SetNetworkSelectMode(4); }

void NetworkSelection::RegisteredByHand()
{
    appliedKind = shownKind;
    appliedChoice = -1;
    registeredByHand = true;
}

int NetworkSelection::LeftWithoutChoice()
{
    if (engineMode == -1)
        return 0;
    if (_MEC_SetNetworkSelectMode(static_cast<uint8_t>(engineMode)) != 0)
        return kNotApplied;
    shownKind = 0;
    m_config.networkSelection = 0;
    shownChoice = appliedChoice;
    return 0;
}
