#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

class QIODevice;
class QuaZip;

namespace QXlsx {

// Writes a new zip package entry by entry, either from plain bytes (deflated here) or from an
// entry's compressed bytes taken as they are from another package.
class ZipWriter
{
public:
    // The device must be open for writing and stay alive until close().
    explicit ZipWriter(QIODevice* device);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool isWritable() const { return m_ok; }
    void addFile(const QString& name, const QByteArray& data);
    void addRawFile(const QString& name, const QByteArray& compressed, int method, int level,
                    quint32 crc, qint64 uncompressedSize, const QDateTime& dateTime);
    // Writes the central directory; false when anything on the way failed.
    bool close();

private:
    std::unique_ptr<QuaZip> m_zip;
    bool m_ok = false;
};

} // namespace QXlsx
