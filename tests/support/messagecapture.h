#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <gtest/gtest.h>

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

// Whether the capture holds exactly this line; the failure lists what was written.
inline ::testing::AssertionResult hasLine(const MessageCapture &capture, const QString &line)
{
    const QStringList lines = capture.lines();
    if (lines.contains(line))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected line \"" << line.toStdString() << "\" among: \""
                                         << lines.join(QStringLiteral("\" | \"")).toStdString() << "\"";
}
