#include "ResultWorkbook.h"

#include "Document.h"
#include "Format.h"
#include "RaceResultTable.h"
#include "RaceTables.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

struct EventCell
{
    int row;
    int column;
    EventEntry entry;
};

// The cells the athlete import reads the event header from, except the phone: the import
// takes it from F4, the result workbook keeps it in G4.
constexpr EventCell kEventCells[] = {
    {1, 3, organiserName}, {3, 3, organiserAddress}, {4, 3, organiserEmail}, {4, 7, organiserPhone},
    {7, 1, eventName},     {7, 3, eventDate},        {7, 5, eventPlace}};

constexpr int kTitleRow = 10;

} // namespace

QString ResultWorkbook::templatePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/printTemplate.xlsx");
}

ResultWorkbook::Outcome ResultWorkbook::write(const QString& templateFile,
                                              const QList<QStringList>& rows,
                                              const QStringList& event, const QString& path)
{
    QXlsx::Document document(templateFile);
    if (!document.load())
        return NoTemplate;
    if (rows.isEmpty())
        return NoRows;

    // Every value is text, so a name like "=1+1" or "http://..." stays what was typed.
    const QXlsx::Format keepStyle;
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList& row = rows.at(i);
        for (int c = 0; c < RaceResultTable::ColumnCount && c < row.size(); ++c)
            document.write(kTitleRow + i, c + 1, QVariant(row.at(c)), keepStyle);
    }
    for (const EventCell& cell : kEventCells)
        document.write(cell.row, cell.column, QVariant(event.value(cell.entry)), keepStyle);
    return document.saveAs(path) ? Saved : NotSaved;
}

QString ResultWorkbook::freeName(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return path;
    const QString stem = info.absolutePath() + u'/' + info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int i = 1;; ++i) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(stem, QString::number(i), suffix);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}
