#include "FeaturePage.h"

#include <QVBoxLayout>

namespace {

const QColor kTitleColour(0x1F, 0x3A, 0x56);
const QColor kTextColour(0x4A, 0x5A, 0x6C);

}  // namespace

FeaturePage::FeaturePage(feature::FeatureHost &host, const QString &className,
                           const QString &caption, const QString &purpose, FeatureWindowKind kind)
    : QWidget(nullptr, kind == FeatureWindowKind::Dialog ? Qt::Dialog : Qt::Widget),
      m_host(host),
      m_kind(kind)
{
    // The class name doubles as the object name, so the windows can be found by it.
    setObjectName(className);
    setWindowTitle(caption);

    Label_Title = new QLabel(caption, this);
    Label_Title->setObjectName(QStringLiteral("Label_Title"));
    QFont titleFont = Label_Title->font();
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    Label_Title->setFont(titleFont);

    Label_Purpose = new QLabel(purpose, this);
    Label_Purpose->setObjectName(QStringLiteral("Label_Purpose"));
    Label_Purpose->setWordWrap(true);

    Label_NotAvailable = new QLabel(tr("This part of Brisa Internet is not available yet."), this);
    Label_NotAvailable->setObjectName(QStringLiteral("Label_NotAvailable"));
    Label_NotAvailable->setWordWrap(true);

    for (QLabel *label : {Label_Title, Label_Purpose, Label_NotAvailable}) {
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, label == Label_Title ? kTitleColour : kTextColour);
        label->setPalette(colours);
        label->setTextFormat(Qt::PlainText);
    }
    QFont textFont = Label_Purpose->font();
    textFont.setPixelSize(12);
    Label_Purpose->setFont(textFont);
    Label_NotAvailable->setFont(textFont);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(10);
    layout->addWidget(Label_Title);
    layout->addWidget(Label_Purpose);
    layout->addWidget(Label_NotAvailable);
    layout->addStretch(1);

    if (kind == FeatureWindowKind::Dialog) {
        setAutoFillBackground(true);
        resize(360, 200);
    }
}
