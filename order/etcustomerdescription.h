#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

// The customer's field keys in their groups, and the label of each field. Singleton.
class ETCustomerDescription : public QObject
{
    Q_OBJECT

  public:
    static ETCustomerDescription *instance();

    explicit ETCustomerDescription(QObject *parent = nullptr);

    static QStringList fieldNames();
    static QStringList bankFields();
    static QStringList cardFields();
    static QStringList allFields();

    // A null text when the key has no label (exact spelling).
    QString label(const QString &key) const;

  private:
    QMap<QString, QString> m_labels;
};
