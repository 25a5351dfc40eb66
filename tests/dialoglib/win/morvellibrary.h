#pragma once
// The morvel DLL built beside this test program, loaded with LoadLibrary as a
// host loads it, the fixture of the host tests and what they check alike.

#include "hostfiles.h"
#include "hostlibrary.h"
#include "hostmessages.h"
#include "morvel.h"
#include "scratchfolder.h"
#include "vellum.h"
#include "winetodo.h"

#include <gtest/gtest.h>

#include <commctrl.h>

// Looks up one export by name: MORVEL_FN(library, GetString) has the
// export's own type.
#define MORVEL_FN(library, name) (library).get<decltype(&::name)>(#name)

class MorvelLibrary : public HostLibrary
{
  public:
    MorvelLibrary();
};

// An image list's picture count and picture size.
::testing::AssertionResult imageListHolds(HIMAGELIST list, int count, int width, int height);

// A test with morvel loaded that fails when a test leaves vellum blocks behind.
class MorvelTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    MorvelLibrary m_morvel;
    LONG m_blocksAtStart = 0;
};
