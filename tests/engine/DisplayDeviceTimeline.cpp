// DisplayDeviceTimeline: the wrapped calls and the filtered log.
#include "DisplayDeviceTimeline.h"

#include "RecordingGlide.h"
#include "Types.h"

#include <cstdio>
#include <set>

namespace
{
bool s_bFailNextWindow = false;
bool s_bFailRendererStart = false;
HWND s_hLastWindow = nullptr;

void Mark(const std::string& strText)
{
    RecordedCall call;
    call.name = "marker";
    call.text = strText;
    RecordingGlide::Append(std::move(call));
}

std::string WindowText(HWND hWnd)
{
    if (hWnd == nullptr)
        return "null";
    return hWnd == s_hLastWindow ? "window" : "other";
}

// The display's own Glide calls; anything else in the log is the renderer's.
const std::set<std::string>& DisplayCalls()
{
    static const std::set<std::string> s_names = {
        "grGlideInit",   "grSstQueryHardware", "grSstSelect",   "grSstWinOpen",
        "grSstControl",  "grRenderBuffer",     "grBufferSwap",  "grLfbReadRegion",
        "grBufferClear", "grGlideShutdown",    "grSstWinClose", "grSstControlMode"};
    return s_names;
}
} // namespace

namespace DisplayDeviceTimeline
{
void Reset()
{
    s_bFailNextWindow = false;
    s_bFailRendererStart = false;
    s_hLastWindow = nullptr;
}

void FailNextWindow()
{
    s_bFailNextWindow = true;
}

void SetFailRendererStart(bool bFail)
{
    s_bFailRendererStart = bFail;
}

HWND LastWindow()
{
    return s_hLastWindow;
}

std::vector<std::string> Texts()
{
    std::vector<std::string> texts;
    const std::string strWindow = std::to_string(reinterpret_cast<unsigned long>(s_hLastWindow));
    for (const RecordedCall& call : RecordingGlide::Calls())
    {
        if (call.name == "marker")
        {
            texts.push_back(call.text);
            continue;
        }
        if (DisplayCalls().count(call.name) == 0)
            continue;
        std::string strText = call.text;
        const std::string strPrefix = "grSstWinOpen(" + strWindow + ",";
        if (s_hLastWindow != nullptr && strText.compare(0, strPrefix.size(), strPrefix) == 0)
            strText = "grSstWinOpen(hwnd," + strText.substr(strPrefix.size());
        texts.push_back(strText);
    }
    return texts;
}
} // namespace DisplayDeviceTimeline

// ---- wrapped calls (linked with --wrap=<name>) ----

class Renderer;

extern "C"
{
    HWND __real_CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                                HINSTANCE, LPVOID);
    BOOL __real_DestroyWindow(HWND);
    HDC __real_CreateCompatibleDC(HDC);
    BOOL __real_DeleteDC(HDC);
    BOOL __real_BitBlt(HDC, int, int, int, int, HDC, int, int, DWORD);
    HWND __real_SetCapture(HWND);
    Int32 __real__ZN8Renderer5StartEv(Renderer*);
    void __real__ZN8Renderer4StopEv(Renderer*);

    HWND __wrap_CreateWindowExA(DWORD dwExStyle, LPCSTR pchClass, LPCSTR pchTitle, DWORD dwStyle,
                                int x, int y, int nWidth, int nHeight, HWND hParent, HMENU hMenu,
                                HINSTANCE hInstance, LPVOID pParam)
    {
        if (s_bFailNextWindow)
        {
            s_bFailNextWindow = false;
            Mark("CreateWindowExA:fail");
            return nullptr;
        }
        HWND hWnd = __real_CreateWindowExA(dwExStyle, pchClass, pchTitle, dwStyle, x, y, nWidth,
                                           nHeight, hParent, hMenu, hInstance, pParam);
        s_hLastWindow = hWnd;
        Mark("CreateWindowExA");
        return hWnd;
    }

    BOOL __wrap_DestroyWindow(HWND hWnd)
    {
        Mark("DestroyWindow(userdata=" + std::to_string(GetWindowLongPtrA(hWnd, GWLP_USERDATA)) +
             ")");
        return __real_DestroyWindow(hWnd);
    }

    HDC __wrap_CreateCompatibleDC(HDC hDC)
    {
        Mark("CreateCompatibleDC");
        return __real_CreateCompatibleDC(hDC);
    }

    BOOL __wrap_DeleteDC(HDC hDC)
    {
        Mark("DeleteDC");
        return __real_DeleteDC(hDC);
    }

    BOOL __wrap_BitBlt(HDC hDC, int x, int y, int cx, int cy, HDC hSrc, int x1, int y1, DWORD dwRop)
    {
        char achText[80];
        std::snprintf(achText, sizeof(achText), "BitBlt(%d,%d,%d,%d)", x, y, cx, cy);
        Mark(achText);
        return __real_BitBlt(hDC, x, y, cx, cy, hSrc, x1, y1, dwRop);
    }

    HWND __wrap_SetCapture(HWND hWnd)
    {
        Mark("SetCapture(" + WindowText(hWnd) + ")");
        return __real_SetCapture(hWnd);
    }

    Int32 __wrap__ZN8Renderer5StartEv(Renderer* pRenderer)
    {
        Mark("Renderer::Start");
        if (s_bFailRendererStart)
            return 0;
        return __real__ZN8Renderer5StartEv(pRenderer);
    }

    void __wrap__ZN8Renderer4StopEv(Renderer* pRenderer)
    {
        Mark("Renderer::Stop");
        __real__ZN8Renderer4StopEv(pRenderer);
    }
}
