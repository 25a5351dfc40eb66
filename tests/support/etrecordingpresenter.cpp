#include "etrecordingpresenter.h"

#include "etrequestercontroller.h"

ETRecordingPresenter::ETRecordingPresenter()
{
    m_previous = ETRequesterController::instance()->presenter();
    ETRequesterController::instance()->setPresenter(this);
}

ETRecordingPresenter::~ETRecordingPresenter()
{
    ETRequesterController::instance()->setPresenter(m_previous);
}

QMessageBox::StandardButton ETRecordingPresenter::messageBox(const ETMessageBoxRequest &request)
{
    ETRecordedRequest &recorded = record(ETRecordedRequest::MessageBox, request.caption);
    recorded.box = request;
    return m_boxAnswers.isEmpty() ? request.defaultButton : m_boxAnswers.dequeue();
}

ETRecordedRequest &ETRecordingPresenter::record(ETRecordedRequest::Kind kind, const QString &caption,
                                                QWidget *parent)
{
    ETRecordedRequest recorded;
    recorded.kind = kind;
    recorded.caption = caption;
    recorded.parent = parent;
    m_requests.append(recorded);
    return m_requests.last();
}

QString ETRecordingPresenter::nextText()
{
    return m_textAnswers.isEmpty() ? QString() : m_textAnswers.dequeue();
}

QString ETRecordingPresenter::getExistingDirectory(const QString &startDir, bool dirOnly,
                                                   const QString &caption, QWidget *parent)
{
    ETRecordedRequest &recorded = record(ETRecordedRequest::ExistingDirectory, caption, parent);
    recorded.start = startDir;
    recorded.dirOnly = dirOnly;
    return nextText();
}

QString ETRecordingPresenter::getSaveFileName(const QString &startWith, const QString &filter,
                                              const QString &caption, QWidget *parent)
{
    ETRecordedRequest &recorded = record(ETRecordedRequest::SaveFileName, caption, parent);
    recorded.start = startWith;
    recorded.filter = filter;
    return nextText();
}

QStringList ETRecordingPresenter::getOpenFileNames(const QString &startDir, const QString &filter,
                                                   const QString &caption, QWidget *parent)
{
    ETRecordedRequest &recorded = record(ETRecordedRequest::OpenFileNames, caption, parent);
    recorded.start = startDir;
    recorded.filter = filter;
    return m_fileAnswers.isEmpty() ? QStringList() : m_fileAnswers.dequeue();
}

QString ETRecordingPresenter::getText(const QString &caption, const QString &label, const QString &text,
                                      QWidget *parent)
{
    ETRecordedRequest &recorded = record(ETRecordedRequest::Text, caption, parent);
    recorded.label = label;
    recorded.start = text;
    return nextText();
}

QString ETRecordingPresenter::getItem(const QString &caption, const QString &label, const QStringList &items)
{
    ETRecordedRequest &recorded = record(ETRecordedRequest::Item, caption);
    recorded.label = label;
    recorded.items = items;
    return nextText();
}
