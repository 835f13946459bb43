// Shared set-up of the scene tests: a headless stand-in whose performance
// counter is a test clock, the real Engine, display and renderer on the
// recording Glide, and a WarpScene created the way the shell creates it.
//
// The test clock runs at 2^20 counts per second, so the frame timer's seconds
// per count (2^-20) is exact and every time the tests step to (multiples of
// 2^-10 s) reaches the scene exactly.
#pragma once
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>
#include <vector>

#include <RecordingGlide.h>
#include <Win32StandIn.h>
#include <windows.h>

#include "Backdrop.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "FrameTimer.h"
#include "KeyFrameRandom.h"
#include "Mesh.h"
#include "Renderer.h"
#include "SceneAngles.h"
#include "Shell.h"
#include "WarpScene.h"

// An independent model of the key-frame generator, written from its
// definition (state * 214013 + 2531011 mod 2^32, bits 16..30, from state 1),
// used to predict what the scene draws.
class ReferenceDraws
{
  public:
    int Next()
    {
        m_uState = m_uState * 214013u + 2531011u;
        return (int)((m_uState >> 16) & 0x7FFFu);
    }

  private:
    unsigned int m_uState = 1;
};

// One vertex of a key frame as the generator makes it: four draws.
struct ReferenceVertex
{
    int nRed, nGreen, nBlue, nHeightDraw;
};

// The whole of key frame nKey (1 for the one Create makes), 625 vertices.
inline std::vector<ReferenceVertex> ReferenceKeyFrame(int nKey)
{
    ReferenceDraws draws;
    std::vector<ReferenceVertex> aVertices(625);
    for (int k = 1; k <= nKey; k++)
        for (ReferenceVertex& rVertex : aVertices)
        {
            rVertex.nRed = draws.Next() % 256;
            rVertex.nGreen = draws.Next() % 256;
            rVertex.nBlue = draws.Next() % 256;
            rVertex.nHeightDraw = draws.Next();
        }
    return aVertices;
}

class SceneTest : public ::testing::Test
{
  protected:
    static const long long kFrequency = 1LL << 20;

    void SetUp() override
    {
        static const std::string s_strRuntimeDir = MakeRuntimeDir();
        setenv("XDG_RUNTIME_DIR", s_strRuntimeDir.c_str(), 1);
        StandIn_SetHeadless(true);
        StandIn_Reset();
        RecordingGlide::Reset();
        StandIn_SetTestClock(kFrequency, 0);
        m_llNow = 0;
        // Each test sees the key frames of a freshly started program.
        g_KeyFrameRandom.Restart();

        SetInstance(GetModuleHandleA(nullptr));
        SetRunMode(RUNMODE_RUN);
        g_pEngine = new Engine;
        ASSERT_EQ(1, g_pEngine->Open());
        m_pScene = new WarpScene;
        g_pApp = m_pScene;
        ASSERT_EQ(1, m_pScene->Create());
    }

    void TearDown() override
    {
        if (m_pScene != nullptr)
            m_pScene->Destroy();
        delete m_pScene;
        m_pScene = nullptr;
        g_pApp = nullptr;
        if (g_pEngine != nullptr)
        {
            g_pEngine->Close();
            delete g_pEngine;
            g_pEngine = nullptr;
        }
        StandIn_Reset();
    }

    // Moves the clock to fSeconds after the scene's Create and draws one frame.
    void FrameAt(double dSeconds)
    {
        const long long llTarget = (long long)(dSeconds * (double)kFrequency);
        ASSERT_GE(llTarget, m_llNow) << "the tests only move time forward";
        StandIn_AdvanceTestClock(llTarget - m_llNow);
        m_llNow = llTarget;
        m_pScene->Frame();
    }

    Mesh* Grid() { return m_pScene->GetMesh(); }
    MeshCorner& Corner(int n) { return Grid()->GetGroup(0).GetCorner(n); }

    static std::string MakeRuntimeDir()
    {
        char szTemplate[] = "/tmp/moltrane-scene-test-XXXXXX";
        const char* pszDir = mkdtemp(szTemplate);
        return pszDir != nullptr ? pszDir : "/tmp";
    }

    WarpScene* m_pScene = nullptr;
    long long m_llNow = 0;
};
