#pragma once

#include "AbstractOOXmlFile.h"

#include <QStringList>
#include <memory>
#include <vector>

namespace QXlsx {

class SharedStrings;
class Styles;
class Worksheet;
class ZipReader;

// The workbook part: its sheets in tab order, which one is active, the shared strings and what
// the style sheet says about dates. Opening it reads only the workbook part and its
// relationships; a sheet's cells, and the shared strings and styles they need, are read from the
// package when a cell of that sheet is first asked for.
class Workbook : public AbstractOOXmlFile
{
public:
    explicit Workbook(const QString& filePath = QStringLiteral("xl/workbook.xml"));
    ~Workbook() override;

    // Reads the workbook part and its relationships. package is kept (shared, not copied) for
    // reading the sheets' cells later; it must be the package zip reads.
    bool load(const ZipReader& zip, const QByteArray& package = QByteArray());

    int sheetCount() const { return int(m_sheets.size()); }
    // The sheet at index in tab order, its cells not necessarily read; null for an index out of
    // range.
    Worksheet* sheet(int index) const;
    // The same sheet with its cells read, reading them on the first call; null for an index out
    // of range, a sheet without cells (a chart sheet) or one whose cells cannot be read.
    Worksheet* loadedSheet(int index);
    QStringList worksheetNames() const;
    int activeSheetIndex() const { return m_activeSheet; }
    bool isDate1904() const { return m_date1904; }
    // Null until the first sheet's cells were read (or when the workbook has none).
    const SharedStrings* sharedStrings() const { return m_sharedStrings.get(); }
    const Styles* styles() const { return m_styles.get(); }

private:
    bool loadSharedParts(const ZipReader& zip);

    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    std::vector<bool> m_sheetFailed;
    QByteArray m_package;
    QString m_sharedStringsPath;
    QString m_stylesPath;
    std::unique_ptr<SharedStrings> m_sharedStrings;
    std::unique_ptr<Styles> m_styles;
    int m_sharedParts = 0; // 0 not read yet, 1 read, -1 damaged
    int m_activeSheet = 0;
    bool m_date1904 = false;
};

} // namespace QXlsx
