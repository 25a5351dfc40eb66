#pragma once

#include <QString>

// Hides password, card number, card validation code, security answer, account
// number and bank code in request and reply texts before they reach debug
// output or the order log.
QString maskSecrets(const QString &xml);
