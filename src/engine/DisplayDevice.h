// DisplayDevice: everything between the engine and the screen.
//
// Owns the top-level window and its device context, the Glide context on the
// first 3D board, the Renderer and, in the mirrored state, a HighColorMirror.
//
// Owner: the Engine, which creates one, opens it (Open), forwards activation
// changes (SetActive), closes it (Close) and deletes it. Close releases
// whatever Open acquired, in reverse order, and is safe on a partly opened or
// already closed device.
//
// Output states:
//  - full-screen: Glide draws on the board's own video output; EndFrame swaps.
//  - mirrored (boards with their own output, Voodoo Graphics or Voodoo2): the
//    output is switched off, Glide renders into the back buffer, and EndFrame
//    reads the frame into the mirror and blits it into the window.
//  - windowed SST-96: the board draws into the window itself; EndFrame does
//    nothing.
// Each switch between states stops and restarts the renderer.
//
// Per frame (from Application::Frame): EndFrame, then Clear(0, 0, 0).
// Everything runs on the shell's thread.
#pragma once
#include <windows.h>
#include <glide.h>
#include "ScreenSize.h"
#include "Types.h"

class HighColorMirror;
class Renderer;

// Glide resolution for a render height; heights not in the table give 640x480.
GrScreenResolution_t ResolutionForHeight(Int32 nHeight);

class DisplayDevice
{
  public:
    DisplayDevice();
    ~DisplayDevice();

    // Opens the window, Glide and the renderer; 1 on success, 0 on failure.
    // On failure the caller runs Close to release what was acquired.
    Int32 Open(Int32 bFullScreen);
    void Close();

    // Activation from the engine: active goes back to the wanted state,
    // inactive to the mirrored (or windowed) state.
    void SetActive(Int32 bActive);
    void SetFullScreen(Int32 bFullScreen);
    // Switches the output state; returns the renderer restart's result.
    Int32 ApplyMode(Int32 bFullScreen);

    // Presents the finished frame (per frame).
    void EndFrame();
    // Clears the render buffer; only the low 8 bits of each channel count (per frame).
    void Clear(Int32 nRed, Int32 nGreen, Int32 nBlue);

    ScreenSize* GetScreenSize(ScreenSize* pSize) const;
    Renderer* GetRenderer() const { return m_pRenderer; }
    HWND GetWindow() const { return m_hWnd; }
    HDC GetDeviceContext() const { return m_hDC; }
    Int32 GetFullScreen() const { return m_bFullScreenWanted; }
    // The mirror of the mirrored state, or null.
    HighColorMirror* GetMirror() const { return m_pMirror; }

  private:
    Int32 OpenGlide(Int32 bFullScreen);
    Int32 OpenBoardOutput(Int32 bFullScreen, Int32 nType);
    void EnterMirroredState();
    void LeaveMirroredState();
    void ReleaseMirror();

    Int32 m_nWidth;
    Int32 m_nHeight;
    Int32 m_bOpen;
    HWND m_hWnd;
    HDC m_hDC;
    GrScreenResolution_t m_Resolution;
    Int32 m_bPassThrough;
    HighColorMirror* m_pMirror;
    HWND m_hPrevCapture;
    Renderer* m_pRenderer;
    Int32 m_bFullScreenNow;
    Int32 m_bFullScreenWanted;
    // Set between grGlideInit and grGlideShutdown, so a partly opened device
    // never shuts down a Glide it did not initialise.
    Int32 m_bGlideInit;
};
