#include "SmsSendResults.h"

#include "WindowControls.h"
#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

#include <QHeaderView>
#include <QVBoxLayout>

using platform::GetLanguageString;

namespace {

constexpr int kNumberColumn = 0;
constexpr int kResultColumn = 1;

}  // namespace

SmsSendResults::SmsSendResults(QWidget *owner, const SendSummary &summary) : QDialog(owner)
{
    setObjectName(QStringLiteral("SmsSendResults"));
    setWindowTitle(GetLanguageString(text::kSmsNewMessage));
    LbCounts = NamedLabel(this, "LbCounts", summary.CountsText());
    LbCounts->setWordWrap(true);
    LvResults = NamedControl<QTreeWidget>(this, "LvResults");
    LvResults->setRootIsDecorated(false);
    LvResults->setSelectionMode(QAbstractItemView::NoSelection);
    LvResults->setHeaderLabels(
        {GetLanguageString(text::kSmsNumber), GetLanguageString(text::kSmsStatus)});
    LvResults->header()->resizeSection(kNumberColumn, 140);
    for (const RecipientOutcome &outcome : summary.outcomes) {
        auto *row = new QTreeWidgetItem(LvResults, {outcome.recipient, outcome.result});
        row->setToolTip(kResultColumn, outcome.result);
        if (!outcome.sent) {
            for (int column : {kNumberColumn, kResultColumn})
                row->setForeground(column, QColor(Qt::red));
        }
    }
    BtOK = NamedButton(this, "BtOK", text::kOk);
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    auto *column = new QVBoxLayout(this);
    column->addWidget(LbCounts);
    column->addWidget(LvResults, 1);
    column->addWidget(BtOK, 0, Qt::AlignRight);
    resize(420, 260);
}
