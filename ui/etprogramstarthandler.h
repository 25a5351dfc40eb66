#pragma once

#include <QObject>

// Hook run once after the main window is shown; the client's does nothing.
class ETProgramStartHandler : public QObject
{
    Q_OBJECT

  public:
    explicit ETProgramStartHandler(QObject *parent = nullptr);

    virtual void handleStart();
};
