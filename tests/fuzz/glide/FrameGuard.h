// FrameGuard: a guard band around the part of the screen a program may draw to.
//
// Armed after the board opens, it fills every colour buffer and the auxiliary buffer with a
// sentinel, records the ring of kMargin pixels along the screen's edges, and from then on keeps
// the program's clip window and its linear frame-buffer writes inside the ring (GlideCallPlayer
// asks it to). Nothing the program does may then change a ring pixel: a write that lands inside
// an allocation but outside where it was allowed (a span running past its row into the next, a
// clear or a triangle ignoring the clip window) shows up there, where the address sanitizer cannot
// see it. Check reads the ring back through grLfbReadRegion and traps on the first changed pixel.
//
// Only glide.h: it must hold for any device behind the entry points.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <glide.h>

class FrameGuard
{
  public:
    static constexpr int kMargin = 4;

    // Fills and records the ring of the open board (every buffer, through LFB writes and one
    // swap), then sets the clip window to the inside. Does nothing on a board too small for a
    // ring; IsArmed tells.
    void Arm();
    void Disarm() { m_bArmed = false; }
    bool IsArmed() const { return m_bArmed; }

    // The inside, min inclusive and max exclusive, in either origin (the ring is symmetric).
    void KeepInside(FxU32* pnMinX, FxU32* pnMinY, FxU32* pnMaxX, FxU32* pnMaxY) const;
    // Cuts a w x h rectangle at (x, y) to the inside; false when nothing is left.
    bool CutToInside(FxU32* pnX, FxU32* pnY, FxU32* pnWidth, FxU32* pnHeight) const;
    bool IsInside(FxU32 nX, FxU32 nY) const;

    // Traps (after printing where, which buffer, the pixel and pchContext) when a ring pixel of
    // any buffer differs from what Arm recorded.
    void Check(const char* pchWhen, const std::string& strContext) const;

  private:
    struct Strip
    {
        FxU32 nX, nY, nWidth, nHeight;
    };
    std::vector<Strip> Strips() const;
    void FillRing(GrBuffer_t eBuffer) const;
    bool ReadRing(GrBuffer_t eBuffer, std::vector<std::uint16_t>* pRing) const;

    bool m_bArmed = false;
    FxU32 m_nWidth = 0;
    FxU32 m_nHeight = 0;
    // Front, back and auxiliary ring pixels, strip by strip; empty for a buffer the board lacks.
    std::vector<std::uint16_t> m_anRing[3];
};
