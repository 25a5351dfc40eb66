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

#include <limits>

ETProduct::ETProduct()
{
    m_name = QStringLiteral("sehr ungültiges Produkt");
}

namespace
{

constexpr double mmPerInch = 25.4;

// Both sides at this resolution come to pixel counts an int holds, worked out
// as widthPixels() and heightPixels() do.
bool sidesFit(int resolution, double longInches, double shortInches)
{
    int pixels = 0;
    return ETImageOperations::toPixels(resolution * float(longInches), pixels) &&
           ETImageOperations::toPixels(resolution * float(shortInches), pixels);
}

// A number of the name in centimetres as millimetres; false when that does not fit an int.
bool centimetresToMm(const QString &digits, int &mm)
{
    bool ok = false;
    const int cm = digits.toInt(&ok);
    if (!ok || cm > std::numeric_limits<int>::max() / 10)
        return false;
    mm = cm * 10;
    return true;
}

} // namespace

ETProduct::ETProduct(const QString &identifier, int price, const QString &name, int widthMm, int heightMm,
                     int dotsPerMm, const QString &specialProductId, const QString &specialSize,
                     const QString &specialType)
    : m_specialProductId(specialProductId), m_specialSize(specialSize), m_specialType(specialType)
{
    m_name = name;
    setDefaultPrices(identifier, price);
    // A resolution beyond any int counts as the usual 10 dots per millimetre.
    if (!ETImageOperations::toPixels(dotsPerMm * mmPerInch, m_resolution)) {
        qWarning().noquote() << QStringLiteral("Auflösung des Produkts ") + identifier +
                                    QStringLiteral(" ungültig: ") + QString::number(dotsPerMm);
        m_resolution = int(10 * mmPerInch);
    }
    int width = widthMm;
    int height = heightMm;
    bool known = true;
    if (width == 0 || height == 0) {
        static const QRegularExpression size(QStringLiteral("(\\d+)[^\\d]*(\\d+)"));
        const QRegularExpressionMatch match = size.match(name);
        if (match.hasMatch()) {
            qDebug().noquote() << QCoreApplication::translate("ETProduct", "Captured: ") + match.captured(1) +
                                      QLatin1Char('*') + match.captured(2);
            known = centimetresToMm(match.captured(2), width) && centimetresToMm(match.captured(1), height);
        } else {
            known = false;
        }
    }
    // Sizes whose pixel counts do not fit are refused like a name without a size.
    if (!known || !sidesFit(m_resolution, width / mmPerInch, height / mmPerInch)) {
        qWarning().noquote() << QStringLiteral("Konnte die Größe des Produkts ") + identifier +
                                    QStringLiteral(" nicht feststellen.");
        width = 150;
        height = 100;
    }
    m_heightInches = float(height / mmPerInch);
    m_widthInches = float(width / mmPerInch);
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
    bool shortOk = false;
    bool longOk = false;
    const int shortCm = match.hasMatch() ? match.captured(1).toInt(&shortOk) : 0;
    const int longCm = match.hasMatch() ? match.captured(2).toInt(&longOk) : 0;
    if (shortOk && longOk && sidesFit(resolution, longCm / 2.54, shortCm / 2.54)) {
        m_heightInches = float(shortCm / 2.54);
        m_widthInches = float(longCm / 2.54);
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

// Worked out in float as always (254 x 7.08661 in float is 1800, in double 1799.99...).
int ETProduct::widthPixels() const
{
    int pixels = 0;
    return ETImageOperations::toPixels(m_resolution * m_widthInches, pixels) ? pixels : 0;
}

int ETProduct::heightPixels() const
{
    int pixels = 0;
    return ETImageOperations::toPixels(m_resolution * m_heightInches, pixels) ? pixels : 0;
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
