// Gu3dfReader.h - reads one .3df texture file for gu3dfGetInfo and gu3dfLoad
// (glide-reference.md §8).
//
// Every read is bounded: the header is read into a fixed 100-byte buffer, the table into a fixed
// buffer, and the texels into the caller's buffer only after the file's real size has been found
// equal to what the header describes (header + table + every level, nothing more). A truncated
// file, one with bytes after its last level, an unknown format, or a header that is not exactly
// the .3df pattern is refused before anything is read into or allocated for texels.
//
// Owner: gu3dfGetInfo/gu3dfLoad create one on the stack per call (or a test, or the fuzz target,
// around a stream of its own). Lifecycle: Open or Attach, ReadInfo, then Load; Close or the
// destructor closes a file that Open opened. Runs at texture load time, never per frame.
#pragma once

#include <cstdio>

#include <glide.h>

#include "Gu3dfFormat.h"

class Gu3dfReader
{
  public:
    Gu3dfReader();
    ~Gu3dfReader();
    Gu3dfReader(const Gu3dfReader&) = delete;
    Gu3dfReader& operator=(const Gu3dfReader&) = delete;

    // Opens the file in binary mode; the reader closes it. Returns 0 if it cannot be opened.
    int Open(const char* pchPath);
    // Reads from a stream the caller owns and keeps open (must be seekable).
    void Attach(FILE* pFile);
    void Close();

    // Reads and checks the header and the file size; fills pInfo->header and
    // pInfo->mem_required (the other fields are not touched). Returns 0 for a file that is not
    // a complete, valid .3df file.
    int ReadInfo(Gu3dfInfo* pInfo);
    // Reads the table (NCC or palette) into pInfo->table and every level into pInfo->data
    // (16-bit texels converted to host order). pInfo must describe this very file, as
    // ReadInfo gives it, and pInfo->data must hold pInfo->mem_required bytes; otherwise, and for
    // any short read, returns 0. Calls ReadInfo first if that has not been done.
    int Load(Gu3dfInfo* pInfo);

  private:
    int ReadHeaderText();
    int CheckFileSize() const;
    int MatchesFile(const Gu3dfInfo& info) const;
    int ReadTable(GuTexTable* pTable);
    int ReadTexels(void* pData);
    int ReadExactly(void* pDestination, FxU32 nBytes);

    FILE* m_pFile;
    int m_bOwnsFile;
    int m_bInfoRead;
    char m_achHeader[Gu3dfFormat::kMaxHeaderBytes + 1];
    FxU32 m_nHeaderBytes;
    Gu3dfHeader m_header;
    FxU32 m_nTableBytes;
    FxU32 m_nTexelBytes;
};
