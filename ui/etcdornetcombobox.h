#pragma once

#include "submitmethod.h"

#include <QComboBox>

// A combo box of the ways an order can leave the client.
class ETCDOrNetComboBox : public QComboBox
{
    Q_OBJECT

  public:
    explicit ETCDOrNetComboBox(bool readWrite, QWidget *parent = nullptr, const QString &name = QString());

  public slots:
    // The customer's words for a submit method; empty for an unknown one.
    QString readableText(SubmitMethod method);
    // Makes the entry of that text (letter case ignored) current and reports
    // it as activated; without such entry the current one stays and -1 is reported.
    void setThisItem(const QString &text);
};
