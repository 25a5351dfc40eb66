#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Collects every Qt debug, warning and critical line while it lives.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    QStringList lines() const;
    QStringList lines(QtMsgType type) const;

private:
    QtMessageHandler m_previous;
};
