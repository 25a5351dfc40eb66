#pragma once

#include "etcustomer.h"
#include "etorderserverdouble.h"

#include <QDomElement>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

using Fields = QList<QPair<QString, QString>>;

// Customer field keys and the element names they travel under, with a sample value each.
struct CustomerField {
    const char *key;
    const char *wire;
    const char *value;
};

inline const QList<CustomerField> &customerFields()
{
    static const QList<CustomerField> fields = {
        {"email", "email", "jörg@example.com"},
        {"password", "pwd", "ge<heim>"},
        {"securityQ", "sec_question", "Name des Hundes?"},
        {"securityA", "sec_answer", "Bello & Co"},
        {"salutation", "salutation", "Herr"},
        {"title", "title", "Dr."},
        {"firstname", "firstname", "Jörg"},
        {"lastname", "lastname", "Müller"},
        {"street", "street", "Hauptstraße 5"},
        {"zip", "zip", "10115"},
        {"city", "city", "Berlin"},
        {"city_part", "city_part", "Mitte"},
        {"country", "country", "Österreich"},
        {"phone", "phone", "030 123"},
        {"cellularphone", "cellularphone", "0170 456"},
        {"company_name", "company_name", "Foto GmbH"},
        {"state_province", "state_province", "Wien"},
        {"cardtype", "cc_brand", "VISA"},
        {"cardowner", "cc_holder", "Jörg Müller"},
        {"cardnumber", "cc_number", "4111111111111111"},
        {"validuntil", "", "03/2007"},
        {"cardvalidationcode", "cc_validation_code", "123"},
        {"accountowner", "debit_holder", "Jörg Müller"},
        {"bankname", "debit_bankname", "Sparkasse Süd"},
        {"bankleitzahl", "debit_bankcode", "10050000"},
        {"account", "debit_account_number", "0012345678"},
    };
    return fields;
}

inline QString sample(const QString &key)
{
    for (const CustomerField &f : customerFields())
        if (key == QLatin1String(f.key))
            return QString::fromUtf8(f.value);
    return QString();
}

inline QString wire(const QString &key)
{
    for (const CustomerField &f : customerFields())
        if (key == QLatin1String(f.key))
            return QString::fromLatin1(f.wire);
    return key;
}

inline void fillCustomer(ETCustomer &customer)
{
    for (const CustomerField &f : customerFields())
        customer.setValue(QLatin1String(f.key), QString::fromUtf8(f.value));
}

// The children of an element, name and text, in document order, as expected.
inline ::testing::AssertionResult childrenAre(const QDomElement &parent, const Fields &expected)
{
    if (parent.isNull())
        return ::testing::AssertionFailure() << "no such element";
    Fields actual;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        actual << qMakePair(e.tagName(), e.text());
    for (qsizetype i = 0; i < qMax(actual.size(), expected.size()); ++i) {
        const auto a = actual.value(i), b = expected.value(i);
        if (a != b)
            return ::testing::AssertionFailure()
                   << parent.tagName().toStdString() << " child " << i << ": " << a.first.toStdString()
                   << "=\"" << a.second.toStdString() << "\", expected " << b.first.toStdString() << "=\""
                   << b.second.toStdString() << "\"";
    }
    return ::testing::AssertionSuccess();
}

// The one logged request of that name; fails when there is none or more than one.
inline ::testing::AssertionResult onlyRequest(ETOrderServerDouble &server, const QString &name,
                                              ETOrderServerRequest &request)
{
    const QList<ETOrderServerRequest> found = server.requests(name);
    if (found.size() != 1)
        return ::testing::AssertionFailure() << found.size() << " requests " << name.toStdString();
    request = found.first();
    return ::testing::AssertionSuccess();
}
