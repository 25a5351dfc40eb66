#pragma once

#include <QMetaType>
#include <QPixmap>

class QObject;

// An icon set as the skin's buttons use it: one picture per mode and state,
// each kept at its own size. Unlike QIcon it never scales, so a picture
// button is exactly as large as its picture.
class ETIconSet
{
  public:
    enum Size { Automatic, Small, Large };
    enum Mode { Normal, Disabled, Active };
    enum State { On, Off };

    ETIconSet() = default;
    explicit ETIconSet(const QPixmap &normal);

    bool isNull() const;
    void setPixmap(const QPixmap &pixmap, Size size, Mode mode = Normal, State state = Off);
    // The picture for mode and state; missing ones fall back to the other
    // state, then to the normal picture (greyed for the disabled mode).
    QPixmap pixmap(Size size, Mode mode, State state = Off) const;
    bool hasPixmap(Mode mode, State state) const;

    // Buttons carry their icon set as a property, so the round style finds
    // it on any push button, ours or Qt's own (the wizard's).
    void attachTo(QObject *button) const;
    static ETIconSet of(const QObject *button);

  private:
    static int slot(Mode mode, State state);
    QPixmap m_pixmaps[6];
};

Q_DECLARE_METATYPE(ETIconSet)
