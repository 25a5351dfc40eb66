#include "etorderoutputbuilder.h"

#include "qtprinters.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace
{

// Names each section after itself and logs the order of the calls.
class RecordingBuilder : public ETOrderOutputBuilder
{
  public:
    QString buildMain() override { return record(QStringLiteral("main")); }
    QString buildPayment() override { return record(QStringLiteral("payment")); }
    QString buildCustomer() override { return record(QStringLiteral("customer")); }
    QString buildProducts() override { return record(QStringLiteral("products")); }
    QString buildDelivery() override { return record(QStringLiteral("delivery")); }
    QString buildFooter() override { return record(QStringLiteral("footer")); }

    QStringList calls;

  private:
    QString record(const QString &name)
    {
        calls << name;
        return QLatin1Char('<') + name + QLatin1Char('>');
    }
};

// Only the two sections every output must give.
class MinimalBuilder : public ETOrderOutputBuilder
{
  public:
    QString buildCustomer() override { return QStringLiteral("C"); }
    QString buildProducts() override { return QStringLiteral("P"); }
};

TEST(ETOrderOutputBuilderTest, BuildComputesDeliveryBeforeProductsAndJoinsCustomerBeforePayment)
{
    RecordingBuilder builder;
    EXPECT_EQ(QStringLiteral("<main><customer><payment><products><delivery><footer>"), builder.build());
    EXPECT_EQ(QStringList({QStringLiteral("footer"), QStringLiteral("delivery"), QStringLiteral("products"),
                           QStringLiteral("payment"), QStringLiteral("customer"), QStringLiteral("main")}),
              builder.calls);
}

TEST(ETOrderOutputBuilderTest, BaseSectionsAreEmpty)
{
    MinimalBuilder builder;
    EXPECT_EQ(QString(), builder.buildMain());
    EXPECT_EQ(QString(), builder.buildPayment());
    EXPECT_EQ(QString(), builder.buildDelivery());
    EXPECT_EQ(QString(), builder.buildFooter());
    EXPECT_EQ(QStringLiteral("CP"), builder.build());
    EXPECT_EQ(nullptr, builder.parent());
}

} // namespace
