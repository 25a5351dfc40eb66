#pragma once

#include "etcdburner.h"
#include "etwizardscreencollectdata.h"

#include <QPointer>
#include <QString>

#include <functional>

class ETCDBurnerThread;

// The automatic step of the CD road that makes the order medium: it puts
// the order folder together, has the chosen burner make an ISO image of it,
// burns the image when the burner writes discs, and removes the folder
// again. The burner's signals come from its thread; as every receiver lives
// in the GUI thread they arrive queued (GUI thread).
class ETWizardScreenBurn : public ETWizardScreenCollectData
{
    Q_OBJECT

  public:
    ETWizardScreenBurn(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    bool check() override;
    // New step list with the chosen burner's steps.
    bool atShow() override;
    bool appropriate() override;
    // Collect, image, disc, clean up; then on to the CD final screen, back to
    // the burner choice, or nowhere when the order wizard was cancelled.
    bool run() override;

    ETCDBurner *burner() const { return m_burner; }

  public slots:
    // Also stops a running burner thread and waits for it.
    void cancel() override;
    void beginBurn();
    void endBurn();
    void beginAction(unsigned int action);
    void endAction(unsigned int action);

  protected:
    bool connectBurner();
    void disconnectBurner();
    bool collectBurnData();
    // False for a failure and for a run the customer ended (no file name, no disc).
    bool burnIt();
    void cleanupBurn();
    // Each returns the name of the file written into the order folder, or empty.
    QString writeOfflineOrder();
    QString writeDebugInfo();
    QString writePadFile();

  private:
    // Runs one job in a burner thread; false without starting once cancelled.
    bool runBurnerThread(const std::function<void(ETCDBurnerThread *)> &job);
    QString cdImagePath() const;

    QPointer<ETCDBurner> m_burner;
    ETCDBurnerThread *m_thread = nullptr;
    QString m_imageName;
    bool m_done = false;
    bool m_removeImage = true;
    // The customer ended the run (no file name, no disc, Cancel on the failure question).
    bool m_aborted = false;
};
