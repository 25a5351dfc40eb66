#pragma once

#include "etlineedit.h"

#include <QList>

// The amount of prints of an order line: 0 to 999. A slave follows every
// master: what the customer types into a master goes to all slaves with one
// price update of the order (GUI thread).
class ETAmountLineEdit : public ETLineEdit
{
    Q_OBJECT

  public:
    explicit ETAmountLineEdit(QWidget *parent = nullptr, const QString &name = QString(),
                              bool master = false);
    ~ETAmountLineEdit() override;

    bool isMaster() const { return m_master; }

    // The slaves that exist, in order of construction.
    static QList<ETAmountLineEdit *> slaves();

    // Follows the masters without being an edit: an order line out of sight, which has no edit then,
    // takes the text into its item. Called after the slaves, within the masters' one price update.
    class Follower
    {
      public:
        virtual void followAmount(const QString &text) = 0;

      protected:
        ~Follower() = default;
    };
    static void addFollower(Follower *follower);
    static void removeFollower(Follower *follower);

  protected slots:
    void changeAllSlaves(const QString &text);

  private:
    bool m_master;
};
