#include "morvellibrary.h"

MorvelLibrary::MorvelLibrary() : HostLibrary(besideProgram("morvel.dll")) {}

::testing::AssertionResult imageListHolds(HIMAGELIST list, int count, int width, int height)
{
    const int held = ImageList_GetImageCount(list);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    if (held == count && cx == width && cy == height)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << held << " pictures of " << cx << "x" << cy << ", expected "
                                         << count << " of " << width << "x" << height;
}

void MorvelTest::SetUp()
{
    ASSERT_NE(nullptr, m_morvel.module()) << "morvel.dll does not load: error " << GetLastError();
    m_blocksAtStart = VellumLiveBlocks();
}

void MorvelTest::TearDown()
{
    EXPECT_EQ(m_blocksAtStart, VellumLiveBlocks()) << "vellum blocks left behind";
}
