#pragma once

#include "etapplicationfactoryabstract.h"

// The client's application factory: its main window is the plug-in wizard.
class ETApplicationFactoryPlugin : public ETApplicationFactoryAbstract
{
    Q_OBJECT

  public:
    // Makes this the factory that ETApplicationFactoryAbstract::instance() creates.
    static void install();

    ETApplicationFactoryPlugin();
    ~ETApplicationFactoryPlugin() override;

    // Made on the first call, the same widget afterwards.
    QWidget *mainWidget() override;
    // The client's basket shows the labelled, framed order line.
    ETOrderLine *createOrderLine(ETOrderItem *item, int row, int column, ETOrderTable *table,
                                 const QString &name = QString()) override;

  private:
    QWidget *m_mainWidget = nullptr;
};
