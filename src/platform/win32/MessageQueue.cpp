#include "MessageQueue.h"

#include "Cursor.h"
#include "VideoSystem.h"

namespace StandIn
{

MessageQueue& MessageQueue::Instance()
{
    static MessageQueue s_queue;
    return s_queue;
}

MSG MessageQueue::MakeMessage(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam) const
{
    MSG msg = {};
    msg.hwnd = hWnd;
    msg.message = uMessage;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    msg.pt = CursorScreenPosition();
    return msg;
}

void MessageQueue::NotifyLocked()
{
    m_bNew = true;
    ++m_nSequence;
    m_changed.notify_all();
}

void MessageQueue::Post(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam)
{
    MSG msg = MakeMessage(hWnd, uMessage, wParam, lParam);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_posted.push_back(msg);
        NotifyLocked();
    }
    VideoSystem::WakeFromAnyThread();
}

void MessageQueue::PostInput(HWND hWnd, UINT uMessage, WPARAM wParam, LPARAM lParam)
{
    MSG msg = MakeMessage(hWnd, uMessage, wParam, lParam);
    std::lock_guard<std::mutex> guard(m_lock);
    if (uMessage == WM_MOUSEMOVE && !m_input.empty())
    {
        MSG& last = m_input.back();
        if (last.message == WM_MOUSEMOVE && last.hwnd == hWnd && last.wParam == wParam)
        {
            last = msg; // the pointer moved on before the program looked: only the latest counts
            NotifyLocked();
            return;
        }
    }
    m_input.push_back(msg);
    NotifyLocked();
}

void MessageQueue::PostQuit(int nExitCode)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bQuit = true;
        m_nQuitCode = nExitCode;
        NotifyLocked();
    }
    VideoSystem::WakeFromAnyThread();
}

bool MessageQueue::PassesFilter(const MSG& msg, HWND hFilter, UINT uMin, UINT uMax)
{
    if (hFilter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1)))
    {
        if (msg.hwnd)
            return false;
    }
    else if (hFilter && msg.hwnd != hFilter)
    {
        return false;
    }
    if (uMin == 0 && uMax == 0)
        return true;
    return msg.message >= uMin && msg.message <= uMax;
}

bool MessageQueue::Take(MSG* pMsg, HWND hFilter, UINT uMin, UINT uMax, bool bRemove)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (std::deque<MSG>* pList : {&m_posted, &m_input})
    {
        for (auto it = pList->begin(); it != pList->end(); ++it)
        {
            if (!PassesFilter(*it, hFilter, uMin, uMax))
                continue;
            *pMsg = *it;
            if (bRemove)
                pList->erase(it);
            return true;
        }
    }
    if (m_bQuit && m_posted.empty() && m_input.empty())
    {
        *pMsg = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(m_nQuitCode), 0);
        if (bRemove)
            m_bQuit = false;
        return true;
    }
    return false;
}

void MessageQueue::RemoveForWindow(HWND hWnd)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (std::deque<MSG>* pList : {&m_posted, &m_input})
    {
        for (auto it = pList->begin(); it != pList->end();)
        {
            it = it->hwnd == hWnd ? pList->erase(it) : it + 1;
        }
    }
}

void MessageQueue::MarkNew()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        NotifyLocked();
    }
    VideoSystem::WakeFromAnyThread();
}

void MessageQueue::Nudge()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        ++m_nSequence;
        m_changed.notify_all();
    }
    VideoSystem::WakeFromAnyThread();
}

bool MessageQueue::TakeNewFlag()
{
    std::lock_guard<std::mutex> guard(m_lock);
    bool bNew = m_bNew;
    m_bNew = false;
    return bNew;
}

uint64_t MessageQueue::GetSequence()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_nSequence;
}

void MessageQueue::WaitForChange(uint64_t nSequence)
{
    std::unique_lock<std::mutex> guard(m_lock);
    m_changed.wait(guard, [&] { return m_nSequence != nSequence; });
}

void MessageQueue::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_posted.clear();
    m_input.clear();
    m_bQuit = false;
    m_nQuitCode = 0;
    m_bNew = false;
    ++m_nSequence;
}

} // namespace StandIn
