#include "CommandLine.h"

#include <cstring>

namespace StandIn
{

namespace
{

void AppendQuoted(std::string& strLine, const char* pszArg)
{
    strLine += '"';
    size_t nBackslashes = 0;
    for (const char* p = pszArg; *p; ++p)
    {
        if (*p == '\\')
        {
            ++nBackslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them: then each is doubled.
        strLine.append(*p == '"' ? nBackslashes * 2 + 1 : nBackslashes, '\\');
        nBackslashes = 0;
        strLine += *p;
    }
    strLine.append(nBackslashes * 2, '\\'); // the closing quote follows them
    strLine += '"';
}

} // namespace

std::string BuildCommandLine(int argc, const char* const* argv)
{
    std::string strLine;
    for (int i = 1; i < argc; ++i)
    {
        const char* pszArg = argv[i] ? argv[i] : "";
        if (i > 1)
            strLine += ' ';
        if (*pszArg == '\0' || strpbrk(pszArg, " \t\""))
            AppendQuoted(strLine, pszArg);
        else
            strLine += pszArg;
    }
    return strLine;
}

} // namespace StandIn
