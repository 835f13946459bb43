// TestApplication: records the shell's calls; the object's destruction prints
// them to standard error, where the process-ending tests read them.
#include "TestApplication.h"

#include <new>
#include <stdio.h>

std::string TestApplicationControl::s_strCalls;
int TestApplicationControl::s_nFrames = 0;
bool TestApplicationControl::s_bCreateReturnsNull = false;
Int32 TestApplicationControl::s_nCreateResult = 1;
std::function<void(int)> TestApplicationControl::s_pfnOnFrame;
std::function<void()> TestApplicationControl::s_pfnOnTerminate;

namespace
{
void Record(const char* pszCall)
{
    std::string& strCalls = TestApplicationControl::s_strCalls;
    if (!strCalls.empty())
        strCalls += ',';
    strCalls += pszCall;
}
} // namespace

void TestApplicationControl::Reset()
{
    s_strCalls.clear();
    s_nFrames = 0;
    s_bCreateReturnsNull = false;
    s_nCreateResult = 1;
    s_pfnOnFrame = nullptr;
    s_pfnOnTerminate = nullptr;
}

TestApplication::~TestApplication()
{
    fprintf(stderr, "calls: %s\n", TestApplicationControl::s_strCalls.c_str());
    fflush(stderr);
}

Int32 TestApplication::Create()
{
    Record("Create");
    return TestApplicationControl::s_nCreateResult;
}

void TestApplication::Destroy()
{
    Record("Destroy");
}

void TestApplication::Terminate()
{
    Record("Terminate");
    if (TestApplicationControl::s_pfnOnTerminate)
        TestApplicationControl::s_pfnOnTerminate();
}

Int32 TestApplication::Frame()
{
    if (TestApplicationControl::s_nFrames++ == 0)
        Record("Frame");
    if (TestApplicationControl::s_pfnOnFrame)
        TestApplicationControl::s_pfnOnFrame(TestApplicationControl::s_nFrames);
    return 1;
}

Application* CreateApplication()
{
    if (TestApplicationControl::s_bCreateReturnsNull)
        return nullptr;
    return new (std::nothrow) TestApplication;
}
