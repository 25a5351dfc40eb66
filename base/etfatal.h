#pragma once

#include <QString>

// Ends the program after a fault it cannot go on from (a broken dealer
// configuration, a base operation that must be overridden): the message goes
// to Qt's critical channel, then the process exits with status 1.
[[noreturn]] void fatalExit(const QString &message);
