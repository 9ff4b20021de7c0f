#include "SharedStrings.h"

#include "XmlText.h"

#include <QXmlStreamReader>

namespace QXlsx {

bool SharedStrings::load(const QByteArray& xml)
{
    m_strings.clear();
    QXmlStreamReader reader(xml);
    QString text;
    bool inItem = false;
    int phoneticDepth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = readNextToken(reader);
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = reader.name();
            if (name == u"si") {
                inItem = true;
                text.clear();
            } else if (name == u"rPh") {
                ++phoneticDepth;
            } else if (name == u"t" && inItem && phoneticDepth == 0) {
                text += reader.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView name = reader.name();
            if (name == u"si" && inItem) {
                if (m_strings.size() >= MaxCount)
                    return false;
                m_strings.append(XmlText::decode(text));
                inItem = false;
            } else if (name == u"rPh" && phoneticDepth > 0) {
                --phoneticDepth;
            }
        }
    }
    return !reader.hasError();
}

} // namespace QXlsx
