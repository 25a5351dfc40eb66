#include "etformatcombobox.h"

#include "etorder.h"
#include "etproductlist.h"
#include "etsingleton.h"

#include <QHash>
#include <QPointer>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace
{

QList<ETFormatComboBox *> &slaveList()
{
    static QList<ETFormatComboBox *> list;
    return list;
}

QList<ETFormatComboBox::Follower *> &followerList()
{
    static QList<ETFormatComboBox::Follower *> list;
    return list;
}

using SharedModels = QHash<QStringList, QStandardItemModel *>;

// Every line's combo shows the same names: they share one model of them, which no combo changes.
// A combo whose entries are to differ takes a model of its own first.
QStandardItemModel *sharedModel(const QStringList &names)
{
    static ETSingleton<SharedModels> models;
    SharedModels &shared =
        *models.get([] { return new SharedModels; }, [](SharedModels *gone) { qDeleteAll(*gone); });
    QStandardItemModel *&model = shared[names];
    if (!model) {
        model = new QStandardItemModel(0, 1);
        for (const QString &name : names)
            model->appendRow(new QStandardItem(name));
    }
    return model;
}

} // namespace

ETFormatComboBox::ETFormatComboBox(bool readWrite, QWidget *parent, const QString &name, bool master)
    : QComboBox(parent), m_master(master)
{
    setObjectName(name);
    setEditable(readWrite);
    if (master)
        connect(this, &QComboBox::activated, this, &ETFormatComboBox::changeAllSlaves);
    else
        slaveList().append(this);
    fillProducts();
}

ETFormatComboBox::~ETFormatComboBox()
{
    if (!m_master)
        slaveList().removeAll(this);
}

QList<ETFormatComboBox *> ETFormatComboBox::slaves()
{
    return slaveList();
}

void ETFormatComboBox::addFollower(Follower *follower)
{
    followerList().append(follower);
}

void ETFormatComboBox::removeFollower(Follower *follower)
{
    followerList().removeAll(follower);
}

void ETFormatComboBox::fillProducts()
{
    fillProducts(ETProductList::instance()->productNames());
}

void ETFormatComboBox::fillProducts(const QStringList &names)
{
    // Every refresh of a line asks: an unchanged list costs one comparison.
    if (names == m_filledFrom && m_entries.size() == count())
        return;
    m_filledFrom = names;
    if (count() == 0 && !isEditable() && !names.isEmpty()) {
        const QSignalBlocker quiet(this);
        setModel(sharedModel(names));
        m_entries = names;
        return;
    }
    QStringList entries;
    entries.reserve(count());
    for (int i = 0; i < count(); ++i)
        entries << itemText(i);
    m_entries = entries;
    if (entries == names)
        return;

    // A selection that moves here is the list's doing, not the customer's.
    const QSignalBlocker quiet(this);
    ownModel();
    bool onlyAdded = true;
    for (const QString &entry : std::as_const(entries)) {
        if (!names.contains(entry, Qt::CaseInsensitive)) {
            onlyAdded = false;
            break;
        }
    }
    if (onlyAdded) {
        for (const QString &name : names) {
            if (findText(name, Qt::MatchFixedString) < 0) {
                addItem(name);
                m_entries << name;
            }
        }
        return;
    }
    const QString current = currentText();
    clear();
    addItems(names);
    m_entries = names;
    setCurrentIndex(findText(current));
}

void ETFormatComboBox::ownModel()
{
    if (model()->QObject::parent() == this)
        return;
    const int current = currentIndex();
    auto *own = new QStandardItemModel(0, 1, this);
    for (int i = 0; i < count(); ++i)
        own->appendRow(new QStandardItem(itemText(i)));
    setModel(own);
    setCurrentIndex(current);
}

int ETFormatComboBox::indexOf(const QString &name) const
{
    if (m_entries.size() != count())
        return findText(name);
    return int(m_entries.indexOf(name));
}

void ETFormatComboBox::changeAllSlaves(int index)
{
    ETOrder *order = ETOrder::instance();
    order->setAutoUpdate(false);
    // A slave that goes while the others are set is skipped.
    QList<QPointer<ETFormatComboBox>> targets;
    for (ETFormatComboBox *slave : std::as_const(slaveList()))
        targets << slave;
    for (const QPointer<ETFormatComboBox> &slave : std::as_const(targets)) {
        // Out of range would leave a slave without any entry.
        if (slave && index >= 0 && index < slave->count())
            slave->setCurrentIndex(index);
    }
    // Followers only set their items: none comes or goes meanwhile.
    for (Follower *follower : std::as_const(followerList()))
        follower->followProduct(index);
    order->setAutoUpdate(true);
}
