#pragma once

#include <QString>

// One currency of the currency table and the formatting of cent counts in it.
class ETCurrency
{
  public:
    ETCurrency() = default;
    ETCurrency(const QString &shortForm, const QString &longForm, const QString &name, const QString &symbol,
               const QString &isoCode, const QString &decimalSep);

    QString shortForm() const { return m_short; }
    QString longForm() const { return m_long; }
    QString name() const { return m_name; }
    QString symbol() const { return m_symbol; }
    QString isoCode() const { return m_isoCode; }
    // "," when the table gives none.
    QString decimalSeparator() const;

    // Units, separator and two cent digits, with a leading "-" for negative counts; no unit or symbol.
    QString formatPrice(int cents) const;

  private:
    QString m_short;
    QString m_long;
    QString m_name;
    QString m_symbol;
    QString m_isoCode;
    QString m_decimalSep;
};

// Reads a money text of a data file ("12,5", "4.99", "12") as cents; 0 when it cannot be read.
int parseMoney(const QString &text);
