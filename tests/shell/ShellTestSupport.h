// Shared set-up of the shell tests: a headless stand-in, a fresh recording
// Glide and test application, and a private directory for the instance mutex
// so that tests running side by side never see each other's lock.
#pragma once
#include <gtest/gtest.h>

#include <dirent.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

#include <RecordingGlide.h>
#include <Win32StandIn.h>
#include <windows.h>

#include "Shell.h"
#include "TestApplication.h"

class ShellTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        // One directory per test process; the stand-in keeps its lock files there.
        static const RuntimeDir s_runtimeDir;
        setenv("XDG_RUNTIME_DIR", s_runtimeDir.m_strPath.c_str(), 1);
        StandIn_SetHeadless(true);
        StandIn_Reset();
        RecordingGlide::Reset();
        TestApplicationControl::Reset();
        SetInstance(GetModuleHandleA(nullptr));
        SetRunMode(RUNMODE_RUN);
        g_pEngine = nullptr;
        g_pApp = nullptr;
    }

    void TearDown() override { StandIn_Reset(); }

    // A private runtime directory, removed with its lock files when the test
    // process that made it ends (never by the child processes it forks).
    struct RuntimeDir
    {
        RuntimeDir() : m_pidOwner(getpid())
        {
            char szTemplate[] = "/tmp/moltrane-shell-test-XXXXXX";
            const char* pszDir = mkdtemp(szTemplate);
            m_strPath = pszDir != nullptr ? pszDir : "/tmp";
        }
        ~RuntimeDir()
        {
            if (getpid() != m_pidOwner || m_strPath == "/tmp")
                return;
            if (DIR* pDir = opendir(m_strPath.c_str()))
            {
                while (const dirent* pEntry = readdir(pDir))
                {
                    if (pEntry->d_name[0] != '.')
                        unlink((m_strPath + "/" + pEntry->d_name).c_str());
                }
                closedir(pDir);
            }
            rmdir(m_strPath.c_str());
        }
        pid_t m_pidOwner;
        std::string m_strPath;
    };

    // Every box since the last reset, as "caption|text" lines.
    static std::string Boxes()
    {
        std::string strBoxes;
        for (const StandInMessageBox& box : StandIn_GetMessageBoxes())
            strBoxes += box.strCaption + "|" + box.strText + "\n";
        return strBoxes;
    }
};

// Escapes a literal text for the death tests' regular expressions.
inline std::string Literal(const std::string& strText)
{
    std::string strOut;
    for (char ch : strText)
    {
        if (std::string("\\^$.|?*+()[]{}").find(ch) != std::string::npos)
            strOut += '\\';
        strOut += ch;
    }
    return strOut;
}
