// DisplayDeviceTimeline: one ordered record of what the display device does,
// for the display device's tests.
//
// The test program is linked with the recording Glide and with the linker's
// symbol wrapping (see tests/engine/CMakeLists.txt) around a few Win32 calls
// and the renderer's Start and Stop. Each wrapped call appends a marker to the
// recording Glide's log, so Glide calls, the mirror's creation and
// destruction, the blits and the renderer restarts appear interleaved in the
// order they happened. Markers (their text in the log):
//   CreateWindowExA               the display's window (or "CreateWindowExA:fail")
//   DestroyWindow(userdata=N)     N: the window's user-data slot at that moment
//   CreateCompatibleDC            a mirror's memory DC: a mirror is being built
//   DeleteDC                      a mirror's memory DC released: a mirror goes
//   BitBlt(x,y,w,h)               a mirror presented
//   SetCapture(window)            "window" is the display's window, "other" any other
//   Renderer::Start / Renderer::Stop
// The wrapped calls go on to the real ones, except the failures a test asks for.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace DisplayDeviceTimeline
{
// Forgets the forced failures and the last window (the log itself belongs to
// RecordingGlide::Reset).
void Reset();

// The next CreateWindowExA returns null.
void FailNextWindow();
// Every Renderer::Start returns 0 (without running) while set.
void SetFailRendererStart(bool bFail);

// The last window made by CreateWindowExA (null before any).
HWND LastWindow();

// The texts of the whole log, with the display window's handle written as
// "hwnd" in grSstWinOpen, and the renderer's own Glide traffic (material and
// texture calls made inside Renderer::Start) left out.
std::vector<std::string> Texts();
} // namespace DisplayDeviceTimeline
