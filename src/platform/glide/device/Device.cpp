// Device: frame buffer, TMUs, triangles, clears and swaps.
#include "Device.h"
#include "EdgeWalker.h"
#include "RenderOptions.h"
#include "TriangleSetup.h"
#include <cstring>

Device::Device() : m_Pacer(m_Clock), m_Rate(m_Clock) {}

Device::~Device()
{
    Close();
}

Int64 Device::FrameBufferBytes(Int32 nWidth, Int32 nHeight, Int32 nColorBuffers, Int32 nAuxBuffers)
{
    return Int64(nWidth) * nHeight * 2 * (nColorBuffers + nAuxBuffers);
}

bool Device::Open(const BoardConfig& board, Int32 nWidth, Int32 nHeight, Int32 nColorBuffers,
                  Int32 nAuxBuffers, HWND hWnd, Int32 nRefreshHz)
{
    Close();
    // The colour and auxiliary buffers must fit the board's frame-buffer memory: on a 2 MB board
    // 800x600 with three buffers, 856x480 with three and 960x720 always fail.
    if (FrameBufferBytes(nWidth, nHeight, nColorBuffers, nAuxBuffers) >
        Int64(board.nFrameBufferMegabytes) << 20)
        return false;
    if (!m_FrameBuffer.Create(nWidth, nHeight, nColorBuffers, nAuxBuffers > 0))
        return false;
    m_Board = board;
    m_nTmus = board.nTmus < GlideConfig::MaxTmus ? board.nTmus : GlideConfig::MaxTmus;
    for (Int32 t = 0; t < m_nTmus; ++t)
    {
        if (!m_aTmu[t].Create(UInt32(board.nTmuMegabytes) << 20))
        {
            Close();
            return false;
        }
        m_apTmu[t] = &m_aTmu[t];
        m_aTmu[t].SetChangeGuard(GuardTextures, this);
    }
    m_State = DeviceState();
    m_eRenderBuffer = BufferId::Back;
    m_bOutputActive = true;
    m_Presenter.SetWindow(hWnd);
    m_Pacer.SetRefreshRate(nRefreshHz);
    m_Pacer.Reset();
    m_Rate.Start();
    m_Counters = PixelCounters();
    m_Immediate.GetCounters() = PixelCounters();
    m_Current = BoundState();
    m_Supplied = BoundState();
    m_bDrawAtOnce = false;
    ResetTriangleCounts();
    return true;
}

void Device::Close()
{
    // The threads draw into the frame buffer and read the TMUs: they end first.
    Flush();
    m_Workers.Stop();
    m_nThreadsRefused = 0;
    m_Current = BoundState();
    m_FrameBuffer.Destroy();
    for (Int32 t = 0; t < GlideConfig::MaxTmus; ++t)
    {
        m_aTmu[t].Destroy();
        m_apTmu[t] = nullptr;
    }
    m_nTmus = 0;
    m_Presenter.SetWindow(nullptr);
}

TextureUnit* Device::GetTmu(Int32 nTmu)
{
    return nTmu >= 0 && nTmu < m_nTmus ? m_apTmu[nTmu] : nullptr;
}

void Device::DrawTriangle(const DeviceVertex& a, const DeviceVertex& b, const DeviceVertex& c)
{
    if (!IsOpen())
        return;
    ++m_nTrianglesProcessed;
    TriangleParams tri;
    if (!TriangleSetup::Setup(a, b, c, m_State, m_nTmus, tri))
        return;
    ++m_nTrianglesDrawn;
    const Int32 nFirst = tri.nFirstRow > m_State.nClipMinY ? tri.nFirstRow : m_State.nClipMinY;
    const Int32 nEnd = tri.nEndRow < m_State.nClipMaxY ? tri.nEndRow : m_State.nClipMaxY;
    if (nFirst >= nEnd)
        return;
    MatchThreads();
    UpdateBoundState();
    if (DrawQueue::Command* pCommand = Enqueue())
    {
        pCommand->eKind = DrawQueue::Kind::Triangle;
        pCommand->triangle.tri = tri;
        pCommand->triangle.nFirstRow = nFirst;
        pCommand->triangle.nEndRow = nEnd;
        PublishSome();
    }
    else
        m_Immediate.Draw(m_Current, tri, nFirst, nEnd, m_FrameBuffer);
}

void Device::Clear(UInt32 nRgb, Int32 nAlpha, Int32 nDepth)
{
    if (!IsOpen())
        return;
    MatchThreads();
    UpdateBoundState();
    const DrawQueue::ClearArgs args = {nRgb, nAlpha, nDepth};
    if (DrawQueue::Command* pCommand = Enqueue())
    {
        pCommand->eKind = DrawQueue::Kind::Clear;
        pCommand->clear = args;
        PublishSome();
    }
    else
        m_Immediate.Clear(m_Current, args, m_FrameBuffer);
}

DeviceState Device::SuppliedPixelState(const DeviceState& state)
{
    DeviceState out = state;
    CombineUnitState pass;
    pass.eOther = CombineOther::Iterated;
    pass.eLocal = CombineLocal::Iterated;
    pass.eFactor = CombineFactor::Zero;
    pass.bInvertFactor = false;
    pass.bZeroOther = true;
    pass.bSubtractLocal = false;
    pass.eAdd = CombineAdd::Local;
    pass.bInvertOutput = false;
    out.colorCombine = pass;
    out.alphaCombine = pass;
    out.bAlphaControlsLighting = false;
    out.bDelta0 = false;
    return out;
}

void Device::ShadePixels(BufferId eTarget, Int32 nScreenY, Int32 x, Int32 n, const UInt32* pArgb,
                         const std::uint16_t* pDepth)
{
    if (!IsOpen() || !pArgb || !pDepth || eTarget == BufferId::Aux || nScreenY < 0 ||
        nScreenY >= m_FrameBuffer.GetHeight())
        return;
    const Int32 nRow =
        m_State.bOriginLowerLeft ? m_FrameBuffer.GetHeight() - 1 - nScreenY : nScreenY;
    if (nRow < m_State.nClipMinY || nRow >= m_State.nClipMaxY)
        return;
    const Int32 x0 = x > m_State.nClipMinX ? x : m_State.nClipMinX;
    const Int32 x1 = Int64(x) + n < m_State.nClipMaxX ? x + n : m_State.nClipMaxX;
    if (x0 >= x1)
        return;
    Flush();
    const DeviceState supplied = SuppliedPixelState(m_State);
    if (m_Supplied.nSerial == 0 || m_Supplied.eTarget != eTarget ||
        std::memcmp(&m_Supplied.state, &supplied, sizeof(DeviceState)) != 0)
    {
        m_Supplied = BoundState();
        m_Supplied.state = supplied;
        m_Supplied.eTarget = eTarget;
        m_Supplied.nTmus = m_nTmus;
        m_Supplied.nFracMask = m_Board.nBilinearFracMask;
        m_Supplied.nSerial = ++m_nSerials;
    }
    const TriangleParams unused;
    SpanRenderer& span = m_Immediate.GetSpanRenderer();
    span.Begin(m_Supplied, unused, m_FrameBuffer, m_Immediate.GetCounters());
    span.RenderSupplied(nRow, x0, x1, pArgb + (x0 - x), pDepth + (x0 - x));
}

void Device::Swap(Int32 nRetraces)
{
    if (!IsOpen())
        return;
    Flush();
    m_Pacer.Wait(nRetraces);
    m_FrameBuffer.Swap();
    m_Rate.Count();
    if (m_bOutputActive)
        m_Presenter.Present(m_FrameBuffer.GetBuffer(BufferId::Front), m_FrameBuffer.GetWidth(),
                            m_FrameBuffer.GetHeight());
}

FrameBuffer& Device::GetFrameBuffer()
{
    // Whoever asks for the buffers reads or writes pixels: everything queued comes first.
    Flush();
    return m_FrameBuffer;
}

PixelCounters& Device::GetCounters()
{
    Flush();
    m_Counters += m_Immediate.GetCounters();
    m_Immediate.GetCounters() = PixelCounters();
    return m_Counters;
}

void Device::ResetCounters()
{
    GetCounters() = PixelCounters();
}

void Device::Flush()
{
    if (m_Workers.Count() == 0)
        return;
    if (m_nWritten > 0)
    {
        Publish(m_nWritten);
        m_Workers.Wait();
        m_Workers.Restart();
    }
    m_Workers.CollectCounters(m_Counters);
    m_nWritten = 0;
    m_nPublished = 0;
    m_nQueuedSerial = 0;
}

void Device::GuardTextures(void* pDevice)
{
    static_cast<Device*>(pDevice)->Flush();
}

void Device::MatchThreads()
{
    // Each thread owns its bands of rows: with fewer than two, the calling thread draws.
    Int32 nWanted = RenderOptions::Get().nThreads;
    nWanted =
        nWanted < 2 ? 0 : (nWanted > GlideConfig::MaxThreads ? GlideConfig::MaxThreads : nWanted);
    if (nWanted == m_Workers.Count() || nWanted == m_nThreadsRefused)
        return;
    Flush();
    m_Workers.Stop();
    m_nThreadsRefused = 0;
    if (nWanted > 0 && (!m_Queue.Reserve() || !m_Workers.Start(nWanted, m_Queue, m_FrameBuffer)))
        m_nThreadsRefused = nWanted; // the system would not: draw here, and do not ask again
}

void Device::UpdateBoundState()
{
    if (m_Current.nSerial != 0 && m_Current.eTarget == m_eRenderBuffer &&
        std::memcmp(&m_Current.state, &m_State, sizeof(DeviceState)) == 0)
    {
        bool bSameTextures = true;
        for (Int32 t = 0; t < m_nTmus; ++t)
            bSameTextures = bSameTextures && m_Current.anGeneration[t] == m_aTmu[t].GetGeneration();
        if (bSameTextures)
            return;
    }
    // Binding may decode a texture, which first lets the threads finish (GuardTextures).
    TextureBinding aBinding[GlideConfig::MaxTmus];
    m_Immediate.GetSpanRenderer().Bind(m_State, m_nTmus, m_apTmu, m_FrameBuffer, m_eRenderBuffer,
                                       aBinding);
    m_Current.state = m_State;
    for (Int32 t = 0; t < GlideConfig::MaxTmus; ++t)
    {
        m_Current.aBinding[t] = aBinding[t];
        // Read after binding: a decode is not a change of the texture's contents.
        m_Current.anGeneration[t] = t < m_nTmus ? m_aTmu[t].GetGeneration() : 0;
    }
    m_Current.eTarget = m_eRenderBuffer;
    m_Current.nTmus = m_nTmus;
    m_Current.nFracMask = m_Board.nBilinearFracMask;
    m_Current.nSerial = ++m_nSerials;
}

void Device::SetDrawAtOnce(bool bAtOnce)
{
    if (bAtOnce)
        Flush();
    m_bDrawAtOnce = bAtOnce;
}

DrawQueue::Command* Device::Enqueue()
{
    if (m_Workers.Count() == 0 || m_bDrawAtOnce)
        return nullptr;
    // Command numbers start again at each flush; one this large means a very long stretch
    // without a swap or a read-back, and a flush keeps the numbers far from wrapping.
    if (m_nWritten >= MaxCommandsBetweenFlushes)
        Flush();
    if (m_nQueuedSerial != m_Current.nSerial)
    {
        DrawQueue::Command* pState = NextSlot();
        if (!pState)
        {
            Flush();
            return nullptr;
        }
        pState->eKind = DrawQueue::Kind::State;
        pState->state = m_Current;
        m_nQueuedSerial = m_Current.nSerial;
    }
    DrawQueue::Command* pCommand = NextSlot();
    if (!pCommand)
        Flush(); // out of memory for the ring: what is queued is drawn, this one at once
    return pCommand;
}

DrawQueue::Command* Device::NextSlot()
{
    const UInt32 nIndex = m_nWritten;
    // Entering a block of the ring that an earlier command used: every thread must be past
    // that whole block first, so the threads get everything written so far.
    if (nIndex >= DrawQueue::Capacity && nIndex % DrawQueue::BlockSize == 0)
    {
        Publish(nIndex);
        m_Workers.WaitUntilDone(nIndex - DrawQueue::Capacity + DrawQueue::BlockSize);
    }
    DrawQueue::Command* pSlot = m_Queue.Slot(nIndex);
    if (pSlot)
        ++m_nWritten;
    return pSlot;
}

void Device::Publish(UInt32 nCommands)
{
    m_nPublished = nCommands;
    m_Workers.Publish(nCommands);
}

void Device::PublishSome()
{
    // Handed out in batches: the threads start on a frame while it is still being queued.
    if (m_nWritten - m_nPublished >= PublishBatch)
        Publish(m_nWritten);
}
