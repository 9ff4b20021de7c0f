#pragma once

#include "AbstractOOXmlFile.h"

#include <QByteArray>
#include <QStringList>

namespace QXlsx {

// The workbook's shared string table: position in the list = the index a cell refers to.
class SharedStrings : public AbstractOOXmlFile
{
public:
    // The most strings a table may hold: 2^22. Each costs memory well beyond its few bytes of
    // XML, so the part size cap alone would not bound a table of empty strings.
    static constexpr int MaxCount = 1 << 22;

    using AbstractOOXmlFile::AbstractOOXmlFile;

    // Rich-text runs of one string are joined; phonetic guide runs are not part of the text.
    // False for XML that is not well formed or more than MaxCount strings.
    bool load(const QByteArray& xml);
    const QStringList& strings() const { return m_strings; }
    int count() const { return int(m_strings.size()); }
    QString at(int index) const { return m_strings.value(index); }

private:
    QStringList m_strings;
};

} // namespace QXlsx
