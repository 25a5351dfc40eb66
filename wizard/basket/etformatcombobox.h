#pragma once

#include <QComboBox>
#include <QList>

// The print product of an order line. A slave follows the customer's choice on
// any master: a master moves every slave to the same entry with one price
// update of the order (GUI thread).
class ETFormatComboBox : public QComboBox
{
    Q_OBJECT

  public:
    ETFormatComboBox(bool readWrite, QWidget *parent = nullptr, const QString &name = QString(),
                     bool master = false);
    ~ETFormatComboBox() override;

    bool isMaster() const { return m_master; }
    // The names of the product list, in its order.
    void fillProducts();
    // Names the list gained are appended; when the list renamed or dropped a
    // name the entries are made again, so that no product the list no longer
    // has stays selectable. The selection that moves meanwhile is not reported.
    void fillProducts(const QStringList &names);

    // The entry of exactly that name (letter case counts), or -1.
    int indexOf(const QString &name) const;

    // The slaves that exist, in order of construction.
    static QList<ETFormatComboBox *> slaves();

    // Follows the masters without being a combo: an order line out of sight, which has no combo then,
    // takes the product of that entry of the list into its item. Called after the slaves, within the
    // masters' one price update.
    class Follower
    {
      public:
        virtual void followProduct(int index) = 0;

      protected:
        ~Follower() = default;
    };
    static void addFollower(Follower *follower);
    static void removeFollower(Follower *follower);

  protected slots:
    void changeAllSlaves(int index);

  private:
    // Before the entries change: a model shared with other combos is copied.
    void ownModel();

    bool m_master;
    // What fillProducts last made of the list's names, and the entries it left.
    QStringList m_filledFrom;
    QStringList m_entries;
};
