#pragma once

#include "etproduct.h"

#include <QDomElement>
#include <QList>
#include <QObject>
#include <QStringList>

class ETImage;
class ETListSource;

// The print products from "productlist.xml", looked up by name (singleton, GUI thread).
class ETProductList : public QObject
{
    Q_OBJECT

  public:
    static ETProductList *instance();

    // An empty list; fill it with readFile() or parse().
    explicit ETProductList(QObject *parent = nullptr);

    // Merges the entries of a product-list file into the list; a missing file adds nothing.
    void readFile(const QString &path);
    // Fetches the list from the server and merges it in; false when the fetch failed.
    bool updateFromServer(ETListSource *server);
    // Merges the entries under the root (or its "content" child); known names gain or overwrite prices.
    void parse(const QDomElement &root);

    const ETProduct *product(const QString &name) const;
    int price(const QString &name, int tier) const;
    QString transferId(const QString &name, int tier) const;
    int quality(const QString &name, ETImage *image) const;
    QString specialProductId(const QString &name) const;
    QString specialSize(const QString &name) const;
    QString specialType(const QString &name) const;
    QString productName(const QString &name) const;
    QStringList productNames() const { return m_names; }
    int count() const { return int(m_names.size()); }
    QString firstProductName() const;

    void dumpAll() const;
    void checkAll() const;

    // Money text of the list ("12,5", "4.99"): cents.
    static int parsePrice(const QString &text);

  private:
    ETProduct *findProduct(const QString &name);

    QList<ETProduct> m_products;
    QStringList m_names;
};
