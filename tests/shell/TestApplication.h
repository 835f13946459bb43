// TestApplication: the shell tests' application. It records the calls the
// shell makes on it and, through hooks, lets a test act inside Create and
// Frame. CreateApplication (defined beside it) returns one, or null on demand.
#pragma once
#include <functional>
#include <string>

#include "Application.h"

struct TestApplicationControl
{
    // The calls made on any TestApplication, comma-separated, in order;
    // consecutive frames are recorded once.
    static std::string s_strCalls;
    static int s_nFrames;
    // CreateApplication returns null while this is set.
    static bool s_bCreateReturnsNull;
    // Create's result.
    static Int32 s_nCreateResult;
    // Called from Frame, with the frame's number (1 for the first).
    static std::function<void(int)> s_pfnOnFrame;
    // Called from Terminate.
    static std::function<void()> s_pfnOnTerminate;

    static void Reset();
};

class TestApplication : public Application
{
  public:
    ~TestApplication() override;
    Int32 Create() override;
    void Destroy() override;
    void Terminate() override;
    Int32 Frame() override;
};
