#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class QIODevice;
class QuaZip;

namespace QXlsx {

// Read access to the entries of a zip package. Every entry is inflated in chunks and given up
// as soon as it outgrows what its compressed size can honestly give, so a small hostile file can
// never make us hold gigabytes, while a large sheet of a few million cells still reads.
class ZipReader
{
public:
    // Up to this inflated size a part is read whatever its compression ratio: 64 MiB.
    static constexpr qint64 MaxPartSize = qint64(64) * 1024 * 1024;
    // Beyond it, a part may inflate to at most MaxRatio times the compressed bytes consumed so
    // far. Sheet XML compresses about 5 to 30 times; a bomb about a thousand times.
    static constexpr qint64 MaxRatio = 100;
    // No part, however it compresses, inflates beyond 1 GiB (offsets into a part are 32-bit).
    static constexpr qint64 MaxInflatedSize = qint64(1) << 30;
    // The largest inflated size allowed for an entry of this compressed size.
    static qint64 inflatedLimit(qint64 compressedSize)
    {
        if (compressedSize >= MaxInflatedSize / MaxRatio)
            return MaxInflatedSize;
        return qMax(MaxPartSize, compressedSize * MaxRatio);
    }

    struct Entry
    {
        QString name;
        quint32 crc = 0;
        qint64 compressedSize = 0;
        qint64 uncompressedSize = 0;
        quint16 method = 0;
        QDateTime dateTime;
    };

    // The device must stay open and alive while the reader is used.
    explicit ZipReader(QIODevice* device);
    explicit ZipReader(const QString& filePath);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    bool isReadable() const { return m_readable; }
    QStringList filePaths() const;
    const QList<Entry>& entries() const { return m_entries; }
    bool contains(const QString& name) const { return indexOf(name) >= 0; }

    // The inflated bytes of an entry; empty when it is missing, damaged or too large.
    QByteArray fileData(const QString& name) const;
    // As fileData, but tells a missing or failed read (false) from an empty entry (true).
    bool readFile(const QString& name, QByteArray* data) const;
    // The entry's compressed bytes as stored, for copying it unchanged into another package.
    bool readRawFile(const QString& name, QByteArray* data, int* method, int* level) const;

private:
    // Inflates a raw deflate stream within inflatedLimit() of its size.
    static bool inflate(const QByteArray& compressed, qint64 declaredSize, QByteArray* out);
    void open(QIODevice* device);
    int indexOf(const QString& name) const;
    bool select(const QString& name) const;

    std::unique_ptr<QIODevice> m_ownDevice;
    std::unique_ptr<QuaZip> m_zip;
    QList<Entry> m_entries;
    bool m_readable = false;
};

} // namespace QXlsx
