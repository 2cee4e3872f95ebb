#include "skin/FaceManager.h"

#include "skin/ColorRef.h"
#include "skin/ImButton.h"
#include "skin/ImImage.h"
#include "skin/ButtonFace.h"
#include "skin/ImPanel.h"
#include "skin/SkinControls.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>

#include <array>
#include <map>
#include <cctype>
#include <climits>

namespace skin {

namespace {

constexpr const char *kSkinFolder = "./resource/image/";
constexpr const char *kDefaultFolder = "Default";

// One "%d" of sscanf: blanks, an optional sign, at least one digit. Values that do not fit in
// 32 bits are refused rather than wrapped.
bool scanInt(std::string_view text, size_t &pos, int &value)
{
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
        return false;
    long long number = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        number = number * 10 + (text[pos++] - '0');
        if (number > (long long)INT_MAX + 1)
            return false;
    }
    number = negative ? -number : number;
    if (number > INT_MAX || number < INT_MIN)
        return false;
    value = int(number);
    return true;
}

// "%d,%d,%d,%d": all four numbers must be there; what follows them is ignored.
bool parseRect(std::string_view text, std::array<int, 4> &numbers)
{
    size_t pos = 0;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',')
                return false;
            ++pos;
        }
        if (!scanInt(text, pos, numbers[i]))
            return false;
    }
    return true;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, color);
    colours.setColor(QPalette::Text, color);
    colours.setColor(QPalette::ButtonText, color);
    widget->setPalette(colours);
}

void setBackColor(QWidget *widget, const QColor &color)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, color);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

void setBaseColor(QWidget *widget, const QColor &color)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Base, color);
    widget->setPalette(colours);
}

// The kinds below the whole window; one of them standing alone is still that control.
// More than one device pixel per point on some screen: QT_SCALE_FACTOR=2 or a dense display.
bool screensAreDense()
{
    const auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    return application && application->devicePixelRatio() > 1.0;
}

// Every window chooses the skin while it is built, most with a manager of their own: the
// atlas is decoded once and shared while its file stays the same.
std::shared_ptr<const PngImage> loadAtlas(const QString &path)
{
    struct Decoded {
        QDateTime modified;
        qint64 size = -1;
        std::shared_ptr<const PngImage> image;
    };
    static std::map<QString, Decoded> decoded;
    const QFileInfo file(path);
    Decoded &entry = decoded[path];
    if (entry.image && file.exists() && entry.modified == file.lastModified() &&
        entry.size == file.size())
        return entry.image;
    entry = {};
    auto image = std::make_shared<PngImage>();
    if (!image->load(path))
        return nullptr;
    entry = {file.lastModified(), file.size(), image};
    return image;
}

bool isControlKind(QWidget *widget)
{
    return qobject_cast<QRadioButton *>(widget) || qobject_cast<QCheckBox *>(widget) ||
           qobject_cast<QLineEdit *>(widget) || qobject_cast<QLabel *>(widget) ||
           qobject_cast<QTextEdit *>(widget) || qobject_cast<QPlainTextEdit *>(widget) ||
           qobject_cast<QGroupBox *>(widget) || qobject_cast<BackImage *>(widget) ||
           qobject_cast<TCustomImButton *>(widget) || qobject_cast<TImImage *>(widget) ||
           qobject_cast<SkinImage *>(widget) || qobject_cast<TImPanel *>(widget);
}

}  // namespace

ColorRef parseColorRef(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos])))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    unsigned long long number = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        number = number * 10 + unsigned(text[pos++] - '0');
        if (number > 0xFFFFFFFFull)
            number = 0xFFFFFFFFull;  // saturate like strtol rather than wrap
    }
    const auto value = ColorRef(number);
    return negative ? ColorRef(0u - value) : value;
}

bool FaceManager::chooseSkin(int variant)
{
    m_variant = variant;
    if (m_mode != kModeDefault)
        return false;
    QString name;
    if (variant == kVariantMain)
        name = QStringLiteral("ArgBrisaMain");
    else if (variant == kVariantOthers)
        name = QStringLiteral("ArgBrisaOthers");
    else
        return false;
    m_iniPath = QString::fromLatin1(kSkinFolder) + QLatin1String(kDefaultFolder) +
                QLatin1Char('/') + name + QStringLiteral(".ini");
    m_pngPath = m_iniPath.left(m_iniPath.size() - 4) + QStringLiteral(".png");

    m_atlas.reset();
    m_atlas2x.reset();
    m_atlas = loadAtlas(m_pngPath);
    if (!m_atlas)
        return false;
    m_ini = platform::IniFile(m_iniPath);
    if (screensAreDense()) {
        // Only a double-size atlas that matches the plain one is used; anything else is a
        // stale or foreign file, and the plain pictures are scaled instead.
        const QString path = m_pngPath.left(m_pngPath.size() - 4) + QStringLiteral("@2x.png");
        auto doubled = QFileInfo::exists(path) ? loadAtlas(path) : nullptr;
        if (doubled && doubled->width() == 2 * m_atlas->width() &&
            doubled->height() == 2 * m_atlas->height())
            m_atlas2x = std::move(doubled);
    }
    return true;
}

bool FaceManager::lookupRect(const std::string &section, const std::string &key)
{
    if (m_iniPath.isEmpty())
        return false;
    const std::string value = m_ini.value(section, key);
    if (value.empty())
        return false;
    std::array<int, 4> numbers{};
    if (!parseRect(value, numbers))
        return false;
    const auto [left, top, width, height] = numbers;
    if (left < 0 || top < 0 || width < 0 || height < 0)
        return false;
    if ((long long)left + width > INT_MAX || (long long)top + height > INT_MAX)
        return false;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    m_right = left + width;
    m_bottom = top + height;
    return true;
}

QImage FaceManager::cutPicture() const
{
    if (!m_atlas || m_width <= 0 || m_height <= 0 || m_left < 0 || m_top < 0)
        return {};
    // No control is bigger than an atlas can be; a larger rectangle is a broken skin file.
    if (m_width > int(PngImage::kMaxSide) || m_height > int(PngImage::kMaxSide))
        return {};
    if (m_atlas2x) {
        QImage doubled = m_atlas2x->copy(2 * m_left, 2 * m_top, 2 * m_width, 2 * m_height);
        doubled.setDevicePixelRatio(2);
        return doubled;
    }
    return m_atlas->copy(m_left, m_top, m_width, m_height);
}

QImage FaceManager::picture(const std::string &section, const std::string &key)
{
    if (!lookupRect(section, key))
        return {};
    return cutPicture();
}

std::optional<QColor> FaceManager::color(const std::string &section, const std::string &key) const
{
    if (m_iniPath.isEmpty())
        return std::nullopt;
    const std::string value = m_ini.value(section, key);
    if (value.empty())
        return std::nullopt;
    return fromColorRef(parseColorRef(value));
}

// Controls are told apart by kind, first match wins: image list; whole window; radio button;
// edit box; check box; label; link label; memo; radio group; anything else takes a picture.
void FaceManager::apply(QObject *control, const QString &key)
{
    if (!control)
        return;
    const std::string section = key.toStdString();

    if (auto *list = qobject_cast<ImageList *>(control)) {
        list->Clear();
        for (int n = 0;; ++n) {
            const QImage member = picture(section, "Image" + std::to_string(n));
            if (member.isNull())
                break;
            list->AddMasked(member, fromColorRef(kTransparentColorRef));
        }
        return;
    }

    auto *widget = qobject_cast<QWidget *>(control);
    if (!widget)
        return;
    const auto textColor = [&](QWidget *target) {
        if (auto value = color(section, "Color"))
            setTextColor(target, *value);
    };
    const auto backColor = [&](QWidget *target) {
        if (auto value = color(section, "Back Color"))
            setBackColor(target, *value);
    };

    if (widget->isWindow() && !isControlKind(widget)) {
        backColor(widget);
        return;
    }
    if (qobject_cast<QRadioButton *>(widget) || qobject_cast<QCheckBox *>(widget)) {
        textColor(widget);
        backColor(widget);
        return;
    }
    if (qobject_cast<QLineEdit *>(widget)) {
        if (auto value = color(section, "Color"))
            setBaseColor(widget, *value);
        return;
    }
    if (auto *link = qobject_cast<LinkLabel *>(widget)) {
        if (auto value = color(section, "Color"))
            link->setLinkColor(*value);
        if (auto value = color(section, "Hot Color"))
            link->setHoverColor(*value);
        return;
    }
    if (qobject_cast<QLabel *>(widget)) {
        textColor(widget);
        backColor(widget);
        return;
    }
    if (qobject_cast<QTextEdit *>(widget) || qobject_cast<QPlainTextEdit *>(widget) ||
        qobject_cast<QGroupBox *>(widget)) {
        textColor(widget);
        return;
    }

    const QImage image = picture(section, "Image");
    if (!image.isNull()) {
        const QPixmap pixmap = QPixmap::fromImage(image);
        if (auto *back = qobject_cast<BackImage *>(widget)) {
            back->setPicture(pixmap);
        } else if (auto *button = qobject_cast<TCustomImButton *>(widget)) {
            button->setPicture(pixmap);
        } else if (auto *imImage = qobject_cast<TImImage *>(widget)) {
            imImage->setPicture(pixmap);
            const QImage pushed = picture(section, "Image Pushed");
            if (!pushed.isNull())
                imImage->setSelPicture(QPixmap::fromImage(pushed));
            const QImage hot = picture(section, "Image Hot");
            if (!hot.isNull())
                imImage->setHotPicture(QPixmap::fromImage(hot));
        } else if (auto *plain = qobject_cast<SkinImage *>(widget)) {
            plain->setPicture(pixmap);
        } else if (auto *panel = qobject_cast<TImPanel *>(widget)) {
            panel->setPicture(pixmap);
        } else if (auto *push = qobject_cast<QPushButton *>(widget)) {
            ButtonFace::wear(*push, pixmap);
        }
    }
    if (auto *push = qobject_cast<QPushButton *>(widget)) {
        if (ButtonFace *face = ButtonFace::of(*push)) {
            if (auto value = color(section, "Color"))
                face->setTextColor(*value);
            if (auto value = color(section, "Hot Color"))
                face->setHotTextColor(*value);
        }
    }
    if (auto *button = qobject_cast<TCustomImButton *>(widget)) {
        if (auto value = color(section, "Color"))
            button->setFontColor(*value);
        if (auto value = color(section, "Hot Color"))
            button->setHotTextColor(*value);
    }
}

namespace {
std::unique_ptr<FaceManager> g_manager;
int g_state = kFaceNone;
}  // namespace

void CreateFaceManager()
{
    g_manager = std::make_unique<FaceManager>();
    g_state = kFaceUsable;
}

void SetFaceMode(int mode)
{
    if (g_manager)
        g_manager->setMode(mode);
}

bool ChooseFaceSkin(int variant)
{
    if (!g_manager)
        return false;
    if (g_manager->chooseSkin(variant))
        return true;
    g_state = kFaceFailed;
    return false;
}

void ApplyFace(QObject *control, const QString &key)
{
    if (!g_manager || g_state == kFaceFailed)
        return;
    g_manager->apply(control, key);
}

void DestroyFaceManager()
{
    g_manager.reset();
    g_state = kFaceNone;
}

int FaceManagerState() { return g_state; }

FaceManager *CurrentFaceManager() { return g_manager.get(); }

ScopedFaceManager::ScopedFaceManager(int variant)
{
    if (!g_manager) {
        CreateFaceManager();
        SetFaceMode(FaceManager::kModeDefault);
        m_owned = true;
    }
    m_chosen = ChooseFaceSkin(variant);
}

ScopedFaceManager::~ScopedFaceManager()
{
    if (m_owned)
        DestroyFaceManager();
}

void ScopedFaceManager::apply(QObject *control, const QString &key) const
{
    if (m_chosen)
        ApplyFace(control, key);
}

}  // namespace skin
