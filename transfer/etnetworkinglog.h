#pragma once

#include <QLoggingCategory>

// Debug output of the server communication. Same lines as plain debug output,
// but nothing is formatted when the category is switched off.
Q_DECLARE_LOGGING_CATEGORY(lcNetworking)
