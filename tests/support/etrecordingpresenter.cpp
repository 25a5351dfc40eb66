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
    ETRecordedRequest recorded;
    recorded.kind = ETRecordedRequest::MessageBox;
    recorded.box = request;
    recorded.caption = request.caption;
    m_requests.append(recorded);
    return m_boxAnswers.isEmpty() ? request.defaultButton : m_boxAnswers.dequeue();
}

QString ETRecordingPresenter::nextText()
{
    return m_textAnswers.isEmpty() ? QString() : m_textAnswers.dequeue();
}

QString ETRecordingPresenter::getExistingDirectory(const QString &startDir, bool dirOnly,
                                                   const QString &caption, QWidget *parent)
{
    ETRecordedRequest recorded;
    recorded.kind = ETRecordedRequest::ExistingDirectory;
    recorded.start = startDir;
    recorded.dirOnly = dirOnly;
    recorded.caption = caption;
    recorded.parent = parent;
    m_requests.append(recorded);
    return nextText();
}

QString ETRecordingPresenter::getSaveFileName(const QString &startWith, const QString &filter,
                                              const QString &caption, QWidget *parent)
{
    ETRecordedRequest recorded;
    recorded.kind = ETRecordedRequest::SaveFileName;
    recorded.start = startWith;
    recorded.filter = filter;
    recorded.caption = caption;
    recorded.parent = parent;
    m_requests.append(recorded);
    return nextText();
}

QStringList ETRecordingPresenter::getOpenFileNames(const QString &startDir, const QString &filter,
                                                   const QString &caption, QWidget *parent)
{
    ETRecordedRequest recorded;
    recorded.kind = ETRecordedRequest::OpenFileNames;
    recorded.start = startDir;
    recorded.filter = filter;
    recorded.caption = caption;
    recorded.parent = parent;
    m_requests.append(recorded);
    return m_fileAnswers.isEmpty() ? QStringList() : m_fileAnswers.dequeue();
}

QString ETRecordingPresenter::getText(const QString &caption, const QString &label, const QString &text,
                                      QWidget *parent)
{
    ETRecordedRequest recorded;
    recorded.kind = ETRecordedRequest::Text;
    recorded.caption = caption;
    recorded.label = label;
    recorded.start = text;
    recorded.parent = parent;
    m_requests.append(recorded);
    return nextText();
}

QString ETRecordingPresenter::getItem(const QString &caption, const QString &label, const QStringList &items)
{
    ETRecordedRequest recorded;
    recorded.kind = ETRecordedRequest::Item;
    recorded.caption = caption;
    recorded.label = label;
    recorded.items = items;
    m_requests.append(recorded);
    return nextText();
}
