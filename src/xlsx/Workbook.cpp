#include "Workbook.h"

#include "Relationships.h"
#include "SharedStrings.h"
#include "Styles.h"
#include "Worksheet.h"
#include "ZipReader.h"

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

bool Workbook::load(const ZipReader& zip)
{
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

    if (const Relationships::Relationship* rel =
            rels.firstOfType(QStringLiteral("sharedStrings"))) {
        QByteArray data;
        m_sharedStrings = std::make_unique<SharedStrings>(rel->target);
        if (zip.contains(rel->target) &&
            (!zip.readFile(rel->target, &data) || !m_sharedStrings->load(data)))
            return false;
    }
    if (const Relationships::Relationship* rel = rels.firstOfType(QStringLiteral("styles"))) {
        QByteArray data;
        m_styles = std::make_unique<Styles>(rel->target);
        if (zip.contains(rel->target) &&
            (!zip.readFile(rel->target, &data) || !m_styles->load(data)))
            return false;
    }
    return true;
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
