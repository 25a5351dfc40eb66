#pragma once

#include "messagecapture.h"

#include <gtest/gtest.h>

// Whether the capture holds exactly this line; the failure lists what was written.
inline ::testing::AssertionResult hasLine(const MessageCapture &capture, const QString &line)
{
    const QStringList lines = capture.lines();
    if (lines.contains(line))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected line \"" << line.toStdString() << "\" among: \""
                                         << lines.join(QStringLiteral("\" | \"")).toStdString() << "\"";
}
