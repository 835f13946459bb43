// SystemClock: the performance counter and Sleep, for swap pacing.
//
// Owner: the Device (one instance for its SwapPacer). Stateless apart from the cached frequency.
#pragma once
#include "SwapClock.h"

class SystemClock : public SwapClock
{
  public:
    Int64 Now() override;
    Int64 Frequency() override;
    void Sleep(Int32 nMilliseconds) override;

  private:
    Int64 m_nFrequency = 0;
};
