#pragma once

#include <QByteArray>

namespace QXlsx {

// The package of a new, empty workbook with one worksheet "Sheet1".
class BlankWorkbook
{
public:
    static QByteArray package();
};

} // namespace QXlsx
