#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace QXlsx {

// An "A1"-style cell address. Only upper-case column letters are accepted and the address must
// lie inside the largest sheet a workbook may hold (XFD1048576): anything else is not a cell.
class CellReference
{
public:
    static constexpr int MaxRow = 1048576;
    static constexpr int MaxColumn = 16384;

    // Reads the leading run of upper-case letters as a column (A = 1, AA = 27). Returns 0 when
    // there is no letter or the column lies beyond XFD; *consumed gets the number of letters.
    static int parseColumn(QStringView letters, int* consumed = nullptr);
    // Reads a whole reference such as "B12". Either pointer may be null.
    static bool parse(QStringView ref, int* row, int* column);
    // The same for a reference in ASCII or UTF-8 bytes.
    static bool parse(QByteArrayView ref, int* row, int* column);

    static QString columnName(int column);
    static QString toString(int row, int column);
    static bool isValid(int row, int column)
    {
        return row >= 1 && row <= MaxRow && column >= 1 && column <= MaxColumn;
    }
};

// A rectangle of cells, such as a merged range; rows and columns from 1, bounds included.
struct CellRange
{
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;
};

} // namespace QXlsx
