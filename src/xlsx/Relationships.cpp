#include "Relationships.h"

#include "AbstractOOXmlFile.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace QXlsx {

QString Relationships::relsPathFor(const QString& sourcePath)
{
    const int slash = int(sourcePath.lastIndexOf(u'/'));
    const QString folder = slash < 0 ? QString() : sourcePath.left(slash + 1);
    const QString name = sourcePath.mid(slash + 1);
    return folder + QStringLiteral("_rels/") + name + QStringLiteral(".rels");
}

QString Relationships::resolve(const QString& sourcePath, const QString& target)
{
    QStringList parts;
    if (!target.startsWith(u'/')) {
        parts = sourcePath.split(u'/');
        parts.removeLast(); // the source part's own name
    }
    for (const QString& segment : target.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == QLatin1String("."))
            continue;
        if (segment == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(segment);
    }
    parts.removeAll(QString());
    return parts.join(u'/');
}

bool Relationships::load(const QByteArray& xml, const QString& sourcePath)
{
    m_relationships.clear();
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (AbstractOOXmlFile::readNextToken(reader) != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() != QLatin1String("Relationship"))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        Relationship rel;
        rel.id = attributes.value(QLatin1String("Id")).toString();
        const QStringView type = attributes.value(QLatin1String("Type"));
        rel.type = type.mid(type.lastIndexOf(u'/') + 1).toString();
        if (attributes.value(QLatin1String("TargetMode")) != QLatin1String("External"))
            rel.target = resolve(sourcePath, attributes.value(QLatin1String("Target")).toString());
        m_relationships.append(rel);
    }
    return !reader.hasError();
}

const Relationships::Relationship* Relationships::byId(const QString& id) const
{
    for (const Relationship& rel : m_relationships) {
        if (rel.id == id)
            return &rel;
    }
    return nullptr;
}

const Relationships::Relationship* Relationships::firstOfType(const QString& type) const
{
    for (const Relationship& rel : m_relationships) {
        if (rel.type == type)
            return &rel;
    }
    return nullptr;
}

} // namespace QXlsx
