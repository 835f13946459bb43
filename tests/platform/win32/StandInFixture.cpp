#include "StandInFixture.h"

#include <map>

namespace
{

std::vector<RecordedMessage> g_log;
std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> g_override;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam)
{
    g_log.push_back({hWnd, uMessage, wParam, lParam});
    LRESULT lResult = 0;
    if (g_override && g_override(hWnd, uMessage, wParam, lParam, &lResult))
        return lResult;
    return DefWindowProcA(hWnd, uMessage, wParam, lParam);
}

} // namespace

const char* const StandInTest::kClassName = "StandInTestClass";

void StandInTest::SetUp()
{
    StandIn_SetHeadless(true);
    StandIn_Reset();
    g_log.clear();
    g_override = nullptr;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kClassName;
    ASSERT_NE(RegisterClassA(&wc), 0);
}

void StandInTest::TearDown()
{
    g_override = nullptr;
    StandIn_Reset();
}

HWND StandInTest::CreateRecordedWindow(int nWidth, int nHeight, DWORD dwStyle)
{
    return CreateWindowExA(0, kClassName, "test", dwStyle, 0, 0, nWidth, nHeight, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

std::vector<UINT> StandInTest::Received(const std::vector<UINT>& only)
{
    std::vector<UINT> messages;
    for (const RecordedMessage& entry : g_log)
    {
        bool bWanted = only.empty();
        for (UINT u : only)
            bWanted = bWanted || u == entry.uMessage;
        if (bWanted)
            messages.push_back(entry.uMessage);
    }
    return messages;
}

std::vector<RecordedMessage>& StandInTest::Log()
{
    return g_log;
}

std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>& StandInTest::Override()
{
    return g_override;
}

std::vector<MSG> StandInTest::Drain()
{
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        taken.push_back(msg);
        if (msg.message == WM_QUIT)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return taken;
}

std::string MessageName(UINT uMessage)
{
    static const std::map<UINT, const char*> s_names = {
        {WM_CREATE, "WM_CREATE"},
        {WM_DESTROY, "WM_DESTROY"},
        {WM_SIZE, "WM_SIZE"},
        {WM_MOVE, "WM_MOVE"},
        {WM_ACTIVATE, "WM_ACTIVATE"},
        {WM_SETFOCUS, "WM_SETFOCUS"},
        {WM_KILLFOCUS, "WM_KILLFOCUS"},
        {WM_PAINT, "WM_PAINT"},
        {WM_CLOSE, "WM_CLOSE"},
        {WM_QUIT, "WM_QUIT"},
        {WM_ERASEBKGND, "WM_ERASEBKGND"},
        {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
        {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
        {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCDESTROY, "WM_NCDESTROY"},
        {WM_NCACTIVATE, "WM_NCACTIVATE"},
        {WM_KEYDOWN, "WM_KEYDOWN"},
        {WM_KEYUP, "WM_KEYUP"},
        {WM_CHAR, "WM_CHAR"},
        {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
        {WM_SYSCHAR, "WM_SYSCHAR"},
        {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
        {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
    };
    auto it = s_names.find(uMessage);
    return it != s_names.end() ? it->second : "0x" + std::to_string(uMessage);
}
