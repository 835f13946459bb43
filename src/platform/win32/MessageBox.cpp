// MessageBoxA: a real dialog with a display (SDL's message box, titled with the caption, with
// the buttons of the MB_* type); without one, "caption: text" on standard error and the
// default button at once, so a headless run never waits. The test API may watch or answer
// every box (Win32StandIn.h).
#include <windows.h>

#include "FocusState.h"
#include "VideoSystem.h"
#include "WindowRegistry.h"

#include <Win32StandIn.h>

#include <SDL.h>

#include <cstdio>
#include <mutex>

namespace
{

std::mutex g_lock;
std::vector<StandInMessageBox> g_boxes;
StandInMessageBoxHook g_hook;

struct ButtonSet
{
    int nCount;
    int anIds[3];
    const char* apszTexts[3];
};

ButtonSet ButtonsFor(UINT uType)
{
    switch (uType & 0xF)
    {
    case MB_OKCANCEL:
        return {2, {IDOK, IDCANCEL, 0}, {"OK", "Cancel", nullptr}};
    case MB_ABORTRETRYIGNORE:
        return {3, {IDABORT, IDRETRY, IDIGNORE}, {"Abort", "Retry", "Ignore"}};
    case MB_YESNOCANCEL:
        return {3, {IDYES, IDNO, IDCANCEL}, {"Yes", "No", "Cancel"}};
    case MB_YESNO:
        return {2, {IDYES, IDNO, 0}, {"Yes", "No", nullptr}};
    case MB_RETRYCANCEL:
        return {2, {IDRETRY, IDCANCEL, 0}, {"Retry", "Cancel", nullptr}};
    default:
        return {1, {IDOK, 0, 0}, {"OK", nullptr, nullptr}};
    }
}

// MB_DEFBUTTON2 and MB_DEFBUTTON3 choose the second or third button.
int DefaultIndex(UINT uType, const ButtonSet& buttons)
{
    int nIndex = static_cast<int>((uType >> 8) & 0xF);
    return nIndex < buttons.nCount ? nIndex : 0;
}

// Escape answers Cancel when there is one, OK in a box with only OK, else nothing.
int EscapeId(const ButtonSet& buttons)
{
    for (int i = 0; i < buttons.nCount; ++i)
    {
        if (buttons.anIds[i] == IDCANCEL)
            return IDCANCEL;
    }
    return buttons.nCount == 1 ? IDOK : -1;
}

Uint32 SdlIconFlag(UINT uType)
{
    switch (uType & 0xF0)
    {
    case MB_ICONERROR:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    case MB_ICONINFORMATION:
    case MB_ICONQUESTION:
        return SDL_MESSAGEBOX_INFORMATION;
    default:
        return 0;
    }
}

bool ShowSdlBox(const StandInMessageBox& box, int* pnResult)
{
    ButtonSet set = ButtonsFor(box.uFlags);
    int nDefault = DefaultIndex(box.uFlags, set);
    int nEscape = EscapeId(set);
    SDL_MessageBoxButtonData aButtons[3];
    for (int i = 0; i < set.nCount; ++i)
    {
        aButtons[i].flags = 0;
        if (i == nDefault)
            aButtons[i].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (set.anIds[i] == nEscape)
            aButtons[i].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        aButtons[i].buttonid = set.anIds[i];
        aButtons[i].text = set.apszTexts[i];
    }
    // A box without an owner still comes up in front of the program's active window (it takes
    // the foreground on Windows); as that window's transient it stays above a full-screen one.
    StandIn::Window* pOwner = StandIn::WindowRegistry::Find(box.hOwner);
    if (!pOwner)
        pOwner = StandIn::WindowRegistry::Find(StandIn::FocusState::Active());
    SDL_MessageBoxData data = {};
    data.flags = SdlIconFlag(box.uFlags) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = pOwner ? pOwner->surface.GetSdlWindow() : nullptr;
    data.title = box.strCaption.c_str();
    data.message = box.strText.c_str();
    data.numbuttons = set.nCount;
    data.buttons = aButtons;
    int nButton = -1;
    if (SDL_ShowMessageBox(&data, &nButton) != 0)
    {
        // The display is there but the box could not be made (SDL's X11 boxes need the X core
        // fonts, for one): say why, and the caller writes the text as a headless run does.
        fprintf(stderr,
                "MessageBoxA: the box could not be shown (SDL: %s; its X11 boxes need the X core "
                "fonts, Debian package xfonts-base)\n",
                SDL_GetError());
        return false;
    }
    // Closed by the window manager: as Escape, or the default button when Escape means nothing.
    *pnResult = nButton >= 0 ? nButton : (nEscape > 0 ? nEscape : set.anIds[nDefault]);
    return true;
}

} // namespace

extern "C" int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType)
{
    StandInMessageBox box = {hWnd, lpCaption ? lpCaption : "Error", lpText ? lpText : "", uType};
    StandInMessageBoxHook hook;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_boxes.push_back(box);
        hook = g_hook;
    }
    if (hook)
        return hook(box);
    int nResult = 0;
    if (!StandIn::VideoSystem::IsHeadless() && ShowSdlBox(box, &nResult))
        return nResult;
    fprintf(stderr, "%s: %s\n", box.strCaption.c_str(), box.strText.c_str());
    fflush(stderr);
    ButtonSet set = ButtonsFor(uType);
    return set.anIds[DefaultIndex(uType, set)];
}

void StandIn_SetMessageBoxHook(StandInMessageBoxHook hook)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_hook = std::move(hook);
}

std::vector<StandInMessageBox> StandIn_GetMessageBoxes()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_boxes;
}

void StandIn_ClearMessageBoxes()
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_boxes.clear();
}
