#pragma once

#include "AbstractOOXmlFile.h"

#include <QByteArray>
#include <QList>

namespace QXlsx {

// What this layer needs of the style sheet: which cell styles show a number as a date or time.
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

    using AbstractOOXmlFile::AbstractOOXmlFile;

    bool load(const QByteArray& xml);
    // How a number in a cell of style index xf is shown; Plain for an unknown index.
    NumberKind numberKind(int xf) const { return m_kinds.value(xf, Plain); }

    static NumberKind kindOfBuiltIn(int numFmtId);
    static NumberKind kindOfFormatCode(const QString& code);

private:
    QList<NumberKind> m_kinds;
};

} // namespace QXlsx
