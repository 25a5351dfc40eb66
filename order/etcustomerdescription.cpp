#include "etcustomerdescription.h"

#include "etsingleton.h"

ETCustomerDescription *ETCustomerDescription::instance()
{
    static ETSingleton<ETCustomerDescription> description;
    return description.get([] { return new ETCustomerDescription; });
}

ETCustomerDescription::ETCustomerDescription(QObject *parent) : QObject(parent)
{
    m_labels.insert(QStringLiteral("email"), tr("E-Mail-Adresse"));
    m_labels.insert(QStringLiteral("password"), tr("Passwort"));
    m_labels.insert(QStringLiteral("passwordCheck"), tr("Passwort bestätigen"));
    m_labels.insert(QStringLiteral("securityQ"), tr("Sicherheits-Frage"));
    m_labels.insert(QStringLiteral("securityA"), tr("Geheime Antwort"));
    m_labels.insert(QStringLiteral("firstname"), tr("Vorname"));
    m_labels.insert(QStringLiteral("lastname"), tr("Name"));
    m_labels.insert(QStringLiteral("street"), tr("Straße, Hausnummer"));
    m_labels.insert(QStringLiteral("zip"), tr("Postleitzahl"));
    m_labels.insert(QStringLiteral("city"), tr("Ort"));
    m_labels.insert(QStringLiteral("phone"), tr("Telefon"));
    m_labels.insert(QStringLiteral("fax"), tr("Fax"));
    m_labels.insert(QStringLiteral("country"), tr("Land"));
    m_labels.insert(QStringLiteral("cellularphone"), tr("Mobil"));
    m_labels.insert(QStringLiteral("salutation"), tr("Anrede"));
    m_labels.insert(QStringLiteral("account"), tr("Kontonummer"));
    m_labels.insert(QStringLiteral("bankleitzahl"), tr("Bankleitzahl"));
    m_labels.insert(QStringLiteral("cardtype"), tr("Kartentyp"));
    m_labels.insert(QStringLiteral("cardnumber"), tr("Kartennummer"));
    m_labels.insert(QStringLiteral("validuntil"), tr("Gültig bis"));
    m_labels.insert(QStringLiteral("cardowner"), tr("Karteninhaber"));
    m_labels.insert(QStringLiteral("accountowner"), tr("Kontoinhaber"));
    m_labels.insert(QStringLiteral("bankname"), tr("Name der Bank"));
    m_labels.insert(QStringLiteral("cardvalidationcode"),
                    tr("Validierungscode (3 Ziffern auf der Rückseite der Karte)"));
    m_labels.insert(QStringLiteral("title"), tr("Titel"));
    m_labels.insert(QStringLiteral("city_part"), tr("Stadteil"));
    m_labels.insert(QStringLiteral("company_name"), tr("Adresszusatz"));
    m_labels.insert(QStringLiteral("state_province"), tr("Bundesland"));
}

QStringList ETCustomerDescription::fieldNames()
{
    return {QStringLiteral("email"),        QStringLiteral("password"),      QStringLiteral("securityQ"),
            QStringLiteral("securityA"),    QStringLiteral("salutation"),    QStringLiteral("title"),
            QStringLiteral("firstname"),    QStringLiteral("lastname"),      QStringLiteral("street"),
            QStringLiteral("zip"),          QStringLiteral("city"),          QStringLiteral("city_part"),
            QStringLiteral("country"),      QStringLiteral("phone"),         QStringLiteral("cellularphone"),
            QStringLiteral("company_name"), QStringLiteral("state_province")};
}

QStringList ETCustomerDescription::bankFields()
{
    return {QStringLiteral("account"), QStringLiteral("bankleitzahl"), QStringLiteral("bankname"),
            QStringLiteral("accountowner")};
}

QStringList ETCustomerDescription::cardFields()
{
    return {QStringLiteral("cardtype"), QStringLiteral("cardnumber"), QStringLiteral("validuntil"),
            QStringLiteral("cardowner"), QStringLiteral("cardvalidationcode")};
}

QStringList ETCustomerDescription::allFields()
{
    return fieldNames() + bankFields() + cardFields();
}

QString ETCustomerDescription::label(const QString &key) const
{
    const auto it = m_labels.constFind(key);
    return it == m_labels.constEnd() ? QString() : it.value();
}
