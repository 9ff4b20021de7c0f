#pragma once

#include <QObject>

// The results output: race results as PDF pages, on a printer and as an xlsx workbook.
class PrintManager : public QObject
{
    Q_OBJECT

public:
    explicit PrintManager(QObject* parent = nullptr);
    ~PrintManager() override;
};
