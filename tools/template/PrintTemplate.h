#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// The result workbook template: one sheet with the organiser block (C1, C3, C4, phone in G4),
// the event line (A7, C7, E7) and the result table (titles in row 10, ten places in rows 11 to
// 20), styled and sized for A4 landscape. The program fills a copy of it after each race.
class PrintTemplate
{
public:
    using Parts = QList<QPair<QString, QByteArray>>;

    static Parts parts();
    static bool write(const QString& path);

private:
    static QByteArray contentTypes();
    static QByteArray packageRelationships();
    static QByteArray workbook();
    static QByteArray workbookRelationships();
    static QByteArray styles();
    static QByteArray sheet();
    static QByteArray coreProperties();
    static QByteArray appProperties();
};
