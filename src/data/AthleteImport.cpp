#include "AthleteImport.h"

#include "Document.h"
#include "RaceTables.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Sheet cells of the event header, in the order of the event_data entries.
struct EventCell
{
    int row;
    int column;
    EventEntry entry;
};
constexpr EventCell eventCells[] = {
    {1, 3, organiserName},    // C1
    {3, 3, organiserAddress}, // C3
    {4, 3, organiserEmail},   // C4
    {4, 6, organiserPhone},   // F4 (the result file writes the phone to G4)
    {7, 1, eventName},        // A7
    {7, 3, eventDate},        // C7
    {7, 5, eventPlace},       // E7
};
constexpr int firstAthleteRow = 11;
constexpr int athleteColumns = 8; // A to H: "No" to "DOB"

} // namespace

bool AthleteImport::load(const QString& path, QString* why)
{
    const QXlsx::Document document(path);
    const QString name = QDir::toNativeSeparators(path);
    // The file dialog offers ".xls" files too: the older format is named as such, so that the
    // organiser knows what to do with it.
    if (!document.load()) {
        if (why &&
            QFileInfo(path).suffix().compare(QStringLiteral("xls"), Qt::CaseInsensitive) == 0)
            *why = QStringLiteral("\"%1\" is an Excel 97-2003 workbook (.xls). Only xlsx workbooks "
                                  "can be read: open it in your spreadsheet program, save it as an "
                                  "Excel workbook (.xlsx) and import that file.")
                       .arg(name);
        else if (why)
            *why = QStringLiteral("\"%1\" could not be read as an xlsx workbook.").arg(name);
        return false;
    }
    // A current sheet without cells to read (a chart sheet, or one that cannot be read) would
    // empty every athlete cell: it changes nothing, like a file that is not a workbook.
    if (!document.currentWorksheet()) {
        if (why)
            *why = QStringLiteral("\"%1\" opens on a sheet without cells to read, such as a chart. "
                                  "Save it with the athletes' sheet shown and import it again.")
                       .arg(name);
        return false;
    }

    for (const EventCell& cell : eventCells) {
        const QString text = document.read(cell.row, cell.column).toString();
        if (!text.isEmpty() && cell.entry < event_data.size())
            event_data[cell.entry] = text;
    }
    // The whole block is replaced, empty cells included, so no athlete of an earlier import
    // stays behind; the console address, state and results columns are left alone. A sheet of
    // fewer than ten athletes leaves its lane cells empty below the last one: those slots keep
    // their lane numbers, which no field of the set-up page can put back and the race and the
    // results show.
    for (int slot = 0; slot < SlotCount && slot + 1 < global_data.size(); ++slot) {
        QStringList& row = global_data[slot + 1];
        for (int column = 0; column < athleteColumns && column < row.size(); ++column) {
            const QString text = document.read(firstAthleteRow + slot, column + 1).toString();
            row[column] = column == ColNo && text.isEmpty() ? QString::number(slot + 1) : text;
        }
    }
    return true;
}
