#include "CellReference.h"

namespace QXlsx {

int CellReference::parseColumn(QStringView letters, int* consumed)
{
    int column = 0;
    qsizetype i = 0;
    bool tooLarge = false;
    for (; i < letters.size(); ++i) {
        const char16_t ch = letters[i].unicode();
        if (ch < u'A' || ch > u'Z')
            break;
        // Keep counting the letters of an overlong run, but never let the number overflow.
        if (!tooLarge) {
            column = column * 26 + (ch - u'A' + 1);
            tooLarge = column > MaxColumn;
        }
    }
    if (consumed)
        *consumed = int(i);
    return tooLarge ? 0 : column;
}

bool CellReference::parse(QStringView ref, int* row, int* column)
{
    if (ref.isEmpty())
        return false;
    int letters = 0;
    const int col = parseColumn(ref, &letters);
    if (letters == 0 || col == 0)
        return false;
    const QStringView digits = ref.mid(letters);
    // Only plain decimal digits: no sign, no blanks, at most seven of them (1048576).
    if (digits.isEmpty() || digits.size() > 7)
        return false;
    int r = 0;
    for (const QChar ch : digits) {
        const char16_t u = ch.unicode();
        if (u < u'0' || u > u'9')
            return false;
        r = r * 10 + (u - u'0');
    }
    if (r < 1 || r > MaxRow)
        return false;
    if (row)
        *row = r;
    if (column)
        *column = col;
    return true;
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
