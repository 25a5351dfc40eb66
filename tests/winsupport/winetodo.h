#pragma once

#include <gtest/gtest.h>

// True when running under Wine rather than Windows.
bool runningUnderWine();

// Marker for a Windows behaviour that Wine lacks: on Windows it passes when
// the check holds; under Wine it passes while the check fails and fails once
// Wine behaves, so the marker gets dropped then.
::testing::AssertionResult todoWine(bool windowsBehaviour, const char *wineDifference);
