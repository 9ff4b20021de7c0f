#include "Workbook.h"

#include "Relationships.h"
#include "SharedStrings.h"
#include "Styles.h"
#include "Worksheet.h"
#include "ZipReader.h"

#include <QBuffer>
#include <QXmlStreamReader>

namespace QXlsx {

namespace {
constexpr int MaxSheets = 65536;

struct SheetEntry
{
    QString name;
    QString relationshipId;
};
} // namespace

Workbook::Workbook(const QString& filePath) : AbstractOOXmlFile(filePath) {}

Workbook::~Workbook() = default;

bool Workbook::load(const ZipReader& zip, const QByteArray& package)
{
    m_package = package;
    QByteArray xml;
    if (!zip.readFile(filePath(), &xml))
        return false;

    QList<SheetEntry> entries;
    QXmlStreamReader reader(xml);
    bool rootSeen = false;
    while (!reader.atEnd()) {
        if (readNextToken(reader) != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = reader.name();
        if (!rootSeen) {
            if (name != u"workbook")
                return false;
            rootSeen = true;
            continue;
        }
        const QXmlStreamAttributes attributes = reader.attributes();
        if (name == u"sheet") {
            SheetEntry entry;
            entry.name = attributes.value(QLatin1String("name")).toString();
            // r:id, whichever prefix and relationships namespace (transitional or strict) it has.
            for (const QXmlStreamAttribute& a : attributes) {
                if (a.name() == u"id" && !a.namespaceUri().isEmpty())
                    entry.relationshipId = a.value().toString();
            }
            if (entries.size() >= MaxSheets)
                return false;
            entries.append(entry);
        } else if (name == u"workbookView") {
            bool ok = false;
            const int tab = attributes.value(QLatin1String("activeTab")).toInt(&ok);
            m_activeSheet = ok ? tab : 0;
        } else if (name == u"workbookPr") {
            const QStringView v = attributes.value(QLatin1String("date1904"));
            m_date1904 = v == u"1" || v == u"true";
        }
    }
    if (reader.hasError() || !rootSeen || entries.isEmpty())
        return false;

    Relationships rels;
    QByteArray relsXml;
    if (!zip.readFile(Relationships::relsPathFor(filePath()), &relsXml) ||
        !rels.load(relsXml, filePath()))
        return false;

    for (const SheetEntry& entry : entries) {
        const Relationships::Relationship* rel = rels.byId(entry.relationshipId);
        if (!rel || rel->target.isEmpty())
            return false;
        m_sheets.push_back(std::make_unique<Worksheet>(rel->target, entry.name,
                                                       rel->type != QLatin1String("worksheet")));
    }
    if (m_activeSheet < 0 || m_activeSheet >= int(m_sheets.size()))
        m_activeSheet = 0;

    m_sheetFailed.assign(m_sheets.size(), false);
    if (const Relationships::Relationship* rel = rels.firstOfType(QStringLiteral("sharedStrings")))
        m_sharedStringsPath = rel->target;
    if (const Relationships::Relationship* rel = rels.firstOfType(QStringLiteral("styles")))
        m_stylesPath = rel->target;
    return true;
}

bool Workbook::loadSharedParts(const ZipReader& zip)
{
    if (m_sharedParts != 0)
        return m_sharedParts > 0;
    m_sharedParts = -1;
    QByteArray data;
    if (!m_sharedStringsPath.isEmpty()) {
        m_sharedStrings = std::make_unique<SharedStrings>(m_sharedStringsPath);
        if (zip.contains(m_sharedStringsPath) &&
            (!zip.readFile(m_sharedStringsPath, &data) || !m_sharedStrings->load(data)))
            return false;
    }
    if (!m_stylesPath.isEmpty()) {
        m_styles = std::make_unique<Styles>(m_stylesPath);
        if (zip.contains(m_stylesPath) &&
            (!zip.readFile(m_stylesPath, &data) || !m_styles->load(data)))
            return false;
    }
    m_sharedParts = 1;
    return true;
}

Worksheet* Workbook::loadedSheet(int index)
{
    Worksheet* worksheet = sheet(index);
    if (!worksheet || worksheet->isChartsheet() || m_sheetFailed[size_t(index)])
        return nullptr;
    if (worksheet->isLoaded())
        return worksheet;
    // A sheet that cannot be read stays refused: it is not tried again on every cell.
    m_sheetFailed[size_t(index)] = true;
    QBuffer buffer;
    buffer.setData(m_package);
    if (!buffer.open(QIODevice::ReadOnly))
        return nullptr;
    const ZipReader zip(&buffer);
    QByteArray xml;
    if (!zip.isReadable() || !loadSharedParts(zip) || !zip.readFile(worksheet->filePath(), &xml) ||
        !worksheet->load(xml, m_sharedStrings.get(), m_styles.get(), m_date1904))
        return nullptr;
    m_sheetFailed[size_t(index)] = false;
    return worksheet;
}

Worksheet* Workbook::sheet(int index) const
{
    if (index < 0 || index >= int(m_sheets.size()))
        return nullptr;
    return m_sheets[size_t(index)].get();
}

QStringList Workbook::worksheetNames() const
{
    QStringList names;
    for (const auto& sheet : m_sheets)
        names.append(sheet->name());
    return names;
}

} // namespace QXlsx
