#include "SmsTexts.h"

#include "logic/BL_Base.h"
#include "logic/BL_Forward.h"
#include "platform/CodePage.h"
#include "platform/ResStringManager.h"
#include "language/TextNumbers.h"

using platform::GetLanguageString;

namespace {

constexpr size_t kLabelBytes = 20;
constexpr size_t kLabelKeptBytes = 17;

}  // namespace

QString SmsFieldText(const char *field, size_t size)
{
    return platform::fromAnsi(platform::fieldText(field, size));
}

QString SmsTimeText(const SmsItem &item)
{
    QString shown = SmsFieldText(item.time, sizeof item.time);
    if (!item.hasZone || shown.isEmpty())
        return shown;
    const int quarters = item.zoneQuarters < 0 ? -item.zoneQuarters : item.zoneQuarters;
    return shown + QStringLiteral(" UTC%1%2:%3")
                       .arg(item.zoneQuarters < 0 ? u'-' : u'+')
                       .arg(quarters / 4, 2, 10, QLatin1Char('0'))
                       .arg(quarters % 4 * 15, 2, 10, QLatin1Char('0'));
}

QString SmsContentText(const SmsItem &item)
{
    QString text = BusinessLogic() != nullptr
                       ? platform::fromAnsi(SmsMessageText(item))
                       : SmsFieldText(item.text, sizeof item.text);
    const int present = item.usedSlots();
    if (item.longMessage != 0 && present > 0 && present < item.partCount &&
        item.partCount <= kSmsPartSlots) {
        text += QStringLiteral("\n\n%1 %2/%3")
                    .arg(GetLanguageString(text::kSmsPartsReceived))
                    .arg(present)
                    .arg(item.partCount);
    }
    return text;
}

QString SmsReportText(const SmsReportPayload &report)
{
    // The status byte as the network gave it: completed, still trying, or failed.
    const int outcome = report.status <= 0x1F   ? text::kSmsDelivered
                        : report.status <= 0x3F ? text::kSmsStillTrying
                                                : text::kSmsNotDelivered;
    const QString heading = GetLanguageString(outcome);
    return QStringLiteral("%1%2\n%3")
        .arg(heading, SmsFieldText(report.number, sizeof report.number),
             SmsFieldText(report.time, sizeof report.time));
}

QString SmsRunSummary(int title, int total, int succeeded, int failed)
{
    return QStringLiteral("%1:%2, %3:%4, %5:%6")
        .arg(GetLanguageString(title))
        .arg(total)
        .arg(GetLanguageString(text::kSucceeded))
        .arg(succeeded)
        .arg(GetLanguageString(text::kFailed))
        .arg(failed);
}

QString SmsShortLabel(std::string_view ansi)
{
    if (ansi.size() <= kLabelBytes)
        return platform::fromAnsi(ansi);
    return platform::fromAnsi(platform::truncateAnsi(ansi, kLabelKeptBytes)) +
           QStringLiteral("...");
}
