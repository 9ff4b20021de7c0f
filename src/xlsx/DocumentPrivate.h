#pragma once

#include "Workbook.h"

#include <QByteArray>
#include <QSharedPointer>
#include <QString>
#include <memory>

namespace QXlsx {

class DocumentPrivate
{
public:
    // The largest package file that is opened: 64 MiB.
    static constexpr qint64 MaxPackageSize = qint64(64) * 1024 * 1024;

    bool loadPackage(const QByteArray& bytes);

    QString fileName;
    QByteArray package; // the package as read, for copying its parts on save
    std::unique_ptr<Workbook> workbook;
    bool loaded = false;
    bool writeRefused = false;
    // A whole package held in memory for the streaming reader. Nothing fills it yet.
    QSharedPointer<QByteArray> packageBytes;
};

} // namespace QXlsx
