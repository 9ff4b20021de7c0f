#include "ExampleSheet.h"

#include "Document.h"
#include "Format.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QVariant>

namespace {

struct Cell
{
    int row;
    int column;
    QVariant value;
};

} // namespace

bool ExampleSheet::write(const QString& path)
{
    QList<Cell> cells = {
        // Captions: the import reads none of these cells.
        {1, 1, "Organiser"}, {3, 1, "Address"}, {4, 1, "E-mail"}, {4, 5, "Phone"},
        {6, 1, "Event"}, {6, 3, "Date"}, {6, 5, "Place"},
        // The organiser and event lines.
        {1, 3, "Split Kayak Club"}, {3, 3, "Obala 12, 21000 Split"},
        {4, 3, "races@splitkayak.example"}, {4, 6, "+385 21 555 0199"},
        {7, 1, "Winter Ergo Cup"}, {7, 3, "2027-01-16"}, {7, 5, "Spaladium Arena"}};
    const QStringList titles = {"No",  "First Name", "Surname", "Club",
                                "M/F", "Cat",        "Weight",  "DOB"};
    for (int column = 0; column < titles.size(); ++column)
        cells.append({10, column + 1, titles[column]});
    const QList<QStringList> athletes = {
        {"Ana", "Horvat", "KK Split", "F", "Senior", "62", "1999-03-14"},
        {"Ivan", "Kovac", "KK Split", "M", "Senior", "81", "1997-11-02"},
        {"Marta", "Babic", "KK Jadran", "F", "U23", "58", "2004-06-21"},
        {"Luka", "Novak", "KK Jadran", "M", "U23", "76", "2005-01-09"},
        {"Petra", "Juric", "KK Mornar", "F", "Junior", "55", "2009-08-30"},
        {"Marko", "Peric", "KK Mornar", "M", "Junior", "70", "2008-12-05"}};
    for (int slot = 0; slot < athletes.size(); ++slot) {
        cells.append({11 + slot, 1, slot + 1}); // the lane, as a number
        for (int column = 0; column < athletes[slot].size(); ++column)
            cells.append({11 + slot, column + 2, athletes[slot][column]});
    }

    QXlsx::Document sheet;
    const QXlsx::Format plain;
    for (const Cell& cell : std::as_const(cells))
        if (!sheet.write(cell.row, cell.column, cell.value, plain))
            return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return sheet.saveAs(path);
}
