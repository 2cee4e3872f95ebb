#include "UI_CopyTips.h"

#include "language/TextNumbers.h"
#include "platform/ResStringManager.h"

#include <QCoreApplication>
#include <QVBoxLayout>

using platform::GetLanguageString;

TFrmCopyTips::TFrmCopyTips(feature::FeatureHost &host)
    : TFeaturePage(host, QStringLiteral("TFrmCopyTips"), GetLanguageString(text::kPbContacts),
                   QString(), FeatureWindowKind::Dialog)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    Label_Purpose->hide();
    Label_NotAvailable->hide();
    LbTips = new QLabel(this);
    LbTips->setObjectName(QStringLiteral("LbTips"));
    PBCopy = new QProgressBar(this);
    PBCopy->setObjectName(QStringLiteral("PBCopy"));
    PBCopy->setRange(0, 100);
    BtStop = new QPushButton(GetLanguageString(text::kPbStop), this);
    BtStop->setObjectName(QStringLiteral("BtStop"));
    if (auto *box = qobject_cast<QBoxLayout *>(layout())) {
        box->addWidget(LbTips);
        box->addWidget(PBCopy);
        box->addWidget(BtStop, 0, Qt::AlignRight);
    }
    connect(BtStop, &QPushButton::clicked, this, [this] { m_stopPressed = true; });
    resize(360, 130);
}

void TFrmCopyTips::Open(const QString &text, const std::vector<QWidget *> &disabled)
{
    m_stopPressed = false;
    m_disabled.clear();
    // A window this one belongs to stays enabled, or Stop could not be pressed.
    auto holdsThis = [this](QWidget *widget) {
        for (QWidget *up = parentWidget(); up; up = up->parentWidget())
            if (up == widget)
                return true;
        return false;
    };
    for (QWidget *widget : disabled)
        if (widget && widget->isEnabled() && !holdsThis(widget)) {
            widget->setEnabled(false);
            m_disabled.emplace_back(widget);
        }
    LbTips->setText(text);
    PBCopy->setValue(0);
    show();
    raise();
    letEventsRun();
}

void TFrmCopyTips::SetProgress(int percent)
{
    PBCopy->setValue(percent);
    letEventsRun();
}

void TFrmCopyTips::SetText(const QString &text)
{
    LbTips->setText(text);
    letEventsRun();
}

void TFrmCopyTips::Finish()
{
    hide();
    for (const QPointer<QWidget> &widget : m_disabled)
        if (widget)
            widget->setEnabled(true);
    m_disabled.clear();
}

void TFrmCopyTips::letEventsRun()
{
    // Input to the disabled windows is dropped by Qt; paints, timers and this window's Stop run.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
