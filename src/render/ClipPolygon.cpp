// ClipPolygon: one clipping algorithm applied to the six planes of the view volume.
#include "ClipPolygon.h"

namespace
{

// Each plane gives the outside test (the outcode test, so a vertex on the
// plane is inside) and the crossing parameter lambda for the edge from p to c,
// d(p) / (d(p) - d(c)) written out per plane in the form the stages have
// always used, evaluated in single precision.
struct LeftPlane
{
    static bool Outside(const ClipVertex& v) { return v.m_fX < -v.m_fW; }
    static float Lambda(const ClipVertex& p, const ClipVertex& c)
    {
        return -(p.m_fX + p.m_fW) / ((c.m_fX - p.m_fX) + c.m_fW - p.m_fW);
    }
};

struct RightPlane
{
    static bool Outside(const ClipVertex& v) { return v.m_fX > v.m_fW; }
    static float Lambda(const ClipVertex& p, const ClipVertex& c)
    {
        return (p.m_fX - p.m_fW) / ((c.m_fW - p.m_fW) - (c.m_fX - p.m_fX));
    }
};

struct TopPlane
{
    static bool Outside(const ClipVertex& v) { return v.m_fY < -v.m_fW; }
    static float Lambda(const ClipVertex& p, const ClipVertex& c)
    {
        return -(p.m_fY + p.m_fW) / ((c.m_fY - p.m_fY) + c.m_fW - p.m_fW);
    }
};

struct BottomPlane
{
    static bool Outside(const ClipVertex& v) { return v.m_fY > v.m_fW; }
    static float Lambda(const ClipVertex& p, const ClipVertex& c)
    {
        return (p.m_fY - p.m_fW) / ((c.m_fW - p.m_fW) - (c.m_fY - p.m_fY));
    }
};

struct NearPlane
{
    // "Not >= 0" rather than "< 0": a z that is not a number lies outside.
    static bool Outside(const ClipVertex& v) { return !(v.m_fZ >= 0.0f); }
    static float Lambda(const ClipVertex& p, const ClipVertex& c)
    {
        return -p.m_fZ / (c.m_fZ - p.m_fZ);
    }
};

struct FarPlane
{
    static bool Outside(const ClipVertex& v) { return v.m_fZ > v.m_fW; }
    static float Lambda(const ClipVertex& p, const ClipVertex& c)
    {
        return (p.m_fZ - p.m_fW) / ((c.m_fW - p.m_fW) - (c.m_fZ - p.m_fZ));
    }
};

template <class Plane> void Cross(ClipPolygon& rDest, const ClipVertex& p, const ClipVertex& c)
{
    const float fLambda = Plane::Lambda(p, c);
    ClipPolygon::Interpolate(rDest.m_aVertices[rDest.m_nCount], p, c, fLambda);
    ++rDest.m_nCount;
}

inline void Keep(ClipPolygon& rDest, const ClipVertex& v)
{
    rDest.m_aVertices[rDest.m_nCount] = v;
    ++rDest.m_nCount;
}

// The polygon is convex, so its inside vertices form one run in cyclic order;
// which branch runs depends on the last vertex. Neither branch reads past
// S[n - 1]: the loop that could run off the end always stops at the last
// vertex, which is known to be on the other side.
template <class Plane> Int32 ClipAgainst(const ClipPolygon& rSource, ClipPolygon& rDest)
{
    const UInt32 n = rSource.m_nCount;
    // Outside the contract (Mesh::Draw only passes triangles); refusing keeps
    // every read and write inside the two arrays: the output has at most
    // n + 1 vertices (see ClipPolygon.h).
    if (n == 0 || n > ClipPolygon::MAX_VERTICES - 1)
        return 0;
    const ClipVertex* s = rSource.m_aVertices;
    UInt32 j = 0;

    if (Plane::Outside(s[n - 1]))
    {
        // A: entry point, the inside run, exit point.
        while (Plane::Outside(s[j]))
        {
            ++j;
            if (j >= n)
                return 0;
        }
        const ClipVertex* pPrev = (j == 0) ? &s[n - 1] : &s[j - 1];
        rDest.m_nCount = 0;
        Cross<Plane>(rDest, *pPrev, s[j]);
        Keep(rDest, s[j]);
        ++j;
        while (!Plane::Outside(s[j]))
        {
            Keep(rDest, s[j]);
            ++j;
        }
        Cross<Plane>(rDest, s[j - 1], s[j]);
        return 1;
    }

    // B: inside vertices before the outside run, exit point, entry point,
    // the inside vertices after it.
    rDest.m_nCount = 0;
    while (!Plane::Outside(s[j]))
    {
        Keep(rDest, s[j]);
        ++j;
        if (j >= n)
            return 1;
    }
    const ClipVertex* pPrev = (j == 0) ? &s[n - 1] : &s[j - 1];
    Cross<Plane>(rDest, *pPrev, s[j]);
    while (Plane::Outside(s[j]))
        ++j;
    Cross<Plane>(rDest, s[j - 1], s[j]);
    for (UInt32 k = j; k < n; ++k)
        Keep(rDest, s[k]);
    return 1;
}

// Byte interpolation: (c - p) as an integer, times lambda, plus p, truncated
// toward zero. Lambda lies in [0, 1] for any real crossing, so the result lies
// between the two bytes; a lambda that is not a finite number in range
// (degenerate input) is clamped rather than converted out of range.
inline Byte InterpolateByte(Byte bP, Byte bC, float fLambda)
{
    const float f = static_cast<float>(static_cast<Int32>(bC) - static_cast<Int32>(bP)) * fLambda +
                    static_cast<float>(bP);
    if (!(f >= 0.0f))
        return 0;
    if (f >= 255.0f)
        return 255;
    return static_cast<Byte>(static_cast<Int32>(f));
}

inline float InterpolateFloat(float fP, float fC, float fLambda)
{
    return fP + (fC - fP) * fLambda;
}

} // namespace

void ClipPolygon::Interpolate(ClipVertex& rOut, const ClipVertex& rP, const ClipVertex& rC,
                              float fLambda)
{
    rOut.m_fX = InterpolateFloat(rP.m_fX, rC.m_fX, fLambda);
    rOut.m_fY = InterpolateFloat(rP.m_fY, rC.m_fY, fLambda);
    rOut.m_fZ = InterpolateFloat(rP.m_fZ, rC.m_fZ, fLambda);
    rOut.m_fW = InterpolateFloat(rP.m_fW, rC.m_fW, fLambda);
    rOut.m_fS = InterpolateFloat(rP.m_fS, rC.m_fS, fLambda);
    rOut.m_fT = InterpolateFloat(rP.m_fT, rC.m_fT, fLambda);
    rOut.m_bRed = InterpolateByte(rP.m_bRed, rC.m_bRed, fLambda);
    rOut.m_bGreen = InterpolateByte(rP.m_bGreen, rC.m_bGreen, fLambda);
    rOut.m_bBlue = InterpolateByte(rP.m_bBlue, rC.m_bBlue, fLambda);
    rOut.m_bAlpha = InterpolateByte(rP.m_bAlpha, rC.m_bAlpha, fLambda);
}

Int32 ClipPolygon::ClipLeft(ClipPolygon& rDest) const
{
    return ClipAgainst<LeftPlane>(*this, rDest);
}

Int32 ClipPolygon::ClipRight(ClipPolygon& rDest) const
{
    return ClipAgainst<RightPlane>(*this, rDest);
}

Int32 ClipPolygon::ClipTop(ClipPolygon& rDest) const
{
    return ClipAgainst<TopPlane>(*this, rDest);
}

Int32 ClipPolygon::ClipBottom(ClipPolygon& rDest) const
{
    return ClipAgainst<BottomPlane>(*this, rDest);
}

Int32 ClipPolygon::ClipNear(ClipPolygon& rDest) const
{
    return ClipAgainst<NearPlane>(*this, rDest);
}

Int32 ClipPolygon::ClipFar(ClipPolygon& rDest) const
{
    return ClipAgainst<FarPlane>(*this, rDest);
}
