// ReplayRun: plays a trace into a ReplayTarget, times its frames, writes and compares them.
//
// The whole trace is read and checked before anything is played, so a damaged trace draws
// nothing and ends with a message (exit status 1). Then it is played --repeat times; a frame
// is everything from the end of the frame before (for the first, from the first call that
// draws, clears or swaps: opening the board and downloading textures are not a frame's work)
// up to and including its grBufferSwap, and the target's FinishFrame. Pictures are read after
// the timed part of a frame, in the first repetition only.
#pragma once
#include "ReplayOptions.h"
#include "ReplayTarget.h"
#include "Types.h"

class ReplayRun
{
  public:
    // Returns the exit status (ReplayOptions.h); pszTool names the program in messages.
    static Int32 Run(const char* pszTool, const ReplayOptions& rOptions, ReplayTarget& rTarget);
};
