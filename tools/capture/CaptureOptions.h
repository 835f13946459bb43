// CaptureOptions: the capture tool's command line.
//
//   vellumtide-capture [--out DIR] [--at T1,T2,...] [--seconds N --every S]
//                      [--step A/B | --step X] [--sheet] [--compare DIR]
//                      [--trace FILE [--trace-from S] --trace-to S]
//
// Times are scene times in seconds (the scene's timer starts at 0 when the
// scene is created); frame k of the run is drawn at time k * step.
#pragma once
#include <string>
#include <vector>

#include "Types.h"

struct CaptureOptions
{
    std::string m_strOutDir = "capture";
    // The frame step as a fraction, so frame times are exact: 1/30 s.
    Int64 m_llStepNumerator = 1;
    Int64 m_llStepDenominator = 30;
    // Frame numbers (k >= 1) to write, ascending and without repeats.
    std::vector<Int64> m_allFrames;
    Int32 m_bSheet = 0;
    // When set, every written frame is compared pixel for pixel with the
    // file of the same name in this folder.
    std::string m_strCompareDir;
    // When set, the Glide calls of frames m_llTraceFrom..m_llTraceTo are written to this file
    // (GlideTraceRecorder), so that glide-replay draws those frames exactly.
    std::string m_strTracePath;
    Int64 m_llTraceFrom = 0;
    Int64 m_llTraceTo = 0;
    Int32 m_bHelp = 0;
};

// Parses argv[1..]; returns 1, or 0 with a message for the user in rError.
Int32 ParseCaptureOptions(int argc, char** argv, CaptureOptions& rOptions, std::string& rError);

// The usage text printed for --help and after a bad command line.
const char* CaptureUsage();

// The frame number nearest to scene time fSeconds with the options' step.
Int64 FrameForTime(const CaptureOptions& rOptions, double dSeconds);

// The scene time of frame k, in seconds.
double TimeOfFrame(const CaptureOptions& rOptions, Int64 llFrame);

// The last frame the run draws: the last one written or traced.
Int64 LastFrame(const CaptureOptions& rOptions);

// The picture file of the frame drawn at scene time dSeconds: frame-<seconds, 3 places>s.png.
std::string FrameFileName(double dSeconds);
