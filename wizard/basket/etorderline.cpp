#include "etorderline.h"

#include "etamountlineedit.h"
#include "etappearanceconfig.h"
#include "etappearancefactory.h"
#include "etapplicationfactoryabstract.h"
#include "etcurrencyconfig.h"
#include "etformatcombobox.h"
#include "etimage.h"
#include "etimageloader.h"
#include "etlineedit.h"
#include "etorder.h"
#include "etorderitem.h"
#include "etordertable.h"
#include "etproductlist.h"
#include "etsingleton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

#include <array>
#include <limits>

namespace
{

using QualityIcons = std::array<QPixmap *, 5>;

// Shared by every line and kept to the end of the program (a test's fresh
// start forgets them, so the next skin's marks are read).
QualityIcons &qualityIcons()
{
    static ETSingleton<QualityIcons> icons;
    return *icons.get([] { return new QualityIcons{}; },
                      [](QualityIcons *gone) {
                          for (QPixmap *icon : *gone)
                              delete icon;
                      });
}

// A missing level-0 mark makes the next line look for all five again.
void loadQualityIcons()
{
    QualityIcons &icons = qualityIcons();
    if (icons[0])
        return;
    for (int level = 0; level < 5; ++level) {
        delete icons[level];
        icons[level] = ETImageLoader::loadPixmap(QStringLiteral("quality_") + QString::number(level));
    }
}

const QString &anotherFormatText()
{
    static const QString text = ETOrderLine::tr("Weiteres Format");
    return text;
}

const QString &removeText()
{
    static const QString text = ETOrderLine::tr("Dieses Bild aus der Bestellung entfernen");
    return text;
}

// White with dark writing, whatever the program's palette writes with.
void makeWhiteField(QWidget *field)
{
    ETAppearanceFactory::setBackgroundColor(field, QColor(Qt::white));
    ETAppearanceFactory::setForegroundColor(field, QColor(Qt::black));
}

void setTextIfChanged(QLineEdit *edit, const QString &text)
{
    // Keeps the cursor where the customer is typing.
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

ETOrderLine::ETOrderLine(ETOrderItem *item, ETOrderTable *table, const QString &name)
    : QWidget(table), m_table(table), m_item(item)
{
    setObjectName(name);
    // The skin's colour is the line's own; in the table's viewport it would take the viewport's role.
    setBackgroundRole(QPalette::Window);
    // The table refreshes its lines on every price update of the order.
    if (m_table)
        m_table->lineMade(this);
    m_withPixelSize = ETAppearanceFactory::instance()->showPixelSize();
    ETAmountLineEdit::addFollower(this);
    ETFormatComboBox::addFollower(this);
}

ETOrderLine::~ETOrderLine()
{
    ETAmountLineEdit::removeFollower(this);
    ETFormatComboBox::removeFollower(this);
    if (m_table)
        m_table->lineGone(this);
    // The children go after this part of the line: they must not reach its slots then.
    if (m_controls) {
        disconnect(m_product, nullptr, this, nullptr);
        disconnect(m_amount, nullptr, this, nullptr);
    }
}

bool ETOrderLine::showsItem() const
{
    if (!m_item)
        return true;
    return m_shownItem.amount == m_item->amount() &&
           m_shownItem.thumbnail == m_item->thumbnail()->cacheKey() &&
           m_shownItem.product == m_item->productName() &&
           m_shownItem.fileName == m_item->image()->metaData()->fileName();
}

void ETOrderLine::setUp(int row, int column)
{
    // Before any control is made: they take the line's colours as they come.
    ETAppearanceFactory::instance()->applyDefault(this);
    keepTextReadable();
    // Every line of a kind is as high as the first one the table made, which is made with its controls.
    const QByteArray kind = QByteArray(metaObject()->className()) + (m_withPixelSize ? "+pixels" : "");
    int height = m_table ? m_table->lineHeight(kind) : -1;
    if (height < 0) {
        makeControls();
        height = m_layoutHeight;
        if (m_table)
            m_table->setLineHeight(kind, height);
    }
    refresh();
    if (m_table) {
        m_table->setRowHeight(row, height);
        m_table->setCellWidget(row, column, this);
        // In sight it gets its controls now.
        m_table->placeLines();
    }
}

void ETOrderLine::makeControls()
{
    if (m_controls)
        return;
    m_controls = true;
    ETApplicationFactoryAbstract *factory = ETApplicationFactoryAbstract::instance();
    m_anotherFormat = factory->createButton(anotherFormatText(), this, QStringLiteral("anotherformat"), true);
    m_remove = factory->createButton(removeText(), this, QStringLiteral("trashcan"), true);

    m_thumbnail = new QLabel(this);
    m_thumbnail->setObjectName(QStringLiteral("thumbnail"));
    if (m_item)
        m_thumbnail->setAccessibleName(m_item->image()->metaData()->fileName());

    m_product = new ETFormatComboBox(false, this, QStringLiteral("format"));
    m_product->setAccessibleName(tr("Format"));
    makeWhiteField(m_product);
    m_product->setMinimumWidth(74);

    m_amount = new ETAmountLineEdit(this, QStringLiteral("amount"));
    m_amount->setAccessibleName(tr("Anzahl"));
    m_amount->setWidthInDigits(3);
    makeWhiteField(m_amount);

    m_unitPrice = new ETLineEdit(this, QStringLiteral("unitprice"));
    m_unitPrice->setAccessibleName(tr("Einzelpreis"));
    m_totalPrice = new ETLineEdit(this, QStringLiteral("totalprice"));
    m_totalPrice->setAccessibleName(tr("Preissumme"));
    for (ETLineEdit *field : {m_unitPrice, m_totalPrice}) {
        field->setAlignment(Qt::AlignRight);
        field->setReadOnly(true);
        field->setWidthInDigits(6);
        makeWhiteField(field);
        field->setFocusPolicy(Qt::NoFocus);
    }

    loadQualityIcons();
    m_quality = new QLabel(this);
    m_quality->setObjectName(QStringLiteral("quality"));

    if (m_withPixelSize && m_item) {
        ETImage *image = m_item->image();
        const int shorter = qMin(image->width(), image->height());
        const int longer = qMax(image->width(), image->height());
        m_pixelSize = new QLabel(tr("(%1x%2 Pixel)").arg(shorter).arg(longer), this);
        m_pixelSize->setObjectName(QStringLiteral("pixelsize"));
    }

    connect(m_anotherFormat, &QAbstractButton::clicked, this, &ETOrderLine::duplicateMeToOrder);
    connect(m_remove, &QAbstractButton::clicked, this, &ETOrderLine::removeMeFromOrder);
    m_layoutHeight = buildLayout();
    chainControls();
    if (isVisible()) {
        // A layout would show controls made in a visible line only after the current event.
        for (QWidget *control : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            control->show();
    }
    if (!showItemInControls())
        return;
    // Only now: showing the item would report its own product and amount back to it.
    connect(m_product, &QComboBox::currentTextChanged, this, &ETOrderLine::productChanged);
    connect(m_amount, &QLineEdit::textChanged, this, &ETOrderLine::amountChanged);
}

QList<QWidget *> ETOrderLine::keyboardControls() const
{
    if (!m_controls)
        return {};
    return {m_amount, m_product, m_anotherFormat, m_remove};
}

void ETOrderLine::chainControls()
{
    // The keyboard goes through the controls right after the line, in the order a person reads them,
    // not after every control the window made since.
    const Qt::FocusPolicy policy = focusPolicy();
    setFocusPolicy(Qt::TabFocus);
    QWidget *previous = this;
    for (QWidget *control : keyboardControls()) {
        QWidget::setTabOrder(previous, control);
        previous = control;
        // The table moves through the lines on its keys and keeps the line of a typed key in sight.
        control->installEventFilter(this);
    }
    setFocusPolicy(policy);
}

bool ETOrderLine::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && m_table && watched->isWidgetType() &&
        m_table->lineKey(this, static_cast<QWidget *>(watched), static_cast<QKeyEvent *>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void ETOrderLine::dropControls()
{
    if (!m_controls)
        return;
    m_controls = false;
    disconnect(m_product, nullptr, this, nullptr);
    disconnect(m_amount, nullptr, this, nullptr);
    disconnect(m_anotherFormat, nullptr, this, nullptr);
    disconnect(m_remove, nullptr, this, nullptr);
    delete layout();
    // One of them may be reporting a click or a key right now, from an event loop run within its own
    // slot: they go once the event loop that delivered that event gets back to them. Meanwhile they
    // wait hidden in a widget of the same window: leaving the window would walk its whole focus chain
    // for each of them.
    const QList<QWidget *> controls = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    auto *gone = new QWidget(window());
    gone->hide();
    for (QWidget *control : controls)
        control->setParent(gone);
    gone->deleteLater();
    m_anotherFormat = nullptr;
    m_remove = nullptr;
    m_thumbnail = nullptr;
    m_product = nullptr;
    m_amount = nullptr;
    m_quality = nullptr;
    m_unitPrice = nullptr;
    m_totalPrice = nullptr;
    m_pixelSize = nullptr;
    m_thumbnailKey = 0;
    m_shownPrices = false;
    m_shownQuality = -1;
}

void ETOrderLine::keepTextReadable()
{
    // The skin colours the line's background only; its labels must stay readable on it.
    const QWidget *painted =
        autoFillBackground() || !m_table ? static_cast<QWidget *>(this) : m_table->viewport();
    const QColor background = painted->palette().color(painted->backgroundRole());
    const QColor text = background.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::Text, text);
    setPalette(colours);
}

ETOrderItem *ETOrderLine::takeItem()
{
    ETOrderItem *item = m_item;
    m_item = nullptr;
    return item;
}

const QPixmap *ETOrderLine::qualityIcon(int level)
{
    if (level < 0 || level > 4)
        return nullptr;
    return qualityIcons()[size_t(level)];
}

QString ETOrderLine::qualityToolTip(int level)
{
    switch (level) {
    case 0:
        return tr("Schlechte Fotoqualität");
    case 1:
        return tr("Unzureichende Fotoqualität");
    case 2:
        return tr("Ausreichende Fotoqualität");
    case 3:
        return tr("Gute Fotoqualität");
    default:
        return tr("Beste Fotoqualität");
    }
}

void ETOrderLine::productChanged(const QString &product)
{
    if (m_item)
        m_item->setProductName(product);
}

void ETOrderLine::amountChanged(const QString &amount)
{
    if (m_item)
        m_item->setAmount(amount.toInt());
}

void ETOrderLine::removeMeFromOrder()
{
    // Without item from now on: the price update that the removal starts finds nothing to show here.
    ETOrderItem *item = takeItem();
    if (item && m_table)
        m_table->removeItem(this, item, this);
}

void ETOrderLine::duplicateMeToOrder()
{
    if (m_item && m_table)
        m_table->duplicateItem(m_item, this);
}

void ETOrderLine::refresh()
{
    if (!m_item)
        return;
    if (m_controls && !showItemInControls())
        return;
    nameLine();
    m_shownItem.amount = m_item->amount();
    m_shownItem.thumbnail = m_item->thumbnail()->cacheKey();
    m_shownItem.product = m_item->productName();
    m_shownItem.fileName = m_item->image()->metaData()->fileName();
    if (m_table)
        m_table->notifyContentChanged();
}

bool ETOrderLine::showItemInControls()
{
    if (!m_item)
        return false;
    showThumbnail();
    // The edit reports a changed text to the item, which updates the prices once more; the
    // nested refresh finds everything shown and ends there.
    setTextIfChanged(m_amount, QString::number(m_item->amount()));
    if (!m_item || !m_controls)
        return false;
    showPrices();

    m_product->fillProducts();
    const int index = m_product->indexOf(m_item->productName());
    if (index >= 0) {
        m_product->setCurrentIndex(index);
    } else {
        // A product the list does not have is never shown as one it has.
        const QSignalBlocker quiet(m_product);
        m_product->setCurrentIndex(-1);
    }
    if (!m_item || !m_controls)
        return false;
    showQuality();
    return true;
}

void ETOrderLine::followAmount(const QString &text)
{
    // A line with controls follows through its edit, a slave of the masters.
    if (m_controls || !m_item)
        return;
    const int amount = text.toInt();
    if (amount != m_item->amount())
        m_item->setAmount(amount);
}

void ETOrderLine::followProduct(int index)
{
    if (m_controls || !m_item)
        return;
    const QStringList names = ETProductList::instance()->productNames();
    if (index >= 0 && index < names.size() && names.at(index) != m_item->productName())
        m_item->setProductName(names.at(index));
}

void ETOrderLine::showPrices()
{
    const int unit = m_item->price();
    const qint64 total = qint64(unit) * m_item->amount();
    // Every price update of the order reaches every line: only changed prices are written again.
    if (m_shownPrices && unit == m_shownUnit && total == m_shownTotal)
        return;
    m_shownPrices = true;
    m_shownUnit = unit;
    m_shownTotal = total;
    const ETCurrency *currency = ETCurrencyConfig::instance()->currency();
    if (unit < 0 || total > std::numeric_limits<int>::max()) {
        // No price for this product on the order's road: never shown as a sum of money.
        setTextIfChanged(m_unitPrice, tr("–"));
        setTextIfChanged(m_totalPrice, tr("–"));
        return;
    }
    setTextIfChanged(m_unitPrice, currency->formatPrice(unit));
    setTextIfChanged(m_totalPrice, currency->formatPrice(int(total)));
}

void ETOrderLine::showQuality()
{
    const int level = qBound(0, m_item->quality(), 4);
    if (level == m_shownQuality)
        return;
    m_shownQuality = level;
    if (const QPixmap *icon = qualityIcon(level))
        m_quality->setPixmap(*icon);
    else
        m_quality->setText(QString::number(level * 100 / 4) + QLatin1Char('%'));
    m_quality->setAccessibleName(qualityToolTip(level));
    if (ETAppearanceConfig::instance()->buttonTooltips())
        m_quality->setToolTip(qualityToolTip(level));
}

void ETOrderLine::nameLine()
{
    // Every line has the same fields; a screen reader tells them apart by picture and product.
    const QString name = tr("%1, %2").arg(m_item->image()->metaData()->fileName(), m_item->productName());
    if (accessibleName() != name)
        setAccessibleName(name);
}

void ETOrderLine::forgetTable()
{
    m_table = nullptr;
}

void ETOrderLine::setParked(bool parked)
{
    if (parked == m_parked)
        return;
    m_parked = parked;
    m_thumbnailKey = 0;
    if (parked)
        dropControls();
    else if (m_controls)
        showThumbnail();
}

bool ETOrderLine::thumbnailShown(const QPixmap &thumbnail)
{
    if (m_thumbnailKey == thumbnail.cacheKey())
        return true;
    m_thumbnailKey = thumbnail.cacheKey();
    return false;
}

void ETOrderLine::setThumbnailToolTip()
{
    if (m_item && ETAppearanceConfig::instance()->buttonTooltips())
        m_thumbnail->setToolTip(m_item->image()->metaData()->fileName());
}

void ETOrderLine::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click on a line does nothing, not even in the table behind it.
    event->accept();
}
