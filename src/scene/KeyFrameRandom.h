// KeyFrameRandom: the random generator behind the scene's key frames.
//
// One process-wide object, g_KeyFrameRandom. Only WarpScene::NewKeyFrame
// draws from it (2500 draws once a second, none in a frame that keeps its key
// frame). Nothing reseeds it, so every run shows the same sequence of key
// frames. It is the classic runtime-library linear congruence:
//   state = state * 214013 + 2531011 (mod 2^32), result = bits 16..30,
// which gives integers from 0 to 32767, starting from state 1.
#pragma once
#include "Types.h"

class KeyFrameRandom
{
  public:
    enum
    {
        MAX_VALUE = 32767
    };

    KeyFrameRandom();

    // The next number, 0 to MAX_VALUE.
    Int32 Next();

    // Back to the start state 1. Only tests use it, to see the sequence a
    // fresh process sees; the programs never restart the sequence.
    void Restart();

  private:
    UInt32 m_uState;
};

extern KeyFrameRandom g_KeyFrameRandom;
