#pragma once

#include "AbstractOOXmlFile.h"
#include "CellReference.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

namespace QXlsx {

class SharedStrings;
class Styles;

// One sheet of the workbook. A worksheet's cells are read into memory when it is loaded; a save
// rewrites only the cells that were written, splicing them into the part's own XML so that
// everything else in it (rows, formulas, merged cells, page set-up) stays exactly as it was.
// A sheet whose structure would let a splice cut across elements (a cell inside a cell, a row
// outside sheetData's own children) is refused when it is loaded.
class Worksheet : public AbstractOOXmlFile
{
public:
    // The most cells (and the most rows) one loaded worksheet may hold: 2^20.
    static constexpr int MaxCells = 1 << 20;

    Worksheet(const QString& filePath, const QString& name, bool isChartsheet);

    QString name() const { return m_name; }
    bool isChartsheet() const { return m_isChartsheet; }
    bool isLoaded() const { return m_loaded; }

    // Reads the cells of the part. False for XML that is not well formed, a cell reference
    // outside A1:XFD1048576, more than MaxCells cells, a part not in UTF-8, or elements where a
    // sheet has none (anything but rows in sheetData, but cells in a row, a cell in a cell).
    bool load(const QByteArray& xml, const SharedStrings* sharedStrings, const Styles* styles,
              bool date1904);

    // The cell's value: a text, a number (a whole number as an integer), a bool, or for a
    // date-styled number a QDate, QTime or QDateTime; invalid for an empty or missing cell.
    QVariant read(int row, int column) const;
    bool write(int row, int column, const QVariant& value);
    // The style index (into the style sheet's cell formats) a cell shows with: its own, else
    // its row's or its column's; -1 for none.
    int cellStyle(int row, int column) const;
    // A row's height in points, as set or as the part gives it; 0 when it has none (the program
    // showing the sheet chooses).
    double rowHeight(int row) const;
    // Gives the rows a fixed height in points.
    bool setRowHeight(int rowFirst, int rowLast, double height);
    // A column's width in characters as the part gives it; 0 when it gives none.
    double columnWidth(int column) const;
    QList<CellRange> mergedCells() const { return m_merges; }
    bool isModified() const { return !m_written.isEmpty() || !m_rowHeights.isEmpty(); }
    // The part's XML with the written cells in place; empty when it cannot be produced. When a
    // written cell anchored a shared formula, the cells that shared it and are not written get
    // the formula written out in full, moved to their place.
    QByteArray saveXml() const;
    // Whether xml, made by saveXml(), reads back as a sheet holding the written values.
    bool isSavedXml(const QByteArray& xml) const;

    static QByteArray blankXml();

private:
    struct Cell
    {
        QVariant value;
        qint32 tagEnd = -1; // offset just after the start tag; the tag begins at the '<' before
        qint32 end = -1;    // offset just after the element
        qint32 style = -1;
    };
    struct Row
    {
        int number = 0;
        qint32 tagEnd = -1;
        qint32 end = -1;
        qint32 style = -1;
        qint32 firstCell = 0; // into m_cellColumns
        qint32 cellCount = 0;
        double height = 0;
    };
    struct Column
    {
        int first = 0;
        int last = 0;
        int style = -1;
        double width = 0;
    };
    // A cell's <f t="shared"> element; the one with a range is the anchor holding the text.
    struct SharedFormula
    {
        quint64 cell = 0;
        int index = -1; // si
        qint32 tagEnd = -1;
        qint32 end = -1;
    };
    struct SharedAnchor
    {
        quint64 cell = 0;
        QString text;
    };
    struct Edit
    {
        qint32 position = 0;
        qint32 removed = 0;
        QString text;
    };

    static quint64 key(int row, int column)
    {
        return (quint64(quint32(row)) << 32) | quint32(column);
    }
    void clear();
    bool parse(const SharedStrings* sharedStrings, const Styles* styles, bool date1904);
    int inheritedStyle(const Row* row, int column) const;
    QString qualified(const QString& localName) const;
    QString cellXml(int row, int column, const QVariant& value, int style) const;
    QString rowXml(int row, const QList<int>& columns) const;
    QString heightAttributes(int row) const;
    const Row* findRow(int number) const;
    QString dimensionXml() const;

    QString m_name;
    bool m_isChartsheet = false;
    bool m_loaded = false;
    QByteArray m_xml; // the part as read, without a byte order mark
    bool m_hasBom = false;

    QHash<quint64, Cell> m_cells;
    QList<Row> m_rows;
    QList<qint32> m_cellColumns; // columns of the cells of each row, in document order
    QList<Column> m_columns;
    QList<CellRange> m_merges;
    QString m_prefix; // namespace prefix of the sheet's elements
    qint32 m_sheetDataTagEnd = -1;
    qint32 m_sheetDataEnd = -1;
    qint32 m_dimensionTagEnd = -1;
    qint32 m_dimensionEnd = -1;
    QString m_dimensionName;
    int m_dimension[4] = {0, 0, 0, 0}; // first row, first column, last row, last column

    QList<SharedFormula> m_sharedFormulas;
    QHash<int, SharedAnchor> m_sharedAnchors; // by si

    QMap<quint64, QVariant> m_written; // in row, then column order
    QMap<int, double> m_rowHeights;    // set since loading, by row
};

} // namespace QXlsx
