#include "XmlText.h"

#include <QStringDecoder>
#include <cctype>

namespace QXlsx {

namespace {

bool isXmlChar(char32_t u)
{
    return u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) ||
           (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
}

QString hexEscape(char32_t u)
{
    return QStringLiteral("_x%1_")
        .arg(uint(u), 4, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QLatin1String("_X"), QLatin1String("_x"));
}

} // namespace

// Escapes text for element content. Characters XML cannot carry are written in the workbook's
// own _xHHHH_ form, and an underscore that would read as such an escape is escaped itself.
QString XmlText::escape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        char32_t u = ch.unicode();
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += ch;
            out += text[++i];
            continue;
        }
        if (ch.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
            continue;
        }
        switch (u) {
        case u'&':
            out += QLatin1String("&amp;");
            continue;
        case u'<':
            out += QLatin1String("&lt;");
            continue;
        case u'>':
            out += QLatin1String("&gt;");
            continue;
        case u'\r':
            out += QLatin1String("&#13;");
            continue;
        case u'_': {
            const QStringView rest = QStringView(text).mid(i);
            if (rest.size() >= 7 && rest[1] == u'x' && rest[6] == u'_') {
                bool hex = true;
                for (int k = 2; k < 6; ++k)
                    hex = hex && isxdigit(rest[k].toLatin1());
                if (hex) {
                    out += QLatin1String("_x005F_");
                    continue;
                }
            }
            break;
        }
        default:
            break;
        }
        if (!isXmlChar(u))
            out += hexEscape(u);
        else
            out += ch;
    }
    return out;
}

void XmlText::appendUtf8(QString& out, QByteArrayView utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    const qsizetype start = out.size();
    out.resize(start + utf8.size()); // UTF-16 never needs more units than UTF-8 has bytes
    QChar* end = decoder.appendToBuffer(out.data() + start, utf8);
    out.resize(end - out.constData());
}

QString XmlText::decode(const QString& text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = true;
            for (int k = 2; k < 6; ++k)
                ok = ok && text[i + k].unicode() < 128 && isxdigit(text[i + k].toLatin1());
            if (ok) {
                const uint code = QStringView(text).mid(i + 2, 4).toUInt(nullptr, 16);
                out += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace QXlsx
