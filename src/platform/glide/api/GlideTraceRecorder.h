// GlideTraceRecorder: writes every Glide call that changes what is drawn to a trace file
// (docs/trace-format.md), so that a replay can draw the same frames without the program.
//
// API half; at most one per process. It starts at grGlideInit when GLIDE_SW_TRACE names a file,
// or when a tool calls Start (the capture tool, for a stretch of scene time); it ends at Stop or
// when the process ends. Entry points reach it through their GLIDE_TRACE line
// (GlideTraceScope.h), which records only the program's own call: the calls an entry point
// makes to other entry points (grSstWinOpen's state reset, the gu functions' gr calls) are
// replayed by replaying the outer call. Each record method reads only the memory its call is
// given (the vertices, levels, rows, tables or pixels its arguments describe), and only when the
// call's own checks let it read; a call that draws or changes nothing is not recorded.
//
// A trace started with bPixels false records state only (the board, its state, textures and
// tables) until BeginPixels, which writes the buffers' contents and then records everything:
// that way a trace of frames in the middle of a run replays them exactly.
//
// Per frame: one record per state call, triangle, clear and swap; a flush at every swap.
#pragma once
#include "FrameBuffer.h"
#include "TraceFormat.h"
#include "TraceWriter.h"
#include "Types.h"
#include <glide.h>
#include <string>
#include <type_traits>

class GlideTraceRecorder
{
  public:
    static GlideTraceRecorder* Active() { return s_pActive; }
    // Starts a trace into pchPath; false with the reason (also when one is being written).
    static bool Start(const char* pchPath, bool bPixels, std::string* pError);
    // At grGlideInit: starts a trace when GLIDE_SW_TRACE names a file and none is running.
    static void StartFromEnvironment();
    // Ends the trace and closes its file; false with the reason if any write failed.
    static bool Stop(std::string* pError);

    // Writes the buffers of an open board and records pixel calls from now on.
    void BeginPixels();
    // A line of text for the replay (the capture tool's frame clock).
    void Marker(const char* pchText);

    // One level deeper into Glide; true when this is the program's own call.
    bool Enter() { return m_nDepth++ == 0; }
    void Leave() { --m_nDepth; }

    // A call whose arguments are integers, enumerations, floats and GrTexInfo pointers (as the
    // texture's shape, five words), in their order.
    template <typename... Args> void Record(TraceCall eCall, Args... args)
    {
        if (!Wants(eCall))
            return;
        m_Writer.Begin(eCall);
        (Put(args), ...);
        End();
    }
    void GlideInit();
    void GlideShutdown();
    void SstWinOpen(bool bWindow, GrScreenResolution_t eResolution, GrScreenRefresh_t eRefresh,
                    GrColorFormat_t eColorFormat, GrOriginLocation_t eOrigin, int nColorBuffers,
                    int nAuxBuffers);
    void GlideSetState(const GrState* pState);
    void FogTable(const GrFog_t* pTable);
    void LfbWriteRegion(GrBuffer_t eBuffer, FxU32 x, FxU32 y, GrLfbSrcFmt_t eFormat, FxU32 nWidth,
                        FxU32 nHeight, FxI32 nStride, const void* pData);
    // After the unlock: the call, then the pixels of the buffers a write lock may have changed.
    void LfbUnlock(GrLock_t eType, GrBuffer_t eBuffer);
    void BufferSwap(int nInterval);

    // Points, lines and triangles: nCount (1..3) vertices, each non-null.
    void Draw(TraceCall eCall, const GrVertex* a, const GrVertex* b = nullptr,
              const GrVertex* c = nullptr);
    void AADrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, FxBool bAB,
                        FxBool bBC, FxBool bCA);
    // Polygons: pnIndices (or 0..nCount-1 when null) into pVertices.
    void DrawPolygon(TraceCall eCall, int nCount, const int* pnIndices, const GrVertex* pVertices);

    void TexDownloadMipMap(GrChipID_t tmu, FxU32 nAddress, FxU32 nEvenOdd, const GrTexInfo* pInfo);
    void TexDownloadMipMapLevelPartial(TraceCall eCall, GrChipID_t tmu, FxU32 nAddress,
                                       GrLOD_t eLod, GrLOD_t eLargeLod, GrAspectRatio_t eAspect,
                                       GrTextureFormat_t eFormat, FxU32 nEvenOdd, const void* pData,
                                       int nStart, int nEnd);
    void TexDownloadTablePartial(TraceCall eCall, GrChipID_t tmu, GrTexTable_t eType,
                                 const void* pData, int nStart, int nEnd);
    void GuTexDownloadMipMap(GrMipMapId_t id, const void* pSource, const GuNccTable* pTable);
    void GuTexDownloadMipMapLevel(GrMipMapId_t id, GrLOD_t eLod, const void* const* ppSource);

  private:
    // A BufferImage record: every pixel of one buffer as it is.
    void WriteBufferImage(GrBuffer_t eBuffer, BufferId eId);
    GlideTraceRecorder() = default;

    // False for a pixel call before BeginPixels, and after a failed write.
    bool Wants(TraceCall eCall) const;
    void End();
    template <typename T> std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>> Put(T value)
    {
        m_Writer.Word(UInt32(value));
    }
    void Put(float fValue) { m_Writer.Float(fValue); }
    void Put(double dValue) { m_Writer.Float(float(dValue)); }
    void PutVertex(const GrVertex& vertex);
    void Put(const GrTexInfo* pInfo);

    static GlideTraceRecorder* s_pActive;
    TraceWriter m_Writer;
    Int32 m_nDepth = 0;
    bool m_bPixels = true;
    bool m_bReported = false;
};
