#include "DocumentPrivate.h"

#include "Relationships.h"
#include "Worksheet.h"
#include "ZipReader.h"

#include <QBuffer>

namespace QXlsx {

bool DocumentPrivate::loadPackage(const QByteArray& bytes)
{
    workbook.reset();
    package.clear();
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return false;
    ZipReader zip(&buffer);
    if (!zip.isReadable())
        return false;

    // The workbook part is found through the package relationships.
    QString workbookPath;
    Relationships rels;
    QByteArray relsXml;
    if (!zip.readFile(QStringLiteral("_rels/.rels"), &relsXml) || !rels.load(relsXml, QString()))
        return false;
    if (const Relationships::Relationship* rel = rels.firstOfType(QStringLiteral("officeDocument")))
        workbookPath = rel->target;
    if (workbookPath.isEmpty())
        return false;

    auto book = std::make_unique<Workbook>(workbookPath);
    if (!book->load(zip, bytes))
        return false;
    // The current sheet's cells are read when one is first asked for; only its part must be
    // there, so that a package without it is no workbook.
    const Worksheet* current = book->sheet(book->activeSheetIndex());
    if (!current || !zip.contains(current->filePath()))
        return false;
    workbook = std::move(book);
    package = bytes;
    return true;
}

} // namespace QXlsx
