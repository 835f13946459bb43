// ReplayTarget: what a trace is replayed into: the software Glide (TracePlayer) or the peer
// renderer (bench/peer). ReplayRun drives it record by record.
#pragma once
#include "PngFile.h"
#include "TraceReader.h"
#include "Types.h"

class ReplayTarget
{
  public:
    virtual ~ReplayTarget() = default;

    // Before the first record of every repetition.
    virtual void Begin() {}
    // Makes the record's call (per record).
    virtual void Play(const TraceRecord& rRecord) = 0;
    // After a swap: the frame must be finished when this returns (per frame, timed).
    virtual void FinishFrame() {}
    // Pixels written since the last call, or -1 when the target does not count them.
    virtual Int64 TakePixelCount() { return -1; }
    // The frame just swapped, as 8-bit RGB, top row first; 0 when there is none.
    virtual Int32 ReadFrame(RgbImage& rImage) = 0;
    // After every repetition: back to the state before the first record.
    virtual void Reset() = 0;
};
