#include "AbstractOOXmlFile.h"

namespace QXlsx {

QXmlStreamReader::TokenType AbstractOOXmlFile::readNextToken(QXmlStreamReader& reader)
{
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::DTD) {
        reader.raiseError(QStringLiteral("Document type declarations are not allowed"));
        return QXmlStreamReader::Invalid;
    }
    return token;
}

} // namespace QXlsx
