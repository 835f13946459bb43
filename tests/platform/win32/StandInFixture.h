// Shared fixture of the stand-in's tests: headless, a fresh stand-in for every test, and a
// window class whose procedure records every message it receives (and answers with
// DefWindowProcA unless a test says otherwise).
#pragma once

#include <Win32StandIn.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

struct RecordedMessage
{
    HWND hWnd;
    UINT uMessage;
    WPARAM wParam;
    LPARAM lParam;
};

class StandInTest : public ::testing::Test
{
  protected:
    void SetUp() override;
    void TearDown() override;

    // A WS_POPUP window of the recording class (not shown).
    HWND CreateRecordedWindow(int nWidth = 64, int nHeight = 48, DWORD dwStyle = WS_POPUP);

    // Messages received so far, in order (optionally only these kinds).
    static std::vector<UINT> Received(const std::vector<UINT>& only = {});
    static std::vector<RecordedMessage>& Log();
    // Replaces the recording procedure's answer for one message kind.
    static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>& Override();

    // Takes every pending message with PeekMessageA(PM_REMOVE), translating and dispatching.
    static std::vector<MSG> Drain();

    static const char* const kClassName;
};

// Readable name of a message number, for failure output.
std::string MessageName(UINT uMessage);
