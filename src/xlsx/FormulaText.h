#pragma once

#include <QString>

namespace QXlsx {

// The text of a cell formula in A1 notation, as a workbook stores it (without the leading "=").
class FormulaText
{
public:
    // The formula as it reads when copied rows down and columns right (negative: up, left):
    // relative references move, "$" references stay, as when a formula is filled. Texts, sheet
    // names, function names, structured references and error literals are left as they are. A
    // reference moved off the sheet becomes #REF!.
    static QString shifted(const QString& formula, int rows, int columns);
};

} // namespace QXlsx
