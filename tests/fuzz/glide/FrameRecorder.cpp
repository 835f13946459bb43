// FrameRecorder: every buffer at every frame point, recorded once and compared per pass.
#include "FrameRecorder.h"
#include <cstdio>
#include <cstring>

namespace
{
const GrBuffer_t kBuffers[3] = {GR_BUFFER_FRONTBUFFER, GR_BUFFER_BACKBUFFER, GR_BUFFER_AUXBUFFER};
const char* const kBufferNames[3] = {"front", "back", "aux"};
} // namespace

void FrameRecorder::BeginPass(bool bRecord, const std::string& strPass)
{
    m_bRecording = bRecord;
    m_strPass = strPass;
    m_nNext = 0;
    if (bRecord)
    {
        m_strRecordedPass = strPass;
        m_nRecorded = 0;
    }
}

void FrameRecorder::Read(Frame* pFrame)
{
    pFrame->nWidth = grSstScreenWidth();
    pFrame->nHeight = grSstScreenHeight();
    const size_t nPixels = size_t(pFrame->nWidth) * pFrame->nHeight;
    if (nPixels > pFrame->nCapacity)
    {
        for (std::unique_ptr<std::uint16_t[]>& pPixels : pFrame->apPixels)
            pPixels.reset(new std::uint16_t[nPixels]);
        pFrame->nCapacity = nPixels;
    }
    for (int i = 0; i < 3; ++i)
        pFrame->abPresent[i] =
            nPixels != 0 &&
            grLfbReadRegion(kBuffers[i], 0, 0, pFrame->nWidth, pFrame->nHeight, pFrame->nWidth * 2,
                            pFrame->apPixels[i].get()) != FXFALSE;
}

void FrameRecorder::Capture(const char* pchWhen)
{
    if (m_bRecording)
    {
        if (m_nRecorded == m_Frames.size())
            m_Frames.emplace_back();
        Frame& frame = m_Frames[m_nRecorded++];
        frame.strWhen = pchWhen;
        Read(&frame);
        return;
    }
    m_Scratch.strWhen = pchWhen;
    Read(&m_Scratch);
    if (m_nNext >= m_nRecorded)
        Fail(m_Scratch, "a frame point the recorded pass did not reach");
    Compare(m_Scratch, m_Frames[m_nNext++]);
}

void FrameRecorder::EndPass()
{
    if (!m_bRecording && m_nNext != m_nRecorded)
    {
        Frame frame;
        frame.strWhen = "end of input";
        Fail(frame, "fewer frame points than the recorded pass");
    }
}

void FrameRecorder::Compare(const Frame& frame, const Frame& recorded) const
{
    if (frame.nWidth != recorded.nWidth || frame.nHeight != recorded.nHeight)
        Fail(frame, "another screen size than the recorded pass");
    for (int i = 0; i < 3; ++i)
    {
        if (frame.abPresent[i] != recorded.abPresent[i])
            Fail(frame, "another set of buffers than the recorded pass");
        if (!frame.abPresent[i])
            continue;
        const std::uint16_t* now = frame.apPixels[i].get();
        const std::uint16_t* then = recorded.apPixels[i].get();
        const size_t nPixels = size_t(frame.nWidth) * frame.nHeight;
        // The pixel loop below only runs to name the first difference: it is instrumented for
        // coverage like all harness code, and far too slow for every frame.
        if (std::memcmp(now, then, nPixels * sizeof(std::uint16_t)) == 0)
            continue;
        for (size_t n = 0; n < nPixels; ++n)
        {
            if (now[n] == then[n])
                continue;
            std::fprintf(stderr,
                         "fuzz-glide: %s: %s buffer pixel (%u, %u) is 0x%04x with %s but 0x%04x "
                         "with %s\n",
                         frame.strWhen.c_str(), kBufferNames[i], unsigned(n % frame.nWidth),
                         unsigned(n / frame.nWidth), now[n], m_strPass.c_str(), then[n],
                         m_strRecordedPass.c_str());
            __builtin_trap();
        }
    }
}

void FrameRecorder::Fail(const Frame& frame, const char* pchWhat) const
{
    std::fprintf(stderr, "fuzz-glide: %s: %s (%s against %s)\n", frame.strWhen.c_str(), pchWhat,
                 m_strPass.c_str(), m_strRecordedPass.c_str());
    __builtin_trap();
}
