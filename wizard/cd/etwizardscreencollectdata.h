#pragma once

#include "etcheckboxstack.h"
#include "etwizardscreen.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QGridLayout;
class QLabel;
class QProgressBar;
class QWidget;

// Base of the screens that put a CD-road order onto a medium (burn, copy):
// the page with its step list, progress bar and status, and the dated order
// folder in the CD image folder with the pictures and the order text, which
// it can remove again file by file (GUI thread).
class ETWizardScreenCollectData : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenCollectData(const QString &name, QWidget *parent, ETOrderWizard *wizard);

    // A fresh, empty step list; not cancelled.
    bool atShow() override;

    QString directory() const { return m_directory; }
    QStringList files() const { return m_files; }
    bool isCancelled() const { return m_cancelled; }
    QProgressBar *progressBar() const { return m_progress; }
    QLabel *statusLabel() const { return m_status; }
    ETCheckBoxStack *stepList() const { return m_steps; }

    // For tests: the clock that names the order folder; an empty function restores the real one.
    static void setClockForTests(std::function<QDateTime()> clock);

  public slots:
    // Only marks the run as cancelled; the copy loop and the subclasses look.
    void cancel() override;

  protected:
    // Not cancelled, no status, progress 0.
    void clearRun();
    // A new folder Order_yyyyMMddhhmmss below the CD image folder; when that
    // name is taken (an order of the same second, a folder of the customer's),
    // Order_yyyyMMddhhmmss_2 and so on: the order never writes into a folder
    // it did not make.
    bool makeOrderDirectory();
    // The order text in the lab's encoding; the name written, or empty after a reported failure.
    QString writeOrderText(const QString &fileName);
    // An empty name reports the folder as not writable.
    void reportWriteFailure(const QString &fileName);
    bool beginCollect();
    // A JPEG per order item, then "order.txt"; false after a failure or a cancel.
    bool copyOrderFiles();
    bool endCollect();
    // Removes exactly the files written, then the folder it made if it is empty.
    void cleanupOrderDirectory();
    // Adds a file written by a subclass to those the clean-up removes.
    void addFile(const QString &name) { m_files << name; }

  private:
    QGridLayout *m_layout;
    QProgressBar *m_progress;
    QLabel *m_status;
    QPointer<ETCheckBoxStack> m_steps;
    QStringList m_files;
    QString m_directory;
    bool m_madeDirectory = false;
    bool m_cancelled = false;
};
