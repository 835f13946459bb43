// KeywordTable: turns one word of the material file into a Glide constant.
//
// Owner: the seven tables are static constants of MaterialKeywords.cpp; they
// live for the whole run and hold no state.
// Lifecycle: none; a lookup runs once per item during Material::Load, never
// per frame.
#pragma once

#include "Types.h"

struct KeywordEntry
{
    const char* pchKeyword; // whole word, compared case-sensitively
    Int32 nValue;           // the Glide constant it names
};

class KeywordTable
{
  public:
    // pEntries: nCount rows; nFallback: the value for a word no row matches.
    constexpr KeywordTable(const KeywordEntry* pEntries, Int32 nCount, Int32 nFallback)
        : m_pEntries(pEntries), m_nCount(nCount), m_nFallback(nFallback)
    {
    }

    // The value of the row whose keyword equals pchWord exactly, else the
    // fallback. A null word also gives the fallback.
    Int32 Lookup(const char* pchWord) const;

    Int32 GetFallback() const { return m_nFallback; }

  private:
    const KeywordEntry* m_pEntries;
    Int32 m_nCount;
    Int32 m_nFallback;
};
