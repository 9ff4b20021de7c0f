#pragma once

#include <QString>

#include <QXmlStreamReader>

namespace QXlsx {

// A part of the package that this layer understands, known by its path inside the package.
class AbstractOOXmlFile
{
public:
    explicit AbstractOOXmlFile(const QString& filePath) : m_filePath(filePath) {}
    virtual ~AbstractOOXmlFile() = default;

    // The part's path inside the package, without a leading "/" (e.g. "xl/worksheets/sheet1.xml").
    QString filePath() const { return m_filePath; }

    // Reads the next token of a package part. A document type declaration has no place in a
    // package and is where entity expansion attacks live, so it ends the reading as an error.
    static QXmlStreamReader::TokenType readNextToken(QXmlStreamReader& reader);

private:
    QString m_filePath;
};

} // namespace QXlsx
