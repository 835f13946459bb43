// DisplayModeOptions: vellumtide's command line.
#include "DisplayModeOptions.h"

#include <cstring>
#include <vector>

namespace
{
const uint64_t kLargestWindowId = 0xFFFFFFFFu; // X resource ids are 32-bit values

// The words of a command line as the stand-in's main (or Windows) builds it
// from the arguments: white space separates words; double quotes group; a
// backslash is literal unless a quote follows a run of them.
std::vector<std::string> SplitWords(const char* pszLine)
{
    std::vector<std::string> words;
    const char* p = pszLine != nullptr ? pszLine : "";
    for (;;)
    {
        while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')
            ++p;
        if (*p == '\0')
            return words;
        std::string strWord;
        bool bQuoted = false;
        for (; *p != '\0' && (bQuoted || (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r'));
             ++p)
        {
            size_t nBackslashes = 0;
            while (p[nBackslashes] == '\\')
                ++nBackslashes;
            if (nBackslashes > 0 && p[nBackslashes] != '"')
            {
                strWord.append(nBackslashes, '\\');
                p += nBackslashes - 1;
                continue;
            }
            if (nBackslashes > 0)
            {
                strWord.append(nBackslashes / 2, '\\');
                p += nBackslashes;
                if (nBackslashes % 2 == 1)
                {
                    strWord += '"';
                    continue;
                }
            }
            if (*p == '"')
                bQuoted = !bQuoted;
            else
                strWord += *p;
        }
        words.push_back(strWord);
    }
}

bool IsBoardName(const std::string& strName)
{
    return strName == "voodoo" || strName == "voodoo2" || strName == "sst96";
}

// A decimal number from 0 to 255, nothing else.
bool ParseSwapInterval(const std::string& strText, Int32* pnValue)
{
    if (strText.empty() || strText.size() > 3)
        return false;
    Int32 nValue = 0;
    for (char ch : strText)
    {
        if (ch < '0' || ch > '9')
            return false;
        nValue = nValue * 10 + (ch - '0');
    }
    if (nValue > 255)
        return false;
    *pnValue = nValue;
    return true;
}

const char kUsage[] =
    "usage: vellumtide [-window | -root | -window-id ID] [-display NAME]\n"
    "                  [-board voodoo|voodoo2|sst96] [-swap-interval N] [-fps]\n"
    "  -window           draw in a window of its own (the default)\n"
    "  -root             draw in $XSCREENSAVER_WINDOW, or on the root window\n"
    "  -window-id ID     draw in the window ID (decimal or 0x hexadecimal)\n"
    "  -display NAME     the X display to draw on\n"
    "  -board NAME       the emulated 3D board (default voodoo)\n"
    "  -swap-interval N  retraces of 60 Hz each frame waits for, 0 to 255 (default 1)\n"
    "  -fps              show the frame rate\n"
    "Options may begin with - or --. XScreenSaver names its window in\n"
    "XSCREENSAVER_WINDOW, which is used unless -window or -window-id is given.\n";
} // namespace

const char* DisplayModeOptions::Usage()
{
    return kUsage;
}

Int32 DisplayModeOptions::ParseWindowId(const char* pszText, uint64_t* puId)
{
    if (pszText == nullptr || *pszText == '\0')
        return 0;
    const bool bHex = pszText[0] == '0' && (pszText[1] == 'x' || pszText[1] == 'X');
    const char* p = bHex ? pszText + 2 : pszText;
    if (*p == '\0')
        return 0;
    uint64_t uValue = 0;
    for (; *p != '\0'; ++p)
    {
        Int32 nDigit = -1;
        if (*p >= '0' && *p <= '9')
            nDigit = *p - '0';
        else if (bHex && *p >= 'a' && *p <= 'f')
            nDigit = *p - 'a' + 10;
        else if (bHex && *p >= 'A' && *p <= 'F')
            nDigit = *p - 'A' + 10;
        if (nDigit < 0)
            return 0;
        uValue = uValue * (bHex ? 16 : 10) + uint64_t(nDigit);
        if (uValue > kLargestWindowId)
            return 0;
    }
    if (uValue == 0)
        return 0;
    *puId = uValue;
    return 1;
}

Int32 DisplayModeOptions::Fail(const std::string& strMessage)
{
    m_strError = strMessage;
    return 0;
}

// One option, its value (the next word) in *pstrValue when there is one;
// *pnUsed says how many words it took (1 or 2).
Int32 DisplayModeOptions::ParseWord(const std::string& strWord, const std::string* pstrValue,
                                    Int32* pnUsed)
{
    *pnUsed = 1;
    if (strWord.size() < 2 || strWord[0] != '-')
        return Fail("unexpected argument '" + strWord + "'");
    const std::string strName = strWord.substr(strWord[1] == '-' ? 2 : 1);
    if (strName == "help" || strName == "h")
    {
        m_bHelp = true;
        return 1;
    }
    if (strName == "fps")
    {
        m_bShowFrameRate = true;
        return 1;
    }
    if (strName == "no-fps")
    {
        m_bShowFrameRate = false;
        return 1;
    }
    const bool bTakesValue = strName == "window-id" || strName == "display" || strName == "board" ||
                             strName == "swap-interval";
    if (strName == "window" || strName == "root")
    {
        m_nChosen = strName == "window" ? TARGET_OWN_WINDOW : TARGET_ROOT;
        return 1;
    }
    if (!bTakesValue)
        return Fail("unknown option '" + strWord + "'");
    if (pstrValue == nullptr)
        return Fail("option '" + strWord + "' needs a value");
    *pnUsed = 2;
    const std::string& strValue = *pstrValue;
    if (strName == "window-id")
    {
        if (!ParseWindowId(strValue.c_str(), &m_uWindowId))
            return Fail("'" + strValue + "' is not a window id (decimal or 0x hexadecimal)");
        m_nChosen = TARGET_GIVEN_WINDOW;
    }
    else if (strName == "display")
    {
        if (strValue.empty())
            return Fail("option '" + strWord + "' needs a display name");
        m_strDisplay = strValue;
    }
    else if (strName == "board")
    {
        if (!IsBoardName(strValue))
            return Fail("'" + strValue + "' is not a board: voodoo, voodoo2 or sst96");
        m_strBoard = strValue;
    }
    else if (!ParseSwapInterval(strValue, &m_nSwapInterval))
    {
        return Fail("'" + strValue + "' is not a swap interval from 0 to 255");
    }
    return 1;
}

Int32 DisplayModeOptions::ResolveTarget(const char* pszEnvironmentWindow)
{
    const bool bEnvironment = pszEnvironmentWindow != nullptr && *pszEnvironmentWindow != '\0';
    // -root and no choice at all both mean XScreenSaver's window when it
    // named one; -window and -window-id are explicit.
    if (m_nChosen == TARGET_GIVEN_WINDOW || m_nChosen == TARGET_OWN_WINDOW || !bEnvironment)
    {
        m_nTarget = m_nChosen == kNoChoice ? Int32(TARGET_OWN_WINDOW) : m_nChosen;
        return 1;
    }
    if (!ParseWindowId(pszEnvironmentWindow, &m_uWindowId))
        return Fail(std::string("XSCREENSAVER_WINDOW='") + pszEnvironmentWindow +
                    "' is not a window id");
    m_nTarget = TARGET_GIVEN_WINDOW;
    return 1;
}

Int32 DisplayModeOptions::Parse(const char* pszCommandLine, const char* pszEnvironmentWindow)
{
    *this = DisplayModeOptions();
    const std::vector<std::string> words = SplitWords(pszCommandLine);
    // The last of -window, -root and -window-id wins.
    for (size_t i = 0; i < words.size();)
    {
        const std::string* pstrValue = i + 1 < words.size() ? &words[i + 1] : nullptr;
        Int32 nUsed = 1;
        if (!ParseWord(words[i], pstrValue, &nUsed))
            return 0;
        i += size_t(nUsed);
    }
    if (m_bHelp)
        return 1;
    return ResolveTarget(pszEnvironmentWindow);
}
