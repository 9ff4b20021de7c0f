#include "ZipReader.h"

#include <QFile>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>
#include <zlib.h>

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
    if (i < 0)
        return false;
    const Entry& entry = m_entries[i];
    const qint64 limit = inflatedLimit(entry.compressedSize);
    if (entry.uncompressedSize > limit || (entry.method != 0 && entry.method != Z_DEFLATED))
        return false;
    QByteArray raw;
    int method = 0;
    int level = 0;
    if (!readRawFile(name, &raw, &method, &level))
        return false;
    QByteArray out;
    if (method == 0) {
        out = std::move(raw);
    } else if (!inflate(raw, entry.uncompressedSize, &out)) {
        return false;
    }
    // A damaged entry: the sizes or the checksum of the central directory do not match.
    if (out.size() != entry.uncompressedSize ||
        crc32_z(0, reinterpret_cast<const Bytef*>(out.constData()), size_t(out.size())) !=
            entry.crc)
        return false;
    *data = std::move(out);
    return true;
}

bool ZipReader::inflate(const QByteArray& compressed, qint64 declaredSize, QByteArray* out)
{
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    // A stream that inflates beyond its declared size is damaged and given up at once; one that
    // declares a large size is checked against the compressed bytes consumed after every chunk,
    // so the declaration alone never makes us hold more than the stream can honestly give.
    const qint64 limit = qMin(inflatedLimit(compressed.size()), declaredSize);
    QByteArray buffer(qMin(qMax(declaredSize, ChunkSize), limit + 1), Qt::Uninitialized);
    qint64 produced = 0;
    qint64 consumed = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (produced == buffer.size()) {
            if (buffer.size() > limit)
                break;
            buffer.resize(qMin(buffer.size() * 2, limit + 1));
        }
        stream.next_in =
            reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData() + consumed));
        stream.avail_in = uInt(qMin<qint64>(compressed.size() - consumed, ChunkSize * 16));
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data() + produced);
        stream.avail_out = uInt(qMin<qint64>(buffer.size() - produced, ChunkSize * 16));
        const uInt inBefore = stream.avail_in;
        const uInt outBefore = stream.avail_out;
        status = ::inflate(&stream, Z_NO_FLUSH);
        consumed += inBefore - stream.avail_in;
        produced += outBefore - stream.avail_out;
        if (status == Z_BUF_ERROR && (inBefore != stream.avail_in || outBefore != stream.avail_out))
            status = Z_OK;
        if (produced > limit || (produced > MaxPartSize && produced > consumed * MaxRatio))
            break; // a bomb: stop at once, long before it could fill memory
        if (status == Z_OK && consumed == compressed.size() && stream.avail_out != 0)
            break; // the stream ends before its end marker
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return false;
    buffer.truncate(produced);
    *out = std::move(buffer);
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
    if (size < 0 || size > MaxInflatedSize) {
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
