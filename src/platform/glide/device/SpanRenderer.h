// SpanRenderer: the pixel pipeline for the spans of one triangle.
//
// Owner: the Device. Begin runs once per triangle: it chooses, for every input of every stage,
// the array that stage reads (iterated, texture, constant, zero ...) and which stages run at
// all; Render then runs per row span, in chunks of GlideConfig::SpanChunk pixels, through the
// stages in the chip's order (glide-reference.md §5, §6):
//   iterators -> TMUs (coordinates, level of detail, filtering, texture combine, upstream TMU
//   first) -> chroma key (on the colour unit's other input) -> colour and alpha combine ->
//   alpha test -> fog -> depth test -> alpha blending -> dither to RGB565 -> write under the
//   colour and depth masks.
// Spans arrive in rasteriser coordinates (the Glide y); rows are mapped to screen rows here
// (lower-left origin flips them), and the dither pattern follows screen positions.
#pragma once
#include "DeviceState.h"
#include "BoundState.h"
#include "FastSpan.h"
#include "FrameBuffer.h"
#include "GlideConfig.h"
#include "PixelCounters.h"
#include "PixelStages.h"
#include "RenderOptions.h"
#include "TextureSampler.h"
#include "TextureUnit.h"
#include "TriangleParams.h"
#include "Types.h"
#include <cstdint>

class SpanRenderer
{
  public:
    SpanRenderer();

    // On the thread that owns the TMUs: the textures a state reads, decoded, and TMU 0's
    // bilinear quads, for a BoundState (aBinding has GlideConfig::MaxTmus entries).
    void Bind(const DeviceState& state, Int32 nTmus, TextureUnit* const* apTmus,
              FrameBuffer& frameBuffer, BufferId eTarget, TextureBinding* aBinding);

    // Per triangle. The per-triangle work is small: the planning of sources and stages is
    // redone only for another BoundState (or after a swap or a change of RenderOptions).
    void Begin(const BoundState& draw, const TriangleParams& tri, FrameBuffer& frameBuffer,
               PixelCounters& counters);

    // Pixels [x0, x1) of row nRow, already clipped to the clip window and the screen.
    void Render(Int32 nRow, Int32 x0, Int32 x1);
    // Pixels [x0, x1) of row nRow whose colour and alpha (pArgb, 0xAARRGGBB) and 16-bit depth
    // (pDepth: the Z value, or the W float in W-buffer modes; also the fog's depth) are given
    // instead of iterated, pArgb[0] and pDepth[0] being pixel x0. The state's combine units must
    // pass the iterated colour and alpha through (Device::ShadePixels sets them so); no TMU
    // runs, and the stages draw them. Clipped like Render's spans.
    void RenderSupplied(Int32 nRow, Int32 x0, Int32 x1, const UInt32* pArgb,
                        const std::uint16_t* pDepth);
    // Asks the processor for the target pixels of a span that Render will draw soon.
    void Prefetch(Int32 nRow, Int32 x0, Int32 x1) const;

  private:
    static constexpr Int32 Chunk = GlideConfig::SpanChunk;
    typedef Channel Lane[Chunk];
    typedef Int32 WideLane[Chunk];

    // One combine unit's chosen inputs for one channel.
    struct UnitInputs
    {
        const Channel* pOther;
        const Channel* pSub;
        const Channel* pFactor;
        const Channel* pAdd;
        Int32 nFactorXor;
        Int32 nOutputXor;
        const Channel* pPass; // non-null: the unit passes this input through unchanged
    };

    struct TmuPlan
    {
        bool bActive = false;    // this TMU's output is needed
        bool bNeedTexel = false; // its combine reads its own texel
        bool bNeedLodFraction = false;
        bool bNeedDetail = false;
        UnitInputs aRgb[3];
        UnitInputs alpha;
        const Channel* apOut[4]; // r, g, b, a results
    };

    static constexpr Int32 DitherRowLength = Chunk + 8;
    static const Channel (*DitherRows(DitherMode eMode))[DitherRowLength];
    bool PlanIsCurrent(const BoundState& draw, FrameBuffer& frameBuffer,
                       PixelCounters& counters) const;
    void Plan(const BoundState& draw, FrameBuffer& frameBuffer, PixelCounters& counters);
    // The sources and stages of a state, everything but its textures.
    void PlanStages(const DeviceState& state, Int32 nTmus, FrameBuffer& frameBuffer,
                    BufferId eTarget);
    void PlanTmus(const DeviceState& state, Int32 nTmus);
    UnitInputs PlanTmuUnit(const CombineUnitState& unit, Int32 nTmu, Int32 nChannel);
    void PlanColorAndAlpha(const DeviceState& state);
    UnitInputs PlanColorUnit(const CombineUnitState& unit, Int32 nChannel);
    UnitInputs PlanAlphaUnit(const CombineUnitState& unit);
    void FinishUnit(const CombineUnitState& unit, const Channel* pLocal, const Channel* pLocalA,
                    UnitInputs* pIn) const;
    void FindPassThrough(UnitInputs& in) const;
    void PlanBlend(const DeviceState& state);
    const Channel* BlendFactorArray(BlendFactor eFactor, Int32 nChannel, bool bAlpha);
    void MarkUse(const UnitInputs& inputs);
    void MarkUse(const Channel* p);

    void PlanFast(const DeviceState& state);
    bool PlanFastState(const DeviceState& state);
    std::int8_t FastSlotOf(const Channel* p) const;
    bool FastUnitOf(const UnitInputs& inputs, FastUnit* pUnit) const;
    bool RenderFast(Int32 nRow, Int32 x, Int32 nValid, std::uint16_t* pColor, std::uint16_t* pAux);

    void RenderChunk(Int32 nRow, Int32 x, Int32 n);
    // The chunk's pixels at pColor and pAux (the frame buffer's, or RenderChunk's copy).
    void RenderChunkAt(Int32 nRow, Int32 x, Int32 nValid, std::uint16_t* pColor,
                       std::uint16_t* pAux);
    // The supplied pixels of a chunk into the iterated and depth lanes (zero past nValid).
    void LoadSupplied(Int32 x, Int32 n, Int32 nValid);
    void RunTmus(Int32 nRow, Int32 x, Int32 n, Int32 nValid, Int32 nScreenY);
    static void RunUnit(const UnitInputs& inputs, Int32 n, Channel* pOut);
    void DepthTest(Int32 n, const std::uint16_t* pAux);
    void Tests(Int32 n);
    void ApplyFog(Int32 n);
    void ComputeDepthValues(Int32 nRow, Int32 x, Int32 n);
    void Write(Int32 x, Int32 n, std::uint16_t* pColor, std::uint16_t* pAux);

    const DeviceState* m_pState = nullptr;
    const TriangleParams* m_pTri = nullptr;
    FrameBuffer* m_pFrameBuffer = nullptr;
    std::uint16_t* m_pTarget = nullptr;
    std::uint16_t* m_pAux = nullptr;
    PixelCounters* m_pCounters = nullptr;
    Int32 m_nTmus = 0;
    Int32 m_nWidth = 0;
    Int32 m_nHeight = 0;
    // Set during RenderSupplied: the given pixels and the x of their first one.
    const UInt32* m_pSuppliedArgb = nullptr;
    const std::uint16_t* m_pSuppliedDepth = nullptr;
    Int32 m_nSuppliedX0 = 0;

    // Which stages and inputs run for this triangle.
    bool m_bNeedIterRgb = false;
    bool m_bNeedIterA = false;
    bool m_bNeedDepth = false; // iterated Z or W depth value
    bool m_bNeedW = false;     // the W float of the pixel (W buffer, table fog)
    bool m_bNeedTex0 = false;
    bool m_bNeedLodFraction0 = false;
    bool m_bLightingSelect = false;
    bool m_bChroma = false;
    bool m_bAlphaTest = false;
    bool m_bFog = false;
    bool m_bDepthTest = false;
    bool m_bDepthWrite = false;
    bool m_bBlend = false;
    bool m_bNeedDest = false;
    bool m_bNeedDestAlpha = false;
    bool m_bAlphaBuffer = false; // aux holds destination alpha and is written
    bool m_bColorWrite = false;
    bool m_bPrefog = false;
    const Channel (*m_pDitherRows)[DitherRowLength] = nullptr; // null: no dithering
    const Channel* m_pDitherRow = nullptr;                     // this row's values
    // The fast path (FastSpan.h): used for this state when m_pfnFast is set.
    FastKernelFn m_pfnFast = nullptr;
    FastPlan m_FastPlan;
    FastChunk m_FastChunk;
    const BilinearQuads* m_pQuads = nullptr; // TMU 0's, when the fast path filters bilinearly
    PixelPath m_PlannedPath = PixelPath::Fast;
    KernelSet m_PlannedKernels = KernelSet::Best;

    // What the current plan was made for.
    bool m_bPlanned = false;
    UInt32 m_nPlannedSerial = 0;
    Int32 m_nFracMask = 0xF0;
    const DecodedTexture* m_apTexture[GlideConfig::MaxTmus] = {nullptr, nullptr};

    TmuPlan m_aTmuPlan[GlideConfig::MaxTmus];
    TextureSampler m_aSampler[GlideConfig::MaxTmus];
    UnitInputs m_aColor[3];
    UnitInputs m_Alpha;
    // Where each combine result is read from: the unit's output array, or the input it passes
    // through unchanged.
    const Channel* m_apResult[4] = {nullptr, nullptr, nullptr, nullptr};
    const Channel* m_apOtherRgb[3] = {nullptr, nullptr, nullptr};
    const Channel* m_apLocalRgb[3] = {nullptr, nullptr, nullptr};
    const Channel* m_apRgbSrcFactor[3] = {nullptr, nullptr, nullptr};
    const Channel* m_apRgbDstFactor[3] = {nullptr, nullptr, nullptr};
    const Channel* m_pAlphaSrcFactor = nullptr;
    const Channel* m_pAlphaDstFactor = nullptr;
    bool m_bNeedInvSrcAlpha = false, m_bNeedInvDstAlpha = false, m_bNeedInvSrcColor = false,
         m_bNeedInvDstColor = false, m_bNeedSaturate = false;

    // Constant inputs, filled once per triangle.
    alignas(32) Lane m_anZero;
    alignas(32) Lane m_anFull;
    alignas(32) Lane m_anConst[4]; // r, g, b, a
    alignas(32) Lane m_anFogColor[3];
    // Per-chunk values.
    alignas(32) Lane m_anIter[4]; // iterated r, g, b, a
    alignas(32) Lane m_anSelLocal[3];
    alignas(32) WideLane m_anDepthValue; // 16-bit depth of the pixel (Z or W form)
    alignas(32) Lane m_anDepthHigh;      // bits 15..8 of the iterated Z
    alignas(32) WideLane m_anWFloat;     // the pixel's 1/w as the 16-bit W float
    alignas(32) Lane m_anTexel[GlideConfig::MaxTmus][4];
    alignas(32) Lane m_anTmuOut[GlideConfig::MaxTmus][4];
    alignas(32) Lane m_anLodFraction[GlideConfig::MaxTmus];
    alignas(32) Lane m_anDetail[GlideConfig::MaxTmus];
    alignas(32) Lane m_anOut[4];
    alignas(32) Lane m_anFogFactor;
    alignas(32) Lane m_anFogged[3];
    alignas(32) Lane m_anDest[4]; // destination r, g, b, a
    alignas(32) Lane m_anInvSrcAlpha;
    alignas(32) Lane m_anInvDstAlpha;
    alignas(32) Lane m_anInvSrc[3];
    alignas(32) Lane m_anInvDst[3];
    alignas(32) Lane m_anSaturate;
    alignas(32) Lane m_anBlended[4];
    alignas(32) Lane m_anLive;
    // The pixels of a chunk that reaches the end of its row (RenderChunk).
    alignas(32) std::uint16_t m_anEdgeColor[Chunk];
    alignas(32) std::uint16_t m_anEdgeAux[Chunk];
};
