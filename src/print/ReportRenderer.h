#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class QPdfWriter;
class QPrinter;

// The report's typeface: family when the font database has it, else "Arial", else the
// application's default family.
QFont makeReportFont(const QString& family, int pointSize, bool bold);

// Draws the results report (logo, organiser block, event line, the result table over as many
// pages as it needs, footer on the last page) in the device pixels of the printer or the PDF
// writer.
class ReportRenderer
{
public:
    // Content width W and bottom limit B for a painter window of the given size.
    struct Limits
    {
        qreal width = 0;
        qreal bottom = 0;
    };

    static Limits limits(const QSizeF& window);
    // 150 dpi, A4, landscape, 36-point margins: the same pages for the PDF and the printer.
    static void setUpPrinter(QPrinter& printer);
    static void setUpPdfWriter(QPdfWriter& writer);
    // The logo's size in its 120 x 40 box.
    static QSize logoSize(const QSize& image);
    // Column widths fitted to the content width: short tables are stretched to fill it, wide
    // ones are narrowed, widest first, so the table never runs off the page.
    static QList<qreal> fitColumns(QList<qreal> widths, qreal contentWidth);

    ReportRenderer(const QList<QStringList>& rows, const QStringList& event, const QImage& logo);

    // The painter must be active on device; rows must not be empty.
    void render(QPainter& painter, QPagedPaintDevice& device) const;

private:
    QList<qreal> measureColumns(QPainter& painter, qreal contentWidth) const;
    void drawHeader(QPainter& painter, qreal contentWidth) const;
    qreal rowHeight(QPainter& painter, const QStringList& row, const QList<qreal>& widths,
                    qreal minimum) const;
    void drawRow(QPainter& painter, int index, qreal y, qreal h, const QList<qreal>& widths) const;
    void drawFooter(QPainter& painter, const Limits& limits) const;

    QList<QStringList> m_rows;
    QStringList m_event;
    QImage m_logo;
};
