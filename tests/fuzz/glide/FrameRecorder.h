// FrameRecorder: the differential half of fuzz-glide. The first pass over an input records every
// buffer (front, back, auxiliary) at each frame point (after each swap and at the end); every
// later pass, drawn with other RenderOptions, compares its buffers at the same points with the
// recording and traps on the first pixel that differs, after printing where, which buffer, both
// values and both passes' options.
//
// Only glide.h reads the pixels (grLfbReadRegion), so the check holds whatever pipeline, kernels
// or thread count draw them. One recorder serves every input of a process.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <glide.h>

class FrameRecorder
{
  public:
    // bRecord: this pass is the one the others are held to. strPass names its options.
    void BeginPass(bool bRecord, const std::string& strPass);
    // Reads the open board's buffers (or notes that none is open) and records or compares them.
    void Capture(const char* pchWhen);
    // Traps when a compared pass reached fewer or more frame points than the recording.
    void EndPass();

  private:
    // One frame point's buffers. The pixel memory is kept from input to input (fresh blocks of
    // this size cost a page fault a page) and left uninitialised until read: harness loops, a
    // vector's fill among them, are instrumented too and far too slow for whole frames.
    struct Frame
    {
        std::string strWhen;
        FxU32 nWidth = 0;
        FxU32 nHeight = 0;
        bool abPresent[3] = {false, false, false};
        std::unique_ptr<std::uint16_t[]> apPixels[3];
        size_t nCapacity = 0;
    };
    static void Read(Frame* pFrame);
    void Compare(const Frame& frame, const Frame& recorded) const;
    [[noreturn]] void Fail(const Frame& frame, const char* pchWhat) const;

    bool m_bRecording = true;
    std::string m_strPass;
    std::string m_strRecordedPass;
    std::vector<Frame> m_Frames; // the first m_nRecorded hold the recorded pass
    size_t m_nRecorded = 0;
    size_t m_nNext = 0;
    Frame m_Scratch; // a compared pass's frame
};
