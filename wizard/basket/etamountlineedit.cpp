#include "etamountlineedit.h"

#include "etorder.h"

#include <QPointer>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

namespace
{

QList<ETAmountLineEdit *> &slaveList()
{
    static QList<ETAmountLineEdit *> list;
    return list;
}

QList<ETAmountLineEdit::Follower *> &followerList()
{
    static QList<ETAmountLineEdit::Follower *> list;
    return list;
}

} // namespace

ETAmountLineEdit::ETAmountLineEdit(QWidget *parent, const QString &name, bool master)
    : ETLineEdit(parent, name), m_master(master)
{
    if (master)
        connect(this, &QLineEdit::textChanged, this, &ETAmountLineEdit::changeAllSlaves);
    else
        slaveList().append(this);
    setAcceptDrops(false);
    // Plain digits only: no sign, no group separators of the locale.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
    setMaxLength(3);
}

ETAmountLineEdit::~ETAmountLineEdit()
{
    if (!m_master)
        slaveList().removeAll(this);
}

QList<ETAmountLineEdit *> ETAmountLineEdit::slaves()
{
    return slaveList();
}

void ETAmountLineEdit::addFollower(Follower *follower)
{
    followerList().append(follower);
}

void ETAmountLineEdit::removeFollower(Follower *follower)
{
    followerList().removeAll(follower);
}

void ETAmountLineEdit::changeAllSlaves(const QString &text)
{
    ETOrder *order = ETOrder::instance();
    order->setAutoUpdate(false);
    // A slave that goes while the others are set is skipped.
    QList<QPointer<ETAmountLineEdit>> targets;
    for (ETAmountLineEdit *slave : std::as_const(slaveList()))
        targets << slave;
    for (const QPointer<ETAmountLineEdit> &slave : std::as_const(targets)) {
        if (slave)
            slave->setText(text);
    }
    // Followers only set their items: none comes or goes meanwhile.
    for (Follower *follower : std::as_const(followerList()))
        follower->followAmount(text);
    order->setAutoUpdate(true);
}
