// icongen: renders the program's SVG icon into the PNG sizes of the hicolor icon theme.
//   icongen <icon.svg> <folder> <size>...
// writes <folder>/<size>x<size>/apps/<icon name>.png for each size.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: icongen <icon.svg> <folder> <size>...\n");
        return 2;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "icongen: %s is not a drawable SVG\n", argv[1]);
        return 1;
    }
    const QString name = QFileInfo(svg).completeBaseName();
    for (int argument = 3; argument < argc; ++argument) {
        bool number = false;
        const int size = QString::fromLatin1(argv[argument]).toInt(&number);
        if (!number || size <= 0 || size > 4096) {
            std::fprintf(stderr, "icongen: %s is not an icon size\n", argv[argument]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QString sizeFolder = folder + QStringLiteral("/%1x%1/apps").arg(size);
        const QString file = sizeFolder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(sizeFolder) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "icongen: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
