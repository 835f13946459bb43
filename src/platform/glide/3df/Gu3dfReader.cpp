// Gu3dfReader.cpp - bounded reading of .3df files (glide-reference.md §8).
#include "Gu3dfReader.h"

#include <cstring>

#include "Gu3dfHeaderText.h"
#include "Gu3dfTable.h"

Gu3dfReader::Gu3dfReader()
    : m_pFile(nullptr), m_bOwnsFile(0), m_bInfoRead(0), m_nHeaderBytes(0), m_nTableBytes(0),
      m_nTexelBytes(0)
{
    std::memset(m_achHeader, 0, sizeof(m_achHeader));
    std::memset(&m_header, 0, sizeof(m_header));
}

Gu3dfReader::~Gu3dfReader()
{
    Close();
}

int Gu3dfReader::Open(const char* pchPath)
{
    Close();
    m_pFile = std::fopen(pchPath, "rb");
    m_bOwnsFile = 1;
    return m_pFile != nullptr;
}

void Gu3dfReader::Attach(FILE* pFile)
{
    Close();
    m_pFile = pFile;
    m_bOwnsFile = 0;
}

void Gu3dfReader::Close()
{
    if (m_pFile != nullptr && m_bOwnsFile)
    {
        std::fclose(m_pFile);
    }
    m_pFile = nullptr;
    m_bOwnsFile = 0;
    m_bInfoRead = 0;
}

int Gu3dfReader::ReadInfo(Gu3dfInfo* pInfo)
{
    m_bInfoRead = 0;
    Gu3dfHeaderFields fields;
    if (m_pFile == nullptr || !ReadHeaderText() || !Gu3dfHeaderText::Scan(m_achHeader, &fields) ||
        !Gu3dfHeaderText::Check(fields, &m_header))
    {
        return 0;
    }
    m_nTableBytes = Gu3dfFormat::TableBytes(m_header.format);
    m_nTexelBytes = Gu3dfFormat::TexelBytes(m_header.small_lod, m_header.large_lod,
                                            m_header.aspect_ratio, m_header.format);
    // Glide checked no size here (and the 1997 loader not even at load time); the file is
    // measured now, before the caller allocates mem_required bytes on the header's word.
    if (!CheckFileSize())
    {
        return 0;
    }
    pInfo->header = m_header;
    pInfo->mem_required = m_nTexelBytes;
    m_bInfoRead = 1;
    return 1;
}

int Gu3dfReader::Load(Gu3dfInfo* pInfo)
{
    Gu3dfInfo fileInfo;
    if (!m_bInfoRead && !ReadInfo(&fileInfo))
    {
        return 0;
    }
    if (!MatchesFile(*pInfo) || pInfo->data == nullptr ||
        std::fseek(m_pFile, static_cast<long>(m_nHeaderBytes), SEEK_SET) != 0)
    {
        return 0;
    }
    if (!ReadTable(&pInfo->table) || !ReadTexels(pInfo->data))
    {
        return 0;
    }
    // The size was checked by ReadInfo; a file that grew since then is refused all the same.
    return std::fgetc(m_pFile) == EOF;
}

// The four header lines, each ended by '\n', within the first kMaxHeaderBytes bytes: the size
// of Glide's own header buffer, which the 1997 loader filled without a bound (docs/fidelity.md).
int Gu3dfReader::ReadHeaderText()
{
    if (std::fseek(m_pFile, 0, SEEK_SET) != 0)
    {
        return 0;
    }
    const size_t nRead = std::fread(m_achHeader, 1, Gu3dfFormat::kMaxHeaderBytes, m_pFile);
    int nLines = 0;
    for (size_t i = 0; i < nRead; ++i)
    {
        if (m_achHeader[i] == '\n' && ++nLines == 4)
        {
            m_nHeaderBytes = static_cast<FxU32>(i + 1);
            // A NUL inside the text ends it early, as it ended Glide's scan: such a header fails.
            m_achHeader[i + 1] = '\0';
            return 1;
        }
    }
    return 0;
}

// The file holds exactly header, table and levels: bytes after the last level are refused as
// well as missing ones (Glide ignored the former and, in 1997, the latter; docs/fidelity.md).
int Gu3dfReader::CheckFileSize() const
{
    if (std::fseek(m_pFile, 0, SEEK_END) != 0)
    {
        return 0;
    }
    const long nFileBytes = std::ftell(m_pFile);
    const unsigned long nExpected =
        static_cast<unsigned long>(m_nHeaderBytes) + m_nTableBytes + m_nTexelBytes;
    return nFileBytes >= 0 && static_cast<unsigned long>(nFileBytes) == nExpected;
}

// pInfo must be the file's own description: a header from another file (or one changed since
// gu3dfGetInfo) could make the texels overrun the caller's buffer. Glide re-read the header
// lines without looking at them (docs/fidelity.md).
int Gu3dfReader::MatchesFile(const Gu3dfInfo& info) const
{
    const Gu3dfHeader& header = info.header;
    return header.width == m_header.width && header.height == m_header.height &&
           header.small_lod == m_header.small_lod && header.large_lod == m_header.large_lod &&
           header.aspect_ratio == m_header.aspect_ratio && header.format == m_header.format &&
           info.mem_required >= m_nTexelBytes;
}

int Gu3dfReader::ReadTable(GuTexTable* pTable)
{
    unsigned char abTable[Gu3dfFormat::kPaletteBytes];
    if (m_nTableBytes == 0)
    {
        return 1;
    }
    if (!ReadExactly(abTable, m_nTableBytes))
    {
        return 0;
    }
    if (Gu3dfFormat::IsNccFormat(m_header.format))
    {
        Gu3dfTable::DecodeNcc(abTable, &pTable->nccTable);
    }
    else
    {
        Gu3dfTable::DecodePalette(abTable, &pTable->palette);
    }
    return 1;
}

// Levels largest first, row-major, no padding; 16-bit texels big-endian on disk.
int Gu3dfReader::ReadTexels(void* pData)
{
    if (!ReadExactly(pData, m_nTexelBytes))
    {
        return 0;
    }
    if (Gu3dfFormat::BytesPerTexel(m_header.format) == 2)
    {
        unsigned char* pb = static_cast<unsigned char*>(pData);
        for (FxU32 i = 0; i + 1 < m_nTexelBytes; i += 2)
        {
            const FxU16 nTexel = static_cast<FxU16>((pb[i] << 8) | pb[i + 1]);
            std::memcpy(pb + i, &nTexel, 2);
        }
    }
    return 1;
}

int Gu3dfReader::ReadExactly(void* pDestination, FxU32 nBytes)
{
    return std::fread(pDestination, 1, nBytes, m_pFile) == nBytes;
}
