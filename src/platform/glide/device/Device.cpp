// Device: frame buffer, TMUs, triangles, clears and swaps.
#include "Device.h"
#include "EdgeWalker.h"
#include "RenderOptions.h"
#include "TriangleSetup.h"
#include <cstring>

Device::Device() : m_Pacer(m_Clock) {}

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
    m_Counters = PixelCounters();
    m_Immediate.GetCounters() = PixelCounters();
    m_Current = DrawState();
    m_Supplied = DrawState();
    ResetTriangleCounts();
    return true;
}

void Device::Close()
{
    // The threads draw into the frame buffer and read the TMUs: they end first.
    Flush();
    m_Workers.Stop();
    m_nThreadsRefused = 0;
    m_Current = DrawState();
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
    UpdateDrawState();
    if (DrawQueue::Command* pCommand = Enqueue())
    {
        pCommand->eKind = DrawQueue::Kind::Triangle;
        pCommand->tri = tri;
        pCommand->nFirstRow = nFirst;
        pCommand->nEndRow = nEnd;
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
    UpdateDrawState();
    DrawQueue::ClearArgs args;
    args.nRgb = nRgb;
    args.nAlpha = nAlpha;
    args.nDepth = nDepth;
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
        m_Supplied = DrawState();
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
    if (m_Queue.CommandCount() > 0)
    {
        m_Workers.Publish(m_Queue.CommandCount());
        m_Workers.Wait();
        m_Workers.Restart();
    }
    m_Workers.CollectCounters(m_Counters);
    m_Queue.Reset();
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
    if (nWanted > 0 && !m_Workers.Start(nWanted, m_Queue, m_FrameBuffer))
        m_nThreadsRefused = nWanted; // the system would not: draw here, and do not ask again
}

void Device::UpdateDrawState()
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

DrawQueue::Command* Device::Enqueue()
{
    if (m_Workers.Count() == 0)
        return nullptr;
    for (Int32 nAttempt = 0; nAttempt < 2; ++nAttempt)
    {
        if (m_nQueuedSerial != m_Current.nSerial)
        {
            DrawState* pState = m_Queue.AddState();
            if (pState)
            {
                *pState = m_Current;
                m_nQueuedSerial = m_Current.nSerial;
            }
        }
        DrawQueue::Command* pCommand =
            m_nQueuedSerial == m_Current.nSerial ? m_Queue.AddCommand() : nullptr;
        if (pCommand)
        {
            pCommand->nState = m_Queue.StateCount() - 1;
            return pCommand;
        }
        // Full, or out of memory: draw what is queued and try once more on an empty queue.
        Flush();
    }
    return nullptr; // drawn on the calling thread instead
}

void Device::PublishSome()
{
    // Handed out in batches: the threads start on a frame while it is still being queued.
    if (m_Queue.CommandCount() - m_nPublished >= PublishBatch)
    {
        m_nPublished = m_Queue.CommandCount();
        m_Workers.Publish(m_nPublished);
    }
}
