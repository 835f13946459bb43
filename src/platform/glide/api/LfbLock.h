// LfbLock: one held grLfbLock, from the lock to its last grLfbUnlock.
//
// Owner: GlideContext, one per lock type (read, write) and buffer (front, back, auxiliary);
// grSstWinClose discards them all. A lock is either the buffer itself or a staging copy:
//   - read locks with the upper-left origin, and write locks of 16-bit pixels in the buffer's own
//     layout (565 in the chip's channel order for colour, ZA16 for the auxiliary buffer) with the
//     upper-left origin, no swizzle and no pixel pipeline, give the buffer's own pixels, so
//     writes land at once;
//   - every other lock gives a copy the size of the screen in the program's layout (rows bottom
//     first for the lower-left origin), filled with the buffer's pixels at the lock. A write
//     lock's copy goes back at the last unlock: each pixel the program changed is converted and
//     stored, or shaded through the pixel pipeline with the state of that moment
//     (Device::ShadePixels). A pixel written with the very value it held is not seen.
// Write locks count the pixels they change as pixels out (the buffer itself is compared with
// its contents at the lock, so drawing during such a lock counts too). Nothing here runs per
// triangle; a staged lock allocates two copies of the screen at the lock and frees them at the
// last unlock.
#pragma once
#include "Device.h"
#include "LfbPixelFormat.h"
#include "Types.h"
#include <cstdint>

struct LfbLockRequest
{
    BufferId eBuffer = BufferId::Back; // where the pixels come from or go to
    bool bWrite = false;
    LfbPixelFormat format;   // write locks: the program's layout
    bool bLowerLeft = false; // row 0 of the lock is the bottom row of the screen
    bool bPipeline = false;  // writes go through the pixel pipeline (colour formats only)
};

class LfbLock
{
  public:
    LfbLock() = default;
    ~LfbLock();
    LfbLock(const LfbLock&) = delete;
    LfbLock& operator=(const LfbLock&) = delete;

    bool IsHeld() const { return m_nHolds > 0; }
    // True when a lock asked again with these arguments can share this one.
    bool Matches(const LfbLockRequest& request) const;

    // The first hold: false (nothing held) when the buffer is missing or memory runs out.
    bool Acquire(Device& device, const LfbLockRequest& request);
    // A further lock with matching arguments.
    void Hold() { ++m_nHolds; }
    void* GetPixels() const { return m_pPixels; }
    Int32 GetStride() const { return m_nStride; }

    // Drops one hold; the last one writes back what the program changed. nConstantAlpha and
    // nConstantDepth (grLfbConstantAlpha / grLfbConstantDepth) stand in for the alpha and depth
    // a format lacks when its pixels go through the pixel pipeline.
    void Release(Device& device, Int32 nConstantAlpha, Int32 nConstantDepth);
    // Forgets the lock without writing anything (the board is closing).
    void Discard();

  private:
    bool IsDirect() const;
    bool Stage(Device& device);
    Int32 ScreenRow(Int32 nLockRow) const;
    void WriteBack(Device& device, Int32 nConstantAlpha, Int32 nConstantDepth);
    void StoreRow(Device& device, Int32 nLockRow);
    void ShadeRow(Device& device, Int32 nLockRow, Int32 nConstantAlpha, Int32 nConstantDepth);
    bool Changed(const Byte* pRow, const Byte* pOld, Int32 x) const;
    void CountDirectChanges(Device& device);

    LfbLockRequest m_Request;
    Int32 m_nHolds = 0;
    void* m_pPixels = nullptr;   // what the program got
    Byte* m_pStaging = nullptr;  // staged locks: the copy the program sees
    Byte* m_pSnapshot = nullptr; // write locks: the lock's pixels as they were at the lock
    Int32 m_nWidth = 0, m_nHeight = 0;
    Int32 m_nStride = 0; // bytes per row of m_pPixels
};
