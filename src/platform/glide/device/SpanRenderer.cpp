// SpanRenderer: per-triangle planning and the per-chunk pixel pipeline.
#include "SpanRenderer.h"
#include "Dither.h"
#include "FastKernels.h"
#include "PixelStages.h"
#include "RenderOptions.h"
#include <cstring>
#include <utility>

namespace
{
inline Int32 ClampInt(Int32 v, Int32 nLow, Int32 nHigh)
{
    return v < nLow ? nLow : (v > nHigh ? nHigh : v);
}

template <typename Pass> void KillUnless(Pass pass, Int32 n, Channel* pLive, UInt32& nFailures)
{
    for (Int32 i = 0; i < n; ++i)
    {
        if (pLive[i] && !pass(i))
        {
            pLive[i] = 0;
            ++nFailures;
        }
    }
}

// Kills the pixels where "a[i] OP b(i)" fails.
template <typename A, typename B>
void CompareKill(CompareFunc eFunc, const A* pA, B b, Int32 n, Channel* pLive, UInt32& nFailures)
{
    switch (eFunc)
    {
    case CompareFunc::Never:
        KillUnless([](Int32) { return false; }, n, pLive, nFailures);
        return;
    case CompareFunc::Less:
        KillUnless([&](Int32 i) { return pA[i] < b(i); }, n, pLive, nFailures);
        return;
    case CompareFunc::Equal:
        KillUnless([&](Int32 i) { return pA[i] == b(i); }, n, pLive, nFailures);
        return;
    case CompareFunc::LessEqual:
        KillUnless([&](Int32 i) { return pA[i] <= b(i); }, n, pLive, nFailures);
        return;
    case CompareFunc::Greater:
        KillUnless([&](Int32 i) { return pA[i] > b(i); }, n, pLive, nFailures);
        return;
    case CompareFunc::NotEqual:
        KillUnless([&](Int32 i) { return pA[i] != b(i); }, n, pLive, nFailures);
        return;
    case CompareFunc::GreaterEqual:
        KillUnless([&](Int32 i) { return pA[i] >= b(i); }, n, pLive, nFailures);
        return;
    case CompareFunc::Always:
        return;
    }
}

// The chip's 16-bit floating-point form of 1/w (W buffer and table fog): 1/w is taken as a
// 32-bit fraction; the exponent is its count of leading zeros (0..15) and the mantissa the 12
// bits after the leading one, inverted, so that larger w gives larger values. 1/w >= 1 (and
// negative 1/w) is 0x0000, the nearest; below 2^-16 it is 0xFFFF, the farthest.
Int32 WFloat(float fOow)
{
    if (!(fOow > 0.0f) || fOow >= 1.0f)
        return 0;
    const UInt32 nFraction = UInt32(double(fOow) * 4294967296.0);
    if (nFraction < 0x10000u)
        return 0xFFFF;
    const Int32 nExponent = __builtin_clz(nFraction);
    const Int32 nValue =
        Int32((UInt32(nExponent) << 12) | ((~nFraction >> (19 - nExponent)) & 0xFFFu)) + 1;
    return nValue > 0xFFFF ? 0xFFFF : nValue;
}
} // namespace

SpanRenderer::SpanRenderer()
{
    PixelStages::Fill(0, Chunk, m_anZero);
    PixelStages::Fill(255, Chunk, m_anFull);
    // The blend adds dst * (factor + 1) >> 8 even when the destination factor is ZERO and the
    // destination was not read: that term is 0 only for a channel value of 0..255, so the
    // destination starts as zeros (a renderer on a render thread is not in zeroed memory).
    for (Lane& anDest : m_anDest)
        PixelStages::Fill(0, Chunk, anDest);
}

void SpanRenderer::Bind(const DeviceState& state, Int32 nTmus, TextureUnit* const* apTmus,
                        FrameBuffer& frameBuffer, BufferId eTarget, TextureBinding* aBinding)
{
    PlanStages(state, nTmus, frameBuffer, eTarget);
    // What is bound here is not this renderer's plan: the next Begin plans afresh.
    m_bPlanned = false;
    for (Int32 t = 0; t < GlideConfig::MaxTmus; ++t)
        aBinding[t] = TextureBinding();
    for (Int32 t = 0; t < m_nTmus; ++t)
    {
        if (!m_aTmuPlan[t].bNeedTexel || !apTmus[t])
            continue;
        const TmuState& tmu = state.aTmu[t];
        aBinding[t].pTexture = apTmus[t]->Decode(tmu.source, tmu.sampler.nNccTable);
        // The fast path filters TMU 0 alone, from its quads.
        const bool bBilinear = tmu.sampler.eMinFilter == TextureFilter::Bilinear ||
                               tmu.sampler.eMagFilter == TextureFilter::Bilinear;
        if (t == 0 && bBilinear && aBinding[t].pTexture)
            aBinding[t].pQuads =
                apTmus[t]->Quads(aBinding[t].pTexture, tmu.sampler.eClampS == TextureClamp::Clamp,
                                 tmu.sampler.eClampT == TextureClamp::Clamp);
    }
}

void SpanRenderer::Begin(const BoundState& draw, const TriangleParams& tri,
                         FrameBuffer& frameBuffer, PixelCounters& counters)
{
    if (!PlanIsCurrent(draw, frameBuffer, counters))
        Plan(draw, frameBuffer, counters);
    // A plan stays valid for a copy of the same BoundState held elsewhere: read this one.
    m_pState = &draw.state;
    m_pTri = &tri;
    for (Int32 t = 0; t < m_nTmus; ++t)
        if (m_aTmuPlan[t].bNeedTexel)
            m_aSampler[t].Begin(draw.state.aTmu[t], m_apTexture[t], t == 0 ? m_pQuads : nullptr,
                                tri, t, draw.nFracMask, draw.state.bAllowMipMapDither,
                                m_aTmuPlan[t].bNeedLodFraction || m_aTmuPlan[t].bNeedDetail);
}

bool SpanRenderer::PlanIsCurrent(const BoundState& draw, FrameBuffer& frameBuffer,
                                 PixelCounters& counters) const
{
    // A swap rotates the buffers under an unchanged state; the options change between frames.
    return m_bPlanned && m_nPlannedSerial == draw.nSerial && m_pFrameBuffer == &frameBuffer &&
           m_pTarget == frameBuffer.GetBuffer(draw.eTarget) &&
           m_pAux == frameBuffer.GetBuffer(BufferId::Aux) && m_pCounters == &counters &&
           m_nWidth == frameBuffer.GetWidth() && m_nHeight == frameBuffer.GetHeight() &&
           m_PlannedPath == RenderOptions::Get().ePath &&
           m_PlannedKernels == RenderOptions::Get().eKernels;
}

void SpanRenderer::Plan(const BoundState& draw, FrameBuffer& frameBuffer, PixelCounters& counters)
{
    PlanStages(draw.state, draw.nTmus, frameBuffer, draw.eTarget);
    m_bPlanned = true;
    m_nPlannedSerial = draw.nSerial;
    m_nFracMask = draw.nFracMask;
    m_pCounters = &counters;
    for (Int32 t = 0; t < GlideConfig::MaxTmus; ++t)
        m_apTexture[t] =
            t < m_nTmus && m_aTmuPlan[t].bNeedTexel ? draw.aBinding[t].pTexture : nullptr;
    m_pQuads = draw.aBinding[0].pQuads;
    m_pDitherRows = DitherRows(draw.state.eDither);
    PlanFast(draw.state);
}

void SpanRenderer::PlanStages(const DeviceState& state, Int32 nTmus, FrameBuffer& frameBuffer,
                              BufferId eTarget)
{
    m_pState = &state;
    m_pFrameBuffer = &frameBuffer;
    m_pTarget = frameBuffer.GetBuffer(eTarget);
    m_pAux = frameBuffer.GetBuffer(BufferId::Aux);
    m_nTmus = nTmus < GlideConfig::MaxTmus ? nTmus : GlideConfig::MaxTmus;
    m_nWidth = frameBuffer.GetWidth();
    m_nHeight = frameBuffer.GetHeight();

    PixelStages::Fill(state.nConstR, Chunk, m_anConst[0]);
    PixelStages::Fill(state.nConstG, Chunk, m_anConst[1]);
    PixelStages::Fill(state.nConstB, Chunk, m_anConst[2]);
    PixelStages::Fill(state.nConstA, Chunk, m_anConst[3]);
    const Int32 nFogR = state.bFogAdd ? 0 : Int32((state.nFogRgb >> 16) & 0xFFu);
    const Int32 nFogG = state.bFogAdd ? 0 : Int32((state.nFogRgb >> 8) & 0xFFu);
    const Int32 nFogB = state.bFogAdd ? 0 : Int32(state.nFogRgb & 0xFFu);
    PixelStages::Fill(nFogR, Chunk, m_anFogColor[0]);
    PixelStages::Fill(nFogG, Chunk, m_anFogColor[1]);
    PixelStages::Fill(nFogB, Chunk, m_anFogColor[2]);

    m_bNeedIterRgb = m_bNeedIterA = m_bNeedDepth = m_bNeedW = m_bNeedTex0 = false;
    m_bLightingSelect = state.bAlphaControlsLighting;
    for (TmuPlan& plan : m_aTmuPlan)
        plan = TmuPlan();
    PlanTmus(state, m_nTmus);
    PlanColorAndAlpha(state);

    // Tests and fog.
    m_bChroma = state.bChromaKey;
    if (m_bChroma)
        for (Int32 c = 0; c < 3; ++c)
            MarkUse(m_apOtherRgb[c]);
    m_bAlphaTest = state.eAlphaTest != CompareFunc::Always;
    m_bFog = state.eFogMode != FogMode::Disabled;
    switch (state.eFogMode)
    {
    case FogMode::Disabled:
        break;
    case FogMode::IteratedAlpha:
        m_bNeedIterA = true;
        break;
    case FogMode::Table:
        m_bNeedW = true;
        break;
    case FogMode::IteratedZ:
        m_bNeedDepth = true;
        break;
    }
    m_bDepthTest = state.eDepthMode != DepthMode::Disabled && m_pAux;
    m_bDepthWrite = m_bDepthTest && state.bDepthMask;
    if (m_bDepthTest)
    {
        m_bNeedDepth = true;
        m_bNeedW = m_bNeedW || state.eDepthMode == DepthMode::WBuffer ||
                   state.eDepthMode == DepthMode::WCompareToBias;
    }
    // Without depth buffering the auxiliary buffer holds destination alpha.
    m_bAlphaBuffer = m_pAux && state.eDepthMode == DepthMode::Disabled && state.bAlphaMask;
    m_bColorWrite = state.bRgbMask && m_pTarget;
    PlanBlend(state);

    for (Int32 t = 0; t < m_nTmus; ++t)
        m_bNeedTex0 = m_bNeedTex0 || m_aTmuPlan[t].bActive;
}

// The fast path covers the states FastSpan.h lists; for them every input the plan chose is one
// of the fast path's slots. Anything else (or the reference path asked for) leaves the
// triangle to the stages.
void SpanRenderer::PlanFast(const DeviceState& state)
{
    m_PlannedPath = RenderOptions::Get().ePath;
    m_PlannedKernels = RenderOptions::Get().eKernels;
    m_pfnFast = m_PlannedPath == PixelPath::Fast && PlanFastState(state)
                    ? FastKernels::For(m_PlannedKernels)
                    : nullptr;
}

bool SpanRenderer::PlanFastState(const DeviceState& state)
{
    FastPlan& p = m_FastPlan;
    p = FastPlan();
    const bool bZDepth =
        state.eDepthMode == DepthMode::ZBuffer || state.eDepthMode == DepthMode::ZCompareToBias;
    if (m_bLightingSelect || m_bFog || m_bNeedW || (m_bDepthTest && !bZDepth))
        return false;
    if (m_nTmus > 1 && m_aTmuPlan[1].bActive)
        return false;
    const TmuPlan& tmu0 = m_aTmuPlan[0];
    if (m_nTmus > 0 && tmu0.bActive)
    {
        if (tmu0.bNeedLodFraction || tmu0.bNeedDetail || (tmu0.bNeedTexel && !m_apTexture[0]))
            return false;
        const SamplerState& sampler = state.aTmu[0].sampler;
        if (tmu0.bNeedTexel && !m_pQuads &&
            (sampler.eMinFilter == TextureFilter::Bilinear ||
             sampler.eMagFilter == TextureFilter::Bilinear))
            return false;
        p.bTexture = tmu0.bNeedTexel;
        for (Int32 c = 0; c < 4; ++c)
        {
            const UnitInputs& unit = c < 3 ? tmu0.aRgb[c] : tmu0.alpha;
            if (!FastUnitOf(unit, &p.aTmuUnit[c]))
                return false;
            p.bTmuCombine = p.bTmuCombine || !unit.pPass;
        }
    }
    for (Int32 c = 0; c < 3; ++c)
        if (!FastUnitOf(m_aColor[c], &p.aUnit[c]))
            return false;
    if (!FastUnitOf(m_Alpha, &p.aUnit[3]))
        return false;
    p.bIterateRgb = m_bNeedIterRgb;
    p.bIterateA = m_bNeedIterA;
    p.bIterateDepth = m_bNeedDepth;
    for (Int32 c = 0; c < 4; ++c)
        p.anConst[c] = m_anConst[c][0];

    p.bChroma = m_bChroma;
    for (Int32 c = 0; c < 3 && m_bChroma; ++c)
    {
        p.anChromaSlot[c] = FastSlotOf(m_apOtherRgb[c]);
        p.anChromaKey[c] = Int32((state.nChromaRgb >> (16 - 8 * c)) & 0xFFu);
        if (p.anChromaSlot[c] < 0)
            return false;
    }
    p.bAlphaTest = m_bAlphaTest;
    p.eAlphaFunc = state.eAlphaTest;
    p.nAlphaRef = state.nAlphaRef;
    p.bDepthTest = m_bDepthTest;
    p.eDepthFunc = state.eDepthFunc;
    p.bCompareToBias = state.eDepthMode == DepthMode::ZCompareToBias;
    p.nDepthBias = state.nDepthBias;
    p.bDepthWrite = m_bDepthWrite;

    p.bBlend = m_bBlend;
    p.bNeedDest = m_bNeedDest;
    p.bNeedDestAlpha = m_bNeedDestAlpha;
    p.bDestAlphaFromAux = m_pAux && state.eDepthMode == DepthMode::Disabled;
    p.bBlendAlpha = m_bAlphaBuffer;
    for (Int32 c = 0; c < 4 && m_bBlend; ++c)
    {
        p.anSrcFactor[c] = FastSlotOf(c < 3 ? m_apRgbSrcFactor[c] : m_pAlphaSrcFactor);
        p.anDstFactor[c] = FastSlotOf(c < 3 ? m_apRgbDstFactor[c] : m_pAlphaDstFactor);
        if (p.anSrcFactor[c] < 0 || p.anDstFactor[c] < 0)
            return false;
        for (const std::int8_t nSlot : {p.anSrcFactor[c], p.anDstFactor[c]})
        {
            p.bInvOut = p.bInvOut || (nSlot >= FastSlot::InvOutR && nSlot <= FastSlot::InvOutA);
            p.bInvDest = p.bInvDest || (nSlot >= FastSlot::InvDestR && nSlot <= FastSlot::InvDestA);
            p.bSaturate = p.bSaturate || nSlot == FastSlot::Saturate;
        }
    }
    p.bAlphaWrite = m_bAlphaBuffer;
    p.bColorWrite = m_bColorWrite;
    return true;
}

bool SpanRenderer::FastUnitOf(const UnitInputs& inputs, FastUnit* pUnit) const
{
    pUnit->nPass = inputs.pPass ? FastSlotOf(inputs.pPass) : std::int8_t(-1);
    pUnit->nOther = FastSlotOf(inputs.pOther);
    pUnit->nSub = FastSlotOf(inputs.pSub);
    pUnit->nFactor = FastSlotOf(inputs.pFactor);
    pUnit->nAdd = FastSlotOf(inputs.pAdd);
    pUnit->nFactorXor = inputs.nFactorXor;
    pUnit->nOutputXor = inputs.nOutputXor;
    pUnit->eKind =
        inputs.pPass ? FastUnit::Pass
        : pUnit->nSub == FastSlot::Zero && pUnit->nAdd == FastSlot::Zero && pUnit->nOutputXor == 0
            ? FastUnit::Scale
            : FastUnit::Combine;
    if (inputs.pPass)
        return pUnit->nPass >= 0;
    return pUnit->nOther >= 0 && pUnit->nSub >= 0 && pUnit->nFactor >= 0 && pUnit->nAdd >= 0;
}

// The slot holding the values of an input array, or -1 when the fast path has none.
std::int8_t SpanRenderer::FastSlotOf(const Channel* p) const
{
    using namespace FastSlot;
    const std::pair<const Channel*, std::int8_t> aFixed[] = {
        {m_anZero, Zero},           {m_anFull, Full},     {m_anDepthHigh, DepthHigh},
        {m_anInvSrcAlpha, InvOutA}, {m_anDest[3], DestA}, {m_anInvDstAlpha, InvDestA},
        {m_anSaturate, Saturate},
    };
    for (const auto& fixed : aFixed)
        if (p == fixed.first)
            return fixed.second;
    for (Int32 c = 0; c < 4; ++c)
    {
        if (p == m_anIter[c])
            return std::int8_t(IterR + c);
        if (p == m_anTexel[0][c])
            return std::int8_t(TexelR + c);
        if (p == m_anTmuOut[0][c])
            return std::int8_t(TexR + c);
        if (p == m_anConst[c])
            return std::int8_t(ConstR + c);
        if (p == m_anOut[c])
            return std::int8_t(OutR + c);
    }
    for (Int32 c = 0; c < 3; ++c)
    {
        if (p == m_anInvSrc[c])
            return std::int8_t(InvOutR + c);
        if (p == m_anDest[c])
            return std::int8_t(DestR + c);
        if (p == m_anInvDst[c])
            return std::int8_t(InvDestR + c);
    }
    return -1;
}

// One chunk by the fast path, run by run of pixels sharing a texture level; false, with nothing
// drawn, when the chunk needs the level of detail per pixel and is left to the stages.
bool SpanRenderer::RenderFast(Int32 nRow, Int32 x, Int32 nValid, std::uint16_t* pColor,
                              std::uint16_t* pAux)
{
    // The chunk record lives with the renderer and is only brought up to date here: it is read
    // and written per chunk, tens of thousands of times a frame.
    FastChunk& chunk = m_FastChunk;
    chunk.pPlan = &m_FastPlan;
    TextureSampler::LevelRun aRuns[Chunk];
    Int32 nRuns = 1;
    aRuns[0] = {0, nValid, 0, false};
    if (m_FastPlan.bTexture)
    {
        m_aSampler[0].ChunkPlanes(nRow, x, &chunk);
        nRuns = m_aSampler[0].LevelRuns(nValid, chunk, aRuns);
        if (nRuns == 0)
            return false;
    }
    const TriangleParams& tri = *m_pTri;
    const Int32 dx = x - tri.nRefX;
    const Int32 dy = nRow - tri.nRefY;
    const FixedPlane* apPlanes[5] = {&tri.red, &tri.green, &tri.blue, &tri.alpha, &tri.depth};
    for (Int32 c = 0; c < 5; ++c)
    {
        chunk.anIterStart[c] = Int32(apPlanes[c]->At(dx, dy));
        chunk.anIterStep[c] = apPlanes[c]->nDx;
    }
    chunk.pDither = m_pDitherRow ? m_pDitherRow + (x & 3) : nullptr;
    chunk.pColor = pColor;
    chunk.pAux = pAux;
    chunk.nChromaFail = chunk.nAlphaFail = chunk.nDepthFail = chunk.nPixelsOut = 0;
    for (Int32 r = 0; r < nRuns; ++r)
    {
        if (m_FastPlan.bTexture)
            m_aSampler[0].FillRun(aRuns[r], &chunk);
        chunk.nBegin = aRuns[r].nBegin;
        chunk.nEnd = aRuns[r].nEnd;
        m_pfnFast(chunk);
    }
    m_pCounters->nChromaFail += chunk.nChromaFail;
    m_pCounters->nAlphaFail += chunk.nAlphaFail;
    m_pCounters->nDepthFail += chunk.nDepthFail;
    m_pCounters->nPixelsOut += chunk.nPixelsOut;
    ++m_pCounters->nFastChunks;
    return true;
}

// Per dither mode and screen row (y & 3), the matrix values of a run of pixels starting at a
// multiple of four, long enough for a chunk starting anywhere within the period.
const Channel (*SpanRenderer::DitherRows(DitherMode eMode))[SpanRenderer::DitherRowLength]
{
    struct Rows
    {
        Channel an[3][4][DitherRowLength];
        Rows()
        {
            const DitherMode aeModes[3] = {DitherMode::Disabled, DitherMode::Dither2x2,
                                           DitherMode::Dither4x4};
            for (Int32 m = 0; m < 3; ++m)
            {
                const Byte(*pMatrix)[4] = Dither::Matrix(aeModes[m]);
                for (Int32 y = 0; y < 4; ++y)
                    for (Int32 k = 0; k < DitherRowLength; ++k)
                        an[m][y][k] = Channel(pMatrix ? pMatrix[y][k & 3] : 0);
            }
        }
    };
    static const Rows s_Rows;
    switch (eMode)
    {
    case DitherMode::Disabled:
        return nullptr;
    case DitherMode::Dither2x2:
        return s_Rows.an[1];
    case DitherMode::Dither4x4:
        return s_Rows.an[2];
    }
    return nullptr;
}

SpanRenderer::UnitInputs SpanRenderer::PlanTmuUnit(const CombineUnitState& unit, Int32 nTmu,
                                                   Int32 nChannel)
{
    const bool bLast = nTmu == m_nTmus - 1;
    const Channel* pUpstream = bLast ? m_anZero : m_aTmuPlan[nTmu + 1].apOut[nChannel];
    const Channel* pUpstreamA = bLast ? m_anZero : m_aTmuPlan[nTmu + 1].apOut[3];
    const Channel* pTexel = m_anTexel[nTmu][nChannel];
    const Channel* pTexelA = m_anTexel[nTmu][3];
    UnitInputs in;
    in.pOther = unit.bZeroOther ? m_anZero : pUpstream;
    in.pSub = unit.bSubtractLocal ? pTexel : m_anZero;
    switch (unit.eFactor)
    {
    case CombineFactor::Zero:
    case CombineFactor::TextureAlpha:
    case CombineFactor::TextureRgb:
        in.pFactor = m_anZero;
        break;
    case CombineFactor::Local:
        in.pFactor = pTexel;
        break;
    case CombineFactor::OtherAlpha:
        in.pFactor = pUpstreamA;
        break;
    case CombineFactor::LocalAlpha:
        in.pFactor = pTexelA;
        break;
    case CombineFactor::DetailFactor:
        in.pFactor = m_anDetail[nTmu];
        break;
    case CombineFactor::LodFraction:
        in.pFactor = m_anLodFraction[nTmu];
        break;
    }
    FinishUnit(unit, pTexel, pTexelA, &in);
    return in;
}

// The add term, the inversions and the pass-through shortcut, alike in every unit.
void SpanRenderer::FinishUnit(const CombineUnitState& unit, const Channel* pLocal,
                              const Channel* pLocalA, UnitInputs* pIn) const
{
    switch (unit.eAdd)
    {
    case CombineAdd::None:
        pIn->pAdd = m_anZero;
        break;
    case CombineAdd::Local:
        pIn->pAdd = pLocal;
        break;
    case CombineAdd::LocalAlpha:
        pIn->pAdd = pLocalA;
        break;
    }
    pIn->nFactorXor = unit.bInvertFactor ? 255 : 0;
    pIn->nOutputXor = unit.bInvertOutput ? 255 : 0;
    FindPassThrough(*pIn);
}

void SpanRenderer::FindPassThrough(UnitInputs& in) const
{
    // "Add only" and "other times one" give an input unchanged: the unit need not run.
    in.pPass = nullptr;
    if (in.pOther == m_anZero && in.pSub == m_anZero && in.nOutputXor == 0)
        in.pPass = in.pAdd;
    else if (in.pSub == m_anZero && in.pAdd == m_anZero && in.nOutputXor == 0 &&
             in.pFactor == m_anZero && in.nFactorXor == 255)
        in.pPass = in.pOther;
}

void SpanRenderer::PlanTmus(const DeviceState& state, Int32 nTmus)
{
    for (Int32 t = nTmus - 1; t >= 0; --t)
    {
        TmuPlan& plan = m_aTmuPlan[t];
        for (Int32 c = 0; c < 3; ++c)
        {
            plan.aRgb[c] = PlanTmuUnit(state.aTmu[t].rgbCombine, t, c);
            plan.apOut[c] = plan.aRgb[c].pPass ? plan.aRgb[c].pPass : m_anTmuOut[t][c];
        }
        plan.alpha = PlanTmuUnit(state.aTmu[t].alphaCombine, t, 3);
        plan.apOut[3] = plan.alpha.pPass ? plan.alpha.pPass : m_anTmuOut[t][3];
    }
}

SpanRenderer::UnitInputs SpanRenderer::PlanColorUnit(const CombineUnitState& unit, Int32 nChannel)
{
    const CombineUnitState& alphaUnit = m_pState->alphaCombine;
    const Channel* pTexture = m_nTmus > 0 ? m_aTmuPlan[0].apOut[nChannel] : m_anZero;
    const Channel* pTextureA = m_nTmus > 0 ? m_aTmuPlan[0].apOut[3] : m_anZero;
    const Channel* pOther = unit.eOther == CombineOther::Iterated  ? m_anIter[nChannel]
                            : unit.eOther == CombineOther::Texture ? pTexture
                                                                   : m_anConst[nChannel];
    m_apOtherRgb[nChannel] = pOther;
    const Channel* pLocal = m_bLightingSelect                       ? m_anSelLocal[nChannel]
                            : unit.eLocal == CombineLocal::Iterated ? m_anIter[nChannel]
                                                                    : m_anConst[nChannel];
    m_apLocalRgb[nChannel] = pLocal;
    // The colour unit's alpha factors read the alpha unit's selected inputs.
    const Channel* pLocalA = alphaUnit.eLocal == CombineLocal::Iterated   ? m_anIter[3]
                             : alphaUnit.eLocal == CombineLocal::Constant ? m_anConst[3]
                                                                          : m_anDepthHigh;
    const Channel* pOtherA = alphaUnit.eOther == CombineOther::Iterated  ? m_anIter[3]
                             : alphaUnit.eOther == CombineOther::Texture ? pTextureA
                                                                         : m_anConst[3];
    UnitInputs in;
    in.pOther = unit.bZeroOther ? m_anZero : pOther;
    in.pSub = unit.bSubtractLocal ? pLocal : m_anZero;
    switch (unit.eFactor)
    {
    case CombineFactor::Zero:
    case CombineFactor::DetailFactor:
    case CombineFactor::LodFraction:
        in.pFactor = m_anZero;
        break;
    case CombineFactor::Local:
        in.pFactor = pLocal;
        break;
    case CombineFactor::OtherAlpha:
        in.pFactor = pOtherA;
        break;
    case CombineFactor::LocalAlpha:
        in.pFactor = pLocalA;
        break;
    case CombineFactor::TextureAlpha:
        in.pFactor = pTextureA;
        break;
    case CombineFactor::TextureRgb:
        in.pFactor = pTexture;
        break;
    }
    FinishUnit(unit, pLocal, pLocalA, &in);
    return in;
}

SpanRenderer::UnitInputs SpanRenderer::PlanAlphaUnit(const CombineUnitState& unit)
{
    const Channel* pTextureA = m_nTmus > 0 ? m_aTmuPlan[0].apOut[3] : m_anZero;
    const Channel* pLocal = unit.eLocal == CombineLocal::Iterated   ? m_anIter[3]
                            : unit.eLocal == CombineLocal::Constant ? m_anConst[3]
                                                                    : m_anDepthHigh;
    const Channel* pOther = unit.eOther == CombineOther::Iterated  ? m_anIter[3]
                            : unit.eOther == CombineOther::Texture ? pTextureA
                                                                   : m_anConst[3];
    UnitInputs in;
    in.pOther = unit.bZeroOther ? m_anZero : pOther;
    in.pSub = unit.bSubtractLocal ? pLocal : m_anZero;
    switch (unit.eFactor)
    {
    case CombineFactor::Zero:
    case CombineFactor::TextureRgb:
    case CombineFactor::DetailFactor:
    case CombineFactor::LodFraction:
        in.pFactor = m_anZero;
        break;
    case CombineFactor::Local:
    case CombineFactor::LocalAlpha:
        in.pFactor = pLocal;
        break;
    case CombineFactor::OtherAlpha:
        in.pFactor = pOther;
        break;
    case CombineFactor::TextureAlpha:
        in.pFactor = pTextureA;
        break;
    }
    // The alpha unit's local and local alpha are the same channel.
    FinishUnit(unit, pLocal, pLocal, &in);
    return in;
}

void SpanRenderer::PlanColorAndAlpha(const DeviceState& state)
{
    for (Int32 c = 0; c < 3; ++c)
    {
        m_aColor[c] = PlanColorUnit(state.colorCombine, c);
        m_apResult[c] = m_aColor[c].pPass ? m_aColor[c].pPass : m_anOut[c];
        MarkUse(m_aColor[c]);
    }
    m_Alpha = PlanAlphaUnit(state.alphaCombine);
    m_apResult[3] = m_Alpha.pPass ? m_Alpha.pPass : m_anOut[3];
    MarkUse(m_Alpha);
}

void SpanRenderer::MarkUse(const UnitInputs& inputs)
{
    MarkUse(inputs.pOther);
    MarkUse(inputs.pSub);
    MarkUse(inputs.pFactor);
    MarkUse(inputs.pAdd);
}

// Records what an input array needs computed per chunk, following TMU outputs upstream.
void SpanRenderer::MarkUse(const Channel* p)
{
    if (!p || p == m_anZero || p == m_anFull)
        return;
    for (Int32 c = 0; c < 3; ++c)
    {
        if (p == m_anIter[c])
            m_bNeedIterRgb = true;
        if (p == m_anSelLocal[c])
        {
            m_bNeedIterRgb = true;
            MarkUse(m_nTmus > 0 ? m_aTmuPlan[0].apOut[3] : nullptr);
        }
    }
    if (p == m_anIter[3])
        m_bNeedIterA = true;
    if (p == m_anDepthHigh)
        m_bNeedDepth = true;
    for (Int32 t = 0; t < m_nTmus; ++t)
    {
        TmuPlan& plan = m_aTmuPlan[t];
        for (Int32 c = 0; c < 4; ++c)
        {
            if (p == m_anTmuOut[t][c] && !plan.bActive)
            {
                plan.bActive = true;
                for (Int32 k = 0; k < 3; ++k)
                    MarkUse(plan.aRgb[k]);
                MarkUse(plan.alpha);
            }
            if (p == m_anTexel[t][c])
                plan.bNeedTexel = plan.bActive = true;
        }
        if (p == m_anLodFraction[t])
            plan.bNeedLodFraction = plan.bNeedTexel = plan.bActive = true;
        if (p == m_anDetail[t])
            plan.bNeedDetail = plan.bNeedTexel = plan.bActive = true;
    }
}

const Channel* SpanRenderer::BlendFactorArray(BlendFactor eFactor, Int32 nChannel, bool bAlpha)
{
    const Channel* pSource = m_bFog && !bAlpha ? m_anFogged[nChannel] : m_apResult[nChannel];
    switch (eFactor)
    {
    case BlendFactor::Zero:
        return m_anZero;
    case BlendFactor::One:
        return m_anFull;
    case BlendFactor::SrcAlpha:
        return m_apResult[3];
    case BlendFactor::OneMinusSrcAlpha:
        m_bNeedInvSrcAlpha = true;
        return m_anInvSrcAlpha;
    case BlendFactor::DstAlpha:
        m_bNeedDestAlpha = true;
        return m_anDest[3];
    case BlendFactor::OneMinusDstAlpha:
        m_bNeedDestAlpha = m_bNeedInvDstAlpha = true;
        return m_anInvDstAlpha;
    case BlendFactor::SrcColor:
        return bAlpha ? m_apResult[3] : pSource;
    case BlendFactor::OneMinusSrcColor:
        if (bAlpha)
        {
            m_bNeedInvSrcAlpha = true;
            return m_anInvSrcAlpha;
        }
        m_bNeedInvSrcColor = true;
        return m_anInvSrc[nChannel];
    case BlendFactor::DstColor:
        m_bNeedDest = true;
        if (bAlpha)
        {
            m_bNeedDestAlpha = true;
            return m_anDest[3];
        }
        return m_anDest[nChannel];
    case BlendFactor::OneMinusDstColor:
        m_bNeedDest = true;
        if (bAlpha)
        {
            m_bNeedDestAlpha = m_bNeedInvDstAlpha = true;
            return m_anInvDstAlpha;
        }
        m_bNeedInvDstColor = true;
        return m_anInvDst[nChannel];
    case BlendFactor::AlphaSaturate:
        // For the alpha channel the saturate factor is one.
        if (bAlpha)
            return m_anFull;
        m_bNeedDestAlpha = m_bNeedSaturate = true;
        return m_anSaturate;
    case BlendFactor::PrefogColor:
        return bAlpha ? m_apResult[3] : m_apResult[nChannel];
    }
    return m_anZero;
}

void SpanRenderer::PlanBlend(const DeviceState& state)
{
    const BlendState& blend = state.blend;
    m_bNeedDest = m_bNeedDestAlpha = false;
    m_bNeedInvSrcAlpha = m_bNeedInvDstAlpha = m_bNeedInvSrcColor = m_bNeedInvDstColor =
        m_bNeedSaturate = false;
    const bool bRgbBlend =
        !(blend.eRgbSrc == BlendFactor::One && blend.eRgbDst == BlendFactor::Zero);
    const bool bAlphaBlend = m_bAlphaBuffer && !(blend.eAlphaSrc == BlendFactor::One &&
                                                 blend.eAlphaDst == BlendFactor::Zero);
    m_bBlend = bRgbBlend || bAlphaBlend;
    if (!m_bBlend)
        return;
    for (Int32 c = 0; c < 3; ++c)
    {
        m_apRgbSrcFactor[c] = BlendFactorArray(blend.eRgbSrc, c, false);
        m_apRgbDstFactor[c] = BlendFactorArray(blend.eRgbDst, c, false);
    }
    m_pAlphaSrcFactor = BlendFactorArray(blend.eAlphaSrc, 3, true);
    m_pAlphaDstFactor = BlendFactorArray(blend.eAlphaDst, 3, true);
    if (blend.eRgbDst != BlendFactor::Zero)
        m_bNeedDest = true;
    if (bAlphaBlend && blend.eAlphaDst != BlendFactor::Zero)
        m_bNeedDestAlpha = true;
}

void SpanRenderer::Render(Int32 nRow, Int32 x0, Int32 x1)
{
    const Int32 nScreenY = m_pState->bOriginLowerLeft ? m_nHeight - 1 - nRow : nRow;
    m_pDitherRow = m_pDitherRows ? m_pDitherRows[nScreenY & 3] : nullptr;
    for (Int32 x = x0; x < x1; x += Chunk)
    {
        const Int32 n = x1 - x < Chunk ? x1 - x : Chunk;
        RenderChunk(nRow, x, n);
    }
}

void SpanRenderer::RenderSupplied(Int32 nRow, Int32 x0, Int32 x1, const UInt32* pArgb,
                                  const std::uint16_t* pDepth)
{
    m_pSuppliedArgb = pArgb;
    m_pSuppliedDepth = pDepth;
    m_nSuppliedX0 = x0;
    Render(nRow, x0, x1);
    m_pSuppliedArgb = nullptr;
    m_pSuppliedDepth = nullptr;
}

void SpanRenderer::LoadSupplied(Int32 x, Int32 n, Int32 nValid)
{
    const UInt32* pArgb = m_pSuppliedArgb + (x - m_nSuppliedX0);
    const std::uint16_t* pDepth = m_pSuppliedDepth + (x - m_nSuppliedX0);
    for (Int32 i = 0; i < nValid; ++i)
    {
        m_anIter[0][i] = Channel((pArgb[i] >> 16) & 0xFFu);
        m_anIter[1][i] = Channel((pArgb[i] >> 8) & 0xFFu);
        m_anIter[2][i] = Channel(pArgb[i] & 0xFFu);
        m_anIter[3][i] = Channel(pArgb[i] >> 24);
        // One stored depth serves the Z compare, the W compare and the fog alike.
        m_anDepthValue[i] = pDepth[i];
        m_anWFloat[i] = pDepth[i];
        m_anDepthHigh[i] = Channel(pDepth[i] >> 8);
    }
    for (Int32 i = nValid; i < n; ++i)
    {
        for (Int32 c = 0; c < 4; ++c)
            m_anIter[c][i] = 0;
        m_anDepthValue[i] = m_anWFloat[i] = 0;
        m_anDepthHigh[i] = 0;
    }
}

void SpanRenderer::Prefetch(Int32 nRow, Int32 x0, Int32 x1) const
{
    if (!m_pTarget)
        return;
    const Int32 nScreenY = m_pState->bOriginLowerLeft ? m_nHeight - 1 - nRow : nRow;
    const std::uint16_t* pRow = m_pTarget + size_t(nScreenY) * size_t(m_nWidth);
    __builtin_prefetch(pRow + x0, 1);
    __builtin_prefetch(pRow + x1 - 1, 1);
}

void SpanRenderer::RunUnit(const UnitInputs& inputs, Int32 n, Channel* pOut)
{
    if (inputs.pPass)
        std::memcpy(pOut, inputs.pPass, size_t(n) * sizeof(Channel));
    else
        PixelStages::Combine(inputs.pOther, inputs.pSub, inputs.pFactor, inputs.nFactorXor,
                             inputs.pAdd, inputs.nOutputXor, n, pOut);
}

void SpanRenderer::RunTmus(Int32 nRow, Int32 x, Int32 n, Int32 nValid, Int32 nScreenY)
{
    for (Int32 t = m_nTmus - 1; t >= 0; --t)
    {
        TmuPlan& plan = m_aTmuPlan[t];
        if (!plan.bActive)
            continue;
        Lane* const apTexel = m_anTexel[t];
        Channel* pLodFraction = plan.bNeedLodFraction ? m_anLodFraction[t] : nullptr;
        Channel* pDetail = plan.bNeedDetail ? m_anDetail[t] : nullptr;
        if (plan.bNeedTexel)
            m_aSampler[t].Sample(nRow, x, n, nValid, nScreenY, apTexel[0], apTexel[1], apTexel[2],
                                 apTexel[3], pLodFraction, pDetail);
        for (Int32 c = 0; c < 3; ++c)
            if (!plan.aRgb[c].pPass)
                RunUnit(plan.aRgb[c], n, m_anTmuOut[t][c]);
        if (!plan.alpha.pPass)
            RunUnit(plan.alpha, n, m_anTmuOut[t][3]);
    }
}

void SpanRenderer::ComputeDepthValues(Int32 nRow, Int32 x, Int32 n)
{
    const TriangleParams& tri = *m_pTri;
    const Int32 dx = x - tri.nRefX;
    const Int32 dy = nRow - tri.nRefY;
    PixelStages::IterateDepth(Int32(tri.depth.At(dx, dy)), tri.depth.nDx, n, m_anDepthValue);
    for (Int32 i = 0; i < n; ++i)
        m_anDepthHigh[i] = m_anDepthValue[i] >> 8;
    if (m_bNeedW)
    {
        const float fW0 = float(tri.w.At(dx, dy));
        const float fDw = float(tri.w.dDx);
        for (Int32 i = 0; i < n; ++i)
            m_anWFloat[i] = WFloat(fW0 + float(i) * fDw);
    }
}

void SpanRenderer::Tests(Int32 n)
{
    const DeviceState& state = *m_pState;
    if (m_bAlphaTest)
    {
        const Int32 nRef = state.nAlphaRef;
        CompareKill(
            state.eAlphaTest, m_apResult[3], [nRef](Int32) { return nRef; }, n, m_anLive,
            m_pCounters->nAlphaFail);
    }
}

void SpanRenderer::ApplyFog(Int32 n)
{
    const DeviceState& state = *m_pState;
    const Channel* pFactor = m_anFogFactor;
    switch (state.eFogMode)
    {
    case FogMode::Disabled:
        return;
    case FogMode::IteratedAlpha:
        pFactor = m_anIter[3];
        break;
    case FogMode::IteratedZ:
        pFactor = m_anDepthHigh;
        break;
    case FogMode::Table:
        // Table entries are spaced along the W float; the 8 bits below the index interpolate.
        for (Int32 i = 0; i < n; ++i)
        {
            const Int32 nW = m_anWFloat[i];
            const Int32 nIndex = nW >> 10;
            const Int32 nNext = nIndex < 63 ? nIndex + 1 : 63;
            const Int32 nFrac = (nW >> 2) & 0xFF;
            const Int32 nLow = state.abFogTable[nIndex];
            m_anFogFactor[i] = nLow + (((state.abFogTable[nNext] - nLow) * nFrac) >> 8);
        }
        break;
    }
    for (Int32 c = 0; c < 3; ++c)
        PixelStages::Fog(state.bFogMult ? m_anZero : m_apResult[c], m_anFogColor[c], pFactor, n,
                         m_anFogged[c]);
}

void SpanRenderer::DepthTest(Int32 n, const std::uint16_t* pAux)
{
    const DeviceState& state = *m_pState;
    const bool bW =
        state.eDepthMode == DepthMode::WBuffer || state.eDepthMode == DepthMode::WCompareToBias;
    const bool bCompareToBias = state.eDepthMode == DepthMode::ZCompareToBias ||
                                state.eDepthMode == DepthMode::WCompareToBias;
    const Int32 nBias = state.nDepthBias;
    alignas(32) Int32 anCompare[Chunk];
    for (Int32 i = 0; i < n; ++i)
    {
        const Int32 nDepth = bW ? m_anWFloat[i] : m_anDepthValue[i];
        // The bias is added to the pixel's depth; in the compare-to-bias modes it replaces it
        // for the comparison only.
        m_anDepthValue[i] = bCompareToBias ? nDepth : ClampInt(nDepth + nBias, 0, 0xFFFF);
        anCompare[i] = bCompareToBias ? ClampInt(nBias, 0, 0xFFFF) : m_anDepthValue[i];
    }
    CompareKill(
        state.eDepthFunc, anCompare, [pAux](Int32 i) { return Int32(pAux[i]); }, n, m_anLive,
        m_pCounters->nDepthFail);
}

void SpanRenderer::RenderChunk(Int32 nRow, Int32 x, Int32 nValid)
{
    // The stages run on whole groups of eight pixels: the pixels past the span are read and
    // written back unchanged (they are not live). Past the end of a row they would be the next
    // row's first pixels, which another render thread may be drawing: such a chunk is drawn in
    // a copy of its pixels, and only its own pixels go back.
    const Int32 n = (nValid + PixelStages::Group - 1) / PixelStages::Group * PixelStages::Group;
    const Int32 nScreenY = m_pState->bOriginLowerLeft ? m_nHeight - 1 - nRow : nRow;
    std::uint16_t* pColor =
        m_pTarget ? m_pTarget + size_t(nScreenY) * size_t(m_nWidth) + x : nullptr;
    std::uint16_t* pAux = m_pAux ? m_pAux + size_t(nScreenY) * size_t(m_nWidth) + x : nullptr;
    if (x + n <= m_nWidth)
        return RenderChunkAt(nRow, x, nValid, pColor, pAux);
    const size_t nBytes = size_t(nValid) * sizeof(std::uint16_t);
    if (pColor)
        std::memcpy(m_anEdgeColor, pColor, nBytes);
    if (pAux)
        std::memcpy(m_anEdgeAux, pAux, nBytes);
    RenderChunkAt(nRow, x, nValid, pColor ? m_anEdgeColor : nullptr, pAux ? m_anEdgeAux : nullptr);
    if (pColor)
        std::memcpy(pColor, m_anEdgeColor, nBytes);
    if (pAux)
        std::memcpy(pAux, m_anEdgeAux, nBytes);
}

void SpanRenderer::RenderChunkAt(Int32 nRow, Int32 x, Int32 nValid, std::uint16_t* pColor,
                                 std::uint16_t* pAux)
{
    const Int32 n = (nValid + PixelStages::Group - 1) / PixelStages::Group * PixelStages::Group;
    const DeviceState& state = *m_pState;
    const TriangleParams& tri = *m_pTri;
    const Int32 nScreenY = state.bOriginLowerLeft ? m_nHeight - 1 - nRow : nRow;
    const Int32 dx = x - tri.nRefX;
    const Int32 dy = nRow - tri.nRefY;
    m_pCounters->nPixelsIn += UInt32(nValid);
    if (m_pfnFast && !m_pSuppliedArgb && RenderFast(nRow, x, nValid, pColor, pAux))
        return;
    const UInt32 nFailuresBefore =
        m_pCounters->nChromaFail + m_pCounters->nAlphaFail + m_pCounters->nDepthFail;
    PixelStages::Fill(1, nValid, m_anLive);
    PixelStages::Fill(0, n - nValid, m_anLive + nValid);

    if (m_pSuppliedArgb)
        LoadSupplied(x, n, nValid);
    else
    {
        if (m_bNeedIterRgb)
        {
            PixelStages::Iterate(Int32(tri.red.At(dx, dy)), tri.red.nDx, n, m_anIter[0]);
            PixelStages::Iterate(Int32(tri.green.At(dx, dy)), tri.green.nDx, n, m_anIter[1]);
            PixelStages::Iterate(Int32(tri.blue.At(dx, dy)), tri.blue.nDx, n, m_anIter[2]);
        }
        if (m_bNeedIterA)
            PixelStages::Iterate(Int32(tri.alpha.At(dx, dy)), tri.alpha.nDx, n, m_anIter[3]);
        if (m_bNeedDepth || m_bNeedW)
            ComputeDepthValues(nRow, x, n);
        if (m_bNeedTex0)
            RunTmus(nRow, x, n, nValid, nScreenY);
    }

    if (m_bLightingSelect)
    {
        // The MSB of texture alpha picks the colour unit's local colour: constant when set.
        const Channel* pTexA = m_nTmus > 0 ? m_aTmuPlan[0].apOut[3] : m_anZero;
        for (Int32 c = 0; c < 3; ++c)
            for (Int32 i = 0; i < n; ++i)
                m_anSelLocal[c][i] = pTexA[i] >= 128 ? m_anConst[c][i] : m_anIter[c][i];
    }
    if (m_bChroma)
    {
        const UInt32 nKey = state.nChromaRgb;
        const Int32 nKeyR = Int32((nKey >> 16) & 0xFFu), nKeyG = Int32((nKey >> 8) & 0xFFu),
                    nKeyB = Int32(nKey & 0xFFu);
        const Channel *pR = m_apOtherRgb[0], *pG = m_apOtherRgb[1], *pB = m_apOtherRgb[2];
        KillUnless([&](Int32 i) { return !(pR[i] == nKeyR && pG[i] == nKeyG && pB[i] == nKeyB); },
                   n, m_anLive, m_pCounters->nChromaFail);
    }

    for (Int32 c = 0; c < 3; ++c)
        if (!m_aColor[c].pPass)
            RunUnit(m_aColor[c], n, m_anOut[c]);
    if (!m_Alpha.pPass)
        RunUnit(m_Alpha, n, m_anOut[3]);
    Tests(n);
    if (m_bFog)
        ApplyFog(n);
    if (m_bDepthTest && pAux)
        DepthTest(n, pAux);
    Write(x, n, pColor, pAux);
    const UInt32 nFailed = m_pCounters->nChromaFail + m_pCounters->nAlphaFail +
                           m_pCounters->nDepthFail - nFailuresBefore;
    m_pCounters->nPixelsOut += UInt32(nValid) - nFailed;
}

void SpanRenderer::Write(Int32 x, Int32 n, std::uint16_t* pColor, std::uint16_t* pAux)
{
    const Channel* apSrc[3];
    for (Int32 c = 0; c < 3; ++c)
        apSrc[c] = m_bFog ? m_anFogged[c] : m_apResult[c];
    const Channel* pSrcA = m_apResult[3];
    const Channel* apResult[4] = {apSrc[0], apSrc[1], apSrc[2], pSrcA};

    if (m_bBlend)
    {
        if (m_bNeedDest && pColor)
            PixelStages::Expand565(pColor, n, m_anDest[0], m_anDest[1], m_anDest[2]);
        else if (m_bNeedDest)
            for (Int32 c = 0; c < 3; ++c)
                PixelStages::Fill(0, n, m_anDest[c]);
        if (m_bNeedDestAlpha)
        {
            // Destination alpha comes from the alpha buffer; without one it reads as 255
            // (opaque), a choice for what the hardware leaves undefined (docs/fidelity.md).
            if (m_pAux && m_pState->eDepthMode == DepthMode::Disabled && pAux)
                for (Int32 i = 0; i < n; ++i)
                    m_anDest[3][i] = pAux[i] & 0xFF;
            else
                PixelStages::Fill(255, n, m_anDest[3]);
        }
        if (m_bNeedInvSrcAlpha)
            PixelStages::Invert(pSrcA, n, m_anInvSrcAlpha);
        if (m_bNeedInvDstAlpha)
            PixelStages::Invert(m_anDest[3], n, m_anInvDstAlpha);
        for (Int32 c = 0; c < 3; ++c)
        {
            if (m_bNeedInvSrcColor)
                PixelStages::Invert(apSrc[c], n, m_anInvSrc[c]);
            if (m_bNeedInvDstColor)
                PixelStages::Invert(m_anDest[c], n, m_anInvDst[c]);
        }
        if (m_bNeedSaturate)
        {
            PixelStages::Invert(m_anDest[3], n, m_anInvDstAlpha);
            PixelStages::Min(pSrcA, m_anInvDstAlpha, n, m_anSaturate);
        }
        for (Int32 c = 0; c < 3; ++c)
        {
            PixelStages::Blend(apSrc[c], m_apRgbSrcFactor[c], m_anDest[c], m_apRgbDstFactor[c], n,
                               m_anBlended[c]);
            apResult[c] = m_anBlended[c];
        }
        if (m_bAlphaBuffer)
        {
            PixelStages::Blend(pSrcA, m_pAlphaSrcFactor, m_anDest[3], m_pAlphaDstFactor, n,
                               m_anBlended[3]);
            apResult[3] = m_anBlended[3];
        }
    }

    if (m_bColorWrite && pColor)
    {
        PixelStages::Pack(apResult[0], apResult[1], apResult[2],
                          m_pDitherRow ? m_pDitherRow + (x & 3) : nullptr, m_anLive, n, pColor);
    }
    if (pAux && m_bDepthWrite)
        for (Int32 i = 0; i < n; ++i)
            pAux[i] = m_anLive[i] ? std::uint16_t(m_anDepthValue[i]) : pAux[i];
    else if (pAux && m_bAlphaBuffer)
        for (Int32 i = 0; i < n; ++i)
            pAux[i] = m_anLive[i] ? std::uint16_t(apResult[3][i] & 0xFF) : pAux[i];
}
