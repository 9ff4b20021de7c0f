#include "ZipReader.h"

#include <QFile>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

namespace QXlsx {

namespace {
// More entries than any workbook has; a central directory claiming more is not a workbook.
constexpr int MaxEntries = 100000;
constexpr qint64 ChunkSize = 64 * 1024;
} // namespace

ZipReader::ZipReader(QIODevice* device)
{
    open(device);
}

ZipReader::ZipReader(const QString& filePath) : m_ownDevice(std::make_unique<QFile>(filePath))
{
    if (m_ownDevice->open(QIODevice::ReadOnly))
        open(m_ownDevice.get());
}

ZipReader::~ZipReader()
{
    if (m_zip)
        m_zip->close();
}

void ZipReader::open(QIODevice* device)
{
    if (!device)
        return;
    m_zip = std::make_unique<QuaZip>(device);
    m_zip->setAutoClose(false);
    // Part names inside an xlsx package are UTF-8, whatever the flag in the entry says.
    m_zip->setFileNameCodec("UTF-8");
    if (!m_zip->open(QuaZip::mdUnzip))
        return;
    const int count = m_zip->getEntriesCount();
    if (count < 0 || count > MaxEntries)
        return;
    for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
        QuaZipFileInfo64 info;
        if (!m_zip->getCurrentFileInfo(&info))
            return;
        Entry e;
        e.name = info.name;
        e.crc = info.crc;
        e.compressedSize = qint64(info.compressedSize);
        e.uncompressedSize = qint64(info.uncompressedSize);
        e.method = info.method;
        e.dateTime = info.dateTime;
        m_entries.append(e);
        if (m_entries.size() > MaxEntries)
            return;
    }
    if (m_zip->getZipError() != UNZ_OK)
        return;
    m_readable = true;
}

QStringList ZipReader::filePaths() const
{
    QStringList names;
    names.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        names.append(e.name);
    return names;
}

int ZipReader::indexOf(const QString& name) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name == name)
            return i;
    }
    // Part names are case-insensitive in a package.
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool ZipReader::select(const QString& name) const
{
    const int i = indexOf(name);
    if (!m_readable || i < 0)
        return false;
    return m_zip->setCurrentFile(m_entries[i].name, QuaZip::csSensitive);
}

QByteArray ZipReader::fileData(const QString& name) const
{
    QByteArray data;
    if (!readFile(name, &data))
        return QByteArray();
    return data;
}

bool ZipReader::readFile(const QString& name, QByteArray* data) const
{
    data->clear();
    const int i = indexOf(name);
    if (i < 0 || m_entries[i].uncompressedSize > MaxPartSize || !select(name))
        return false;
    QuaZipFile file(m_zip.get());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The sizes in the headers may lie: read in chunks and stop at the cap ourselves.
    QByteArray out;
    out.reserve(int(qMin<qint64>(m_entries[i].uncompressedSize, MaxPartSize)));
    char buffer[ChunkSize];
    bool ok = true;
    for (;;) {
        const qint64 n = file.read(buffer, ChunkSize);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (out.size() + n > MaxPartSize) {
            ok = false;
            break;
        }
        out.append(buffer, n);
    }
    file.close();
    // A damaged entry (bad CRC, truncated stream) is reported when it is closed.
    if (!ok || file.getZipError() != UNZ_OK)
        return false;
    *data = std::move(out);
    return true;
}

bool ZipReader::readRawFile(const QString& name, QByteArray* data, int* method, int* level) const
{
    data->clear();
    if (!select(name))
        return false;
    QuaZipFile file(m_zip.get());
    if (!file.open(QIODevice::ReadOnly, method, level, true))
        return false;
    const qint64 size = file.csize();
    if (size < 0 || size > MaxPartSize) {
        file.close();
        return false;
    }
    QByteArray out(size, Qt::Uninitialized);
    const qint64 n = size > 0 ? file.read(out.data(), size) : 0;
    file.close();
    if (n != size || file.getZipError() != UNZ_OK)
        return false;
    *data = std::move(out);
    return true;
}

} // namespace QXlsx
