#pragma once

#include <QToolBar>

class QMainWindow;

// A tool bar that can hide all other tool bars of its kind (GUI thread).
class ETOrderToolBar : public QToolBar
{
    Q_OBJECT

  public:
    // Both put the tool bar into the main window's tool bar area when one is given;
    // newLine starts a new row of tool bars for it.
    ETOrderToolBar(const QString &label, QMainWindow *mainWindow, QWidget *parent = nullptr,
                   bool newLine = false);
    explicit ETOrderToolBar(QMainWindow *mainWindow, const QString &name = QString());

    // Every tool bar of this kind that still exists, in order of construction.
    static QList<ETOrderToolBar *> toolBars();

  public slots:
    void hideAllOtherToolBars();

  private:
    void enlist(QMainWindow *mainWindow, bool newLine);
};
