#include "PbStore.h"

#include "logic/BL_Base.h"
#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

#include <QRegularExpression>

TBL_pb *RootPhonebook()
{
    TBL_base *root = BusinessLogic();
    return root ? root->phonebook.get() : nullptr;
}

QString StorageName(uint8_t storage)
{
    const int text = storage == PB_SIM  ? text::kPbStoreSIM
                     : storage == PB_ME ? text::kPbStoreCard
                                        : text::kPbStorePC;
    return platform::GetLanguageString(text);
}

QString FormatText(int number, const QStringList &values)
{
    QString text = platform::GetLanguageString(number);
    static const QRegularExpression placeholder(QStringLiteral("%[ds]"));
    for (const QString &value : values) {
        const QRegularExpressionMatch match = placeholder.match(text);
        if (!match.hasMatch())
            break;
        text.replace(match.capturedStart(), match.capturedLength(), value);
    }
    return text;
}
