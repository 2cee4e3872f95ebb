#include "FeaturePage.h"

#include "skin/FaceManager.h"
#include "skin/SkinControls.h"

#include <QEvent>
#include <QLayout>
#include <QVBoxLayout>

#include <cstdio>
#include <optional>

namespace {

// The skin's colours, for what a skin without the key shows instead of its picture.
const QColor kPageColour(0xF4, 0xF7, 0xFB);
const QColor kStripColour(0xE2, 0xEC, 0xF6);
const QColor kTitleColour(0x1F, 0x3A, 0x56);
const QColor kTextColour(0x4A, 0x5A, 0x6C);

const char *const kKeysProperty = "lumadialSkinKeys";
const char *const kMissingProperty = "lumadialSkinMissing";

void setColour(QWidget &widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette colours = widget.palette();
    colours.setColor(role, colour);
    widget.setPalette(colours);
}

// Keeps the background and the title strip as large as the window, and the strip's caption
// the window's caption (a page changes it as it shows another folder or contact).
class SkinLayers : public QObject {
public:
    SkinLayers(QWidget &window, QWidget *background, QWidget *strip, QLabel *caption)
        : QObject(&window), m_window(window), m_background(background), m_strip(strip),
          m_caption(caption)
    {
        window.installEventFilter(this);
        fit();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window &&
            (event->type() == QEvent::Resize || event->type() == QEvent::WindowTitleChange))
            fit();
        return false;
    }

private:
    void fit()
    {
        if (m_background)
            m_background->setGeometry(m_window.rect());
        if (m_strip)
            m_strip->setGeometry(0, 0, m_window.width(), feature::kTitleStripHeight);
        if (m_caption)
            m_caption->setText(m_window.windowTitle());
    }

    QWidget &m_window;
    QWidget *m_background;
    QWidget *m_strip;
    QLabel *m_caption;
};

}  // namespace

namespace feature {

void WearSkin(QWidget &window, const WindowSkin &skin)
{
    // Windows are built while the start-up manager holds the other windows' skin; a window
    // built later takes a manager of its own.
    skin::FaceManager *current = skin::CurrentFaceManager();
    const bool ready = current && skin::FaceManagerState() == skin::kFaceUsable &&
                       current->variant() == skin::FaceManager::kVariantOthers &&
                       current->hasAtlas();
    std::optional<skin::ScopedFaceManager> own;
    if (!ready)
        own.emplace(skin::FaceManager::kVariantOthers);
    QStringList keys;
    const auto apply = [&](QObject *control, const char *key) {
        keys.append(QString::fromLatin1(key));
        if (ready)
            skin::ApplyFace(control, QString::fromLatin1(key));
        else
            own->apply(control, QString::fromLatin1(key));
    };

    // Under the pictures, and in place of a missing one, the skin's plain page colour.
    setColour(window, QPalette::Window, kPageColour);
    window.setAutoFillBackground(true);
    skin::BackImage *background = nullptr;
    if (skin.background) {
        background = new skin::BackImage(&window);  // owned by the window
        background->setObjectName(QStringLiteral("SkinBackground"));
        apply(background, skin.background);
    }
    skin::BackImage *strip = nullptr;
    QLabel *caption = nullptr;
    if (skin.title) {
        strip = new skin::BackImage(&window);
        strip->setObjectName(QStringLiteral("SkinTitle"));
        setColour(*strip, QPalette::Window, kStripColour);
        strip->setAutoFillBackground(true);
        apply(strip, skin.title);
        caption = new QLabel(strip);
        caption->setObjectName(QStringLiteral("SkinTitleCaption"));
        caption->setTextFormat(Qt::PlainText);
        QFont bold = caption->font();
        bold.setPixelSize(13);
        bold.setBold(true);
        caption->setFont(bold);
        setColour(*caption, QPalette::WindowText, kTitleColour);
        caption->setGeometry(20, 0, 600, kTitleStripHeight);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        strip->lower();
        if (QLayout *layout = window.layout()) {
            QMargins margins = layout->contentsMargins();
            margins.setTop(margins.top() + kTitleStripHeight);
            layout->setContentsMargins(margins);
        }
    }
    if (background)
        background->lower();
    new SkinLayers(window, background, strip, caption);  // owned by the window

    QStringList missing;
    for (const SkinKey &entry : skin.controls) {
        QWidget *control = window.findChild<QWidget *>(QString::fromLatin1(entry.control));
        if (!control) {
            missing.append(QString::fromLatin1(entry.control));
            std::fprintf(stderr, "lumadial: %s has no control %s for the skin key %s\n",
                         qPrintable(window.objectName()), entry.control, entry.key);
            keys.append(QString::fromLatin1(entry.key));
            continue;
        }
        apply(control, entry.key);
    }
    window.setProperty(kKeysProperty, keys);
    window.setProperty(kMissingProperty, missing);
}

QStringList SkinKeysOf(const QWidget &window) { return window.property(kKeysProperty).toStringList(); }

QStringList MissingSkinControlsOf(const QWidget &window)
{
    return window.property(kMissingProperty).toStringList();
}

}  // namespace feature

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
        setColour(*label, QPalette::WindowText,
                  label == Label_Title ? kTitleColour : kTextColour);
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

void FeaturePage::wearSkin(const feature::WindowSkin &skin)
{
    if (skin.title) {
        Label_Title->hide();
        if (QLayout *column = layout()) {
            QMargins margins = column->contentsMargins();
            margins.setTop(12);
            column->setContentsMargins(margins);
        }
    }
    feature::WearSkin(*this, skin);
}
