#include "SheetXmlScanner.h"

#include "XmlText.h"

#include <QUtf8StringView>
#include <cstring>

namespace QXlsx {

namespace {

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Names are ASCII here: every element and attribute a workbook uses is, and the rules for the
// rest of Unicode differ between XML editions and parsers.
inline bool isNameStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

inline bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

inline bool isXmlChar(uint u)
{
    return u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u <= 0xD7FF) ||
           (u >= 0xE000 && u <= 0xFFFD) || (u >= 0x10000 && u <= 0x10FFFF);
}

// Reads the reference at p ("&...;"); returns its end (after ';') or null when it is not a
// predefined entity or a character reference to an XML character.
const char* readReference(const char* p, const char* end, uint* code)
{
    const char* semi =
        static_cast<const char*>(memchr(p, ';', size_t(qMin<qsizetype>(end - p, 12))));
    if (!semi)
        return nullptr;
    const QByteArrayView name(p + 1, semi - p - 1);
    if (name == "lt")
        *code = '<';
    else if (name == "gt")
        *code = '>';
    else if (name == "amp")
        *code = '&';
    else if (name == "apos")
        *code = '\'';
    else if (name == "quot")
        *code = '"';
    else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        const QByteArrayView digits = name.sliced(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 8)
            return nullptr;
        uint value = 0;
        for (char c : digits) {
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return nullptr;
            value = value * (hex ? 16 : 10) + uint(d);
        }
        if (!isXmlChar(value))
            return nullptr;
        *code = value;
    } else {
        return nullptr;
    }
    return semi + 1;
}

void appendCode(QString& out, uint code)
{
    if (code < 0x10000) {
        out += QChar(char16_t(code));
    } else {
        out += QChar(QChar::highSurrogate(code));
        out += QChar(QChar::lowSurrogate(code));
    }
}

// No control characters but blanks, and no U+FFFE or U+FFFF (the text is valid UTF-8).
bool onlyXmlChars(QByteArrayView text)
{
    const char* end = text.data() + text.size();
    for (const char* q = text.data(); q < end; ++q) {
        const unsigned char c = static_cast<unsigned char>(*q);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
        if (c == 0xEF && end - q >= 3 && static_cast<unsigned char>(q[1]) == 0xBF &&
            (static_cast<unsigned char>(q[2]) & 0xFE) == 0xBE)
            return false;
    }
    return true;
}

} // namespace

SheetXmlScanner::SheetXmlScanner(const QByteArray& xml)
    : m_begin(xml.constData()), m_p(xml.constData()), m_end(xml.constData() + xml.size())
{
    if (xml.startsWith("\xEF\xBB\xBF"))
        m_p += 3;
    m_start = m_p;
    // UTF-16 (with or without a byte order mark) is left to QXmlStreamReader.
    if (xml.startsWith("\xFE\xFF") || xml.startsWith("\xFF\xFE") ||
        (xml.size() > 1 && xml[0] == 0) || (xml.size() > 1 && xml[1] == 0)) {
        m_supported = false;
        return;
    }
    const QByteArrayView rest(m_p, m_end - m_p);
    if (rest.startsWith("<?xml") && rest.size() > 5 && isBlank(rest[5])) {
        const qsizetype close = rest.indexOf("?>");
        const QByteArrayView declaration = rest.first(close < 0 ? rest.size() : close);
        const qsizetype at = declaration.indexOf("encoding");
        if (at >= 0) {
            qsizetype q = at + 8;
            while (q < declaration.size() && (isBlank(declaration[q]) || declaration[q] == '='))
                ++q;
            if (q < declaration.size()) {
                const char quote = declaration[q];
                const qsizetype endQuote = declaration.indexOf(quote, q + 1);
                const QByteArray name =
                    declaration.sliced(q + 1, endQuote < 0 ? 0 : endQuote - q - 1)
                        .toByteArray()
                        .toLower();
                if (name != "utf-8" && name != "utf8")
                    m_supported = false;
            }
        }
    }
    if (m_supported && !QUtf8StringView(m_p, m_end - m_p).isValidUtf8())
        m_error = true;
}

SheetXmlScanner::Token SheetXmlScanner::fail()
{
    m_error = true;
    return Error;
}

bool SheetXmlScanner::readName(QByteArrayView* name, qsizetype* colonAt)
{
    const char* start = m_p;
    if (m_p >= m_end || !isNameStart(static_cast<unsigned char>(*m_p)))
        return false;
    ++m_p;
    const char* colon = nullptr;
    while (m_p < m_end && isNameChar(static_cast<unsigned char>(*m_p))) {
        if (*m_p == ':') {
            // Namespaces allow at most one colon, between a prefix and a local name.
            if (colon)
                return false;
            colon = m_p;
        }
        ++m_p;
    }
    // The local name after a prefix starts as a name does.
    if (colon && (colon == m_p - 1 || !isNameStart(static_cast<unsigned char>(colon[1]))))
        return false;
    *name = QByteArrayView(start, m_p - start);
    if (colonAt)
        *colonAt = colon ? colon - start : -1;
    return true;
}

bool SheetXmlScanner::checkReferences(const char* from, const char* to, bool attribute) const
{
    for (const char* q = from; q < to; ++q) {
        const unsigned char c = static_cast<unsigned char>(*q);
        if (c == '&') {
            uint code = 0;
            const char* after = readReference(q, to, &code);
            if (!after)
                return false;
            q = after - 1;
        } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            return false;
        } else if (attribute && c == '<') {
            return false;
        } else if (!attribute && c == '>' && q - from >= 2 && q[-1] == ']' && q[-2] == ']') {
            return false; // "]]>" outside a CDATA section
        } else if (c == 0xEF && to - q >= 3 && static_cast<unsigned char>(q[1]) == 0xBF &&
                   (static_cast<unsigned char>(q[2]) == 0xBE ||
                    static_cast<unsigned char>(q[2]) == 0xBF)) {
            return false; // U+FFFE, U+FFFF
        }
    }
    return true;
}

bool SheetXmlScanner::isDeclared(QByteArrayView prefix) const
{
    if (same(prefix, "xml"))
        return true;
    for (const Prefix& p : m_prefixes) {
        if (same(p.prefix, prefix))
            return true;
    }
    return false;
}

bool SheetXmlScanner::skipMarkup()
{
    const QByteArrayView rest(m_p, m_end - m_p);
    if (rest.startsWith("<!--")) {
        const qsizetype close = rest.indexOf("-->", 4);
        if (close < 0)
            return false;
        const QByteArrayView body = rest.sliced(4, close - 4);
        if (body.indexOf("--") >= 0 || body.endsWith('-') || !onlyXmlChars(body))
            return false;
        m_p += close + 3;
        return true;
    }
    if (rest.startsWith("<?")) {
        const qsizetype close = rest.indexOf("?>", 2);
        if (close < 0)
            return false;
        m_p += 2;
        QByteArrayView target;
        qsizetype colon = -1;
        if (!readName(&target, &colon) || colon >= 0)
            return false;
        // The XML declaration belongs at the very start, and no other target may be called so.
        if (target.compare("xml", Qt::CaseInsensitive) == 0 &&
            (target != "xml" || rest.data() != m_start))
            return false;
        const char* close_ = rest.data() + close;
        if (m_p < close_ && !isBlank(*m_p))
            return false;
        if (!onlyXmlChars(QByteArrayView(m_p, close_ - m_p)))
            return false;
        m_p = close_ + 2;
        return true;
    }
    return false;
}

SheetXmlScanner::Token SheetXmlScanner::next()
{
    if (m_error)
        return Error;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        const OpenElement open = m_open.last();
        m_open.removeLast();
        while (!m_prefixes.isEmpty() && m_prefixes.last().depth > m_open.size())
            m_prefixes.removeLast();
        m_localName = open.colon < 0 ? open.name : open.name.sliced(open.colon + 1);
        if (m_open.isEmpty())
            m_rootClosed = true;
        return EndElement;
    }
    for (;;) {
        if (m_open.isEmpty()) {
            while (m_p < m_end && isBlank(*m_p))
                ++m_p;
            if (m_p >= m_end)
                return m_rootClosed ? EndDocument : fail();
            if (*m_p != '<')
                return fail();
            if (m_end - m_p >= 2 && (m_p[1] == '?' || m_p[1] == '!')) {
                if (!skipMarkup())
                    return fail(); // including any <!DOCTYPE
                continue;
            }
            if (m_rootClosed)
                return fail(); // a second root element
            return startTag();
        }
        if (m_p >= m_end)
            return fail();
        if (*m_p != '<')
            return text();
        if (m_end - m_p < 2)
            return fail();
        if (m_p[1] == '/')
            return endTag();
        if (m_p[1] == '!') {
            const QByteArrayView rest(m_p, m_end - m_p);
            if (rest.startsWith("<![CDATA[")) {
                const qsizetype close = rest.indexOf("]]>", 9);
                if (close < 0)
                    return fail();
                m_textBegin = m_p + 9;
                m_textEnd = m_p + close;
                if (!onlyXmlChars(QByteArrayView(m_textBegin, m_textEnd - m_textBegin)))
                    return fail();
                m_textCdata = true;
                m_textPlain = false;
                m_p += close + 3;
                return Characters;
            }
            if (!skipMarkup())
                return fail();
            continue;
        }
        if (m_p[1] == '?') {
            if (!skipMarkup())
                return fail();
            continue;
        }
        return startTag();
    }
}

SheetXmlScanner::Token SheetXmlScanner::startTag()
{
    ++m_p; // '<'
    QByteArrayView name;
    qsizetype colon = -1;
    if (!readName(&name, &colon))
        return fail();
    if (!m_attributes.isEmpty())
        m_attributes.resize(0);
    const int depth = int(m_open.size()) + 1;
    for (;;) {
        const char* before = m_p;
        while (m_p < m_end && isBlank(*m_p))
            ++m_p;
        if (m_p >= m_end)
            return fail();
        if (*m_p == '>') {
            ++m_p;
            break;
        }
        if (*m_p == '/') {
            if (m_end - m_p < 2 || m_p[1] != '>')
                return fail();
            m_p += 2;
            m_pendingEnd = true;
            break;
        }
        if (m_p == before)
            return fail(); // attributes are separated by blanks
        Attribute attribute;
        if (!readName(&attribute.name, &attribute.colon))
            return fail();
        while (m_p < m_end && isBlank(*m_p))
            ++m_p;
        if (m_p >= m_end || *m_p != '=')
            return fail();
        ++m_p;
        while (m_p < m_end && isBlank(*m_p))
            ++m_p;
        if (m_p >= m_end || (*m_p != '"' && *m_p != '\''))
            return fail();
        const char quote = *m_p++;
        const char* close = static_cast<const char*>(memchr(m_p, quote, size_t(m_end - m_p)));
        if (!close || !checkReferences(m_p, close, true))
            return fail();
        attribute.value = QByteArrayView(m_p, close - m_p);
        m_p = close + 1;
        for (const Attribute& other : m_attributes) {
            if (same(other.name, attribute.name))
                return fail();
        }
        if (attribute.colon == 5 && memcmp(attribute.name.data(), "xmlns", 5) == 0) {
            const QByteArrayView prefix = attribute.name.sliced(6);
            if (attribute.value.isEmpty() || prefix == "xmlns")
                return fail();
            m_prefixes.append({prefix, depth});
        }
        m_attributes.append(attribute);
    }
    // Prefixes must be declared on this element or an enclosing one.
    if (colon >= 0 && !isDeclared(name.first(colon)))
        return fail();
    for (const Attribute& attribute : m_attributes) {
        const qsizetype c = attribute.colon;
        if (c >= 0 && !same(attribute.name.first(c), "xmlns") &&
            !isDeclared(attribute.name.first(c)))
            return fail();
    }
    if (m_open.size() >= 4096)
        return fail(); // deeper than any sheet; keeps the stack bounded
    m_open.append({name, colon});
    m_localName = colon < 0 ? name : name.sliced(colon + 1);
    return StartElement;
}

SheetXmlScanner::Token SheetXmlScanner::endTag()
{
    m_p += 2; // "</"
    QByteArrayView name;
    qsizetype colon = -1;
    if (!readName(&name, &colon))
        return fail();
    while (m_p < m_end && isBlank(*m_p))
        ++m_p;
    if (m_p >= m_end || *m_p != '>' || !same(name, m_open.last().name))
        return fail();
    ++m_p;
    m_open.removeLast();
    while (!m_prefixes.isEmpty() && m_prefixes.last().depth > m_open.size())
        m_prefixes.removeLast();
    m_localName = colon < 0 ? name : name.sliced(colon + 1);
    if (m_open.isEmpty())
        m_rootClosed = true;
    return EndElement;
}

SheetXmlScanner::Token SheetXmlScanner::text()
{
    const char* start = m_p;
    const char* lt = static_cast<const char*>(memchr(m_p, '<', size_t(m_end - m_p)));
    const char* stop = lt ? lt : m_end;
    bool plain = true;
    for (const char* q = start; q < stop; ++q) {
        const unsigned char c = static_cast<unsigned char>(*q);
        if (c >= 0x80 || c == '&' || c == '\r' || (c < 0x20 && c != '\t' && c != '\n') ||
            c == '>') {
            plain = false;
            break;
        }
    }
    if (!plain && !checkReferences(start, stop, false))
        return fail();
    m_textBegin = start;
    m_textEnd = stop;
    m_textPlain = plain;
    m_textCdata = false;
    m_p = stop;
    return Characters;
}

QByteArrayView SheetXmlScanner::rawAttribute(QByteArrayView name) const
{
    for (const Attribute& attribute : m_attributes) {
        if (same(attribute.name, name))
            return attribute.value;
    }
    return QByteArrayView();
}

void SheetXmlScanner::appendText(QString& out) const
{
    const qsizetype size = m_textEnd - m_textBegin;
    if (m_textPlain) {
        out.append(QLatin1String(m_textBegin, size));
        return;
    }
    const char* run = m_textBegin;
    const auto flush = [&](const char* to) {
        if (to > run)
            XmlText::appendUtf8(out, QByteArrayView(run, to - run));
    };
    for (const char* q = m_textBegin; q < m_textEnd; ++q) {
        if (*q == '\r') { // line ends become a single line feed
            flush(q);
            out += QLatin1Char('\n');
            if (q + 1 < m_textEnd && q[1] == '\n')
                ++q;
            run = q + 1;
        } else if (*q == '&' && !m_textCdata) {
            flush(q);
            uint code = 0;
            const char* after = readReference(q, m_textEnd, &code);
            appendCode(out, code);
            q = after - 1;
            run = after;
        }
    }
    flush(m_textEnd);
}

void SheetXmlScanner::appendValue(QByteArrayView raw, QString& out)
{
    const char* run = raw.data();
    const char* end = raw.data() + raw.size();
    const auto flush = [&](const char* to) {
        if (to > run)
            XmlText::appendUtf8(out, QByteArrayView(run, to - run));
    };
    for (const char* q = raw.data(); q < end; ++q) {
        if (*q == '&') {
            flush(q);
            uint code = 0;
            const char* after = readReference(q, end, &code);
            appendCode(out, code);
            q = after - 1;
            run = after;
        } else if (*q == '\t' || *q == '\n' || *q == '\r') {
            flush(q);
            out += QLatin1Char(' ');
            if (*q == '\r' && q + 1 < end && q[1] == '\n')
                ++q;
            run = q + 1;
        }
    }
    flush(end);
}

} // namespace QXlsx
