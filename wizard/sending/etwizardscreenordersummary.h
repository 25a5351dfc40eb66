#pragma once

#include "etwizardscreen.h"

#include <QPointer>
#include <QTextEdit>

#include <functional>

class QPrinter;

// Base of the screens that show the order as a document (the overview before
// the terms, the confirmation at the end): fills the view on every showing
// and prints or saves a picture of it (GUI thread).
class ETWizardScreenOrderSummary : public ETWizardScreen
{
    Q_OBJECT

  public:
    ETWizardScreenOrderSummary(const QString &name, ETOrderWizard *wizard);

    // Replaces the view's text by a fresh document.
    bool atShow() override;
    // The document as the order stands now.
    virtual QString buildText() = 0;

    QTextEdit *textView() const { return m_textView; }

    // How the printer set-up is asked; true prints. Tests answer it without
    // a dialog (and send the printer to a file); an empty function brings
    // back the dialog.
    using PrintSetup = std::function<bool(QPrinter *)>;
    static void setPrintSetupForTests(PrintSetup setup);

  public slots:
    // Stops when the printer set-up is cancelled.
    void printBon();
    // Writes the name chosen plus ".JPG"; a failed write is reported.
    void saveBon();

  protected:
    void setTextView(QTextEdit *view) { m_textView = view; }

  private:
    QPointer<QTextEdit> m_textView;
};
