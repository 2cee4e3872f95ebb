// A throw-away program folder with a skin of the test's own making, made the working folder
// for the test (the skin manager reads its files relative to it).
#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

class SkinFolder {
public:
    SkinFolder() : m_previous(QDir::currentPath())
    {
        EXPECT_TRUE(m_dir.isValid());
        QDir(m_dir.path()).mkpath(QStringLiteral("resource/image/Default"));
        QDir::setCurrent(m_dir.path());
    }
    ~SkinFolder() { QDir::setCurrent(m_previous); }
    SkinFolder(const SkinFolder &) = delete;
    SkinFolder &operator=(const SkinFolder &) = delete;

    QString skinPath(const QString &name) const
    {
        return m_dir.path() + QStringLiteral("/resource/image/Default/") + name;
    }
    void writeIni(const QString &name, const std::string &text) const
    {
        std::ofstream out(skinPath(name).toStdString(), std::ios::binary);
        out << text;
    }
    void writeAtlas(const QString &name, const QImage &atlas) const
    {
        ASSERT_TRUE(atlas.save(skinPath(name), "PNG"));
    }
    QString path() const { return m_dir.path(); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

// An atlas of 40 x 30 whose pixel (x, y) has red x * 5, green y * 8 and blue 77, so any cut
// rectangle can be checked pixel by pixel.
inline QImage gradientAtlas()
{
    QImage atlas(40, 30, QImage::Format_ARGB32);
    for (int y = 0; y < atlas.height(); ++y)
        for (int x = 0; x < atlas.width(); ++x)
            atlas.setPixel(x, y, qRgba(x * 5, y * 8, 77, 255));
    return atlas;
}
