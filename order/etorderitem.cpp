#include "etorderitem.h"

#include "etimage.h"
#include "etorder.h"
#include "etproductlist.h"

ETOrderItem::ETOrderItem(ETImage *image, const QString &productName, int amount)
    : m_image(image), m_productName(productName), m_amount(image->isInvalid() ? 0 : amount)
{
    Q_UNUSED(m_reserved)
}

QPixmap *ETOrderItem::thumbnail() const
{
    return m_image->thumbnail();
}

void ETOrderItem::setAmount(int amount)
{
    m_amount = m_image->isInvalid() ? 0 : amount;
    ETOrder::instance()->internalUpdate();
}

void ETOrderItem::setProductName(const QString &name)
{
    m_productName = name;
    ETOrder::instance()->internalUpdate();
}

int ETOrderItem::price() const
{
    return ETProductList::instance()->price(m_productName, ETOrder::instance()->discountLevel());
}

int ETOrderItem::quality() const
{
    return ETProductList::instance()->quality(m_productName, m_image);
}

QString ETOrderItem::optimizedFileName() const
{
    return m_image->optiFileName();
}

QString ETOrderItem::uploadFileName() const
{
    return m_image->internalName().left(8) + QStringLiteral(".jpg");
}

QString ETOrderItem::resolvedProductName() const
{
    return ETProductList::instance()->productName(m_productName);
}

QString ETOrderItem::productText1() const
{
    return ETProductList::instance()->specialProductId(m_productName);
}

QString ETOrderItem::productText2() const
{
    return ETProductList::instance()->specialSize(m_productName);
}

QString ETOrderItem::productText3() const
{
    return ETProductList::instance()->specialType(m_productName);
}
