#pragma once

#include <QString>

namespace QXlsx {

class Document
{
public:
    explicit Document(const QString& name);
    bool load() const { return false; }
};

} // namespace QXlsx
