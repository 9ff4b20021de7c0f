#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVarLengthArray>
#include <cstring>

namespace QXlsx {

// A fast pull scanner for the XML of a worksheet part in UTF-8, for the streaming sheet reader.
// It checks well-formedness as it goes (matching tags, names, quoting, character and entity
// references, namespace prefixes, UTF-8; element and attribute names in ASCII) and reports the
// first fault as an error. It knows no
// document type declarations: one is an error, as for every other part of a package. Text in
// another encoding is not for it (isSupported() is false) and is left to QXmlStreamReader.
class SheetXmlScanner
{
public:
    // Byte-wise equality, kept inline: it runs for every element and attribute, on names of a
    // byte or two, where a call into the C library costs more than the comparison.
    static bool same(QByteArrayView a, QByteArrayView b)
    {
        const qsizetype n = a.size();
        if (n != b.size())
            return false;
        const char* x = a.data();
        const char* y = b.data();
        for (qsizetype i = 0; i < n; ++i) {
            if (x[i] != y[i])
                return false;
        }
        return true;
    }

    enum Token
    {
        StartElement,
        EndElement,
        Characters,
        EndDocument,
        Error
    };

    explicit SheetXmlScanner(const QByteArray& xml);

    bool isSupported() const { return m_supported; }
    Token next();
    bool hasError() const { return m_error; }

    // Of the current StartElement or EndElement.
    QByteArrayView localName() const { return m_localName; }
    // The value of an attribute of the current StartElement, by qualified name; empty when absent.
    QByteArrayView rawAttribute(QByteArrayView name) const;
    // Appends the text of the current Characters token, references resolved and line ends
    // normalised.
    void appendText(QString& out) const;
    // Appends an attribute value as text (references resolved, blanks normalised).
    static void appendValue(QByteArrayView raw, QString& out);

private:
    struct Attribute
    {
        QByteArrayView name;
        QByteArrayView value;
        qsizetype colon = -1;
    };
    struct OpenElement
    {
        QByteArrayView name; // qualified
        qsizetype colon = -1;
    };
    struct Prefix
    {
        QByteArrayView prefix;
        int depth = 0;
    };

    Token fail();
    bool skipMarkup(); // comment or processing instruction at m_p; false on error
    bool readName(QByteArrayView* name, qsizetype* colonAt = nullptr);
    bool checkReferences(const char* from, const char* to, bool attribute) const;
    bool isDeclared(QByteArrayView prefix) const;
    Token startTag();
    Token endTag();
    Token text();

    const char* m_begin = nullptr;
    const char* m_start = nullptr; // after a byte order mark
    const char* m_p = nullptr;
    const char* m_end = nullptr;
    bool m_supported = true;
    bool m_error = false;
    bool m_rootClosed = false;
    bool m_pendingEnd = false;
    QVarLengthArray<OpenElement, 32> m_open;
    QVarLengthArray<Prefix, 8> m_prefixes;
    QVarLengthArray<Attribute, 8> m_attributes;
    QByteArrayView m_localName;
    const char* m_textBegin = nullptr;
    const char* m_textEnd = nullptr;
    bool m_textPlain = false; // ASCII without references or carriage returns
    bool m_textCdata = false;
};

} // namespace QXlsx
