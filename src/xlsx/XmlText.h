#pragma once

#include <QString>

namespace QXlsx {

// Cell text as a workbook stores it: XML character escapes plus the workbook's own _xHHHH_
// escape for characters XML cannot carry.
class XmlText
{
public:
    // Text ready for element content.
    static QString escape(const QString& text);
    // Undoes the _xHHHH_ escapes of text read from a cell or a shared string.
    static QString decode(const QString& text);
};

} // namespace QXlsx
