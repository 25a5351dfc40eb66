#pragma once
// The morvel DLL built beside this test program, loaded with LoadLibrary as a
// host loads it, and the fixture of the host tests.

#include "hostfiles.h"
#include "hostlibrary.h"
#include "hostmessages.h"
#include "morvel.h"
#include "scratchfolder.h"
#include "vellum.h"
#include "winetodo.h"

#include <gtest/gtest.h>

// Looks up one export by name: MORVEL_FN(library, GetString) has the
// export's own type.
#define MORVEL_FN(library, name) (library).get<decltype(&::name)>(#name)

class MorvelLibrary : public HostLibrary
{
  public:
    MorvelLibrary();
};

// A test with morvel loaded that fails when a test leaves vellum blocks behind.
class MorvelTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    MorvelLibrary m_morvel;
    LONG m_blocksAtStart = 0;
};
