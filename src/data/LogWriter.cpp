#include "LogWriter.h"

#include <QCoreApplication>
#include <QDir>

QString LogWriter::logFolder()
{
    QDir dir(QCoreApplication::applicationDirPath());
    // On macOS this leaves the bundle; a step that fails simply stays where it is.
    dir.cdUp();
    dir.cdUp();
    dir.cdUp();
    return dir.filePath(QStringLiteral("logs"));
}

bool LogWriter::open(QFile& file, const QString& fileName)
{
    const QString folder = logFolder();
    QDir dir(folder);
    if (!dir.exists())
        QDir().mkpath(folder);
    file.setFileName(folder + QLatin1Char('/') + fileName);
    return file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text);
}

QString LogWriter::timeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
