#pragma once

#include <QCheckBox>
#include <QList>

// A check box that follows every master check box, built before or after it;
// a master never follows itself (GUI thread).
class ETWebCheckBox : public QCheckBox
{
    Q_OBJECT

  public:
    explicit ETWebCheckBox(QWidget *parent = nullptr, const QString &name = QString(), bool master = false);
    ~ETWebCheckBox() override;

    bool isMaster() const { return m_master; }

    // Every box that exists, and the masters among them, in order of construction.
    static QList<ETWebCheckBox *> boxes();
    static QList<ETWebCheckBox *> masters();

  public slots:
    // As QWidget's; the order table's webCheckBoxEnabled(bool) fits it.
    void setEnabled(bool on);

  protected slots:
    void toggledByMaster(bool on);

  private:
    bool m_master;
};
