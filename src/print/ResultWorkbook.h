#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Fills a copy of the result template beside the program with the result table and the event
// header, and saves it under a new name; the template itself is never changed.
class ResultWorkbook
{
public:
    // "printTemplate.xlsx" in the executable's folder.
    static QString templatePath();
    // Writes the table at row 10 onwards and the seven event cells; false when nothing could
    // be saved (no template, no rows, the file not writable).
    static bool write(const QString& templateFile, const QList<QStringList>& rows,
                      const QStringList& event, const QString& path);
    // path when no file of that name exists, else "name (1).xlsx", "name (2).xlsx", ...
    static QString freeName(const QString& path);
};
