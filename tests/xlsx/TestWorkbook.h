#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Builds xlsx packages part by part for the tests, so that no test depends on a binary file.
class TestWorkbook
{
public:
    using Parts = QList<QPair<QString, QByteArray>>;

    // A worksheet part around the given sheetData content (and anything placed before it).
    static QByteArray sheetXml(const QByteArray& sheetData, const QByteArray& before = {},
                               const QByteArray& after = {});
    // A shared string table of plain strings.
    static QByteArray sharedStringsXml(const QStringList& strings);
    // The parts of a workbook whose sheets are given in tab order as (name, sheet XML).
    static Parts workbook(const QList<QPair<QString, QByteArray>>& sheets, int activeTab = 0,
                          const QByteArray& sharedStrings = {}, const QByteArray& styles = {});
    static bool write(const QString& path, const Parts& parts);
    static QByteArray bytes(const Parts& parts);
    // A deflate stream that inflates to size bytes of blanks, built without holding them.
    static QByteArray deflatedBlanks(qint64 size, quint32* crc);
};
