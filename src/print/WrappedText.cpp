#include "WrappedText.h"

#include <QFontMetricsF>
#include <QRectF>

namespace {

// Tall enough for any cell's text: only the width limits it.
QRectF column(qreal width)
{
    return QRectF(0, 0, width, 1e6);
}

} // namespace

int WrappedText::flags(const QFontMetricsF& metrics, qreal width, const QString& text)
{
    const int wordWrap = Qt::AlignCenter | Qt::TextWordWrap;
    const QRectF bounds = metrics.boundingRect(column(width), wordWrap, text);
    return bounds.width() > width + 0.5 ? int(Qt::AlignCenter | Qt::TextWrapAnywhere) : wordWrap;
}

QSizeF WrappedText::size(const QFontMetricsF& metrics, qreal width, const QString& text)
{
    return metrics.boundingRect(column(width), flags(metrics, width, text), text).size();
}

int WrappedText::lineCount(const QFontMetricsF& metrics, qreal width, const QString& text)
{
    return qMax(1, qRound(size(metrics, width, text).height() / metrics.lineSpacing()));
}
