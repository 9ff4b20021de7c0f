#pragma once

#include <QSizeF>
#include <QString>

class QFontMetricsF;

// How the text of a table cell wraps within the cell's width: at word boundaries, and anywhere
// inside a word too wide for the cell (a long club name without blanks) rather than across the
// next cell. The report and the results workbook measure their cells alike.
class WrappedText
{
public:
    // The text flags that draw text so wrapped, centred in its cell.
    static int flags(const QFontMetricsF& metrics, qreal width, const QString& text);
    // The size the wrapped text takes.
    static QSizeF size(const QFontMetricsF& metrics, qreal width, const QString& text);
    // The number of lines it wraps to; at least one.
    static int lineCount(const QFontMetricsF& metrics, qreal width, const QString& text);
};
