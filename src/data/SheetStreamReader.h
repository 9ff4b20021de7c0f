#pragma once

// The streaming sheet reader of the workbook layer: one pass over a worksheet's XML that hands
// every cell to a callback, without building a cell table. Nothing in the application calls
// it; it is offered to outside callers next to Document's cell access.

#include "Document.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

namespace QXlsx {

class ZipReader;

struct sax_options
{
    // Replace a shared-string cell's index by its text.
    bool resolveSharedStrings = true;
    // A cell's formula makes it a text cell holding the formula (a stored result still wins).
    bool formulasAsText = false;
    // Stop at the end of sheetData instead of reading the rest of the sheet.
    bool stopAfterSheetData = true;
};

struct sax_cell
{
    QString extra;     // always empty
    qint32 row = 0;    // from 1
    qint32 column = 0; // from 1
    QVariant value;    // a text, a real number or a bool
};

// Streams one sheet part. sharedStrings may be null. False when the XML is not well formed
// (a document type declaration counts as not well formed); true when the callback stopped it.
bool read_sheet_xml_sax(const QByteArray& sheetXml, const sax_options& options,
                        const QList<QString>* sharedStrings, sax_callback callback);

// Every string of "xl/sharedStrings.xml", runs joined; what was read before an XML error. At
// most SharedStrings::MaxCount (2^22) strings are read.
QStringList load_shared_strings_all(ZipReader& zip);

// "B12" -> row 12, column 2. Upper-case letters only, within A1:XFD1048576; either pointer may
// be null.
bool parse_cell_ref(const QString& ref, int* row, int* column);
// The column of the leading upper-case letters (0 when there are none or beyond XFD); consumed
// gets the number of letters.
int parse_col_letters(const QStringView& letters, int* consumed);

namespace internal {
// The same streaming on QXmlStreamReader: what read_sheet_xml_sax uses for a sheet in another
// encoding than UTF-8, and the reference its own scanner is fuzzed against.
bool readSheetXmlWithQt(const QByteArray& sheetXml, const sax_options& options,
                        const QList<QString>* sharedStrings, const sax_callback& callback);
} // namespace internal

} // namespace QXlsx
