#include "Document.h"

#include "BlankWorkbook.h"
#include "DocumentPrivate.h"
#include "Format.h"
#include "Worksheet.h"
#include "ZipReader.h"
#include "ZipWriter.h"

#include <QBuffer>
#include <QFile>
#include <QSaveFile>

namespace QXlsx {

Document::Document(QObject* parent) : QObject(parent), d(std::make_unique<DocumentPrivate>())
{
    d->loadPackage(BlankWorkbook::package());
}

Document::Document(const QString& name, QObject* parent)
    : QObject(parent), d(std::make_unique<DocumentPrivate>())
{
    d->fileName = name;
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly) || file.size() > DocumentPrivate::MaxPackageSize)
        return;
    const QByteArray bytes = file.read(DocumentPrivate::MaxPackageSize + 1);
    if (bytes.size() > DocumentPrivate::MaxPackageSize)
        return;
    d->loaded = d->loadPackage(bytes);
}

Document::~Document() = default;

bool Document::load() const
{
    return d->loaded;
}

Workbook* Document::workbook() const
{
    return d->workbook.get();
}

Worksheet* Document::currentWorksheet() const
{
    if (!d->workbook)
        return nullptr;
    Worksheet* sheet = d->workbook->sheet(d->workbook->activeSheetIndex());
    return sheet && sheet->isLoaded() ? sheet : nullptr;
}

QVariant Document::read(int row, int column) const
{
    const Worksheet* sheet = currentWorksheet();
    return sheet ? sheet->read(row, column) : QVariant();
}

bool Document::write(int row, int column, const QVariant& value, const Format& format)
{
    Q_UNUSED(format); // every Format is empty: the cell keeps its style
    Worksheet* sheet = currentWorksheet();
    return sheet && sheet->write(row, column, value);
}

bool Document::saveAs(const QString& fileName) const
{
    if (!d->workbook)
        return false;
    QBuffer source;
    source.setData(d->package);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    ZipReader zip(&source);
    if (!zip.isReadable())
        return false;

    const Worksheet* changed = currentWorksheet();
    QByteArray changedXml;
    if (changed && changed->isModified()) {
        changedXml = changed->saveXml();
        if (changedXml.isEmpty())
            return false;
    } else {
        changed = nullptr;
    }

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    ZipWriter writer(&file);
    for (const ZipReader::Entry& entry : zip.entries()) {
        if (changed && entry.name.compare(changed->filePath(), Qt::CaseInsensitive) == 0) {
            writer.addFile(entry.name, changedXml);
            continue;
        }
        // Every other part is copied as stored: the same compressed bytes, CRC and size.
        QByteArray raw;
        int method = 0;
        int level = 0;
        if (!zip.readRawFile(entry.name, &raw, &method, &level))
            return false;
        writer.addRawFile(entry.name, raw, method, level, entry.crc, entry.uncompressedSize,
                          entry.dateTime);
    }
    if (!writer.close())
        return false;
    return file.commit();
}

} // namespace QXlsx
