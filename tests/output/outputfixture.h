#pragma once

#include "submitmethod.h"

#include <QString>

#include <ostream>

#include <gtest/gtest.h>

// The fixture order of the output tests. The dealer folder
// (fixtures/order-outputs-dealer), the pictures and the application are made
// once per test program; fillOrder() puts the order into a known state.

struct OutputScenario {
    const char *folder; // fixtures/<folder>/ holds the expected texts
    SubmitMethod submitMethod;
    int paymentType;
};

inline void PrintTo(const OutputScenario &scenario, std::ostream *out)
{
    *out << scenario.folder;
}

// The five scenarios: every payment type, on every road.
extern const OutputScenario outputScenarios[5];

// Test names for the scenarios: the folder without its common prefix.
std::string scenarioName(const ::testing::TestParamInfo<OutputScenario> &info);

// The temporary folder beside the resource folder, for files the tests write.
QString outputWorkDir();

// Items: "Strandkörbe am Meer.jpg" 3 x 10x15, "Łódź – Nacht.png" 2 x 10x15,
// the first picture again 1 x "13x18 matt", "Ærø Hafen.jpg" 4 x "Poster 30x45
// & mehr", "leer.jpg" 0 x 10x15. A customer with non-ASCII letters, a store, a
// coupon, the scenario's submit method and payment type.
void fillOrder(const OutputScenario &scenario);

// The expected text fixtures/<folder>/<name>, read as UTF-8.
QString expectedText(const char *folder, const char *name);

// Equal texts, or the first differing line of both.
::testing::AssertionResult sameText(const QString &expected, const QString &actual);

// Rewrites the dealer's default.xml with another country and rereads it.
void setDealerCountry(int country);
