#include "Styles.h"

#include <QHash>
#include <QXmlStreamReader>

namespace QXlsx {

Styles::NumberKind Styles::kindOfBuiltIn(int id)
{
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) ||
        (id >= 50 && id <= 58))
        return Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 33) || (id >= 45 && id <= 47))
        return Time;
    if (id == 22)
        return DateTime;
    return Plain;
}

Styles::NumberKind Styles::kindOfFormatCode(const QString& code)
{
    // Only the first section (positive numbers) decides; quoted text, escaped characters and
    // bracketed parts (colours, locales, conditions) are not format letters. An elapsed-time
    // part such as [h] makes it a time.
    bool date = false;
    bool time = false;
    bool month = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (ch == u';')
            break;
        if (ch == u'"') {
            const int end = int(code.indexOf(u'"', i + 1));
            if (end < 0)
                break;
            i = end;
            continue;
        }
        if (ch == u'\\' || ch == u'_' || ch == u'*') {
            ++i;
            continue;
        }
        if (ch == u'[') {
            const int end = int(code.indexOf(u']', i + 1));
            if (end < 0)
                break;
            const QString inner = code.mid(i + 1, end - i - 1).toLower();
            if (!inner.isEmpty() && (inner[0] == u'h' || inner[0] == u'm' || inner[0] == u's') &&
                inner.count(inner[0]) == inner.size())
                time = true;
            i = end;
            continue;
        }
        switch (ch.toLower().unicode()) {
        case u'd':
        case u'y':
            date = true;
            break;
        case u'h':
        case u's':
            time = true;
            break;
        case u'm': // month, or minute when hours or seconds are shown too
            month = true;
            break;
        default:
            break;
        }
    }
    if (month && !time)
        date = true;
    if (date && time)
        return DateTime;
    if (date)
        return Date;
    if (time)
        return Time;
    return Plain;
}

bool Styles::load(const QByteArray& xml)
{
    m_kinds.clear();
    m_fonts.clear();
    m_textStyles.clear();
    QHash<int, NumberKind> custom;
    QXmlStreamReader reader(xml);
    bool inFonts = false;
    bool inCellXfs = false;
    const auto isTrue = [](QStringView value) {
        return value.isNull() || value == u"1" || value == u"true";
    };
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = readNextToken(reader);
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.name();
            const QXmlStreamAttributes a = reader.attributes();
            if (name == u"numFmt") {
                custom.insert(a.value(QLatin1String("numFmtId")).toInt(),
                              kindOfFormatCode(a.value(QLatin1String("formatCode")).toString()));
            } else if (name == u"fonts") {
                inFonts = true;
            } else if (name == u"font" && inFonts) {
                m_fonts.append(TextStyle());
            } else if (inFonts && !m_fonts.isEmpty()) {
                // <b/> is bold, <b val="0"/> is not.
                if (name == u"b") {
                    m_fonts.last().bold = isTrue(a.value(QLatin1String("val")));
                } else if (name == u"sz") {
                    bool ok = false;
                    const double size = a.value(QLatin1String("val")).toDouble(&ok);
                    if (ok && size > 0)
                        m_fonts.last().fontSize = size;
                } else if (name == u"name") {
                    m_fonts.last().fontName = a.value(QLatin1String("val")).toString();
                }
            } else if (name == u"cellXfs") {
                inCellXfs = true;
            } else if (name == u"xf" && inCellXfs) {
                const int id = a.value(QLatin1String("numFmtId")).toInt();
                m_kinds.append(custom.contains(id) ? custom.value(id) : kindOfBuiltIn(id));
                m_textStyles.append(m_fonts.value(a.value(QLatin1String("fontId")).toInt()));
            } else if (name == u"alignment" && inCellXfs && !m_textStyles.isEmpty()) {
                const QStringView wrap = a.value(QLatin1String("wrapText"));
                m_textStyles.last().wraps = !wrap.isNull() && isTrue(wrap);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (reader.name() == u"cellXfs")
                inCellXfs = false;
            else if (reader.name() == u"fonts")
                inFonts = false;
        }
    }
    return !reader.hasError();
}

Styles::TextStyle Styles::textStyle(int xf) const
{
    if (xf >= 0 && xf < m_textStyles.size())
        return m_textStyles.at(xf);
    return m_textStyles.value(0, m_fonts.value(0));
}

} // namespace QXlsx
