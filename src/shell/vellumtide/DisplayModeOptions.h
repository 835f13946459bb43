// DisplayModeOptions: the command line of vellumtide, the display mode, in
// XScreenSaver's conventions. Every option may be written with one dash or
// two (XScreenSaver rewrites a configured -root as --root).
//
//   -window            its own window, as demo opens it (the default without
//                      XSCREENSAVER_WINDOW)
//   -root              the window in XSCREENSAVER_WINDOW when it is set, else
//                      the root window
//   -window-id ID      the window ID, decimal or 0x hexadecimal
//   -display NAME      the X display to draw on
//   -board NAME        the emulated board: voodoo, voodoo2 or sst96
//   -swap-interval N   retraces each frame waits for, 0 to 255 (0: none)
//   -fps               the frame rate in the window's corner
//   -help              the usage text
//
// With none of -window, -root and -window-id, XSCREENSAVER_WINDOW (set by
// XScreenSaver) names the window; the last of the three given wins. Parse
// reads only its arguments; the entry point applies the result.
#pragma once
#include "Types.h"

#include <cstdint>
#include <string>

class DisplayModeOptions
{
  public:
    enum Target
    {
        TARGET_OWN_WINDOW = 0,
        TARGET_GIVEN_WINDOW = 1, // m_uWindowId
        TARGET_ROOT = 2          // the display's root window
    };

    // Parses the command line (white-space separated words; a word in double
    // quotes may hold spaces) with pszEnvironmentWindow, the value of
    // XSCREENSAVER_WINDOW or null. 1 on success; 0 with the message in
    // GetError() otherwise.
    Int32 Parse(const char* pszCommandLine, const char* pszEnvironmentWindow);

    Int32 GetTarget() const { return m_nTarget; }
    uint64_t GetWindowId() const { return m_uWindowId; }
    bool GetHelp() const { return m_bHelp; }
    bool GetShowFrameRate() const { return m_bShowFrameRate; }
    // Empty when not given.
    const std::string& GetBoard() const { return m_strBoard; }
    const std::string& GetDisplay() const { return m_strDisplay; }
    // -1 when not given.
    Int32 GetSwapInterval() const { return m_nSwapInterval; }
    const std::string& GetError() const { return m_strError; }

    // The usage text, one option a line.
    static const char* Usage();
    // A window id as XScreenSaver writes it: decimal or 0x hexadecimal, not
    // 0, at most 32 bits. 1 and the value in *puId, or 0.
    static Int32 ParseWindowId(const char* pszText, uint64_t* puId);

  private:
    Int32 Fail(const std::string& strMessage);
    Int32 ParseWord(const std::string& strWord, const std::string* pstrValue, Int32* pnUsed);
    Int32 ResolveTarget(const char* pszEnvironmentWindow);

    enum
    {
        kNoChoice = -1
    };
    Int32 m_nChosen = kNoChoice; // the last of -window, -root, -window-id seen
    Int32 m_nTarget = TARGET_OWN_WINDOW;
    uint64_t m_uWindowId = 0;
    bool m_bHelp = false;
    bool m_bShowFrameRate = false;
    std::string m_strBoard;
    std::string m_strDisplay;
    Int32 m_nSwapInterval = -1;
    std::string m_strError;
};
