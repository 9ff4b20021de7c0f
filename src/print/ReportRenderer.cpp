#include "ReportRenderer.h"

#include "RaceResultTable.h"
#include "RaceTables.h"
#include "WrappedText.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

namespace {

const QString kReportFamily = QStringLiteral("Segoe UI");
constexpr qreal kInset = 36;
constexpr qreal kTableTop = 241;
constexpr qreal kTitleRowHeight = 34;
constexpr qreal kDataRowHeight = 30;

const QColor kAddressColour(60, 60, 60);
const QColor kEventColour(50, 50, 50);
const QColor kBorderColour(200, 200, 200);
const QColor kOddRowColour(248, 248, 248);
const QColor kTableTextColour(40, 40, 40);
const QColor kFooterColour(100, 100, 100);

// The painter's font as measured on its device: the printer's 150 dpi make a 9-point text
// wider than the screen's.
QFontMetricsF deviceMetrics(const QPainter& painter)
{
    return QFontMetricsF(painter.font(), painter.device());
}

QPageLayout reportLayout(QPageLayout layout)
{
    layout.setOrientation(QPageLayout::Landscape);
    layout.setUnits(QPageLayout::Point);
    layout.setMargins(QMarginsF(36, 36, 36, 36));
    return layout;
}

} // namespace

QFont makeReportFont(const QString& family, int pointSize, bool bold)
{
    QString chosen = QFont().family();
    if (QFontDatabase::hasFamily(family))
        chosen = family;
    else if (QFontDatabase::hasFamily(QStringLiteral("Arial")))
        chosen = QStringLiteral("Arial");
    QFont font(chosen);
    font.setPointSize(pointSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    return font;
}

ReportRenderer::Limits ReportRenderer::limits(const QSizeF& window)
{
    const qreal larger = qMax(window.width(), window.height());
    const qreal smaller = qMin(window.width(), window.height());
    if (smaller < 500 || larger < 700)
        return {770, 499};
    return {larger - 72, smaller - 36 - 60};
}

void ReportRenderer::setUpPrinter(QPrinter& printer)
{
    printer.setResolution(150);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageLayout(reportLayout(printer.pageLayout()));
}

void ReportRenderer::setUpPdfWriter(QPdfWriter& writer)
{
    writer.setResolution(150);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageLayout(reportLayout(writer.pageLayout()));
}

QSize ReportRenderer::logoSize(const QSize& image)
{
    return image.scaled(120, 40, Qt::KeepAspectRatio);
}

QList<qreal> ReportRenderer::fitColumns(QList<qreal> widths, qreal contentWidth)
{
    qreal sum = 0;
    for (qreal w : widths)
        sum += w;
    if (sum <= 0 || widths.isEmpty())
        return widths;
    if (sum < contentWidth) {
        for (qreal& w : widths)
            w *= contentWidth / sum;
        return widths;
    }
    // Too wide: the narrow columns keep their measured width and the widest share what is
    // left equally, so the long club or name wraps inside its own cell.
    QList<qreal> sorted = widths;
    std::sort(sorted.begin(), sorted.end());
    qreal remaining = contentWidth;
    qreal cap = sorted.last();
    for (int i = 0; i < sorted.size(); ++i) {
        const qreal share = remaining / (sorted.size() - i);
        if (sorted.at(i) > share) {
            cap = share;
            break;
        }
        remaining -= sorted.at(i);
    }
    for (qreal& w : widths)
        w = qMin(w, cap);
    return widths;
}

ReportRenderer::ReportRenderer(const QList<QStringList>& rows, const QStringList& event,
                               const QImage& logo)
    : m_rows(rows), m_event(event), m_logo(logo)
{}

void ReportRenderer::render(QPainter& painter, QPagedPaintDevice& device) const
{
    if (m_rows.isEmpty())
        return;

    const QPageLayout layout = reportLayout(device.pageLayout());
    // A printer refuses a new layout while it is printing; set it only when it differs.
    if (!device.pageLayout().isEquivalentTo(layout))
        device.setPageLayout(layout);

    const QRect window = painter.window();
    const Limits page = limits(QSizeF(window.width(), window.height()));
    const QList<qreal> widths = measureColumns(painter, page.width);

    drawHeader(painter, page.width);

    const QFont titleFont = makeReportFont(kReportFamily, 9, true);
    const QFont dataFont = makeReportFont(kReportFamily, 9, false);
    qreal y = kTableTop;
    for (int r = 0; r < m_rows.size(); ++r) {
        painter.setFont(r == 0 ? titleFont : dataFont);
        const qreal h =
            rowHeight(painter, m_rows.at(r), widths, r == 0 ? kTitleRowHeight : kDataRowHeight);
        if (y + h > page.bottom) {
            device.newPage();
            y = kInset;
        }
        drawRow(painter, r, y, h, widths);
        y += h;
    }
    drawFooter(painter, page);
}

QList<qreal> ReportRenderer::measureColumns(QPainter& painter, qreal contentWidth) const
{
    // Measured on the device itself: its 150 dpi make a 9-point text wider than the screen's.
    const QFontMetricsF metrics(makeReportFont(kReportFamily, 9, false), painter.device());
    QList<qreal> widths;
    for (int c = 0; c < RaceResultTable::ColumnCount; ++c) {
        qreal width = 50;
        for (const QStringList& row : m_rows) {
            if (c < row.size())
                width = qMax(width, qCeil(metrics.horizontalAdvance(row.at(c))) + 20.0);
        }
        widths.append(width + 15);
    }
    return fitColumns(widths, contentWidth);
}

void ReportRenderer::drawHeader(QPainter& painter, qreal contentWidth) const
{
    if (!m_logo.isNull()) {
        const QSize size = logoSize(m_logo.size());
        painter.drawImage(QRect(36, 66, size.width(), size.height()), m_logo);
    }

    const int flags = Qt::AlignLeft | Qt::AlignVCenter;
    const QFont headingFont = makeReportFont(kReportFamily, 14, true);
    const QFont smallFont = makeReportFont(kReportFamily, 8, false);
    const qreal blockWidth = contentWidth - 132;

    painter.setFont(headingFont);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(168, 36, blockWidth, 36), flags, m_event.value(organiserName));

    painter.setFont(smallFont);
    painter.setPen(kAddressColour);
    painter.drawText(QRectF(168, 76, blockWidth, 22), flags, m_event.value(organiserAddress));
    painter.drawText(QRectF(168, 101, blockWidth, 22), flags,
                     QStringLiteral("Email: %1  |  Phone: %2")
                         .arg(m_event.value(organiserEmail), m_event.value(organiserPhone)));

    painter.setFont(headingFont);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(36, 126, contentWidth, 36), flags, QStringLiteral("Event Summary"));

    painter.setFont(makeReportFont(kReportFamily, 9, false));
    painter.setPen(kEventColour);
    painter.drawText(
        QRectF(36, 166, contentWidth, 26), flags,
        QStringLiteral("%1  |  Date: %2  |  Place: %3")
            .arg(m_event.value(eventName), m_event.value(eventDate), m_event.value(eventPlace)));

    painter.setFont(headingFont);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(36, 196, contentWidth, 36), flags, QStringLiteral("Race Details"));
}

qreal ReportRenderer::rowHeight(QPainter& painter, const QStringList& row,
                                const QList<qreal>& widths, qreal minimum) const
{
    // A row keeps its height unless a wrapped cell needs more lines than fit in it.
    qreal height = minimum;
    const QFontMetricsF metrics = deviceMetrics(painter);
    for (int c = 0; c < RaceResultTable::ColumnCount && c < row.size(); ++c) {
        const qreal textHeight = WrappedText::size(metrics, widths.at(c) - 12, row.at(c)).height();
        if (textHeight > minimum - 4)
            height = qMax(height, qCeil(textHeight) + 8.0);
    }
    return height;
}

void ReportRenderer::drawRow(QPainter& painter, int index, qreal y, qreal h,
                             const QList<qreal>& widths) const
{
    const QStringList& row = m_rows.at(index);
    const QFontMetricsF metrics = deviceMetrics(painter);
    qreal x = kInset;
    for (int c = 0; c < RaceResultTable::ColumnCount && c < row.size(); ++c) {
        const QRectF cell(x, y, widths.at(c), h);
        const QRectF textRect(x + 6, y + 2, widths.at(c) - 12, h - 4);
        const int flags = WrappedText::flags(metrics, textRect.width(), row.at(c));
        if (index == 0) {
            painter.fillRect(cell, Qt::darkGray);
            painter.setPen(Qt::white);
            painter.drawText(textRect, flags, row.at(c));
            painter.setPen(kBorderColour);
            painter.drawRect(cell);
        } else {
            painter.fillRect(cell, index % 2 == 1 ? kOddRowColour : QColor(Qt::white));
            painter.setPen(kBorderColour);
            painter.drawRect(cell);
            painter.setPen(kTableTextColour);
            painter.drawText(textRect, flags, row.at(c));
        }
        x += widths.at(c);
    }
}

void ReportRenderer::drawFooter(QPainter& painter, const Limits& limits) const
{
    const int flags = Qt::AlignLeft | Qt::AlignVCenter;
    painter.setFont(makeReportFont(kReportFamily, 9, true));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(36, limits.bottom, limits.width * 0.5, 22), flags,
                     m_event.value(organiserName));
    painter.setFont(makeReportFont(kReportFamily, 8, false));
    painter.setPen(kFooterColour);
    painter.drawText(QRectF(36, limits.bottom + 25, limits.width, 22), flags,
                     QStringLiteral("This document was generated by %1 company.")
                         .arg(m_event.value(organiserName)));
}
