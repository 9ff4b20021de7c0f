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
    return d->workbook->loadedSheet(d->workbook->activeSheetIndex());
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
    if (!sheet) {
        // The sheet's cells cannot be read: a copy without them would pass for a filled one, so
        // the save is refused from now on.
        d->writeRefused = true;
        return false;
    }
    return sheet->write(row, column, value);
}

double Document::rowHeight(int row) const
{
    const Worksheet* sheet = currentWorksheet();
    return sheet ? sheet->rowHeight(row) : 0;
}

bool Document::setRowHeight(int rowFirst, int rowLast, double height)
{
    Worksheet* sheet = currentWorksheet();
    if (!sheet) {
        d->writeRefused = true; // as for a cell: the copy would not be the one asked for
        return false;
    }
    return sheet->setRowHeight(rowFirst, rowLast, height);
}

bool Document::saveAs(const QString& fileName) const
{
    QByteArray package;
    if (!savePackage(&package))
        return false;
    // Written beside the target and renamed over it only when complete: a failed save leaves
    // the file of that name as it was. commit() alone would rename a file whose last bytes never
    // reached the disk (a full one), so the flush is checked first.
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(package) == package.size() &&
           file.flush() && file.commit();
}

bool Document::saveAs(QIODevice* device) const
{
    QByteArray package;
    return device && savePackage(&package) && device->write(package) == package.size();
}

bool Document::savePackage(QByteArray* package) const
{
    if (!d->workbook || d->writeRefused)
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
        // What is written must read back as a sheet with the written cells in place.
        if (changedXml.isEmpty() || !changed->isSavedXml(changedXml))
            return false;
    } else {
        changed = nullptr;
    }

    // The package is put together in memory and checked before anything reaches the disk.
    QBuffer target(package);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    ZipWriter writer(&target);
    int replaced = 0;
    for (const ZipReader::Entry& entry : zip.entries()) {
        if (changed && entry.name.compare(changed->filePath(), Qt::CaseInsensitive) == 0) {
            writer.addFile(entry.name, changedXml);
            ++replaced;
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
    // Two parts by the name of the sheet would leave it unclear which one a reader takes.
    if (!writer.close() || (changed && replaced != 1))
        return false;
    target.close();
    if (changed) {
        target.open(QIODevice::ReadOnly);
        const ZipReader written(&target);
        QByteArray back;
        if (!written.isReadable() || written.entries().size() != zip.entries().size() ||
            !written.readFile(changed->filePath(), &back) || back != changedXml)
            return false;
    }
    return true;
}

} // namespace QXlsx
