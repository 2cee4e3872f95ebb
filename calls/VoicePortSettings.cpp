#include "VoicePortSettings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace calls {

namespace {

QString filePath(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(VoicePortSettings::kFileName));
}

}  // namespace

VoicePortSettings VoicePortSettings::load(const QString &folder, QStringList *problems)
{
    VoicePortSettings settings;
    QFile file(filePath(folder));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return settings;
    QTextStream in(&file);
    int number = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++number;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        const QString key = trimmed.left(equals).trimmed();
        const QString value = trimmed.mid(equals + 1).trimmed();
        if (equals > 0 && key == QLatin1String("port"))
            settings.port = value;
        else if (equals > 0 && key == QLatin1String("start"))
            settings.start = value;
        else if (equals > 0 && key == QLatin1String("stop"))
            settings.stop = value;
        else if (equals > 0 && key == QLatin1String("told"))
            settings.toldCards = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (problems)
            *problems << QStringLiteral("%1:%2: %3").arg(file.fileName()).arg(number).arg(line);
    }
    return settings;
}

bool VoicePortSettings::save(const QString &folder) const
{
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(filePath(folder));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# The call's sound on the computer: the card's voice port (8 kHz 16-bit mono PCM)\n"
           "# and the card's commands that start and stop it. {control} stands for the card's\n"
           "# control port. An empty start means the port carries sound unasked.\n"
        << "port=" << port << "\nstart=" << start << "\nstop=" << stop << "\n"
        << "# Cards already found without sound on the computer (told once each).\n"
        << "told=" << toldCards.join(QLatin1Char(',')) << "\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}

QString VoicePortSettings::portFor(const QString &controlPort) const
{
    const QString mark = QString::fromLatin1(kControlPortMark);
    if (!port.contains(mark))
        return port;
    if (controlPort.isEmpty())
        return {};
    QString path = port;
    return path.replace(mark, controlPort);
}

}  // namespace calls
