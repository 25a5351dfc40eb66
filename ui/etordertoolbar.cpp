#include "etordertoolbar.h"

#include <QMainWindow>
#include <QPointer>

namespace
{

// Guarded: a destroyed tool bar drops out by itself.
QList<QPointer<ETOrderToolBar>> &allToolBars()
{
    static QList<QPointer<ETOrderToolBar>> toolBars;
    return toolBars;
}

} // namespace

ETOrderToolBar::ETOrderToolBar(const QString &label, QMainWindow *mainWindow, QWidget *parent, bool newLine)
    : QToolBar(label, parent)
{
    enlist(mainWindow, newLine);
}

ETOrderToolBar::ETOrderToolBar(QMainWindow *mainWindow, const QString &name) : QToolBar(mainWindow)
{
    setObjectName(name);
    enlist(mainWindow, false);
}

void ETOrderToolBar::enlist(QMainWindow *mainWindow, bool newLine)
{
    if (mainWindow) {
        if (newLine)
            mainWindow->addToolBarBreak();
        mainWindow->addToolBar(this);
    }
    QList<QPointer<ETOrderToolBar>> &toolBars = allToolBars();
    toolBars.removeAll(nullptr);
    toolBars.append(this);
}

QList<ETOrderToolBar *> ETOrderToolBar::toolBars()
{
    QList<ETOrderToolBar *> alive;
    for (const QPointer<ETOrderToolBar> &toolBar : allToolBars())
        if (toolBar)
            alive.append(toolBar);
    return alive;
}

void ETOrderToolBar::hideAllOtherToolBars()
{
    for (ETOrderToolBar *toolBar : toolBars())
        if (toolBar != this)
            toolBar->hide();
    show();
    if (auto *mainWindow = qobject_cast<QMainWindow *>(parentWidget()))
        mainWindow->update();
}
