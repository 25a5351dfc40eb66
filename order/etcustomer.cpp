#include "etcustomer.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcountrylist.h"
#include "etcustomerconfig.h"
#include "etcustomerdescription.h"
#include "etcustomerhandlermaker.h"
#include "etcustomerwidgethandler.h"
#include "etorder.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>

namespace
{

QStringList &mustFieldList()
{
    static QStringList list;
    return list;
}

ETCustomerHandlerMaker *s_handlerMaker = nullptr;

QString settingsKey(const QString &field)
{
    return QStringLiteral("customer_data/") + field;
}

} // namespace

ETCustomer::ETCustomer(QObject *parent)
    : QObject(parent), m_programPath(QLatin1Char('/') + ETApplicationConfig::instance()->programName())
{
    clear();
    mustFieldList() = ETCustomerConfig::instance()->mustFields();
}

QString ETCustomer::value(const QString &key) const
{
    return m_fields.value(key.toLower());
}

void ETCustomer::setValue(const QString &key, const QString &value)
{
    m_fields.insert(key.toLower(), value);
}

void ETCustomer::clear()
{
    for (const QString &key : ETCustomerDescription::allFields())
        setValue(key, QString());
}

// The settings keep the fields as the descriptions spell them ("customer_data/securityQ").
// An emptied field is stored empty, so that the next load does not bring back
// the old value. The card validation code is never kept (card rules forbid
// it); one an older version stored is cleared.
void ETCustomer::save()
{
    ETConfig *config = ETConfig::instance();
    config->startSettings();
    for (const QString &key : ETCustomerDescription::allFields()) {
        if (isNeverStored(key))
            config->removeEntry(settingsKey(key));
        else
            config->writeEntry(settingsKey(key), value(key));
    }
    config->endSettings();
}

void ETCustomer::load()
{
    ETConfig *config = ETConfig::instance();
    config->startSettings();
    for (const QString &key : ETCustomerDescription::allFields())
        setValue(key, isNeverStored(key) ? QString() : config->readEntry(settingsKey(key), QString()));
    config->endSettings();
}

bool ETCustomer::isNeverStored(const QString &key)
{
    return key.compare(QLatin1String("cardvalidationcode"), Qt::CaseInsensitive) == 0;
}

QString ETCustomer::addressRichText() const
{
    const auto field = [this](const char *key) { return value(QString::fromLatin1(key)).toHtmlEscaped(); };
    const QString br = QStringLiteral("<br>");
    return field("salutation") + QLatin1Char(' ') + field("firstname") + QLatin1Char(' ') +
           field("lastname") + br + field("street") + br + field("zip") + QLatin1Char(' ') + field("city") +
           br;
}

QString ETCustomer::fieldLabel(const QString &key)
{
    const QString label = ETCustomerDescription::instance()->label(key);
    return label.isNull() ? key : label;
}

bool ETCustomer::isMustField(const QString &key)
{
    return mustFieldList().contains(key);
}

QStringList ETCustomer::salutations()
{
    QStringList result;
    if (ETApplicationConfig::instance()->country() == 7) {
        const char *comment = "Note: used only if country==GREAT BRITAIN. Ignore otherwise";
        for (const char *title : {"Mr", "Mrs", "Miss", "Ms", "Dr", "Prof", "Rev", "Sir", "Lady"})
            result << QCoreApplication::translate("ETCustomer", title, comment);
        return result;
    }
    result << QCoreApplication::translate("ETCustomer", "Herr", "Note: unused if country==GREAT BRITAIN");
    result << QCoreApplication::translate("ETCustomer", "Frau", "Note: unused if country==GREAT BRITAIN");
    const QString doctor =
        QCoreApplication::translate("ETCustomer", "Dr.", "Note: Translate as UNUSED to remove this option");
    if (doctor != QLatin1String("UNUSED"))
        result << doctor;
    return result;
}

void ETCustomer::setHandlerMaker(ETCustomerHandlerMaker *maker)
{
    s_handlerMaker = maker;
}

std::unique_ptr<ETCustomerWidgetHandler> ETCustomer::createHandler(ETCustomer *customer, QWidget *page,
                                                                   const QString &key)
{
    if (!s_handlerMaker)
        return nullptr;
    if (key == QLatin1String("salutation"))
        return s_handlerMaker->comboBox(customer, key, page, salutations(), QString());
    if (key == QLatin1String("country")) {
        const ETCountryList *countries = ETCountryList::instance();
        return s_handlerMaker->comboBox(customer, key, page, countries->names(),
                                        countries->primaryCountryName());
    }
    // The credit-card screen fills the box.
    if (key == QLatin1String("cardtype"))
        return s_handlerMaker->comboBox(customer, key, page, QStringList(), QString());
    if (key == QLatin1String("validuntil"))
        return s_handlerMaker->validUntil(customer, key, page);
    return s_handlerMaker->lineEdit(customer, key, page);
}

std::unique_ptr<ETCustomerWidgetHandler> ETCustomer::handlerFor(QWidget *page, const QString &key)
{
    return createHandler(ETOrder::instance()->customer(), page, key);
}

void ETCustomer::addField(QWidget *page, const QString &key, QObject *receiver, QGridLayout *grid, int row,
                          int column, bool wide, bool markMust)
{
    auto *label = new QLabel(fieldLabel(key), page);
    label->setObjectName(key + QLatin1String("Description"));
    const std::unique_ptr<ETCustomerWidgetHandler> handler = createHandler(this, page, key);
    QWidget *editor = handler ? handler->createWidget(receiver) : nullptr;
    const bool star = markMust && isMustField(key);
    if (star)
        grid->addWidget(new QLabel(tr("*"), page), row, column + 2);
    grid->addWidget(label, row, column, Qt::AlignRight);
    if (!editor)
        return;
    // A field of a fixed width gives up a quarter of it where the page is narrow (two columns of
    // fields beside long labels): the grid then never squeezes a label or a star onto a field.
    if (editor->minimumWidth() > 0 && editor->minimumWidth() == editor->maximumWidth())
        editor->setMinimumWidth(editor->maximumWidth() * 3 / 4);
    // A wide field takes the star's column only when it has no star.
    if (wide && !star)
        grid->addWidget(editor, row, column + 1, 1, 2);
    else
        grid->addWidget(editor, row, column + 1);
    label->setBuddy(editor);
    editor->setAccessibleName(label->text());
}

void ETCustomer::showAll(QWidget *page)
{
    if (!page)
        return;
    for (const QString &key : ETCustomerDescription::allFields())
        if (const std::unique_ptr<ETCustomerWidgetHandler> handler = createHandler(this, page, key))
            handler->show();
}

void ETCustomer::writeBackAll(QWidget *page)
{
    if (!page)
        return;
    for (const QString &key : ETCustomerDescription::allFields())
        if (const std::unique_ptr<ETCustomerWidgetHandler> handler = createHandler(this, page, key))
            handler->writeBack();
}

bool ETCustomer::allUnchanged(QWidget *page)
{
    if (!page)
        return false;
    for (const QString &key : ETCustomerDescription::allFields()) {
        const std::unique_ptr<ETCustomerWidgetHandler> handler = createHandler(this, page, key);
        if (handler && !handler->isUnchanged())
            return false;
    }
    return true;
}

QMap<QString, QString> ETCustomer::formValues(QWidget *page)
{
    QMap<QString, QString> values;
    if (!page)
        return values;
    for (const QString &key : ETCustomerDescription::allFields()) {
        const std::unique_ptr<ETCustomerWidgetHandler> handler = createHandler(this, page, key);
        if (handler && handler->widget())
            values.insert(key, handler->value());
    }
    return values;
}

bool ETCustomer::checkAll(QWidget *page)
{
    if (!page)
        return false;
    for (const QString &key : ETCustomerDescription::allFields()) {
        const std::unique_ptr<ETCustomerWidgetHandler> handler = createHandler(this, page, key);
        if (handler && !handler->check())
            return false;
    }
    return true;
}
