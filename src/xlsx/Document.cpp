#include "Document.h"

namespace QXlsx {

Document::Document(const QString& name)
{
    Q_UNUSED(name);
}

} // namespace QXlsx
