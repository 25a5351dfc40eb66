#include "etlineedit.h"
#include "ettestsandbox.h"

#include <QStyle>
#include <gtest/gtest.h>

namespace
{

// Stands in for the wizard: a receiver with the integrity slot.
class IntegrityReceiver : public QObject
{
    Q_OBJECT

  public:
    QStringList texts;

  public slots:
    void checkIntegrity(const QString &text) { texts << text; }
};

// The order wizard's class name, so the inheritance test lets it through.
class ETOrderWizard : public IntegrityReceiver
{
    Q_OBJECT
};

} // namespace

TEST(ETLineEdit, ConnectsTheWizardsIntegrityCheck)
{
    ETTestSandbox resources;
    ETOrderWizard wizard;
    IntegrityReceiver other;
    ETLineEdit byWizard(nullptr, QStringLiteral("emailEdit"), &wizard);
    ETLineEdit byOther(nullptr, QStringLiteral("x"), &other);
    ETLineEdit withText(QStringLiteral("start"), nullptr, QStringLiteral("port"), &other);
    ETLineEdit alone(QString(), nullptr);

    EXPECT_EQ(QStringLiteral("emailEdit"), byWizard.objectName());
    EXPECT_EQ(QStringLiteral("start"), withText.text());
    byWizard.setText(QStringLiteral("a"));
    byOther.setText(QStringLiteral("b"));
    withText.setText(QStringLiteral("c"));
    alone.setText(QStringLiteral("d"));
    EXPECT_EQ(QStringList(QStringLiteral("a")), wizard.texts);
    // The text constructor connects any receiver; the other one only the wizard.
    EXPECT_EQ(QStringList(QStringLiteral("c")), other.texts);
}

TEST(ETLineEdit, WidthInDigits)
{
    ETTestSandbox resources;
    ETLineEdit edit;
    const int nine = edit.fontMetrics().horizontalAdvance(QLatin1Char('9'));
    const int frame = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &edit);
    for (int digits : {3, 5, 16}) {
        SCOPED_TRACE(digits);
        edit.setWidthInDigits(digits);
        EXPECT_EQ(digits * nine + 2 * frame + 8, edit.minimumWidth());
        EXPECT_EQ(digits * nine + 2 * frame + 8, edit.maximumWidth());
    }
}

TEST(ETLineEdit, SpecialClearOnlyForText)
{
    ETTestSandbox resources;
    ETLineEdit first;
    ETLineEdit second;
    QObject::connect(&first, &QLineEdit::textChanged, &second, &ETLineEdit::specialClear);
    QObject::connect(&second, &QLineEdit::textChanged, &first, &ETLineEdit::specialClear);
    second.setText(QStringLiteral("12345"));
    first.setText(QStringLiteral("Bonn"));
    EXPECT_EQ(QStringLiteral("Bonn"), first.text());
    EXPECT_TRUE(second.text().isEmpty());
    first.specialClear(QString());
    EXPECT_EQ(QStringLiteral("Bonn"), first.text());
}

#include "etlineedittest.moc"
