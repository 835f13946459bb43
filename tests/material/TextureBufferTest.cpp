// The texel buffer of Texture::Load is freed on every path. This program
// links the counting operator new and delete (AllocationCounter; every form
// pairs with malloc and free, under the sanitizers too) and watches the
// blocks of the size the recording Glide reports as mem_required.
#include <gtest/gtest.h>

#include "AllocationCounter.h"
#include "RecordingGlide.h"
#include "SString.h"
#include "Texture.h"

namespace
{

// A size nothing else in the test allocates.
const FxU32 kTrackedSize = 40961;

} // namespace

namespace
{

class TextureBuffer : public testing::Test
{
  protected:
    void SetUp() override
    {
        RecordingGlide::Reset();
        RecordingGlide::Settings().nGetInfoMemRequired = kTrackedSize;
        AllocationCounter::WatchSize(kTrackedSize);
    }

    Int32 Load()
    {
        Texture texture;
        return texture.Load(SString("t.3df", 5));
    }
};

TEST_F(TextureBuffer, FreedWhenTheTexelsCannotBeLoaded)
{
    RecordingGlide::Settings().bLoadResult = FXFALSE;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(AllocationCounter::GetWatchedMade(), 1) << "a buffer of mem_required bytes was made";
    EXPECT_EQ(AllocationCounter::GetWatchedLive(), 0) << "and freed";
}

TEST_F(TextureBuffer, FreedWhenTextureMemoryIsExhausted)
{
    RecordingGlide::Settings().nAllocateResult = GR_NULL_MIPMAP_HANDLE;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(AllocationCounter::GetWatchedMade(), 1);
    EXPECT_EQ(AllocationCounter::GetWatchedLive(), 0);
}

TEST_F(TextureBuffer, FreedAfterTheDownload)
{
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(AllocationCounter::GetWatchedMade(), 1);
    EXPECT_EQ(AllocationCounter::GetWatchedLive(), 0);
}

TEST_F(TextureBuffer, NotMadeWhenTheHeaderCannotBeRead)
{
    RecordingGlide::Settings().bGetInfoResult = FXFALSE;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(AllocationCounter::GetWatchedMade(), 0);
}

} // namespace
