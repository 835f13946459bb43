// RecordingGlide.h - the recording Glide (target glide_recording): a test library with the same
// C API as glide.h. Engine tests link it instead of glide2x and look at what the engine asked of
// Glide, call by call.
//
// Every entry point of glide.h appends one RecordedCall to a single process-wide log and does
// nothing else, except the queries, which answer from RecordingGlide::Settings():
//   grSstQueryHardware / grSstQueryBoards  the board of Settings().nBoardType (one SST), or no
//                                         board (kNoBoard: num_sst = 0, QueryHardware FXFALSE)
//   grSstWinOpen                          Settings().bWinOpenResult
//   grSstScreenWidth / Height             size of the last grSstWinOpen resolution (640x480
//                                         before any open, and for resolutions without a size)
//   gu3dfGetInfo                          Settings().bGetInfoResult; on FXTRUE it fills
//                                         info->header and info->mem_required from the settings
//   gu3dfLoad                             Settings().bLoadResult; on FXTRUE it writes
//                                         info->mem_required bytes of nLoadFill into info->data
//                                         (so a too small buffer shows up under the sanitizers)
//                                         and fills info->table with nLoadFill bytes
//   guTexAllocateMemory                   Settings().nAllocateResult; every call that returns a
//                                         handle other than GR_NULL_MIPMAP_HANDLE counts in
//                                         AllocationCount()
//   guTexGetCurrentMipMap                 the handle of the last guTexSource (initially
//                                         GR_NULL_MIPMAP_HANDLE)
//   guTexMemQueryAvail                    Settings().nTexMemAvail
//   grLfbReadRegion                       Settings().bLfbReadResult; on FXTRUE it writes
//                                         src_width x src_height 16-bit pixels, row y at
//                                         dst_data + y * dst_stride; pixel (x, y) of the region
//                                         is pfnLfbPixel(src_x + x, src_y + y), or nLfbFill when
//                                         pfnLfbPixel is null
//   grGlideGetVersion                     writes "Glide Version 2.2 (recording)"
//   guEndianSwapBytes / Words             the swapped value
//   everything else                       FXTRUE for FxBool results, 0 for numbers, null for
//                                         pointers; output structures are zero-filled
// grDrawTriangle also copies its three vertices into Triangles(), so a test can inspect them
// after the engine's own vertex storage has been reused.
//
// Canonical call text: the name, then every argument in order, comma-separated, no spaces:
// integers in decimal (unsigned values as unsigned), floats with up to 9 significant digits
// ("%.9g"), C strings (const char* arguments: file names) quoted, other pointers as "null" or
// "ptr". Example: grSstWinOpen(0,7,0,2,0,2,0), gu3dfGetInfo("tex.3df",ptr),
// grDrawTriangle(ptr,ptr,ptr), grTexLodBiasValue(0,0.5).
//
// Owner: the test that links glide_recording. Lifecycle: Reset() in each test's set-up clears
// the log, the triangles, the counters and the settings. Single-threaded, like the engine.
#pragma once

#include <glide.h>
#include <string>
#include <vector>

// One Glide call as the engine made it.
struct RecordedCall
{
    std::string name;                  // "grSstWinOpen"
    std::string text;                  // canonical text, see above
    std::vector<double> args;          // every argument in call order; integers and floats by
                                       // value (exact), pointers and strings as 0 (null) or 1
    std::vector<const void*> pointers; // the pointer and string arguments in call order
    std::vector<std::string> strings;  // the C-string arguments in call order
};

// The three vertices of one grDrawTriangle, copied at the call.
struct RecordedTriangle
{
    GrVertex v[3];
};

// The answers the recording Glide gives; Reset() restores these defaults.
struct RecordingGlideSettings
{
    enum
    {
        kNoBoard = -1
    };
    int nBoardType = GR_SSTTYPE_VOODOO; // or kNoBoard
    FxBool bWinOpenResult = FXTRUE;
    FxBool bGetInfoResult = FXTRUE;
    Gu3dfHeader getInfoHeader = {256, 256, GR_LOD_1, GR_LOD_256, GR_ASPECT_1x1, GR_TEXFMT_RGB_565};
    FxU32 nGetInfoMemRequired = 174762; // rgb565, 256..1, 1:1
    FxBool bLoadResult = FXTRUE;
    FxU8 nLoadFill = 0x5A;
    GrMipMapId_t nAllocateResult = 0;
    FxU32 nTexMemAvail = 2u << 20;
    FxBool bLfbReadResult = FXTRUE;
    FxU16 nLfbFill = 0;
    FxU16 (*pfnLfbPixel)(FxU32 x, FxU32 y) = nullptr;
};

class RecordingGlide
{
  public:
    // Clears the log, the triangles and the counters, and restores the default settings.
    static void Reset();
    // Clears the log and the triangles only (settings and counters stay).
    static void Clear();

    static RecordingGlideSettings& Settings();

    // The whole log in call order.
    static const std::vector<RecordedCall>& Calls();
    // The calls of one name, in call order.
    static std::vector<RecordedCall> CallsNamed(const char* pchName);
    // How many calls of that name were made.
    static int CountOf(const char* pchName);
    // The canonical texts of the whole log, in call order.
    static std::vector<std::string> Texts();
    // The names of the whole log, in call order.
    static std::vector<std::string> Names();

    // The vertices of every grDrawTriangle, in call order.
    static const std::vector<RecordedTriangle>& Triangles();
    // guTexAllocateMemory calls that returned a handle since the last Reset().
    static int AllocationCount();

    // Used by the entry points themselves.
    static void Append(RecordedCall&& call);
    static void AppendTriangle(const GrVertex* pA, const GrVertex* pB, const GrVertex* pC);
    static void CountAllocation();
    static GrMipMapId_t& CurrentMipMap();
    static GrScreenResolution_t& OpenResolution();
};
