#pragma once

#include <QString>

// Takes the event header and the athletes of the ten slots from an xlsx sheet.
class AthleteImport
{
public:
    // Loads the workbook at path and, when it loads, replaces the event header entries whose
    // cells are filled and the whole athlete block. Returns false and changes nothing when the
    // file is not an xlsx workbook or its current sheet has no cells to read (a chart sheet);
    // *why then tells the organiser why, in a sentence that names the file.
    static bool load(const QString& path, QString* why = nullptr);
};
