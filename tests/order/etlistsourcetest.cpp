#include "etlistsource.h"
#include "etfileutils.h"
#include "etproductlist.h"
#include "ettransferlist.h"

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
         return product ? product->prices().rawPrice(0, 0, 0) : -1;
     }},
    {"transfer prices", "transferlist.xml",
     "<transferlist><content><transfer type=\"FC\" discount=\"0\"><id>T1</id><price>2,50</price></transfer>"
     "</content></transferlist>",
     [](FakeSource *source) { return ETTransferList::instance()->reload(source); },
     [] { return ETTransferList::instance()->prices().rawPrice(0, 0, 0); }},
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

} // namespace
