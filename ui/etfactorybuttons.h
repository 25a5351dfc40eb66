#pragma once

#include <QObject>

class ETIconSet;
class QPushButton;
class QWidget;

// Makes the client's push buttons: a picture button when the skin has a
// picture of the button's name, a text button otherwise (GUI thread).
class ETFactoryButtons : public QObject
{
    Q_OBJECT

  public:
    explicit ETFactoryButtons(QObject *parent = nullptr);

    // The caller (the parent widget) owns the button.
    QPushButton *createButton(const QString &text, QWidget *parent, const QString &name, bool withToolTip);
    // Looked up once per name and process; null when the skin has none.
    ETIconSet *iconSetFor(const QString &name);
    ETIconSet *loadIcon(const QString &name);
};
