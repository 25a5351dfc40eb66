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
    bool has(const QString &line) const { return lines().contains(line); }
    // Every line, one per row, for failure messages and substring checks.
    QString all() const { return lines().join(QLatin1Char('\n')); }

private:
    QtMessageHandler m_previous;
};
