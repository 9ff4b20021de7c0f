#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace QXlsx {

// The relationships of one package part (its "_rels/*.rels" part), with targets resolved to
// part paths inside the package.
class Relationships
{
public:
    struct Relationship
    {
        QString id;
        QString type;   // the last segment of the type URI, e.g. "worksheet"
        QString target; // the resolved part path, empty for an external target
    };

    // The relationships part that belongs to the part at sourcePath ("" for the package).
    static QString relsPathFor(const QString& sourcePath);
    // Resolves target against the folder of sourcePath, as package part names are resolved.
    static QString resolve(const QString& sourcePath, const QString& target);

    // False when the XML is not well formed.
    bool load(const QByteArray& xml, const QString& sourcePath);
    const QList<Relationship>& all() const { return m_relationships; }
    const Relationship* byId(const QString& id) const;
    const Relationship* firstOfType(const QString& type) const;

private:
    QList<Relationship> m_relationships;
};

} // namespace QXlsx
