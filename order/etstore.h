#pragma once

#include <QObject>
#include <QString>

class ETStoreList;

// One store of the dealer from the server's location list.
class ETStore : public QObject
{
    Q_OBJECT

  public:
    explicit ETStore(int locId, const QString &name, const QString &street, const QString &zip,
                     const QString &city, QObject *parent = nullptr);

    // The process-wide store list, refilled by every store search.
    static ETStoreList *storeList();

    int locId() const { return m_locId; }
    QString name() const { return m_name; }
    QString street() const { return m_street; }
    QString zip() const { return m_zip; }
    QString city() const { return m_city; }

    QString label() const;
    // Address block for rich-text views; the store's texts are escaped.
    QString richText() const;
    bool hasLabel(const QString &text) const;

  private:
    int m_locId;
    QString m_name;
    QString m_street;
    QString m_zip;
    QString m_city;
};
