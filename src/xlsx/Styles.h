#pragma once

#include "AbstractOOXmlFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace QXlsx {

// What this layer needs of the style sheet: which cell styles show a number as a date or time,
// and in which font and whether wrapped they show text.
class Styles : public AbstractOOXmlFile
{
public:
    enum NumberKind
    {
        Plain,
        Date,
        Time,
        DateTime
    };

    // How a cell style shows text.
    struct TextStyle
    {
        QString fontName;
        double fontSize = 11; // points; what spreadsheet programs take when none is given
        bool bold = false;
        bool wraps = false; // lines break at the cell's width
    };

    using AbstractOOXmlFile::AbstractOOXmlFile;

    bool load(const QByteArray& xml);
    // How a number in a cell of style index xf is shown; Plain for an unknown index.
    NumberKind numberKind(int xf) const { return m_kinds.value(xf, Plain); }
    // The text style of cell style index xf; the first style's for an unknown index.
    TextStyle textStyle(int xf) const;

    static NumberKind kindOfBuiltIn(int numFmtId);
    static NumberKind kindOfFormatCode(const QString& code);

private:
    QList<NumberKind> m_kinds;
    QList<TextStyle> m_fonts; // only the font fields are filled
    QList<TextStyle> m_textStyles;
};

} // namespace QXlsx
