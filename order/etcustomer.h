#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>

#include <memory>

class ETCustomerHandlerMaker;
class ETCustomerWidgetHandler;
class QGridLayout;
class QWidget;

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

    // Forms: a page holds one editor per field, named key + "Edit", made and
    // read by the field's handler. Fields without editor on the page are
    // skipped; a null page does nothing, and the two questions answer false.
    // One row of a form: the label at (row, column), the editor right of it
    // (over two columns when wide), "*" two columns right of the label for a
    // must field when markMust.
    void addField(QWidget *page, const QString &key, QObject *receiver, QGridLayout *grid, int row,
                  int column, bool wide, bool markMust);
    void showAll(QWidget *page);
    // Takes every editor's value into this record; does not save.
    void writeBackAll(QWidget *page);
    bool allUnchanged(QWidget *page);
    // Every editor's value by field key.
    QMap<QString, QString> formValues(QWidget *page);
    bool checkAll(QWidget *page);
    // A handler for the order's customer.
    static std::unique_ptr<ETCustomerWidgetHandler> handlerFor(QWidget *page, const QString &key);
    // Null while no maker is registered.
    static std::unique_ptr<ETCustomerWidgetHandler> createHandler(ETCustomer *customer, QWidget *page,
                                                                  const QString &key);
    // The maker of the editors; not owned.
    static void setHandlerMaker(ETCustomerHandlerMaker *maker);

  private:
    QString m_programPath;
    QMap<QString, QString> m_fields;
};
