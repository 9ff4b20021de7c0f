#include "CellReference.h"

namespace QXlsx {

namespace {

inline char16_t unit(QChar c)
{
    return c.unicode();
}
inline char16_t unit(char c)
{
    return char16_t(static_cast<unsigned char>(c));
}

template <typename View> int parseColumnOf(View letters, int* consumed)
{
    int column = 0;
    qsizetype i = 0;
    bool tooLarge = false;
    for (; i < letters.size(); ++i) {
        const char16_t ch = unit(letters[i]);
        if (ch < u'A' || ch > u'Z')
            break;
        // Keep counting the letters of an overlong run, but never let the number overflow.
        if (!tooLarge) {
            column = column * 26 + (ch - u'A' + 1);
            tooLarge = column > CellReference::MaxColumn;
        }
    }
    if (consumed)
        *consumed = int(i);
    return tooLarge ? 0 : column;
}

template <typename View> bool parseOf(View ref, int* row, int* column)
{
    if (ref.isEmpty())
        return false;
    int letters = 0;
    const int col = parseColumnOf(ref, &letters);
    if (letters == 0 || col == 0)
        return false;
    // Only plain decimal digits: no sign, no blanks, at most seven of them (1048576).
    const qsizetype digits = ref.size() - letters;
    if (digits < 1 || digits > 7)
        return false;
    int r = 0;
    for (qsizetype i = letters; i < ref.size(); ++i) {
        const char16_t u = unit(ref[i]);
        if (u < u'0' || u > u'9')
            return false;
        r = r * 10 + (u - u'0');
    }
    if (r < 1 || r > CellReference::MaxRow)
        return false;
    if (row)
        *row = r;
    if (column)
        *column = col;
    return true;
}

} // namespace

int CellReference::parseColumn(QStringView letters, int* consumed)
{
    return parseColumnOf(letters, consumed);
}

bool CellReference::parse(QStringView ref, int* row, int* column)
{
    return parseOf(ref, row, column);
}

bool CellReference::parse(QByteArrayView ref, int* row, int* column)
{
    return parseOf(ref, row, column);
}

QString CellReference::columnName(int column)
{
    QString name;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        name.prepend(QChar(u'A' + rem));
        column = (column - 1) / 26;
    }
    return name;
}

QString CellReference::toString(int row, int column)
{
    return columnName(column) + QString::number(row);
}

} // namespace QXlsx
