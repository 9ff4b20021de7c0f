#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTextStream>

// Appends lines to the text logs in the folder "logs" beside the application bundle. Every
// line opens, appends and closes its file, so nothing is lost when the program is killed, and
// a log that cannot be written loses its line silently: a race must never stop for a log.
class LogWriter
{
public:
    // The "logs" folder three levels above the executable's folder.
    static QString logFolder();

    // Appends the local time, then every part as a default text stream writes it, then "\n".
    template <typename... Parts> static void append(const QString& fileName, const Parts&... parts)
    {
        QFile file;
        if (!open(file, fileName))
            return;
        QTextStream out(&file);
        out << timeStamp();
        (out << ... << parts);
        out << '\n';
    }

private:
    static bool open(QFile& file, const QString& fileName);
    static QString timeStamp();
};
