#include "basketfixture.h"

#include "etimage.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etorderline.h"
#include "etordertable.h"
#include "ettestsandbox.h"
#include "etwizardscreenorder.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTextDocument>

namespace
{

QByteArray article(const char *code, const char *name, const char *price, int tier, const char *extra = "")
{
    return QByteArray("<article transfer_type=\"") + code + "\"><artid>" + name + "-" + code +
           QByteArray::number(tier) + "</artid><name>" + name + "</name><price>" + price +
           "</price><discount_level>" + QByteArray::number(tier) + "</discount_level>" + extra + "</article>";
}

} // namespace

BasketFixture::BasketFixture()
{
    QByteArray products;
    for (const char *code : {"FC", "FM", "CC"})
        products += article(code, "10x15", "0,19", 0) + article(code, "10x15", "0,17", 1);
    const char *miniSize = "<width>100</width><height>50</height><dots_per_mm>1</dots_per_mm>";
    for (const char *code : {"FC", "FM", "CC"})
        products += article(code, "Mini", "1,29", 0, miniSize) + article(code, "Mini", "1,29", 1, miniSize);
    products += article("FC", "TierZero", "2,50", 0);
    writeResource(QStringLiteral("productlist.xml"), "<reply><content>" + products + "</content></reply>");
    writeResource(QStringLiteral("transferlist.xml"),
                  "<reply><content><homog_min level=\"1\">50</homog_min>"
                  "<threshold level=\"1\">25,00</threshold>"
                  "<transfer type=\"FC\" discount=\"0\"><id>T-FC0</id><price>0,00</price></transfer>"
                  "<transfer type=\"FC\" discount=\"1\"><id>T-FC1</id><price>0,00</price></transfer>"
                  "<transfer type=\"FM\" discount=\"0\"><id>T-FM0</id><price>3,95</price></transfer>"
                  "<transfer type=\"FM\" discount=\"1\"><id>T-FM1</id><price>2,95</price></transfer>"
                  "</content></reply>");
}

QString BasketFixture::paint(const Picture &picture)
{
    return environment().sandbox().paint(picture.name, picture.size.width(), picture.size.height());
}

void BasketFixture::loadPictures(const std::vector<Picture> &pictures)
{
    QByteArray list;
    for (const Picture &picture : pictures)
        list += paint(picture).toUtf8() + '\n';
    const QString listFile = environment().sandbox().writeFile(QStringLiteral("bilder.txt"), list);
    ETOrder::instance()->addImages({listFile});
    // As at start-up, the event loop runs on: a basket ends its adding, its lines in sight get their
    // controls.
    QCoreApplication::processEvents();
}

ETOrderTable *BasketFixture::orderTable() const
{
    auto *screen = qobject_cast<ETWizardScreenOrder *>(wizard()->screenByName(QStringLiteral("orderScreen")));
    return screen ? screen->orderTable() : nullptr;
}

QStringList BasketFixture::rowPictures(const ETOrderTable *table)
{
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row) {
        const ETOrderLine *line = table->lineAt(row);
        names << (line && line->item() ? line->item()->image()->metaData()->fileName() : QStringLiteral("?"));
    }
    return names;
}

QString BasketFixture::plainText(const QLabel *label)
{
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText()
        .replace(QChar(0x2028), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}
