#include "TestWorkbook.h"

#include "ZipWriter.h"

#include <QBuffer>
#include <QFile>
#include <QStringList>
#include <zlib.h>

QByteArray TestWorkbook::sheetXml(const QByteArray& sheetData, const QByteArray& before,
                                  const QByteArray& after)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">" +
           before + "<sheetData>" + sheetData + "</sheetData>" + after + "</worksheet>";
}

QByteArray TestWorkbook::sharedStringsXml(const QStringList& strings)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<sst xmlns=\"http://schemas."
                     "openxmlformats.org/spreadsheetml/2006/main\">";
    for (const QString& s : strings)
        xml += "<si><t>" + s.toHtmlEscaped().toUtf8() + "</t></si>";
    return xml + "</sst>";
}

TestWorkbook::Parts TestWorkbook::workbook(const QList<QPair<QString, QByteArray>>& sheets,
                                           int activeTab, const QByteArray& sharedStrings,
                                           const QByteArray& styles)
{
    QByteArray types = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Types xmlns=\"http://"
                       "schemas.openxmlformats.org/package/2006/content-types\"><Default "
                       "Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package."
                       "relationships+xml\"/><Default Extension=\"xml\" ContentType=\"application/"
                       "xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                       "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
    QByteArray book = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<workbook xmlns=\"http://"
                      "schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"http://"
                      "schemas.openxmlformats.org/officeDocument/2006/relationships\"><bookViews>"
                      "<workbookView activeTab=\"" +
                      QByteArray::number(activeTab) + "\"/></bookViews><sheets>";
    QByteArray rels = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"http://"
                      "schemas.openxmlformats.org/package/2006/relationships\">";
    const QByteArray relBase =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
    Parts parts;
    for (int i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        types += "<Override PartName=\"/xl/worksheets/sheet" + n +
                 ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                 "spreadsheetml.worksheet+xml\"/>";
        book += "<sheet name=\"" + sheets[i].first.toHtmlEscaped().toUtf8() + "\" sheetId=\"" + n +
                "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + relBase +
                "worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        parts.append({QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1), sheets[i].second});
    }
    if (!sharedStrings.isEmpty()) {
        types += "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd."
                 "openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
        rels += "<Relationship Id=\"rIdS\" Type=\"" + relBase +
                "sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.append({QStringLiteral("xl/sharedStrings.xml"), sharedStrings});
    }
    if (!styles.isEmpty()) {
        types += "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd."
                 "openxmlformats-officedocument.spreadsheetml.styles+xml\"/>";
        rels += "<Relationship Id=\"rIdT\" Type=\"" + relBase + "styles\" Target=\"styles.xml\"/>";
        parts.append({QStringLiteral("xl/styles.xml"), styles});
    }
    parts.prepend({QStringLiteral("xl/_rels/workbook.xml.rels"), rels + "</Relationships>"});
    parts.prepend({QStringLiteral("xl/workbook.xml"), book + "</sheets></workbook>"});
    parts.prepend({QStringLiteral("_rels/.rels"),
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"http://"
                   "schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
                   "Id=\"rId1\" Type=\"" +
                       relBase + "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    parts.prepend({QStringLiteral("[Content_Types].xml"), types + "</Types>"});
    return parts;
}

QByteArray TestWorkbook::bytes(const Parts& parts)
{
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QXlsx::ZipWriter zip(&buffer);
    for (const auto& part : parts)
        zip.addFile(part.first, part.second);
    return zip.close() ? out : QByteArray();
}

bool TestWorkbook::write(const QString& path, const Parts& parts)
{
    const QByteArray data = bytes(parts);
    QFile file(path);
    return !data.isEmpty() && file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray TestWorkbook::deflatedBlanks(qint64 size, quint32* crc)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    const QByteArray chunk(1 << 20, ' ');
    QByteArray out;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    uLong sum = crc32(0, nullptr, 0);
    for (qint64 done = 0; done < size;) {
        const qint64 n = qMin<qint64>(chunk.size(), size - done);
        done += n;
        sum = crc32(sum, reinterpret_cast<const Bytef*>(chunk.constData()), uInt(n));
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.constData()));
        stream.avail_in = uInt(n);
        const int flush = done < size ? Z_NO_FLUSH : Z_FINISH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            deflate(&stream, flush);
            out.append(buffer.constData(), buffer.size() - int(stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    *crc = quint32(sum);
    return out;
}
