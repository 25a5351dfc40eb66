#include "etcustomer.h"

#include "etapplicationconfig.h"
#include "etconfig.h"
#include "etcustomerconfig.h"
#include "etcustomerdescription.h"

#include <QCoreApplication>

namespace
{

QStringList &mustFieldList()
{
    static QStringList list;
    return list;
}

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
