#pragma once

#include <QStringList>
#include <QtGlobal>

#include <gtest/gtest.h>

// Collects debug and warning lines while it lives, so tests can check the lines the code writes.
class MessageCapture
{
public:
    MessageCapture() { s_current = this; m_previous = qInstallMessageHandler(&MessageCapture::handler); }
    ~MessageCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    const QStringList &lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

    ::testing::AssertionResult contains(const QString &line) const
    {
        if (m_lines.contains(line))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected line \"" << line.toStdString() << "\" among: \""
                                             << m_lines.join(QStringLiteral("\" | \"")).toStdString() << "\"";
    }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        if (s_current)
            s_current->m_lines << message;
    }

    static inline MessageCapture *s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    QStringList m_lines;
};
