#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Fills a copy of the result template beside the program with the result table and the event
// header, and saves it under a new name; the template itself is never changed. The rows written
// into are made as tall as their wrapped texts need.
class ResultWorkbook
{
public:
    // "printTemplate.xlsx" in the executable's folder.
    static QString templatePath();
    enum Outcome
    {
        Saved,
        NoTemplate, // the template is missing or cannot be read
        NoRows,     // nothing to write
        NotSaved    // the workbook could not be put together or saved under path
    };

    // Writes the table at row 10 onwards and the seven event cells and saves under path, whole
    // or not at all. When the file system refused the file, *why says why.
    static Outcome write(const QString& templateFile, const QList<QStringList>& rows,
                         const QStringList& event, const QString& path, QString* why = nullptr);
    // path when no file of that name exists, else "name (1).xlsx", "name (2).xlsx", ...
    static QString freeName(const QString& path);
};
