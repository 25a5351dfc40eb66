#include "etfieldtextvalidator.h"

#include "etxmlbuilder.h"

ETFieldTextValidator::ETFieldTextValidator(const QRegularExpression &pattern, QObject *parent)
    : QRegularExpressionValidator(pattern, parent)
{
}

QValidator::State ETFieldTextValidator::validate(QString &input, int &position) const
{
    input = fieldText(input, &position);
    if (regularExpression().pattern().isEmpty())
        return Acceptable;
    return QRegularExpressionValidator::validate(input, position);
}

namespace
{

// A word processor's line break is a vertical tab or a form feed.
bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\v') ||
           c == QLatin1Char('\f');
}

// DEL and the C1 controls: XML carries them, but no field means them.
bool isControl(QChar c)
{
    return c.unicode() >= 0x7f && c.unicode() <= 0x9f;
}

} // namespace

QString ETFieldTextValidator::fieldText(const QString &text, int *position)
{
    QString result;
    result.reserve(text.size());
    int moved = position ? *position : 0;
    // A line break that ends a pasted value ends the line: it is no blank.
    qsizetype size = text.size();
    while (size > 0 && isLineBreak(text.at(size - 1)))
        --size;
    for (qsizetype i = 0; i < size; ++i) {
        if (position && i == *position)
            moved = int(result.size());
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
            continue;
        if (isLineBreak(c) || c == QLatin1Char('\t')) {
            result.append(QLatin1Char(' '));
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            result.append(c);
            result.append(text.at(++i));
            continue;
        }
        if (ETXMLBuilder::isCarriable(c.unicode()) && !isControl(c))
            result.append(c);
    }
    if (position) {
        if (*position >= size)
            moved = int(result.size());
        *position = moved;
    }
    return result;
}
