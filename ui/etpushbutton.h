#pragma once

#include "eticonset.h"

#include <QIcon>
#include <QPushButton>

// A push button showing a picture of the skin; as large as its picture.
class ETPushButton : public QPushButton
{
    Q_OBJECT

  public:
    explicit ETPushButton(QWidget *parent = nullptr, const QString &name = QString());

    void setIconSet(const ETIconSet &iconSet);
    ETIconSet iconSet() const;

    QSize sizeHint() const override;
    // A flat button also takes the round style; turning flat off keeps it.
    virtual void setFlat(bool flat);

  private:
    static QIcon iconOf(const ETIconSet &iconSet);
};
