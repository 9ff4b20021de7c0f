#pragma once

#include <QByteArrayView>
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
    // Appends UTF-8 text as it is. Unlike QString::fromUtf8 a leading U+FEFF is kept: here it is
    // a character of the text, not a byte order mark.
    static void appendUtf8(QString& out, QByteArrayView utf8);
};

} // namespace QXlsx
