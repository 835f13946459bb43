#include "KeywordTable.h"

#include <cstring>

Int32 KeywordTable::Lookup(const char* pchWord) const
{
    if (pchWord == nullptr)
        return m_nFallback;
    for (Int32 i = 0; i < m_nCount; ++i)
    {
        if (std::strcmp(m_pEntries[i].pchKeyword, pchWord) == 0)
            return m_pEntries[i].nValue;
    }
    return m_nFallback;
}
