// Helpers for the SString tests: a look at the buffer header that sits in
// front of the characters.
#pragma once
#include "SString.h"

inline const SStringHeader* HeaderOf(const SString& str)
{
    return reinterpret_cast<const SStringHeader*>(static_cast<const char*>(str)) - 1;
}

inline Int32 RefsOf(const SString& str)
{
    return HeaderOf(str)->m_nRefs;
}

// The characters every empty string without a buffer points at.
inline const char* SharedEmpty()
{
    static const SString s_strEmpty;
    return s_strEmpty;
}
