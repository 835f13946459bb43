// The texel buffer of Texture::Load is freed on every path. This program
// replaces the array forms of operator new and delete (all of them, so that
// every array allocation pairs with malloc and free, under the sanitizers
// too) and tracks the blocks of the size the recording Glide reports as
// mem_required.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "RecordingGlide.h"
#include "SString.h"
#include "Texture.h"

namespace
{

// A size nothing else in the test allocates as an array.
const FxU32 kTrackedSize = 40961;
int s_nLive = 0;      // tracked blocks allocated and not yet freed
int s_nAllocated = 0; // tracked blocks allocated in total
void* s_apLive[16];

void* Allocate(std::size_t nSize)
{
    void* p = std::malloc(nSize == 0 ? 1 : nSize);
    if (p != nullptr && nSize == kTrackedSize && s_nLive < 16)
    {
        s_apLive[s_nLive++] = p;
        ++s_nAllocated;
    }
    return p;
}

void Free(void* p)
{
    for (int i = 0; i < s_nLive; ++i)
    {
        if (s_apLive[i] == p)
        {
            s_apLive[i] = s_apLive[--s_nLive];
            break;
        }
    }
    std::free(p);
}

} // namespace

void* operator new[](std::size_t nSize)
{
    void* p = Allocate(nSize);
    if (p == nullptr)
        std::abort(); // the test program has no use for bad_alloc
    return p;
}
void* operator new[](std::size_t nSize, const std::nothrow_t&) noexcept
{
    return Allocate(nSize);
}
void operator delete[](void* p) noexcept
{
    Free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    Free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Free(p);
}

namespace
{

class TextureBuffer : public testing::Test
{
  protected:
    void SetUp() override
    {
        RecordingGlide::Reset();
        RecordingGlide::Settings().nGetInfoMemRequired = kTrackedSize;
        s_nLive = 0;
        s_nAllocated = 0;
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
    EXPECT_EQ(s_nAllocated, 1) << "a buffer of mem_required bytes was made";
    EXPECT_EQ(s_nLive, 0) << "and freed";
}

TEST_F(TextureBuffer, FreedWhenTextureMemoryIsExhausted)
{
    RecordingGlide::Settings().nAllocateResult = GR_NULL_MIPMAP_HANDLE;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(s_nAllocated, 1);
    EXPECT_EQ(s_nLive, 0);
}

TEST_F(TextureBuffer, FreedAfterTheDownload)
{
    EXPECT_EQ(Load(), 1);
    EXPECT_EQ(s_nAllocated, 1);
    EXPECT_EQ(s_nLive, 0);
}

TEST_F(TextureBuffer, NotMadeWhenTheHeaderCannotBeRead)
{
    RecordingGlide::Settings().bGetInfoResult = FXFALSE;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(s_nAllocated, 0);
}

} // namespace
