#pragma once

#include <QObject>

class ETAppearanceFactory;
class ETFactoryButtons;
class ETOrderItem;
class ETOrderLine;
class ETOrderTable;
class ETProgramStartHandler;
class ETWizardFactoryInterface;
class QProgressDialog;
class QPushButton;
class QWidget;

// The one object the client gets its main window, wizard factory, skin,
// buttons and progress dialogs from (singleton, GUI thread). The concrete
// factory belongs to the program on top; it names itself through setMaker.
class ETApplicationFactoryAbstract : public QObject
{
    Q_OBJECT

  public:
    using Maker = ETApplicationFactoryAbstract *(*)();

    // How instance() makes the concrete factory; set once, before the first call.
    static void setMaker(Maker maker);
    // The first call creates the concrete factory; without a maker it ends the program.
    static ETApplicationFactoryAbstract *instance();

    // Takes ownership of both.
    ETApplicationFactoryAbstract(ETProgramStartHandler *startHandler,
                                 ETWizardFactoryInterface *wizardFactory);
    ~ETApplicationFactoryAbstract() override;

    virtual QWidget *mainWidget() = 0;
    virtual ETWizardFactoryInterface *wizardFactory();
    virtual ETFactoryButtons *factoryButtons();
    virtual ETAppearanceFactory *appearanceFactory();
    // Builds, styles and shows the main window; quits when the last window
    // closes; runs the start handler once.
    virtual void start();
    virtual QWidget *startWidget();
    // No factory of the client may use it: it ends the program.
    virtual void setFrameStyle();
    virtual QWidget *createWidget(QWidget *parent, const QString &name);
    virtual QWidget *createWidget2(QWidget *parent, const QString &name);

    // A new order line for the item in cell (row, column) of the basket; the
    // line puts itself there and the table owns it. This factory leaves the
    // choice of line to the wizard factory.
    virtual ETOrderLine *createOrderLine(ETOrderItem *item, int row, int column, ETOrderTable *table,
                                         const QString &name = QString());

    // A picture button when the skin has a picture named name, else a text
    // button; the parent owns it.
    QPushButton *createButton(const QString &text, QWidget *parent, const QString &name, bool withToolTip);
    // A shown, modal "Bitte warten" dialog over the main window; the caller
    // deletes it.
    QProgressDialog *createProgressDialog(const QString &label, int totalSteps);

  private:
    ETWizardFactoryInterface *m_wizardFactory;
    ETProgramStartHandler *m_startHandler;
    ETAppearanceFactory *m_appearanceFactory;
    ETFactoryButtons *m_factoryButtons;
};
