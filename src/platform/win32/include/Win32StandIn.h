// Win32StandIn.h: the Win32 stand-in's own API, for tests and tools (never for engine code).
//
// The stand-in runs the Win32 subset of windows.h on SDL2 and POSIX. These calls let a test or a
// tool run it without a display, watch its message boxes, feed it input as the user would, drive
// its performance counter and read back what a window shows. Every call is made on the thread
// that runs the windows (the one thread of the program), except StandIn_Post* and
// StandIn_AdvanceTestClock, which may also come from another thread.
//
// Names and signatures here are stable: other components and tests code against them.
#ifndef MOLTRANE_WIN32_STANDIN_SEAM_H
#define MOLTRANE_WIN32_STANDIN_SEAM_H

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- Display ----

// Forces headless operation on (true) or leaves the choice to the stand-in (false). Headless is
// also chosen when the environment has MOLTRANE_HEADLESS=1, when neither DISPLAY nor
// WAYLAND_DISPLAY is set, when SDL_VIDEODRIVER names SDL's dummy or offscreen driver, or when
// SDL's video fails to start. Headless windows are plain objects: they receive their messages,
// keep their user data and their picture (readable below), but nothing is shown, and message
// boxes go to standard error. Call it before the first window is created; StandIn_Reset keeps it.
void StandIn_SetHeadless(bool bHeadless);
// True when the stand-in runs (or will run) without a display.
bool StandIn_IsHeadless();

// Screen size reported by GetSystemMetrics(SM_CXSCREEN / SM_CYSCREEN) while headless
// (default 640 x 480). With a display the desktop's size is reported instead.
void StandIn_SetScreenSize(int nWidth, int nHeight);

// ---- A window of another program ----

// The next top-level window CreateWindowExA makes draws into this native window (on X11 an X
// window id: the window XScreenSaver hands a display mode, or the root window) instead of
// opening one; until that window is made, and while it lives, GetSystemMetrics(SM_CXSCREEN /
// SM_CYSCREEN) and its client rectangle report the native window's size, and follow it when it
// changes. The stand-in never maps, unmaps, retitles, raises or destroys that window, and
// delivers no input, activation or close requests for it: its owner decides when the program
// ends (by a signal, see StandIn_CloseOnSignals, or by destroying the window, which asks the
// program to close). Returns false, with the reason in *pstrWhy, when running headless, when
// the display cannot be opened or when the window does not exist. Call before the window is
// created.
bool StandIn_AdoptNativeWindow(uint64_t uNativeWindow, std::string* pstrWhy);
// The native root window of the display (on X11 the default screen's), or 0 when there is none.
uint64_t StandIn_GetRootNativeWindow();

// ---- Closing from outside ----

// From now on SIGTERM, SIGINT and SIGHUP ask the program to close, as its own close would:
// every top-level window gets WM_CLOSE at the next look at the message queue (a blocked
// WaitMessage or GetMessageA wakes up for it). Returns false when it could not be set up (the
// signals then keep their ordinary effect).
bool StandIn_CloseOnSignals();
// The same request, from any thread (not from a signal handler). Made before any window
// exists, it waits for the first top-level window.
void StandIn_RequestClose();

// ---- Message boxes ----

// One MessageBoxA call as the program made it.
struct StandInMessageBox
{
    HWND hOwner;            // owner window given by the program (may be null)
    std::string strCaption; // caption as given ("Error" when the program passed null)
    std::string strText;    // text as given
    UINT uFlags;            // MB_* flags as given
};

// Observer of message boxes. When set, MessageBoxA shows nothing and returns what the hook
// returns (IDOK, IDCANCEL, ...). An empty function removes the hook.
typedef std::function<int(const StandInMessageBox& box)> StandInMessageBoxHook;
void StandIn_SetMessageBoxHook(StandInMessageBoxHook hook);

// Every MessageBoxA call since the last StandIn_ClearMessageBoxes or StandIn_Reset, oldest
// first; recorded whether or not a hook is set.
std::vector<StandInMessageBox> StandIn_GetMessageBoxes();
void StandIn_ClearMessageBoxes();

// ---- Synthetic input ----
// Each call queues one input event for the window, as if the user had caused it. Queued input is
// taken in at the next PeekMessageA, GetMessageA or WaitMessage, in the order of the calls, and
// turned into messages exactly as real input is. All return false for an unknown window.

// Pointer motion to client position (x, y) with the MK_* flags held: WM_MOUSEMOVE with
// MAKELPARAM(x, y) and wParam uMkFlags.
bool StandIn_PostMouseMove(HWND hWnd, int x, int y, UINT uMkFlags);
// A mouse button: uMessage is WM_LBUTTONDOWN/UP, WM_RBUTTONDOWN/UP or WM_MBUTTONDOWN/UP.
bool StandIn_PostMouseButton(HWND hWnd, UINT uMessage, int x, int y, UINT uMkFlags);
// A key going down or up, by virtual-key code: WM_KEYDOWN/WM_KEYUP (WM_SYSKEYDOWN/UP while Alt
// is held). TranslateMessage then makes WM_CHAR for keys that type a character.
bool StandIn_PostKey(HWND hWnd, UINT uVirtualKey, bool bDown);
// A typed character delivered as WM_CHAR directly (text input with no key behind it).
bool StandIn_PostChar(HWND hWnd, char chCharacter);
// The window gains (WA_ACTIVE / WA_CLICKACTIVE) or loses (WA_INACTIVE) activation, minimised or
// not: the stand-in's active and focus windows follow, and the window receives WM_ACTIVATE with
// MAKEWPARAM(uState, bMinimized).
bool StandIn_PostActivate(HWND hWnd, UINT uState, bool bMinimized);
// The window manager asks the window to close: WM_SYSCOMMAND with SC_CLOSE.
bool StandIn_PostCloseRequest(HWND hWnd);

// ---- Performance counter ----

// Switches QueryPerformanceCounter/Frequency to a test clock with the given frequency (counts
// per second, > 0) and current counter value. The real clock (CLOCK_MONOTONIC in nanoseconds,
// frequency 1e9) is used again after StandIn_UseRealClock or StandIn_Reset.
void StandIn_SetTestClock(int64_t llFrequency, int64_t llCounter);
// Moves the test clock forward by llCounts (no effect on the real clock).
void StandIn_AdvanceTestClock(int64_t llCounts);
void StandIn_UseRealClock();
// With the test clock on and this set, Sleep(ms) does not wait: it advances the test clock by
// ms milliseconds' worth of counts and returns at once. Off by default and after a reset.
void StandIn_SetSleepAdvancesTestClock(bool bAdvance);

// ---- Presented picture ----

// The client area of the window as it was last drawn into (BitBlt, StretchDIBits, PatBlt,
// FillRect, background erase): width x height pixels, top row first, each 0x00RRGGBB.
// Returns false for an unknown window.
bool StandIn_ReadWindowPixels(HWND hWnd, std::vector<uint32_t>& pixels, int& nWidth, int& nHeight);

// ---- Reset ----

// Returns the stand-in to its starting state between tests: windows destroyed without messages,
// classes unregistered, the message queue and quit request emptied, pending synthetic input
// dropped, GDI objects and device contexts freed, focus, activation and capture cleared, the
// message-box hook and records cleared, the real clock back, the last error 0, no window waiting
// to be adopted and no close request pending. The headless
// choice and the screen size are kept; named mutex handles stay open (they belong to the
// process, as on Windows).
void StandIn_Reset();

#endif // MOLTRANE_WIN32_STANDIN_SEAM_H
