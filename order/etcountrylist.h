#pragma once

#include <QDomElement>
#include <QMap>
#include <QStringList>

// Countries (name to ISO code) from "countrylist.xml", sorted by name. Singleton, GUI thread.
class ETCountryList
{
  public:
    static ETCountryList *instance();

    ETCountryList() = default;
    virtual ~ETCountryList() = default;
    ETCountryList(const ETCountryList &) = delete;
    ETCountryList &operator=(const ETCountryList &) = delete;

    // Replaces the list with the file's countries; a missing file leaves it empty.
    void readFile(const QString &path);
    void parse(const QDomElement &root);

    QStringList names() const { return m_countries.keys(); }
    QString isoCode(const QString &name) const { return m_countries.value(name); }
    // The country of the dealer's primary ISO code, else the first one.
    QString primaryCountryName() const;
    QString primaryCountryName(const QString &primaryIsoCode) const;

  private:
    QMap<QString, QString> m_countries;
};
