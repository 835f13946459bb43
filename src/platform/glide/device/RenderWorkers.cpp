// RenderWorkers: start, hand out, wait, stop.
#include "RenderWorkers.h"
#include <new>
#include <system_error>

RenderWorkers::~RenderWorkers()
{
    Stop();
}

bool RenderWorkers::Start(Int32 nCount, const DrawQueue& queue, FrameBuffer& frameBuffer)
{
    Stop();
    m_aWorkers.reset(new (std::nothrow) Worker[size_t(nCount)]);
    if (!m_aWorkers)
        return false;
    m_pQueue = &queue;
    m_pFrameBuffer = &frameBuffer;
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_nPublished = 0;
        m_bStop = false;
        m_nCount = nCount;
    }
    for (Int32 i = 0; i < nCount; ++i)
    {
        Worker& worker = m_aWorkers[size_t(i)];
        worker.renderer.SetBands(i, nCount);
        try
        {
            worker.thread = std::thread([this, &worker] { Run(worker); });
        }
        catch (const std::system_error&)
        {
            // The system would not give another thread: end the ones that started.
            {
                std::lock_guard<std::mutex> guard(m_Lock);
                m_nCount = i;
            }
            Stop();
            return false;
        }
    }
    return true;
}

void RenderWorkers::Stop()
{
    if (!m_aWorkers)
        return;
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_bStop = true;
    }
    m_WorkReady.notify_all();
    for (Int32 i = 0; i < m_nCount; ++i)
        if (m_aWorkers[size_t(i)].thread.joinable())
            m_aWorkers[size_t(i)].thread.join();
    m_aWorkers.reset();
    m_nCount = 0;
}

void RenderWorkers::Publish(UInt32 nCommands)
{
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        if (nCommands <= m_nPublished)
            return;
        m_nPublished = nCommands;
    }
    m_WorkReady.notify_all();
}

bool RenderWorkers::AllDoneTo(UInt32 nCommands) const
{
    for (Int32 i = 0; i < m_nCount; ++i)
        if (m_aWorkers[size_t(i)].nDone < nCommands)
            return false;
    return true;
}

void RenderWorkers::WaitUntilDone(UInt32 nCommands)
{
    std::unique_lock<std::mutex> lock(m_Lock);
    // The threads wake the caller only once they are all past this point, not at every step.
    m_nAwaited = nCommands;
    m_WorkDone.wait(lock, [this, nCommands] { return AllDoneTo(nCommands); });
    m_nAwaited = 0;
}

void RenderWorkers::Wait()
{
    WaitUntilDone(m_nPublished);
}

void RenderWorkers::Restart()
{
    std::lock_guard<std::mutex> guard(m_Lock);
    m_nPublished = 0;
    for (Int32 i = 0; i < m_nCount; ++i)
        m_aWorkers[size_t(i)].nDone = 0;
}

void RenderWorkers::CollectCounters(PixelCounters& counters)
{
    for (Int32 i = 0; i < m_nCount; ++i)
    {
        PixelCounters& own = m_aWorkers[size_t(i)].renderer.GetCounters();
        counters += own;
        own = PixelCounters();
    }
}

void RenderWorkers::Run(Worker& worker)
{
    for (;;)
    {
        UInt32 nFirst, nEnd;
        {
            std::unique_lock<std::mutex> lock(m_Lock);
            m_WorkReady.wait(lock, [&] { return m_bStop || m_nPublished > worker.nDone; });
            if (m_nPublished == worker.nDone)
                return; // stopped, with nothing left to draw
            nFirst = worker.nDone;
            nEnd = m_nPublished;
        }
        // Progress is told a block at a time: the calling thread may be waiting for a slot.
        for (UInt32 i = nFirst; i < nEnd;)
        {
            const UInt32 nBlockEnd = (i / DrawQueue::BlockSize + 1) * DrawQueue::BlockSize;
            const UInt32 nStop = nBlockEnd < nEnd ? nBlockEnd : nEnd;
            for (; i < nStop; ++i)
                worker.renderer.Run(m_pQueue->At(i), *m_pFrameBuffer);
            bool bAwaitedDone;
            {
                std::lock_guard<std::mutex> guard(m_Lock);
                worker.nDone = nStop;
                bAwaitedDone = m_nAwaited != 0 && AllDoneTo(m_nAwaited);
            }
            if (bAwaitedDone)
                m_WorkDone.notify_all();
        }
    }
}
