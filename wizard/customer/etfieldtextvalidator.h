#pragma once

#include <QRegularExpressionValidator>

// The validator of a customer field's line edit: the field holds one line of
// text that a request can carry, however the text came in (typed, pasted,
// dropped, shown from the record). Line breaks at its end are dropped, any
// other line break or tab becomes a blank; the control characters (DEL and
// the C1 ones too) and whatever else XML cannot carry are dropped; then the
// field's pattern, when it has one, decides (GUI thread).
class ETFieldTextValidator : public QRegularExpressionValidator
{
    Q_OBJECT

  public:
    // An empty pattern accepts every text.
    explicit ETFieldTextValidator(const QRegularExpression &pattern, QObject *parent = nullptr);

    State validate(QString &input, int &position) const override;

    // The text as the field takes it; position (a cursor in the text) moves
    // with the characters before it.
    static QString fieldText(const QString &text, int *position = nullptr);
};
