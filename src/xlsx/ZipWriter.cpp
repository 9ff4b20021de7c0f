#include "ZipWriter.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

namespace QXlsx {

namespace {
// A fixed timestamp for the parts written here, so the same workbook gives the same bytes.
QDateTime defaultTime()
{
    return QDateTime(QDate(1980, 1, 1), QTime(0, 0));
}
} // namespace

ZipWriter::ZipWriter(QIODevice* device) : m_zip(std::make_unique<QuaZip>(device))
{
    m_zip->setUtf8Enabled(true);
    // The caller owns the device (and commits a QSaveFile itself).
    m_zip->setAutoClose(false);
    m_ok = device && m_zip->open(QuaZip::mdCreate);
}

ZipWriter::~ZipWriter()
{
    if (m_zip->isOpen())
        m_zip->close();
}

void ZipWriter::addFile(const QString& name, const QByteArray& data)
{
    if (!m_ok)
        return;
    QuaZipNewInfo info(name);
    info.dateTime = defaultTime();
    QuaZipFile file(m_zip.get());
    if (!file.open(QIODevice::WriteOnly, info)) {
        m_ok = false;
        return;
    }
    if (file.write(data) != data.size())
        m_ok = false;
    file.close();
    if (file.getZipError() != ZIP_OK)
        m_ok = false;
}

void ZipWriter::addRawFile(const QString& name, const QByteArray& compressed, int method, int level,
                           quint32 crc, qint64 uncompressedSize, const QDateTime& dateTime)
{
    if (!m_ok)
        return;
    QuaZipNewInfo info(name);
    info.dateTime = dateTime.isValid() ? dateTime : defaultTime();
    info.uncompressedSize = ulong(uncompressedSize);
    QuaZipFile file(m_zip.get());
    if (!file.open(QIODevice::WriteOnly, info, nullptr, crc, method, level, true)) {
        m_ok = false;
        return;
    }
    if (file.write(compressed) != compressed.size())
        m_ok = false;
    file.close();
    if (file.getZipError() != ZIP_OK)
        m_ok = false;
}

bool ZipWriter::close()
{
    if (!m_zip->isOpen())
        return false;
    m_zip->close();
    if (m_zip->getZipError() != ZIP_OK)
        m_ok = false;
    return m_ok;
}

} // namespace QXlsx
