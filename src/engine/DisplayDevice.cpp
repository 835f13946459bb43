// DisplayDevice: window, Glide context, renderer and window mirror.
#include "DisplayDevice.h"

#include <cstring>
#include <new>

#include "HighColorMirror.h"
#include "Renderer.h"
#include "Shell.h"

namespace
{
const char kWindowClass[] = "Vellumtide";
const char kWindowTitle[] = "Vellumtide 0.8";
// grSstWinOpen's fixed arguments: double buffering, no auxiliary buffer.
const int kColorBuffers = 2;
const int kAuxBuffers = 0;

// Glide takes the window as an integer (32 bits on the platform it was made
// for, wide enough for a pointer elsewhere); 0 means the board's own output.
unsigned long GlideWindow(HWND hWnd)
{
    return reinterpret_cast<unsigned long>(hWnd);
}
} // namespace

GrScreenResolution_t ResolutionForHeight(Int32 nHeight)
{
    switch (nHeight)
    {
    case 200:
        return GR_RESOLUTION_320x200;
    case 240:
        return GR_RESOLUTION_320x240;
    case 256:
        return GR_RESOLUTION_400x256;
    case 300:
        return GR_RESOLUTION_400x300;
    case 384:
        return GR_RESOLUTION_512x384;
    case 400:
        return GR_RESOLUTION_640x400;
    case 600:
        return GR_RESOLUTION_800x600;
    case 720:
        return GR_RESOLUTION_960x720;
    case 768:
        return GR_RESOLUTION_1024x768;
    case 1024:
        return GR_RESOLUTION_1280x1024;
    case 1200:
        return GR_RESOLUTION_1600x1200;
    default:
        return GR_RESOLUTION_640x480;
    }
}

DisplayDevice::DisplayDevice()
    : m_nWidth(640), m_nHeight(480), m_bOpen(0), m_hWnd(nullptr), m_hDC(nullptr),
      m_Resolution(GR_RESOLUTION_640x480), m_bPassThrough(0), m_pMirror(nullptr),
      m_hPrevCapture(nullptr), m_pRenderer(nullptr), m_bFullScreenNow(0), m_bFullScreenWanted(0),
      m_bGlideInit(0)
{
}

DisplayDevice::~DisplayDevice()
{
    // The engine closes the device before freeing it; this only guards a
    // path that did not, and does nothing on a closed device.
    Close();
}

Int32 DisplayDevice::Open(Int32 bFullScreen)
{
    m_bFullScreenWanted = bFullScreen;
    m_hWnd = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_POPUP, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                             GetParentWindow(), nullptr, GetInstance(), nullptr);
    m_bFullScreenNow = m_bFullScreenWanted;
    if (!m_hWnd)
        return 0;
    if (GetRunMode() != RUNMODE_WINDOWED)
    {
        ShowWindow(m_hWnd, SW_SHOWNORMAL);
        UpdateWindow(m_hWnd);
        SetFocus(m_hWnd);
    }
    // From here on the window procedure reaches the engine through the window.
    // Mended: the slot is pointer-sized, so the pointer survives 64-bit builds.
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(GetEngine()));
    m_hDC = GetDC(m_hWnd);

    if (!OpenGlide(bFullScreen))
        return 0;
    if (m_bPassThrough && !bFullScreen)
        EnterMirroredState();

    // Mended: a renderer that cannot be allocated fails the open.
    m_pRenderer = new (std::nothrow) Renderer;
    if (!m_pRenderer || !m_pRenderer->Start())
        return 0;

    // All mouse input goes to the engine's window from now on.
    m_hPrevCapture = GetCapture();
    ReleaseCapture();
    SetCapture(m_hWnd);
    m_bOpen = 1;
    return 1;
}

Int32 DisplayDevice::OpenGlide(Int32 bFullScreen)
{
    grGlideInit();
    m_bGlideInit = 1;
    GrHwConfiguration hwConfig;
    std::memset(&hwConfig, 0, sizeof(hwConfig));
    if (!grSstQueryHardware(&hwConfig))
        return 0;
    m_Resolution = ResolutionForHeight(m_nHeight);
    grSstSelect(0);
    return OpenBoardOutput(bFullScreen, hwConfig.SSTs[0].type);
}

Int32 DisplayDevice::OpenBoardOutput(Int32 bFullScreen, Int32 nType)
{
    FxBool bOpened = FXFALSE;
    switch (nType)
    {
    case GR_SSTTYPE_VOODOO:
    case GR_SSTTYPE_Voodoo2:
        // These boards drive their own video output.
        m_bPassThrough = 1;
        if (bFullScreen)
            bOpened =
                grSstWinOpen(GlideWindow(nullptr), m_Resolution, GR_REFRESH_60Hz,
                             GR_COLORFORMAT_RGBA, GR_ORIGIN_UPPER_LEFT, kColorBuffers, kAuxBuffers);
        else
            // Kept: in a window the board always opens at 640x480, whatever
            // the height asks for.
            bOpened =
                grSstWinOpen(GlideWindow(m_hWnd), GR_RESOLUTION_640x480, GR_REFRESH_60Hz,
                             GR_COLORFORMAT_RGBA, GR_ORIGIN_UPPER_LEFT, kColorBuffers, kAuxBuffers);
        break;
    case GR_SSTTYPE_SST96:
        // An SST-96 draws into the window itself.
        m_bPassThrough = 0;
        bOpened =
            grSstWinOpen(GlideWindow(m_hWnd), m_Resolution, GR_REFRESH_60Hz, GR_COLORFORMAT_RGBA,
                         GR_ORIGIN_UPPER_LEFT, kColorBuffers, kAuxBuffers);
        break;
    default:
        // Kept: AT3D and any other board are not supported; the open fails
        // after Glide was initialised.
        break;
    }
    return bOpened ? 1 : 0;
}

void DisplayDevice::EnterMirroredState()
{
    // Hand the monitor back to the desktop and render where the frame can be
    // read back from.
    grSstControl(GR_CONTROL_DEACTIVATE);
    grRenderBuffer(GR_BUFFER_BACKBUFFER);
    ReleaseMirror();
    RECT rect = {0, 0, m_nWidth, m_nHeight};
    m_pMirror = new (std::nothrow) HighColorMirror(m_hWnd, &rect);
}

void DisplayDevice::LeaveMirroredState()
{
    // The mirror goes before the board's output takes over the monitor.
    ReleaseMirror();
    grSstControl(GR_CONTROL_ACTIVATE);
}

void DisplayDevice::ReleaseMirror()
{
    if (m_pMirror)
    {
        delete m_pMirror; // its destructor runs Destroy
        m_pMirror = nullptr;
    }
}

void DisplayDevice::SetActive(Int32 bActive)
{
    if (bActive == m_bOpen)
        return;
    m_bOpen = bActive;
    ApplyMode(bActive ? m_bFullScreenWanted : 0);
}

void DisplayDevice::SetFullScreen(Int32 bFullScreen)
{
    if (bFullScreen == m_bFullScreenWanted)
        return;
    m_bFullScreenWanted = bFullScreen;
    ApplyMode(bFullScreen);
}

Int32 DisplayDevice::ApplyMode(Int32 bFullScreen)
{
    if (bFullScreen == m_bFullScreenNow)
        return 1;
    if (m_pRenderer)
        m_pRenderer->Stop();
    m_bFullScreenNow = bFullScreen;
    if (bFullScreen && m_bPassThrough)
        LeaveMirroredState();
    else if (m_bPassThrough)
        EnterMirroredState();
    // On an SST-96 only the renderer restarts. The restart reads the material
    // file and downloads its texture again.
    if (m_pRenderer)
        return m_pRenderer->Start();
    return 1;
}

void DisplayDevice::EndFrame()
{
    if (m_bFullScreenNow)
    {
        grBufferSwap(1); // at the next vertical retrace
        return;
    }
    // Mended: a mirror that could not be allocated is skipped like one whose
    // DIB section failed.
    if (m_bPassThrough && m_pMirror && m_pMirror->GetPixels())
    {
        // 5-6-5 rows, top row first, straight into the top-down DIB; the
        // stride is the DIB's row length.
        grLfbReadRegion(GR_BUFFER_BACKBUFFER, 0, 0, m_nWidth, m_nHeight,
                        HighColorMirror::RowBytes(m_nWidth), m_pMirror->GetPixels());
        m_pMirror->Present();
    }
    // Otherwise (kept: an SST-96 in a window; or a mirror without pixels) nothing.
}

void DisplayDevice::Clear(Int32 nRed, Int32 nGreen, Int32 nBlue)
{
    // GR_COLORFORMAT_RGBA: red in the top byte, alpha 0 in the lowest.
    const GrColor_t color = ((static_cast<UInt32>(nRed) & 0xFF) << 24) |
                            ((static_cast<UInt32>(nGreen) & 0xFF) << 16) |
                            ((static_cast<UInt32>(nBlue) & 0xFF) << 8);
    grBufferClear(color, 0, 65535);
}

// Mended: safe on every partly opened state, so the engine can close a
// display whose open failed; Glide is shut down only if this device
// initialised it. Safe to call again.
void DisplayDevice::Close()
{
    // Kept: the capture is handed back only when another window held it
    // before the open; otherwise it goes with the window.
    if (m_hPrevCapture)
    {
        ReleaseCapture();
        SetCapture(m_hPrevCapture);
        m_hPrevCapture = nullptr;
    }
    if (m_pRenderer)
    {
        m_pRenderer->Stop();
        delete m_pRenderer;
        m_pRenderer = nullptr;
    }
    ReleaseMirror();
    if (m_bGlideInit)
    {
        grGlideShutdown();
        m_bGlideInit = 0;
    }
    if (m_hDC)
    {
        ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }
    if (m_hWnd)
    {
        // The window procedure must not reach the engine while the window goes.
        SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

ScreenSize* DisplayDevice::GetScreenSize(ScreenSize* pSize) const
{
    pSize->m_nWidth = m_nWidth;
    pSize->m_nHeight = m_nHeight;
    return pSize;
}
