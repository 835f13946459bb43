// FrameTimer: turns the performance counter into a running time and a
// per-frame step, both single-precision seconds.
//
// Owner: the program has exactly one, g_FrameTimer, with static storage; every
// field is zero until Start runs. The scene starts it once in Create (scale
// 1.0, start time 0.0) and updates it once at the start of every frame, then
// reads m_fTime and m_fDelta directly.
//
// The time is recomputed from the counter distance to the start on every
// update, never accumulated from the steps, so float errors do not build up.
#pragma once
#include "Types.h"

class FrameTimer
{
  public:
    FrameTimer();
    virtual ~FrameTimer();

    // Restarts the time at fStartTime; fScale multiplies the counter's
    // seconds. Returns the counter read's result (non-zero on success).
    Int32 Start(float fScale, float fStartTime);
    // Reads the counter and recomputes time and step; always 1 (per frame).
    Int32 Update();
    float GetTime() const;

    float m_fStartTime;       // time the counter value at start maps to
    float m_fTime;            // time as of the last update
    float m_fDelta;           // new time minus previous time, as of the last update
    float m_fSecondsPerCount; // scale / counter frequency
    Int64 m_llStartCount;     // counter value read at start
    Int64 m_llCount;          // counts elapsed since start, as of the last update
    Int64 m_llFrequency;      // counts per second, read at start
};

extern FrameTimer g_FrameTimer;
