// Shared set-up of the renderer's engine-level tests: the real Engine,
// display and renderer, opened on the recording Glide with the stand-in
// headless, so g_pEngine -> GetDisplay -> GetRenderer is the display's own
// started renderer at 640 x 480.
//
// The test programs live in their own directory without a Default.mtl, so the
// default material is the built-in one (no texture).
//
// Helpers build small meshes whose positions are already clip coordinates:
// tests set the top of the stack to the identity.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <stdlib.h>
#include <string>
#include <vector>

#include <RecordingGlide.h>
#include <Win32StandIn.h>
#include <windows.h>

#include "ClipVertex.h"
#include "DisplayDevice.h"
#include "Engine.h"
#include "Mesh.h"
#include "Renderer.h"
#include "Shell.h"
#include "Triangle.h"
#include "TriangleNode.h"

// One vertex and its corner: clip position, colour and texture coordinates.
struct TestCorner
{
    float x, y, z, w;
    Byte r, g, b, a;
    float s, t;
};

// A screen position as expected after projection and snapping.
struct ScreenPoint
{
    float x, y;
};

class RendererTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        static const std::string s_strRuntimeDir = MakeRuntimeDir();
        setenv("XDG_RUNTIME_DIR", s_strRuntimeDir.c_str(), 1);
        StandIn_SetHeadless(true);
        StandIn_Reset();
        RecordingGlide::Reset();
        SetInstance(GetModuleHandleA(nullptr));
        SetRunMode(RUNMODE_RUN);
        g_pEngine = new Engine;
        ASSERT_EQ(1, g_pEngine->Open());
        m_pRenderer = g_pEngine->GetDisplay()->GetRenderer();
        ASSERT_NE(nullptr, m_pRenderer);
        m_nOpenCullModeCalls = RecordingGlide::CountOf("grCullMode");
        RecordingGlide::Clear(); // the tests look at what happens after the open
    }

    void TearDown() override
    {
        if (g_pEngine != nullptr)
        {
            g_pEngine->Close();
            delete g_pEngine;
            g_pEngine = nullptr;
        }
        StandIn_Reset();
    }

    static std::string MakeRuntimeDir()
    {
        char szTemplate[] = "/tmp/moltrane-render-test-XXXXXX";
        const char* pszDir = mkdtemp(szTemplate);
        return pszDir != nullptr ? pszDir : "/tmp";
    }

    // Begins a frame and makes the top of the stack the identity, so clip
    // coordinates can be given directly.
    void BeginIdentityFrame()
    {
        ASSERT_EQ(1, m_pRenderer->BeginFrame());
        Matrix4* pTop = m_pRenderer->GetTopMatrix();
        for (Int32 i = 0; i < 16; ++i)
            pTop->m_afEntry[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }

    static ClipVertex MakeClipVertex(const TestCorner& c)
    {
        ClipVertex v;
        std::memset(&v, 0, sizeof v);
        v.m_fX = c.x;
        v.m_fY = c.y;
        v.m_fZ = c.z;
        v.m_fW = c.w;
        v.m_bRed = c.r;
        v.m_bGreen = c.g;
        v.m_bBlue = c.b;
        v.m_bAlpha = c.a;
        v.m_fS = c.s;
        v.m_fT = c.t;
        return v;
    }

    // A one-group mesh with one vertex per corner and the given triangles
    // (corner indices).
    static Mesh* MakeMesh(const std::vector<TestCorner>& corners,
                          const std::vector<std::vector<Int32>>& triangles)
    {
        Mesh* pMesh = new Mesh;
        pMesh->Allocate(static_cast<Int32>(corners.size()), 1, 0);
        MeshGroup& rGroup = pMesh->GetGroup(0);
        rGroup.Allocate(static_cast<Int32>(corners.size()), static_cast<Int32>(triangles.size()));
        for (size_t n = 0; n < corners.size(); ++n)
        {
            const TestCorner& c = corners[n];
            MeshVertex& v = pMesh->GetVertex(static_cast<Int32>(n));
            v.m_fX = c.x;
            v.m_fY = c.y;
            v.m_fZ = c.z;
            v.m_fW = c.w;
            v.m_fNX = 0.0f;
            v.m_fNY = 0.0f;
            v.m_fNZ = 1.0f;
            v.m_fNW = 1.0f;
            MeshCorner& rCorner = rGroup.GetCorner(static_cast<Int32>(n));
            rCorner.m_nVertex = static_cast<Int32>(n);
            rCorner.m_bRed = c.r;
            rCorner.m_bGreen = c.g;
            rCorner.m_bBlue = c.b;
            rCorner.m_bAlpha = c.a;
            rCorner.m_fS = c.s;
            rCorner.m_fT = c.t;
        }
        for (size_t t = 0; t < triangles.size(); ++t)
            for (Int32 k = 0; k < 3; ++k)
                rGroup.GetTriangle(static_cast<Int32>(t)).m_anCorner[k] = triangles[t][k];
        return pMesh;
    }

    // The Triangles waiting on the active list, first to last.
    std::vector<Triangle*> Pending() const
    {
        std::vector<Triangle*> triangles;
        for (TriangleNode* p = m_pRenderer->GetActiveList()->GetFirst(); p != nullptr;
             p = p->m_pNext)
            triangles.push_back(p->m_pTriangle);
        return triangles;
    }

    static std::vector<TriangleNode*> Nodes(const TriangleList& rList)
    {
        std::vector<TriangleNode*> nodes;
        for (TriangleNode* p = rList.GetFirst(); p != nullptr; p = p->m_pNext)
            nodes.push_back(p);
        return nodes;
    }

    // A screen vertex whose x marks it, for order checks.
    static GrVertex Marked(float fX)
    {
        GrVertex v;
        std::memset(&v, 0, sizeof v);
        v.x = fX;
        return v;
    }

    // Checks the screen positions of every drawn triangle, in drawing order.
    static void ExpectDrawn(const std::vector<std::vector<ScreenPoint>>& expected)
    {
        const std::vector<RecordedTriangle>& drawn = RecordingGlide::Triangles();
        ASSERT_EQ(expected.size(), drawn.size());
        for (size_t t = 0; t < drawn.size(); ++t)
            for (Int32 k = 0; k < 3; ++k)
            {
                EXPECT_EQ(expected[t][k].x, drawn[t].v[k].x) << "triangle " << t << " vertex " << k;
                EXPECT_EQ(expected[t][k].y, drawn[t].v[k].y) << "triangle " << t << " vertex " << k;
            }
    }

    Renderer* m_pRenderer = nullptr;
    int m_nOpenCullModeCalls = 0;
};
