#include "etlistsource.h"
#include "etcreditcardlist.h"
#include "etfileutils.h"
#include "etproductlist.h"
#include "ettestsandbox.h"
#include "ettransferlist.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace
{

// Plays the request layer: "fetching" writes the prepared file into the resource folder.
class FakeSource : public ETListSource
{
  public:
    bool succeed = true;
    QByteArray content;
    QStringList fetched;

    bool fetchProductList() override { return fetch(QStringLiteral("productlist.xml")); }
    bool fetchTransferList() override { return fetch(QStringLiteral("transferlist.xml")); }
    bool fetchCreditCardList() override { return fetch(QStringLiteral("creditcards.xml")); }

  private:
    bool fetch(const QString &name)
    {
        fetched << name;
        if (!succeed)
            return false;
        QFile file(resourcePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
};

struct ListCase {
    const char *name;
    const char *file;
    QByteArray content;
    std::function<bool(FakeSource *)> refresh;
    std::function<int()> probe; // the price the list knows from the content; -1 when none
};

const ListCase cases[] = {
    {"products", "productlist.xml",
     "<articlelist><content><article transfer_type=\"FC\"><artid>A1</artid><name>10x15</name>"
     "<price>0,19</price><discount_level>0</discount_level></article></content></articlelist>",
     [](FakeSource *source) { return ETProductList::instance()->updateFromServer(source); },
     [] {
         const ETProduct *product = ETProductList::instance()->product(QStringLiteral("10x15"));
         return product ? product->prices().rawPrice(SubmitNet, PaymentOutlet, 0) : -1;
     }},
    {"transfer prices", "transferlist.xml",
     "<transferlist><content><transfer type=\"FC\" discount=\"0\"><id>T1</id><price>2,50</price></transfer>"
     "</content></transferlist>",
     [](FakeSource *source) { return ETTransferList::instance()->reload(source); },
     [] { return ETTransferList::instance()->prices().rawPrice(SubmitNet, PaymentOutlet, 0); }},
    {"credit-card brands", "creditcards.xml",
     "<creditcards><content><cc><brand>VISA</brand><display_string>Visa</display_string></cc></content>"
     "</creditcards>",
     [](FakeSource *source) { return ETCreditCardList::instance()->update(source, true); },
     [] {
         const ETCreditCardList *cards = ETCreditCardList::instance();
         return cards->displayTexts().contains(QStringLiteral("Visa")) ? int(cards->displayTexts().size())
                                                                       : -1;
     }},
};

TEST(ETListSource, ListsReadWhatTheSourceFetched)
{
    for (const ListCase &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir resources;
        setResourceDir(resources.path());

        FakeSource failing;
        failing.succeed = false;
        EXPECT_FALSE(c.refresh(&failing));
        EXPECT_EQ(QStringList(QString::fromLatin1(c.file)), failing.fetched);
        EXPECT_EQ(-1, c.probe()) << "a failed fetch adds nothing";

        FakeSource source;
        source.content = c.content;
        EXPECT_TRUE(c.refresh(&source));
        EXPECT_EQ(QStringList(QString::fromLatin1(c.file)), source.fetched);
        EXPECT_NE(-1, c.probe());
    }
}

TEST(ETListSource, FilledCardListWithoutForceAsksNothing)
{
    ETTestSandbox sandbox;
    sandbox.write(QStringLiteral("creditcards.xml"),
                  "<content><cc><brand>MC</brand><display_string>Mastercard</display_string></cc></content>");
    ETCreditCardList *cards = ETCreditCardList::instance();
    ASSERT_FALSE(cards->isEmpty());

    FakeSource source;
    source.content = "<creditcards><content><cc><brand>VISA</brand><display_string>Visa</display_string></cc>"
                     "</content></creditcards>";
    EXPECT_TRUE(cards->update(&source, false));
    EXPECT_TRUE(source.fetched.isEmpty());
    EXPECT_TRUE(cards->update(&source, true));
    EXPECT_EQ(QStringList(QStringLiteral("creditcards.xml")), source.fetched);
    EXPECT_EQ((QStringList{QStringLiteral("Mastercard"), QStringLiteral("Visa")}), cards->displayTexts())
        << "the fetched brands join the known ones";

    FakeSource failing;
    failing.succeed = false;
    EXPECT_FALSE(cards->update(&failing, true));
    EXPECT_EQ(2, cards->displayTexts().size()) << "a failed update keeps the list";
}

TEST(ETListSource, EmptyCardListAsksAlsoWithoutForce)
{
    ETTestSandbox sandbox;
    FakeSource source;
    source.content = "<content><cc><brand>VISA</brand><display_string>Visa</display_string></cc></content>";
    EXPECT_TRUE(ETCreditCardList::instance()->update(&source, false));
    EXPECT_EQ(QStringList(QStringLiteral("creditcards.xml")), source.fetched);
    EXPECT_EQ(QStringLiteral("VISA"), ETCreditCardList::instance()->brand(QStringLiteral("Visa")));
}

} // namespace
