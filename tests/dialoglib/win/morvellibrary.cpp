#include "morvellibrary.h"

MorvelLibrary::MorvelLibrary() : HostLibrary(besideProgram("morvel.dll")) {}

void MorvelTest::SetUp()
{
    ASSERT_NE(nullptr, m_morvel.module()) << "morvel.dll does not load: error " << GetLastError();
    m_blocksAtStart = VellumLiveBlocks();
}

void MorvelTest::TearDown()
{
    EXPECT_EQ(m_blocksAtStart, VellumLiveBlocks()) << "vellum blocks left behind";
}
