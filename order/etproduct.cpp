#include "etproduct.h"

#include "etimage.h"
#include "etimageoperations.h"
#include "ettransferconfig.h"
#include "ettransferlist.h"
#include "paymenttype.h"
#include "submitmethod.h"

#include <QCoreApplication>
#include <QDebug>
#include <QRegularExpression>

ETProduct::ETProduct()
{
    m_name = QStringLiteral("sehr ungültiges Produkt");
}

ETProduct::ETProduct(const QString &identifier, int price, const QString &name, int widthMm, int heightMm,
                     int dotsPerMm, const QString &specialProductId, const QString &specialSize,
                     const QString &specialType)
    : m_specialProductId(specialProductId), m_specialSize(specialSize), m_specialType(specialType)
{
    m_name = name;
    setDefaultPrices(identifier, price);
    int width = widthMm;
    int height = heightMm;
    if (width == 0 || height == 0) {
        static const QRegularExpression size(QStringLiteral("(\\d+)[^\\d]*(\\d+)"));
        const QRegularExpressionMatch match = size.match(name);
        if (match.hasMatch()) {
            qDebug().noquote() << QCoreApplication::translate("ETProduct", "Captured: ") + match.captured(1) +
                                      QLatin1Char('*') + match.captured(2);
            width = match.captured(2).toInt() * 10;
            height = match.captured(1).toInt() * 10;
        } else {
            qWarning().noquote() << QStringLiteral("Konnte die Größe des Produkts ") + identifier +
                                        QStringLiteral(" nicht feststellen.");
            width = 150;
            height = 100;
        }
    }
    m_heightInches = float(height / 25.4);
    m_widthInches = float(width / 25.4);
    m_resolution = int(dotsPerMm * 25.4);
}

ETProduct::ETProduct(const QString &identifier, int price, const QString &name,
                     const QString &specialProductId, const QString &specialSize, const QString &specialType,
                     float sideA, float sideB, int resolution)
    : m_specialProductId(specialProductId), m_specialSize(specialSize), m_specialType(specialType),
      m_resolution(resolution)
{
    m_name = name;
    setDefaultPrices(identifier, price);
    static const QRegularExpression size(QStringLiteral("(\\d+)x(\\d+)"));
    const QRegularExpressionMatch match = size.match(name);
    if (match.hasMatch()) {
        m_heightInches = float(match.captured(1).toInt() / 2.54);
        m_widthInches = float(match.captured(2).toInt() / 2.54);
    } else {
        m_heightInches = qMin(sideA, sideB);
        m_widthInches = qMax(sideA, sideB);
    }
}

void ETProduct::setDefaultPrices(const QString &identifier, int price)
{
    for (const char *code : {"FM", "FC", "CC"}) {
        m_prices.setPrice(QString::fromLatin1(code), 0, price);
        m_prices.setTransferId(QString::fromLatin1(code), 0, identifier);
    }
}

int ETProduct::quality(ETImage *image) const
{
    return quality(image->width(), image->height());
}

int ETProduct::quality(int pixelWidth, int pixelHeight) const
{
    ETImageOperations ops;
    const int shortPx = qMin(pixelWidth, pixelHeight);
    const int longPx = qMax(pixelWidth, pixelHeight);
    const double rShort = ops.ratio(shortPx, m_resolution, m_heightInches);
    const double rLong = ops.ratio(longPx, m_resolution, m_widthInches);
    const double q = qMin(rShort, rLong);
    if (q >= 1.0)
        return 4;
    if (q > 0.5)
        return 3;
    if (q > 0.25)
        return 2;
    if (q > 0.125)
        return 1;
    return 0;
}

int ETProduct::widthPixels() const
{
    return int(m_resolution * m_widthInches);
}

int ETProduct::heightPixels() const
{
    return int(m_resolution * m_heightInches);
}

void ETProduct::dump() const
{
    qDebug().noquote() << QStringLiteral("ETProduct::dump: name=") + m_name;
    m_prices.dump();
}

void ETProduct::check() const
{
    qDebug().noquote() << QStringLiteral("Prüfe Product ") + m_name;
    const int highest = ETTransferList::instance()->maxDiscountLevel();
    ETTransferConfig *rules = ETTransferConfig::instance();
    for (int submitMethod = SubmitNet; submitMethod <= SubmitHardDisk; ++submitMethod) {
        for (int paymentType = PaymentOutlet; paymentType <= PaymentBill; ++paymentType) {
            if (!rules->isAllowed(submitMethod, paymentType))
                continue;
            const QString label = QStringLiteral("Untersuche ") + rules->text2(submitMethod) +
                                  QLatin1Char(' ') + rules->text(paymentType);
            if (!m_prices.checkTiers(submitMethod, paymentType, highest))
                qDebug().noquote() << label + QStringLiteral("fail");
        }
    }
}
