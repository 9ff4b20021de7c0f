#pragma once

#include <QImage>
#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// Reads a written PDF back with poppler-utils, as an organiser's PDF viewer would show it.
namespace PdfProbe {

inline QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int pages(const QString& pdf)
{
    const QRegularExpression pagesLine(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                       QRegularExpression::MultilineOption);
    const auto match = pagesLine.match(run(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text of one page (0: every page), white space collapsed to single blanks.
inline QString text(const QString& pdf, int page = 0)
{
    QStringList arguments = {QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    return run(QStringLiteral("pdftotext"), arguments << pdf << QStringLiteral("-")).simplified();
}

// One page drawn at dpi dots per inch, as a viewer shows it.
inline QImage picture(const QString& pdf, int page, int dpi)
{
    const QString stem = pdf + QStringLiteral("-page%1").arg(page);
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page),
         QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, stem});
    return QImage(stem + QStringLiteral(".png"));
}

struct Word
{
    QString text;
    QRectF box; // points, origin top left of the page
};

inline QList<Word> words(const QString& pdf)
{
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">"
        "([^<]*)</word>"));
    QList<Word> result;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        const QPointF topLeft(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF bottomRight(m.captured(3).toDouble(), m.captured(4).toDouble());
        result.append({m.captured(5), QRectF(topLeft, bottomRight)});
    }
    return result;
}

} // namespace PdfProbe
