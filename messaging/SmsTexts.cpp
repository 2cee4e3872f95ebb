#include "SmsTexts.h"

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

QString SmsReportText(const SmsReportPayload &report)
{
    const QString heading =
        GetLanguageString(report.status == 0 ? text::kSmsDelivered : text::kSmsNotDelivered);
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
