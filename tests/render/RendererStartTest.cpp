// Renderer::Start against a material file that names a texture: the start
// fails exactly when the material fails to load. This program runs in its own
// directory, beside a Default.mtl written by the build.
#include "RendererFixture.h"

namespace
{

TEST_F(RendererTest, StartFailsWhenTheMaterialFailsToLoad)
{
    Renderer renderer;
    RecordingGlide::Settings().bGetInfoResult = FXFALSE; // the texture cannot be read
    EXPECT_EQ(0, renderer.Start());
    EXPECT_EQ(nullptr, renderer.GetActiveList()) << "left unset by a failed start";
    EXPECT_EQ(nullptr, renderer.GetCurrentMaterial());
    // Nothing can be queued on an unset list, and nothing crashes.
    GrVertex v;
    std::memset(&v, 0, sizeof v);
    renderer.AddTriangle(v, v, v);
    EXPECT_EQ(0, renderer.GetFreeTriangles().GetCount());

    RecordingGlide::Settings().bGetInfoResult = FXTRUE;
    EXPECT_EQ(1, renderer.Start());
    EXPECT_EQ(&renderer.GetDefaultMaterial()->m_TriangleList, renderer.GetActiveList());
    EXPECT_EQ(renderer.GetDefaultMaterial(), renderer.GetCurrentMaterial());
    EXPECT_NE(nullptr, renderer.GetDefaultMaterial()->m_pTexture);
    renderer.Stop();
}

TEST_F(RendererTest, EveryStartReadsTheMaterialFileAgain)
{
    // The display's renderer started with the file's texture; a restart
    // loads (and downloads) it once more.
    const int nBefore = RecordingGlide::CountOf("gu3dfGetInfo");
    m_pRenderer->Stop();
    ASSERT_EQ(1, m_pRenderer->Start());
    EXPECT_EQ(nBefore + 1, RecordingGlide::CountOf("gu3dfGetInfo"));
    EXPECT_EQ(1, RecordingGlide::CountOf("guTexDownloadMipMap"));
}

} // namespace
