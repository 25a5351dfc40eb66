#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class ETCustomer;

// The editor of one customer field on a form page. It keeps no pointer to
// its editor: it finds the page's child named key + "Edit" each time, so a
// handler may be made for one use and dropped. A field without editor on the
// page is skipped by show and write-back, passes its check and counts as
// unchanged (GUI thread).
class ETCustomerWidgetHandler : public QObject
{
    Q_OBJECT

  public:
    ETCustomerWidgetHandler(ETCustomer *customer, const QString &key, QWidget *page);
    // For the customer of the process-wide order.
    ETCustomerWidgetHandler(const QString &key, QWidget *page);

    // Makes the editor as a child of the page; a receiver that is the wizard
    // or a screen hears of every text change (integrity check).
    virtual QWidget *createWidget(QObject *receiver) = 0;
    // Takes the editor's value into the record (not saved).
    virtual void writeBack();
    // Puts the stored value into the editor, which exists.
    virtual void showValue() = 0;
    // Whether the editor's input is acceptable.
    virtual bool check() = 0;
    // The editor's value as the record stores it.
    virtual QString value() = 0;

    // The page's child named key + "Edit", searched below the page; null when there is none.
    QWidget *widget() const;
    QString storedValue() const;
    bool isUnchanged();
    void show();

    ETCustomer *customer() const { return m_customer; }
    QString key() const { return m_key; }
    QWidget *page() const { return m_page; }

  private:
    ETCustomer *m_customer;
    QString m_key;
    QPointer<QWidget> m_page;
};
