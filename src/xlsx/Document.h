#pragma once

// The application's own minimal workbook layer: the small part of an xlsx library that the
// athlete import and the result export need (open a package, read the cells of the current
// sheet, write cells into a copy), on QuaZip and Qt's XML streams. Only this subset exists.

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class QIODevice;

namespace QXlsx {

class DocumentPrivate;
class Format;
class Workbook;
class Worksheet;
struct sax_options; // SheetStreamReader.h
struct sax_cell;    // SheetStreamReader.h
using sax_callback = std::function<bool(const sax_cell&)>;

class Document : public QObject
{
    Q_OBJECT

public:
    // A new workbook with one empty worksheet, not read from any file.
    explicit Document(QObject* parent = nullptr);
    // Opens and reads the package at name. When that fails the document has no workbook.
    explicit Document(const QString& name, QObject* parent = nullptr);
    ~Document() override;

    // Whether the package named at construction was read.
    bool load() const;

    // A cell of the current sheet (the one the workbook marks active), row and column from 1.
    // Invalid for an empty or missing cell, or without a workbook. See Worksheet::read.
    QVariant read(int row, int column) const;
    // Sets a cell of the current sheet. Text is stored as text, never as a formula.
    bool write(int row, int column, const QVariant& value, const Format& format);
    // A row's height in points on the current sheet; 0 when it has none. See Worksheet.
    double rowHeight(int row) const;
    // Gives rows of the current sheet a fixed height in points.
    bool setRowHeight(int rowFirst, int rowLast, double height);
    // Writes the whole package to fileName: the parts not changed are copied unchanged. The file
    // is written beside its target and put in place only once complete.
    bool saveAs(const QString& fileName) const;
    // The same package, written to an open device.
    bool saveAs(QIODevice* device) const;

    Workbook* workbook() const;
    Worksheet* currentWorksheet() const;

    // The streaming reader (SheetStreamReader.cpp): walks one sheet of the package as stored in
    // the file and hands each cell to callback, without building the cell table.
    bool read_sheet_sax(int sheetIndex, const sax_options& options, sax_callback callback) const;
    bool read_sheet_sax(const QString& sheetName, const sax_options& options,
                        sax_callback callback) const;

private:
    bool savePackage(QByteArray* package) const;

    std::unique_ptr<DocumentPrivate> d;
};

} // namespace QXlsx
