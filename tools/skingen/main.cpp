// skingen <program folder>: draws the skin, the logos and the wait animations into the
// program folder's resource tree.
#include "SkinWriter.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: skingen <program folder>\n");
        return 2;
    }
    return skingen::writeAll(arguments.at(1)) ? 0 : 1;
}
