#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

// The customer of the order: field key to value, saved in the per-user settings. Owned by the order.
class ETCustomer : public QObject
{
    Q_OBJECT

  public:
    explicit ETCustomer(QObject *parent = nullptr);

    // Keys are case-insensitive: every spelling of a key names one entry.
    QString value(const QString &key) const;
    void setValue(const QString &key, const QString &value);
    void clear();
    void save();
    void load();
    // Postal address for rich-text views; the customer's texts are escaped.
    QString addressRichText() const;

    // Asked for each time it is needed, never kept in the settings: the card validation code.
    static bool isNeverStored(const QString &key);
    static QString fieldLabel(const QString &key);
    static bool isMustField(const QString &key);
    static QStringList salutations();

  private:
    QString m_programPath;
    QMap<QString, QString> m_fields;
};
