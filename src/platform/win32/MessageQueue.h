// MessageQueue: the one message queue of the window thread.
//
// Messages are kept as Windows keeps them: posted messages (PostMessageA, WM_CHAR from
// TranslateMessage) in one first-in first-out list, input (pointer, keys, activation and
// close requests from the system) in another, and the quit request as a flag. They are taken
// posted first, then input, then WM_QUIT once both are empty (WM_PAINT, generated from the
// windows' update state, comes after all of these; see MessageApi.cpp). Adjacent pointer
// moves to the same window with the same key state are merged, as Windows merges them.
// A "new message" flag records whether anything arrived since the program last looked, which
// is what WaitMessage waits for.
// Owner: one process-wide instance. PostMessage may come from any thread; everything else runs
// on the window thread.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

namespace StandIn
{

class MessageQueue
{
  public:
    static MessageQueue& Instance();

    void Post(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam);
    void PostInput(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam);
    void PostQuit(int nExitCode);

    // The first message that passes the filter (window: null for all, (HWND)-1 for thread
    // messages only; range: 0, 0 for all). WM_QUIT passes every filter.
    bool Take(MSG* pMsg, HWND hFilter, UINT uMin, UINT uMax, bool bRemove);
    void RemoveForWindow(HWND hWnd);

    // Something arrived, or a window needs painting: wakes a waiting thread.
    void MarkNew();
    // Returns whether something arrived since the last look, and clears the flag.
    bool TakeNewFlag();
    // Change counter for waiting without a display: WaitForChange returns once it differs.
    uint64_t GetSequence();
    void WaitForChange(uint64_t nSequence);
    // Wakes a waiting thread without marking anything new (input waiting to be taken in).
    void Nudge();

    void Clear();

    static bool PassesFilter(const MSG& msg, HWND hFilter, UINT uMin, UINT uMax);

  private:
    MSG MakeMessage(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam) const;
    void NotifyLocked();

    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<MSG> m_posted;
    std::deque<MSG> m_input;
    bool m_bQuit = false;
    int m_nQuitCode = 0;
    bool m_bNew = false;
    uint64_t m_nSequence = 0;
};

} // namespace StandIn
