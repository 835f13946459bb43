#include "KeyFrameRandom.h"

KeyFrameRandom g_KeyFrameRandom;

namespace
{
const UInt32 INITIAL_STATE = 1;
const UInt32 MULTIPLIER = 214013;
const UInt32 INCREMENT = 2531011;
} // namespace

KeyFrameRandom::KeyFrameRandom() : m_uState(INITIAL_STATE) {}

Int32 KeyFrameRandom::Next()
{
    // Unsigned 32-bit arithmetic wraps, which is the modulo 2^32.
    m_uState = m_uState * MULTIPLIER + INCREMENT;
    return (Int32)((m_uState >> 16) & 0x7FFF);
}

void KeyFrameRandom::Restart()
{
    m_uState = INITIAL_STATE;
}
