// Engine: window class, display ownership, the main loop's two flags and the
// screensaver's exit rules.
#include "Engine.h"

#include <new>

#include "Application.h"
#include "DisplayDevice.h"
#include "Shell.h"
#include "resources/resource.h"

namespace
{
const char kWindowClass[] = "Vellumtide";
// A move of more than this many pixels from the first position seen ends the run.
const Int32 kMouseSlack = 30;

// Mouse rule state: process-wide, set once by the first move the rules see
// and never reset, not even by a second Open in the same process.
Int32 s_nFirstMove = 1;
Int32 s_nOriginX = 0;
Int32 s_nOriginY = 0;
Int32 s_nCurrentX = 0;
Int32 s_nCurrentY = 0;

Int32 Distance(Int32 nA, Int32 nB)
{
    return nA > nB ? nA - nB : nB - nA;
}
} // namespace

Engine::Engine() : m_pDisplay(nullptr), m_nRunning(0), m_nActive(0) {}

Int32 Engine::Open()
{
    WNDCLASSA wc;
    wc.style = 0;
    wc.lpfnWndProc = EngineWindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = GetInstance();
    wc.hIcon = LoadIconA(GetInstance(), MAKEINTRESOURCEA(IDI_APP_ICON));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kWindowClass;
    // Only the atom's low 16 bits count.
    if ((RegisterClassA(&wc) & 0xFFFF) == 0)
        return 0;

    // Stored before the display opens: the renderer's start, inside the
    // display's open, reaches the display through g_pEngine->GetDisplay().
    m_pDisplay = new (std::nothrow) DisplayDevice;
    if (m_pDisplay != nullptr && m_pDisplay->Open(GetRunMode() != RUNMODE_WINDOWED ? 1 : 0))
    {
        m_nRunning = 1;
        m_nActive = 1;
        return 1;
    }

    // A failed open releases what the display had acquired so far (window,
    // device context, Glide) before the object is discarded.
    if (m_pDisplay != nullptr)
    {
        m_pDisplay->Close();
        delete m_pDisplay;
        m_pDisplay = nullptr;
    }
    Close();
    return 0;
}

void Engine::Close()
{
    if (m_pDisplay != nullptr)
    {
        m_pDisplay->Close();
        delete m_pDisplay;
        m_pDisplay = nullptr;
    }
    UnregisterClassA(kWindowClass, GetInstance());
    m_nRunning = 0;
}

void Engine::Tick()
{
    Application* pApp = GetApp();
    if (m_nActive != 0 && pApp != nullptr)
        pApp->Frame();
}

void Engine::SetActive(Int32 nActive)
{
    // Once the run has stopped there is no way back: activation is ignored.
    if (nActive == m_nActive || m_nRunning == 0)
        return;
    m_nActive = nActive;
    if (nActive != 0)
    {
        m_pDisplay->SetActive(1);
    }
    else
    {
        // Losing activation hands the monitor back and ends the run.
        m_pDisplay->SetActive(0);
        m_nRunning = 0;
    }
}

void Engine::HandleMouseMove(WPARAM wParam, LPARAM lParam)
{
    // Any key-state flag (a button, Shift or Ctrl held) ends the run; the
    // position is still recorded below.
    if (wParam != 0)
        m_nRunning = 0;

    // Client coordinates, taken unsigned (0 to 65535) as the low and high words.
    const Int32 nX = LOWORD(lParam);
    const Int32 nY = HIWORD(lParam);
    if (s_nFirstMove)
    {
        s_nOriginX = nX;
        s_nOriginY = nY;
        s_nFirstMove = 0;
        return;
    }
    s_nCurrentX = nX;
    s_nCurrentY = nY;
    if (Distance(s_nCurrentX, s_nOriginX) > kMouseSlack)
        m_nRunning = 0;
    else if (Distance(s_nCurrentY, s_nOriginY) > kMouseSlack)
        m_nRunning = 0;
}

LRESULT Engine::HandleMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    // The rules apply only while running is exactly 1.
    if (m_nRunning != 1)
        return DefWindowProcA(hWnd, uMsg, wParam, lParam);

    switch (uMsg)
    {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_CHAR:
        m_nRunning = 0;
        break;
    case WM_ACTIVATE:
        // Activated (WA_ACTIVE or WA_CLICKACTIVE) and not minimised.
        SetActive(LOWORD(wParam) != 0 && HIWORD(wParam) == 0 ? 1 : 0);
        break;
    case WM_SYSCOMMAND:
        // The command is compared whole, its low four bits included.
        if (wParam == SC_CLOSE)
        {
            MessageBoxA(nullptr, "We got an SC_CLOSE message.", "Error", MB_OK);
            m_nRunning = 0;
            return 0;
        }
        if (wParam == SC_SCREENSAVE)
            return 0; // a running saver does not start another
        break;
    case WM_MOUSEMOVE:
        HandleMouseMove(wParam, lParam);
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK EngineWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    // The slot is pointer-sized, so the Engine pointer survives on 64-bit
    // hosts (the display stores it right after creating the window).
    Engine* pEngine = reinterpret_cast<Engine*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (pEngine != nullptr)
        return pEngine->HandleMessage(hWnd, uMsg, wParam, lParam);
    return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}
