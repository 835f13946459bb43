// TracePlayer: makes the Glide call of each trace record, with the arguments it was made with.
//
// Owner: glide-replay, one per run. Records come from a TraceReader, which has checked their
// layout; the player passes memory the calls read from its own buffers, sized for the most
// any call of that kind can read and zero beyond the recorded data, so no record, however
// damaged its values, makes a call read outside them. The window is always 0 (no window: the
// board's own output, which the headless replay does not show); swaps never wait
// (FX_GLIDE_SWAPINTERVAL=0). Per record: Play. Between repetitions: Reset.
// Pixels drawn are grSstPerfStats' pixelsOut; frames are read back with grLfbReadRegion.
#pragma once
#include <glide.h>

#include <map>
#include <memory>
#include <vector>

#include "ReplayTarget.h"
#include "TraceReader.h"
#include "Types.h"

class TracePlayer : public ReplayTarget
{
  public:
    TracePlayer();

    // Makes the record's call.
    void Play(const TraceRecord& rRecord) override;
    Int64 TakePixelCount() override;
    Int32 ReadFrame(RgbImage& rImage) override;
    // Shuts Glide down and forgets the tables and locks of the run.
    void Reset() override;

  private:
    void PlayDraw(const TraceRecord& rRecord);
    void PlayBuffer(const TraceRecord& rRecord);
    void PlayTexture(const TraceRecord& rRecord);
    void PlayTable(const TraceRecord& rRecord);
    void PlayGu(const TraceRecord& rRecord);
    void PlayState(const TraceRecord& rRecord);
    void PlayBoard(const TraceRecord& rRecord);

    // A zeroed buffer of nBytes with the record's data copied in at nOffset.
    Byte* Scratch(const TraceRecord& rRecord, size_t nBytes, size_t nOffset = 0);
    const GrVertex* Vertices(const TraceRecord& rRecord);

    std::vector<Byte> m_abScratch;
    std::vector<GrVertex> m_aVertices;
    std::vector<int> m_anIndices;
    // One table per address the program downloaded tables from: the same address again is
    // the same pointer again (grTexDownloadTable skips a repeated NCC table).
    std::map<UInt64, std::unique_ptr<GuTexTable>> m_Tables;
    Int32 m_bReportedOpen;
};
