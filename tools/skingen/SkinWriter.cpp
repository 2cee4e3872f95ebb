#include "SkinWriter.h"

#include "Atlas.h"
#include "Extras.h"
#include "Looks.h"
#include "SkinKeys.h"

#include <QDir>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <vector>

namespace skingen {

namespace {

constexpr int kAtlasMaxWidth = 1024;

quint32 colorRef(const QColor &color)
{
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

QString rectText(const QRect &rect)
{
    return QStringLiteral("%1,%2,%3,%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height());
}

QString recipeOf(const SkinKey &key, const QString &part)
{
    return QStringLiteral("%1|%2x%3|%4|%5")
        .arg(int(key.look))
        .arg(key.width)
        .arg(key.height)
        .arg(QLatin1String(key.glyph), part);
}

bool saveImage(const QImage &image, const QString &path, const char *format)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "skingen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    QImageWriter writer(&file, format);
    if (!writer.write(image) || !file.commit()) {
        std::fprintf(stderr, "skingen: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

struct Entry {
    const SkinKey *key;
    std::vector<std::pair<QString, int>> pictures;  // INI key, atlas id
};

// Every key of the skin file drawn at the scale into the atlas; the same keys in the same order
// at any scale, so the ids agree.
std::vector<Entry> drawEntries(SkinFile which, AtlasBuilder &atlas, int scale)
{
    setDrawScale(scale);
    std::vector<Entry> entries;
    for (const SkinKey &key : skinKeys()) {
        if (key.file != which)
            continue;
        Entry entry{&key, {}};
        switch (kindOf(key.look)) {
        case KeyKind::Picture:
            entry.pictures.emplace_back(QStringLiteral("Image"),
                                        atlas.add(recipeOf(key, {}), drawPicture(key)));
            break;
        case KeyKind::Button:
            entry.pictures.emplace_back(
                QStringLiteral("Image"),
                atlas.add(recipeOf(key, QStringLiteral("strip")), drawButtonStrip(key)));
            break;
        case KeyKind::ImageControl: {
            const ImageControlPictures pictures = drawImageControl(key);
            entry.pictures.emplace_back(
                QStringLiteral("Image"),
                atlas.add(recipeOf(key, QStringLiteral("n")), pictures.normal));
            entry.pictures.emplace_back(
                QStringLiteral("Image Hot"),
                atlas.add(recipeOf(key, QStringLiteral("h")), pictures.hot));
            entry.pictures.emplace_back(
                QStringLiteral("Image Pushed"),
                atlas.add(recipeOf(key, QStringLiteral("p")), pictures.pushed));
            break;
        }
        case KeyKind::ImageList: {
            const std::vector<QImage> members = drawImageList(key);
            for (size_t n = 0; n < members.size(); ++n)
                entry.pictures.emplace_back(
                    QStringLiteral("Image%1").arg(n),
                    atlas.add(recipeOf(key, QString::number(n)), members[n]));
            break;
        }
        case KeyKind::Colour: break;
        }
        entries.push_back(std::move(entry));
    }
    setDrawScale(1);
    return entries;
}

// One skin file: every key of it drawn, packed, and described in the INI; beside it the same
// atlas drawn at twice the size for screens scaled to 2x.
bool writeSkin(SkinFile which, const QString &folder)
{
    AtlasBuilder atlas;
    const std::vector<Entry> entries = drawEntries(which, atlas, 1);
    atlas.pack(kAtlasMaxWidth);
    AtlasBuilder doubled;
    drawEntries(which, doubled, 2);
    doubled.placeLike(atlas, 2);

    const QString base = folder + QLatin1Char('/') + skinFileName(which == SkinFile::Main);
    if (!saveImage(atlas.compose(), base + QStringLiteral(".png"), "PNG") ||
        !saveImage(doubled.compose(), base + QStringLiteral("@2x.png"), "PNG"))
        return false;

    QSaveFile ini(base + QStringLiteral(".ini"));
    if (!ini.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(ini.fileName()));
        return false;
    }
    QTextStream out(&ini);
    out << "; Lumadial skin " << skinFileName(which == SkinFile::Main)
        << ": one section per control key; rectangles are left,top,width,height in the atlas;\r\n"
        << "; colours are COLORREF numbers (0x00BBGGRR). Button pictures hold three frames, top "
           "to\r\n"
        << "; bottom: normal, disabled, pushed.\r\n";
    for (const Entry &entry : entries) {
        out << "\r\n[" << entry.key->key << "]\r\n";
        for (const auto &[name, id] : entry.pictures)
            out << name << '=' << rectText(atlas.rect(id)) << "\r\n";
        const KeyColours colours = coloursOf(*entry.key);
        if (colours.color)
            out << "Color=" << colorRef(*colours.color) << "\r\n";
        if (colours.hotColor)
            out << "Hot Color=" << colorRef(*colours.hotColor) << "\r\n";
        if (colours.backColor)
            out << "Back Color=" << colorRef(*colours.backColor) << "\r\n";
    }
    out.flush();
    if (out.status() != QTextStream::Ok || !ini.commit()) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(ini.fileName()));
        return false;
    }
    return true;
}

}  // namespace

QString skinFileName(bool mainWindow)
{
    return mainWindow ? QStringLiteral("ArgBrisaMain") : QStringLiteral("ArgBrisaOthers");
}

bool writeAll(const QString &programDir)
{
    const QDir root(programDir);
    const QString skinFolder = root.filePath(QStringLiteral("resource/image/Default"));
    const QString logoFolder = root.filePath(QStringLiteral("resource/image/logo"));
    const QString aviFolder = root.filePath(QStringLiteral("resource/avi"));
    for (const QString &folder : {skinFolder, logoFolder, aviFolder}) {
        if (!QDir().mkpath(folder)) {
            std::fprintf(stderr, "skingen: cannot create %s\n", qPrintable(folder));
            return false;
        }
    }
    return writeSkin(SkinFile::Main, skinFolder) && writeSkin(SkinFile::Others, skinFolder) &&
           saveImage(drawLogo(LogoSize::Small), logoFolder + QStringLiteral("/MinDVOlogo.bmp"),
                     "BMP") &&
           saveImage(drawLogo(LogoSize::Big), logoFolder + QStringLiteral("/BIGDVOlogo.bmp"),
                     "BMP") &&
           saveImage(drawLogo(LogoSize::Title), logoFolder + QStringLiteral("/MAXDVOlogo.bmp"),
                     "BMP") &&
           saveImage(drawAnimation(Animation::Search), aviFolder + QStringLiteral("/search.png"),
                     "PNG") &&
           saveImage(drawAnimation(Animation::Select), aviFolder + QStringLiteral("/select.png"),
                     "PNG");
}

}  // namespace skingen
