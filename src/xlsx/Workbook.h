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
// the style sheet says about dates.
class Workbook : public AbstractOOXmlFile
{
public:
    explicit Workbook(const QString& filePath = QStringLiteral("xl/workbook.xml"));
    ~Workbook() override;

    // Reads the workbook, its relationships, shared strings and styles (not yet the sheets).
    bool load(const ZipReader& zip);

    int sheetCount() const { return int(m_sheets.size()); }
    // The sheet at index in tab order; null for an index out of range.
    Worksheet* sheet(int index) const;
    QStringList worksheetNames() const;
    int activeSheetIndex() const { return m_activeSheet; }
    bool isDate1904() const { return m_date1904; }
    const SharedStrings* sharedStrings() const { return m_sharedStrings.get(); }
    const Styles* styles() const { return m_styles.get(); }

private:
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    std::unique_ptr<SharedStrings> m_sharedStrings;
    std::unique_ptr<Styles> m_styles;
    int m_activeSheet = 0;
    bool m_date1904 = false;
};

} // namespace QXlsx
