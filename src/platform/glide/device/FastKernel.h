// FastKernel: the fast path's kernel, eight pixels at a time in registers (FastSpan.h).
//
// Not an ordinary header: each instruction set's file (FastKernelScalar.cpp, FastKernelSse2.cpp,
// FastKernelAvx2.cpp) includes it inside an unnamed namespace after "using namespace <lanes>;",
// so every function here has internal linkage and is compiled for that file's processor alone.
// The stages run in the chip's order (glide-reference.md §5, §6): iterators, TMU 0 (perspective
// division, addressing, filtering, its combine unit), chroma key, colour and alpha combine,
// alpha test, depth test, blending, dithering and the writes under the live mask. Every formula
// is PixelMath's, as in the staged reference.

// A function, not a constant: nothing here may run before the processor check has chosen it.
inline I16 AllOnes()
{
    return Splat<I16>(-1);
}

// Where a OP b holds, as a lane mask.
template <typename V> V Compare(CompareFunc eFunc, V a, V b)
{
    const V allOnes = Splat<V>(-1);
    switch (eFunc)
    {
    case CompareFunc::Never:
        return Splat<V>(0);
    case CompareFunc::Less:
        return CmpGt(b, a);
    case CompareFunc::Equal:
        return CmpEq(a, b);
    case CompareFunc::LessEqual:
        return CmpGt(a, b) ^ allOnes;
    case CompareFunc::Greater:
        return CmpGt(a, b);
    case CompareFunc::NotEqual:
        return CmpEq(a, b) ^ allOnes;
    case CompareFunc::GreaterEqual:
        return CmpGt(b, a) ^ allOnes;
    case CompareFunc::Always:
        return allOnes;
    }
    return allOnes;
}

// Drops the live lanes where pass is clear; the count of those it dropped.
inline UInt32 Kill(I16* pLive, I16 pass)
{
    const UInt32 nFailed = UInt32(CountSet(*pLive & (pass ^ AllOnes())));
    *pLive = *pLive & pass;
    return nFailed;
}

// The XOR constants of a unit, made once per chunk.
struct UnitConstants
{
    I16 factorXor;
    I16 outputXor;
};

inline UnitConstants ConstantsOf(const FastUnit& unit)
{
    return {Splat<I16>(unit.nFactorXor), Splat<I16>(unit.nOutputXor)};
}

inline I16 RunUnit(const FastUnit& unit, const UnitConstants& k, const I16* pSlots)
{
    switch (unit.eKind)
    {
    case FastUnit::Pass:
        return pSlots[unit.nPass];
    case FastUnit::Scale:
        return PixelMath::Scale(pSlots[unit.nOther], pSlots[unit.nFactor] ^ k.factorXor);
    case FastUnit::Combine:
        break;
    }
    return PixelMath::Combine(pSlots[unit.nOther], pSlots[unit.nSub], pSlots[unit.nFactor],
                              k.factorXor, pSlots[unit.nAdd], k.outputXor);
}

// TMU 0's filtered texel of eight pixels (0xAARRGGBB); fI holds the pixels' indices from the
// chunk's first pixel.
inline I32 Texels(const FastChunk& c, F32 fI)
{
    F32 w;
    I32 s, t;
    PixelMath::Perspective(fI, SplatF(c.fW0), SplatF(c.fDw), SplatF(c.fS0), SplatF(c.fDs),
                           SplatF(c.fT0), SplatF(c.fDt), &w, &s, &t);
    if (!c.bBilinear)
        return Gather(c.pTexels, PixelMath::PointAddress(s, t, c.addressing));
    I32 u0, v0, fu, fv, t00, t01, t10, t11;
    PixelMath::BilinearSample(s, t, c.addressing, &u0, &v0, &fu, &fv);
    GatherQuads(c.pQuads, PixelMath::BilinearQuadIndex(u0, v0, c.addressing), &t00, &t01, &t10,
                &t11);
    return PixelMath::Bilerp(t00, t01, t10, t11, fu, fv);
}

// The blend of eight pixels: the destination, the factors and the blended channels.
inline void BlendGroup(const FastChunk& c, const FastPlan& p, Int32 i, I16* pSlots, I16* pRgb,
                       I16* pAlpha)
{
    using namespace FastSlot;
    if (p.bNeedDest && c.pColor)
        PixelMath::Expand565(Load(c.pColor + i), &pSlots[DestR], &pSlots[DestG], &pSlots[DestB]);
    if (p.bNeedDestAlpha)
        pSlots[DestA] = p.bDestAlphaFromAux ? Load(c.pAux + i) & Splat<I16>(0xFF) : pSlots[Full];
    if (p.bInvOut)
        for (Int32 k = 0; k < 4; ++k)
            pSlots[InvOutR + k] = PixelMath::Invert(pSlots[OutR + k]);
    if (p.bInvDest || p.bSaturate)
        for (Int32 k = 0; k < 4; ++k)
            pSlots[InvDestR + k] = PixelMath::Invert(pSlots[DestR + k]);
    if (p.bSaturate)
        pSlots[Saturate] = Min(pSlots[OutA], pSlots[InvDestA]);
    for (Int32 k = 0; k < 3; ++k)
        pRgb[k] = PixelMath::Blend(pSlots[OutR + k], pSlots[p.anSrcFactor[k]], pSlots[DestR + k],
                                   pSlots[p.anDstFactor[k]]);
    if (p.bBlendAlpha)
        *pAlpha = PixelMath::Blend(pSlots[OutA], pSlots[p.anSrcFactor[3]], pSlots[DestA],
                                   pSlots[p.anDstFactor[3]]);
}

void ShadeChunk(FastChunk& c)
{
    using namespace FastSlot;
    const FastPlan& p = *c.pPlan;
    // Every slot the plan reads is computed before it is read, but for the destination, which
    // reads as zero where it is not fetched.
    I16 s[Count];
    s[Zero] = Splat<I16>(0);
    s[Full] = Splat<I16>(255);
    for (Int32 k = 0; k < 4; ++k)
        s[DestR + k] = s[Zero];
    for (Int32 k = 0; k < 4; ++k)
        s[ConstR + k] = Splat<I16>(p.anConst[k]);
    const I16 chromaKey[3] = {Splat<I16>(p.anChromaKey[0]), Splat<I16>(p.anChromaKey[1]),
                              Splat<I16>(p.anChromaKey[2])};
    const I16 alphaRef = Splat<I16>(p.nAlphaRef);
    const Int32 nBias = p.nDepthBias;
    const I32 bias = Splat<I32>(nBias);
    const I32 compareBias = Splat<I32>(nBias < 0 ? 0 : (nBias > 0xFFFF ? 0xFFFF : nBias));

    const Int32 nFirst = c.nBegin & ~7;
    I32 aIter[5], aStep8[5];
    for (Int32 k = 0; k < 5; ++k)
    {
        aIter[k] =
            Ramp(std::int32_t(UInt32(c.anIterStart[k]) + UInt32(nFirst) * UInt32(c.anIterStep[k])),
                 c.anIterStep[k]);
        aStep8[k] = Splat<I32>(std::int32_t(UInt32(c.anIterStep[k]) * 8u));
    }
    // The texels of every group first: each starts with a division and a chain of lookups,
    // and independent groups let the processor overlap them.
    I32 aTexel[GlideConfig::SpanChunk / 8];
    if (p.bTexture)
    {
        F32 fI = ToFloat(Splat<I32>(nFirst) + LaneIndex32());
        const F32 fEight = SplatF(8.0f);
        for (Int32 i = nFirst, g = 0; i < c.nEnd; i += 8, ++g)
        {
            aTexel[g] = Texels(c, fI);
            fI = fI + fEight;
        }
    }
    const I16 begin = Splat<I16>(c.nBegin), end = Splat<I16>(c.nEnd);
    UnitConstants aTmuConstants[4], aConstants[4];
    for (Int32 k = 0; k < 4; ++k)
    {
        aTmuConstants[k] = ConstantsOf(p.aTmuUnit[k]);
        aConstants[k] = ConstantsOf(p.aUnit[k]);
    }

    for (Int32 i = nFirst; i < c.nEnd; i += 8)
    {
        const I16 lane = Splat<I16>(i) + LaneIndex16();
        I16 live = CmpGt(end, lane) & (CmpGt(begin, lane) ^ AllOnes());
        if (p.bIterateRgb)
            for (Int32 k = 0; k < 3; ++k)
                s[IterR + k] = PixelMath::IteratedChannel(aIter[k]);
        if (p.bIterateA)
            s[IterA] = PixelMath::IteratedChannel(aIter[3]);
        I32 depth = Splat<I32>(0);
        if (p.bIterateDepth)
        {
            depth = PixelMath::IteratedDepth(aIter[4]);
            s[DepthHigh] = Narrow(Sra<8>(depth));
        }
        for (Int32 k = 0; k < 5; ++k)
            aIter[k] = aIter[k] + aStep8[k];

        if (p.bTexture)
            PixelMath::UnpackTexels(aTexel[(i - nFirst) / 8], &s[TexelR], &s[TexelG], &s[TexelB],
                                    &s[TexelA]);
        if (p.bTmuCombine)
            for (Int32 k = 0; k < 4; ++k)
                if (p.aTmuUnit[k].eKind != FastUnit::Pass)
                    s[TexR + k] = RunUnit(p.aTmuUnit[k], aTmuConstants[k], s);

        if (p.bChroma)
        {
            const I16 match = CmpEq(s[p.anChromaSlot[0]], chromaKey[0]) &
                              CmpEq(s[p.anChromaSlot[1]], chromaKey[1]) &
                              CmpEq(s[p.anChromaSlot[2]], chromaKey[2]);
            c.nChromaFail += Kill(&live, match ^ AllOnes());
        }
        for (Int32 k = 0; k < 4; ++k)
            s[OutR + k] = RunUnit(p.aUnit[k], aConstants[k], s);
        if (p.bAlphaTest)
            c.nAlphaFail += Kill(&live, Compare(p.eAlphaFunc, s[OutA], alphaRef));

        // The bias is added to the pixel's depth; in the compare-to-bias modes it replaces the
        // depth for the comparison only.
        I32 depthOut = depth;
        if (p.bDepthTest)
        {
            if (!p.bCompareToBias)
                depthOut = Min(Max(depth + bias, Splat<I32>(0)), Splat<I32>(0xFFFF));
            const I32 compared = p.bCompareToBias ? compareBias : depthOut;
            c.nDepthFail +=
                Kill(&live, Narrow(Compare(p.eDepthFunc, compared, LoadWide(c.pAux + i))));
        }

        I16 rgb[3] = {s[OutR], s[OutG], s[OutB]};
        I16 alpha = s[OutA];
        if (p.bBlend)
            BlendGroup(c, p, i, s, rgb, &alpha);

        if (p.bColorWrite && c.pColor)
        {
            const I16 pixel =
                c.pDither ? PixelMath::PackDithered(rgb[0], rgb[1], rgb[2], Load(c.pDither + i))
                          : PixelMath::PackTruncated(rgb[0], rgb[1], rgb[2]);
            Store(c.pColor + i, Select(live, Load(c.pColor + i), pixel));
        }
        if (c.pAux && p.bDepthWrite)
            Store(c.pAux + i, Select(live, Load(c.pAux + i), NarrowUnsigned(depthOut)));
        else if (c.pAux && p.bAlphaWrite)
            Store(c.pAux + i, Select(live, Load(c.pAux + i), alpha & Splat<I16>(0xFF)));
        c.nPixelsOut += UInt32(CountSet(live));
    }
}
