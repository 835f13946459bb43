// TraceFrameClock: the names of a trace's frames, the same as the capture tool's pictures.
//
// A trace made by vellumtide-capture carries a marker "vellumtide-capture first-frame=K
// step=A/B": its first frame is the capture's frame K, drawn at scene time K * A / B, and so on.
// Its frames are then named frame-<time>s.png as the capture names them, so a folder of the
// capture's pictures can be compared with the replay's. A trace without that marker names its
// frames by their number in the trace: frame-00001.png, ... Used by glide-replay and the peer.
#pragma once
#include <string>

#include "CaptureOptions.h"
#include "Types.h"

class TraceFrameClock
{
  public:
    // Reads a marker's text; 1 when it was the capture tool's clock (it is kept).
    Int32 ReadMarker(const char* pchText, size_t nLength);
    Int32 HasSceneTime() const { return m_bSceneTime; }

    // The file name of frame nFrame of the trace (1 for the first).
    std::string FrameName(Int64 llFrame) const;
    // The scene time of frame nFrame, when the trace carries it.
    double SceneTime(Int64 llFrame) const;

  private:
    Int32 m_bSceneTime = 0;
    Int64 m_llFirstFrame = 1;
    CaptureOptions m_Step;
};
