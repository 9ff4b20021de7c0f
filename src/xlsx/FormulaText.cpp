#include "FormulaText.h"

#include "CellReference.h"

namespace QXlsx {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'$' || c == u'\\' || c == u'?';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// One part of a reference: "$B$12", "B12", "B", "$12"; what it holds is left 0.
struct RefPart
{
    bool columnAbsolute = false;
    bool rowAbsolute = false;
    int column = 0;
    int row = 0;
};

// Reads a whole token as a reference part: cell (letters and digits), column (letters only,
// when columnsOnly) or row (digits only, when rowsOnly).
bool parsePart(QStringView token, RefPart* part, bool allowColumnOnly, bool allowRowOnly)
{
    qsizetype i = 0;
    *part = RefPart();
    if (i < token.size() && token[i] == u'$') {
        part->columnAbsolute = true;
        ++i;
    }
    const qsizetype lettersStart = i;
    while (i < token.size() && isAsciiLetter(token[i]))
        ++i;
    const qsizetype letters = i - lettersStart;
    if (letters > 3)
        return false;
    if (letters > 0) {
        part->column =
            CellReference::parseColumn(token.mid(lettersStart, letters).toString().toUpper());
        if (part->column == 0)
            return false;
    } else if (part->columnAbsolute && i < token.size() && token[i].isDigit()) {
        // "$12": the "$" belongs to the row.
        part->columnAbsolute = false;
        part->rowAbsolute = true;
    }
    if (i < token.size() && token[i] == u'$' && letters > 0) {
        part->rowAbsolute = true;
        ++i;
    }
    const qsizetype digitsStart = i;
    while (i < token.size() && token[i] >= u'0' && token[i] <= u'9')
        ++i;
    const qsizetype digits = i - digitsStart;
    if (i != token.size() || digits > 7 || (letters == 0 && digits == 0))
        return false;
    if (digits > 0) {
        part->row = token.mid(digitsStart, digits).toInt();
        if (part->row < 1 || part->row > CellReference::MaxRow)
            return false;
    } else if (part->rowAbsolute) {
        return false; // "A$" is nothing
    }
    if (letters == 0)
        return allowRowOnly;
    if (digits == 0)
        return allowColumnOnly;
    return true;
}

QString moved(QStringView token, const RefPart& part, int rows, int columns)
{
    QString out;
    qsizetype i = 0;
    if (part.column > 0) {
        const int column = part.columnAbsolute ? part.column : part.column + columns;
        if (column < 1 || column > CellReference::MaxColumn)
            return QStringLiteral("#REF!");
        if (part.columnAbsolute) {
            out += u'$';
            ++i;
        }
        const qsizetype letters = i;
        while (i < token.size() && isAsciiLetter(token[i]))
            ++i;
        // A column that stays keeps its letters as written.
        out += column == part.column ? token.mid(letters, i - letters).toString()
                                     : CellReference::columnName(column);
    }
    if (part.row > 0) {
        const int row = part.rowAbsolute ? part.row : part.row + rows;
        if (row < 1 || row > CellReference::MaxRow)
            return QStringLiteral("#REF!");
        if (part.rowAbsolute)
            out += u'$';
        out += QString::number(row);
    }
    return out;
}

} // namespace

QString FormulaText::shifted(const QString& formula, int rows, int columns)
{
    QString out;
    out.reserve(formula.size() + 8);
    const qsizetype n = formula.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = formula[i];
        if (c == u'"' || c == u'\'') {
            // A text, or a quoted sheet name; a doubled quote stands for itself.
            qsizetype j = i + 1;
            while (j < n) {
                if (formula[j] == c) {
                    if (j + 1 < n && formula[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = qMin(j + 1, n);
            out += QStringView(formula).mid(i, j - i);
            i = j;
        } else if (c == u'[') {
            // A structured reference or an external workbook index, brackets nested.
            qsizetype j = i;
            int depth = 0;
            while (j < n) {
                if (formula[j] == u'[')
                    ++depth;
                else if (formula[j] == u']' && --depth == 0)
                    break;
                ++j;
            }
            j = qMin(j + 1, n);
            out += QStringView(formula).mid(i, j - i);
            i = j;
        } else if (c == u'#') {
            // An error literal such as #REF! or #N/A.
            qsizetype j = i + 1;
            while (j < n && (formula[j].isLetterOrNumber() || formula[j] == u'/'))
                ++j;
            if (j < n && (formula[j] == u'!' || formula[j] == u'?'))
                ++j;
            out += QStringView(formula).mid(i, j - i);
            i = j;
        } else if (isNameChar(c)) {
            qsizetype j = i;
            while (j < n && isNameChar(formula[j]))
                ++j;
            const QStringView token = QStringView(formula).mid(i, j - i);
            const QChar next = j < n ? formula[j] : QChar();
            const QChar before = i > 0 ? formula[i - 1] : QChar();
            // A function or sheet name, or a number ("1E5", "0.5"), is not a reference.
            RefPart part;
            const bool inRange = next == u':' || before == u':';
            if (next == u'(' || next == u'!' ||
                !parsePart(token, &part, inRange, inRange && !c.isLetter())) {
                out += token;
            } else if (inRange && (part.row == 0 || part.column == 0)) {
                // A whole-column or whole-row range: both ends must be of the same kind.
                qsizetype k = next == u':' ? j + 1 : i - 1;
                RefPart other;
                bool paired = false;
                if (next == u':') {
                    qsizetype e = k;
                    while (e < n && isNameChar(formula[e]))
                        ++e;
                    paired = parsePart(QStringView(formula).mid(k, e - k), &other, true, true);
                } else {
                    qsizetype s = k;
                    while (s > 0 && isNameChar(formula[s - 1]))
                        --s;
                    paired = parsePart(QStringView(formula).mid(s, k - s), &other, true, true);
                }
                paired = paired && (other.row == 0) == (part.row == 0) &&
                         (other.column == 0) == (part.column == 0);
                out += paired ? moved(token, part, rows, columns) : token.toString();
            } else {
                out += moved(token, part, rows, columns);
            }
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace QXlsx
