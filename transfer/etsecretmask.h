#pragma once

#include <QString>

// Hides password, card number and card validation code in request and reply
// texts before they reach debug output or the order log.
QString maskSecrets(const QString &xml);
