#pragma once

#include <QLabel>

// A label that counts the pictures and the selected ones.
class ETNumberOfItemsLabel : public QLabel
{
    Q_OBJECT

  public:
    explicit ETNumberOfItemsLabel(QWidget *parent = nullptr, const QString &name = QString(),
                                  Qt::WindowFlags flags = Qt::WindowFlags());

  public slots:
    void setNumberOfItems(int count, int countSelected);
};
