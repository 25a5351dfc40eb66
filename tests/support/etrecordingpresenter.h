#pragma once

#include "etrequesterpresenter.h"

#include <QList>
#include <QQueue>

// What one call of the requester facade showed.
struct ETRecordedRequest {
    enum Kind { MessageBox, ExistingDirectory, SaveFileName, OpenFileNames, Text, Item };
    Kind kind = MessageBox;
    ETMessageBoxRequest box;
    QString caption;
    QString label;
    QString start;
    QString filter;
    bool dirOnly = false;
    QStringList items;
    QWidget *parent = nullptr;
};

// Test presenter: records every box and requester and answers from scripted queues without a screen.
// While it lives it is the facade's presenter.
class ETRecordingPresenter : public ETRequesterPresenter
{
  public:
    ETRecordingPresenter();
    ~ETRecordingPresenter() override;

    // Box answers are used in order; without one a box is answered with its default button.
    void answerBox(QMessageBox::StandardButton button) { m_boxAnswers.enqueue(button); }
    // Answers for folder, save, text and item requesters; without one they are cancelled (null text).
    void answerText(const QString &text) { m_textAnswers.enqueue(text); }
    void answerFiles(const QStringList &files) { m_fileAnswers.enqueue(files); }

    const QList<ETRecordedRequest> &requests() const { return m_requests; }
    const ETRecordedRequest &last() const { return m_requests.last(); }
    void clear() { m_requests.clear(); }

    QMessageBox::StandardButton messageBox(const ETMessageBoxRequest &request) override;
    QString getExistingDirectory(const QString &startDir, bool dirOnly, const QString &caption,
                                 QWidget *parent) override;
    QString getSaveFileName(const QString &startWith, const QString &filter, const QString &caption,
                            QWidget *parent) override;
    QStringList getOpenFileNames(const QString &startDir, const QString &filter, const QString &caption,
                                 QWidget *parent) override;
    QString getText(const QString &caption, const QString &label, const QString &text,
                    QWidget *parent) override;
    QString getItem(const QString &caption, const QString &label, const QStringList &items) override;

  private:
    // Logs a request and hands it back for its other fields.
    ETRecordedRequest &record(ETRecordedRequest::Kind kind, const QString &caption,
                              QWidget *parent = nullptr);
    QString nextText();

    QList<ETRecordedRequest> m_requests;
    QQueue<QMessageBox::StandardButton> m_boxAnswers;
    QQueue<QString> m_textAnswers;
    QQueue<QStringList> m_fileAnswers;
    ETRequesterPresenter *m_previous = nullptr;
};
