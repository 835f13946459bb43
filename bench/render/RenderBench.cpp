// Per-frame cost of the renderer's software front end on the scene's own
// geometry: the 25 x 25 grid (heights swelling, turned about z and x) and the
// 16 x 20 dome (scaled by 30, 30, -30 and turned about z), each transformed,
// classified, clipped and queued, then flushed. Time advances by 1/60 s per
// frame through a 10 s cycle (600 frames: a full turn about z, more than a
// full turn about x, the height swelling to 8.4), repeated; one cycle of
// warm-up fills the triangle pool, so the measured frames are steady state.
//
//   BM_TransformClipQueue  the front end alone: grDrawTriangle is a no-op
//   BM_FrameWithGlide      the same frames drawn by the software Glide
//
// Counters: triangles queued per frame and operator-new calls per frame
// (0 in steady state). Run from a build with -DCMAKE_BUILD_TYPE=Release.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <stdlib.h>

#include <Win32StandIn.h>
#include <glide.h>
#include <windows.h>

#include "DisplayDevice.h"
#include "Engine.h"
#include "Mesh.h"
#include "MeshBuilder.h"
#include "Renderer.h"
#include "Shell.h"

namespace
{
long g_nAllocations = 0;
bool g_bRasterise = false;
} // namespace

void* operator new(std::size_t uSize)
{
    ++g_nAllocations;
    void* p = std::malloc(uSize == 0 ? 1 : uSize);
    if (p == nullptr)
        std::abort();
    return p;
}
void* operator new[](std::size_t uSize)
{
    return operator new(uSize);
}
void* operator new(std::size_t uSize, const std::nothrow_t&) noexcept
{
    ++g_nAllocations;
    return std::malloc(uSize == 0 ? 1 : uSize);
}
void* operator new[](std::size_t uSize, const std::nothrow_t& tag) noexcept
{
    return operator new(uSize, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

// The renderer's calls to grDrawTriangle land here (linker --wrap).
extern "C" void __real_grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c);
extern "C" void __wrap_grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c)
{
    if (g_bRasterise)
        __real_grDrawTriangle(a, b, c);
}

namespace
{

const int kCycleFrames = 600;

struct SceneGeometry
{
    std::unique_ptr<Mesh> pGrid;
    std::unique_ptr<Mesh> pDome;
    float afHeights[625];
    int nFrame = 0;
};

SceneGeometry* g_pScene = nullptr;

// M = M * Z(theta): columns 0 and 1 turned, as the scene turns its matrices.
void TurnZ(float* m, float fTheta)
{
    const float c = std::cos(fTheta), s = std::sin(fTheta);
    for (int r = 0; r < 4; ++r)
    {
        const float m0 = m[4 * r], m1 = m[4 * r + 1];
        m[4 * r] = c * m0 - s * m1;
        m[4 * r + 1] = s * m0 + c * m1;
    }
}

// M = M * X(phi): columns 1 and 2 turned.
void TurnX(float* m, float fPhi)
{
    const float c = std::cos(fPhi), s = std::sin(fPhi);
    for (int r = 0; r < 4; ++r)
    {
        const float m1 = m[4 * r + 1], m2 = m[4 * r + 2];
        m[4 * r + 1] = c * m1 - s * m2;
        m[4 * r + 2] = s * m1 + c * m2;
    }
}

// One frame of the scene's geometry; returns the number of triangles queued.
int Frame(Renderer* pRenderer, SceneGeometry& rScene)
{
    rScene.nFrame = (rScene.nFrame + 1) % kCycleFrames;
    const float fTime = static_cast<float>(rScene.nFrame) / 60.0f;
    const float fAmplitude = std::sin(fTime * 0.1f) * 10.0f;
    for (int n = 0; n < 625; ++n)
        rScene.pGrid->GetVertex(n).m_fZ = rScene.afHeights[n] * fAmplitude;

    pRenderer->BeginFrame();
    float* m = pRenderer->PushMatrix()->m_afEntry;
    TurnZ(m, fTime);
    TurnX(m, fTime * 0.6666667f);
    rScene.pGrid->Draw();
    pRenderer->PopMatrix();

    m = pRenderer->PushMatrix()->m_afEntry;
    for (int r = 0; r < 4; ++r)
    {
        m[4 * r] *= 30.0f;
        m[4 * r + 1] *= 30.0f;
        m[4 * r + 2] *= -30.0f;
    }
    TurnZ(m, fTime);
    rScene.pDome->Draw();
    pRenderer->PopMatrix();

    const int nQueued = pRenderer->GetActiveList()->GetCount();
    pRenderer->Flush();
    return nQueued;
}

void RunFrames(benchmark::State& state, bool bRasterise)
{
    Renderer* pRenderer = g_pEngine->GetDisplay()->GetRenderer();
    g_bRasterise = bRasterise;
    // One cycle of warm-up fills the pool to the largest frame.
    for (int i = 0; i < kCycleFrames; ++i)
        Frame(pRenderer, *g_pScene);
    long nTriangles = 0;
    const long nAllocationsBefore = g_nAllocations;
    long nFrames = 0;
    for (auto _ : state)
    {
        nTriangles += Frame(pRenderer, *g_pScene);
        ++nFrames;
    }
    const long nAllocations = g_nAllocations - nAllocationsBefore;
    state.counters["triangles_per_frame"] =
        benchmark::Counter(static_cast<double>(nTriangles) / static_cast<double>(nFrames));
    state.counters["allocations_per_frame"] =
        benchmark::Counter(static_cast<double>(nAllocations) / static_cast<double>(nFrames));
    g_bRasterise = false;
}

void BM_TransformClipQueue(benchmark::State& state)
{
    RunFrames(state, false);
}
BENCHMARK(BM_TransformClipQueue)->Unit(benchmark::kMicrosecond);

void BM_FrameWithGlide(benchmark::State& state)
{
    RunFrames(state, true);
}
BENCHMARK(BM_FrameWithGlide)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    char szTemplate[] = "/tmp/moltrane-bench-render-XXXXXX";
    const char* pszDir = mkdtemp(szTemplate);
    setenv("XDG_RUNTIME_DIR", pszDir != nullptr ? pszDir : "/tmp", 1);
    setenv("FX_GLIDE_SWAPINTERVAL", "0", 1);
    StandIn_SetHeadless(true);
    SetInstance(GetModuleHandleA(nullptr));
    SetRunMode(RUNMODE_RUN);
    g_pEngine = new Engine;
    if (g_pEngine->Open() == 0)
        return 1;

    // The scene's set-up: the grid centred, heights from a fixed pattern in
    // [0, 1], the camera at (0, 0, -7.142857) with far plane 50.
    SceneGeometry scene;
    scene.pGrid.reset(MeshBuilder::BuildGrid(25, 25));
    scene.pDome.reset(MeshBuilder::BuildDome(16, 20, 1.0f));
    for (int n = 0; n < 625; ++n)
    {
        scene.pGrid->GetVertex(n).m_fX -= 12.5f;
        scene.pGrid->GetVertex(n).m_fY -= 12.5f;
        scene.afHeights[n] = 0.5f + 0.5f * std::sin(1.7f * static_cast<float>(n));
    }
    Renderer* pRenderer = g_pEngine->GetDisplay()->GetRenderer();
    pRenderer->GetCamera()->SetPosition(Vector3(0.0f, 0.0f, 25 * -0.2857143f));
    pRenderer->GetCamera()->SetFarPlane(50.0f);
    g_pScene = &scene;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    g_pScene = nullptr;
    scene.pGrid.reset();
    scene.pDome.reset();
    g_pEngine->Close();
    delete g_pEngine;
    g_pEngine = nullptr;
    return 0;
}
