// RenderWorkers: the threads that draw a Device's queue, each into the rows it owns.
//
// Owner: the Device, which starts them when more than one thread is asked for
// (RenderOptions::nThreads, GLIDE_SW_THREADS) and stops them at close. The Device appends to its
// DrawQueue and hands out what it has written (Publish); every thread draws every published
// command in order, for its own bands of rows (BandRenderer), so the picture never depends on
// how many threads there are. Wait returns when all of them have drawn everything published:
// the Device waits before anything reads or changes the pixels or the textures (a swap, a
// read-back, an LFB lock, a download), and before it writes a slot of the queue's ring that a
// thread may still read (WaitUntilDone). Threads sleep while there is nothing to draw; they are
// created by the thread that opened the board and take its scheduling (the screensaver's idle
// priority). Nothing is allocated after Start.
#pragma once
#include "BandRenderer.h"
#include "DrawQueue.h"
#include "FrameBuffer.h"
#include "PixelCounters.h"
#include "Types.h"
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class RenderWorkers
{
  public:
    RenderWorkers() = default;
    ~RenderWorkers();
    RenderWorkers(const RenderWorkers&) = delete;
    RenderWorkers& operator=(const RenderWorkers&) = delete;

    // Starts nCount threads (2 or more) reading queue and drawing into frameBuffer; false, with
    // none running, when a thread cannot be started.
    bool Start(Int32 nCount, const DrawQueue& queue, FrameBuffer& frameBuffer);
    // Waits for the published work, then ends the threads.
    void Stop();
    Int32 Count() const { return m_nCount; }

    // Commands [0, nCommands) of the queue are complete: the threads may draw them.
    void Publish(UInt32 nCommands);
    // Returns once every thread has drawn every published command.
    void Wait();
    // Returns once every thread has drawn commands [0, nCommands) (which must be published):
    // the queue's slots up to there may be written again.
    void WaitUntilDone(UInt32 nCommands);
    // After Wait: the queue is emptied, and the threads start again from its first command.
    void Restart();
    // After Wait: adds the threads' pixel counts into counters and clears theirs.
    void CollectCounters(PixelCounters& counters);

  private:
    // Each on cache lines of its own: a thread writes its renderer's fields for every chunk,
    // and a line shared with the next thread's renderer would bounce between the processors.
    struct alignas(64) Worker
    {
        BandRenderer renderer;
        std::thread thread;
        UInt32 nDone = 0; // commands drawn (guarded by m_Lock)
    };
    void Run(Worker& worker);
    bool AllDone() const { return AllDoneTo(m_nPublished); }
    bool AllDoneTo(UInt32 nCommands) const;

    const DrawQueue* m_pQueue = nullptr;
    FrameBuffer* m_pFrameBuffer = nullptr;
    std::unique_ptr<Worker[]> m_aWorkers;
    Int32 m_nCount = 0;
    std::mutex m_Lock;
    std::condition_variable m_WorkReady;
    std::condition_variable m_WorkDone;
    UInt32 m_nPublished = 0; // guarded by m_Lock
    UInt32 m_nAwaited = 0;   // what the calling thread waits for (0: nothing); guarded
    bool m_bStop = false;    // guarded by m_Lock
};
