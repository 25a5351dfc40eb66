#include "outputfixture.h"

#include "etapplicationconfig.h"
#include "etcoupon.h"
#include "etcustomer.h"
#include "etfileutils.h"
#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderoutputbuilder.h"
#include "etstore.h"
#include "etstorelist.h"
#include "ettestsandbox.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPainter>

const OutputScenario outputScenarios[5] = {
    {"order-outputs-outlet-cd", SubmitCD, 0},      {"order-outputs-bill-net", SubmitNet, 3},
    {"order-outputs-card-cd", SubmitCD, 1},        {"order-outputs-debit-harddisk", SubmitHardDisk, 2},
    {"order-outputs-unchosen-net", SubmitNet, -1},
};

namespace
{

// Kept in globals so that they stay reachable until the program ends.
ETTestSandbox *sandbox = nullptr;
ETImage *pictures[4] = {};

QString fixture(const QString &relative)
{
    return QStringLiteral(LUMO_FIXTURES_DIR "/") + relative;
}

ETImage *paintPicture(const QString &name, const QColor &colour)
{
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(8, 8, 32, 16), colour);
    painter.end();
    const QString path = sandbox->file(QStringLiteral("pictures/") + name);
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return ETImage::create(path);
}

// Application, dealer folder and pictures for the whole program; the
// pictures are made first so their numbered names are always the same.
class OutputEnvironment : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        sandbox = new ETTestSandbox;
        QDir(sandbox->path()).mkpath(QStringLiteral("pictures"));
        const QDir dealer(fixture(QStringLiteral("order-outputs-dealer")));
        for (const QString &file : dealer.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(dealer.filePath(file), sandbox->resource(file)));

        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        ETOrderOutputBuilder::setCurrentDateTimeForTests(QDateTime(QDate(2026, 12, 10), QTime(14, 5, 9)));

        pictures[0] = paintPicture(QStringLiteral("Strandkörbe am Meer.jpg"), Qt::blue);
        pictures[1] = paintPicture(QStringLiteral("Łódź – Nacht.png"), Qt::darkBlue);
        pictures[2] = paintPicture(QStringLiteral("Ærø Hafen.jpg"), Qt::green);
        pictures[3] = paintPicture(QStringLiteral("leer.jpg"), Qt::gray);
        for (ETImage *picture : pictures)
            ASSERT_NE(nullptr, picture);
    }
};

const ::testing::Environment *const environment = ::testing::AddGlobalTestEnvironment(new OutputEnvironment);

} // namespace

std::string scenarioName(const ::testing::TestParamInfo<OutputScenario> &info)
{
    std::string name = std::string(info.param.folder).substr(sizeof "order-outputs-" - 1);
    for (char &c : name) {
        if (c == '-')
            c = '_';
    }
    return name;
}

QString outputWorkDir()
{
    return sandbox->path();
}

void fillOrder(const OutputScenario &scenario)
{
    ETOrder *order = ETOrder::instance();
    // The order lets go of its lines without deleting them.
    const QList<ETOrderItem *> oldItems = *order->orderItems();
    order->removeAllOrderItems();
    qDeleteAll(oldItems);
    ASSERT_TRUE(order->addImage(pictures[0], QStringLiteral("10x15"), 3, 0));
    ASSERT_TRUE(order->addImage(pictures[1], QStringLiteral("10x15"), 2, 1));
    order->duplicateOrderItem(order->orderItems()->at(0), QStringLiteral("13x18 matt"), 1, 2);
    ASSERT_TRUE(order->addImage(pictures[2], QStringLiteral("Poster 30x45 & mehr"), 4, 3));
    ASSERT_TRUE(order->addImage(pictures[3], QStringLiteral("10x15"), 0, 4));
    ASSERT_EQ(5, order->orderItems()->size());

    ETCustomer *customer = order->customer();
    customer->clear();
    const char *const values[][2] = {
        {"salutation", "Frau"},
        {"title", "Dr."},
        {"firstname", "Zoë"},
        {"lastname", "Łukasiewicz-Brückner"},
        {"street", "Hauptstraße 5 <Rückgebäude>"},
        {"zip", "80331"},
        {"city", "München"},
        {"city_part", "Schwabing"},
        {"country", "Deutschland"},
        {"phone", "+49 89 1234567"},
        {"email", "zoe@example.org"},
        {"company_name", "Fotofreunde & Co."},
        {"fax", ""},
        {"ord_id", "2026/1042"},
    };
    for (const auto &value : values)
        customer->setValue(QString::fromUtf8(value[0]), QString::fromUtf8(value[1]));

    ETStoreList *stores = ETStore::storeList();
    stores->clear();
    stores->append(new ETStore(4711, QStringLiteral("Foto Kühn & Söhne"), QStringLiteral("Marienplatz 1"),
                               QStringLiteral("80331"), QStringLiteral("München")));
    order->setStoreId(stores->names().value(0));

    ETCoupon *coupon = ETCoupon::instance();
    coupon->setCouponId(QStringLiteral("SOMMER"));
    coupon->setCouponPrice(QStringLiteral("FC"), -500, QStringLiteral("G-FC"));
    coupon->setCouponPrice(QStringLiteral("FM"), -300, QStringLiteral("G-FM"));
    coupon->setCouponPrice(QStringLiteral("CC"), -400, QStringLiteral("G-CC"));
    coupon->setCouponPrice(QStringLiteral("CM"), -250, QStringLiteral("G-CM"));

    order->setSubmitMethod(scenario.submitMethod);
    order->setPaymentType(scenario.paymentType);
    order->refresh();
}

QString expectedText(const char *folder, const char *name)
{
    QFile file(fixture(QString::fromLatin1(folder) + QLatin1Char('/') + QString::fromLatin1(name)));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    return QString::fromUtf8(file.readAll());
}

::testing::AssertionResult sameText(const QString &expected, const QString &actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    const QStringList want = expected.split(QLatin1Char('\n'));
    const QStringList got = actual.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < qMax(want.size(), got.size()); ++i) {
        if (want.value(i) != got.value(i) || i >= want.size() || i >= got.size()) {
            return ::testing::AssertionFailure()
                   << "texts differ in line " << i + 1 << "\n  expected: \"" << want.value(i).toStdString()
                   << "\"\n  actual:   \"" << got.value(i).toStdString() << "\"\nwhole actual text:\n"
                   << actual.toStdString();
        }
    }
    return ::testing::AssertionFailure() << "texts differ";
}

void setDealerCountry(int country)
{
    QFile file(sandbox->resource(QStringLiteral("default.xml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dealer><keyaccount>fotohaus</keyaccount>"
                   "<keyaccountname>Fotohaus K\xC3\xBChn</keyaccountname><programname>lumotest</programname>"
                   "<currency>EUR</currency><country>") +
        QByteArray::number(country) + "</country></dealer>\n");
    file.close();
    ETApplicationConfig::instance()->load();
}
