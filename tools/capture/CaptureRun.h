// CaptureRun: runs the real engine, display, renderer, material and scene
// with no display, at a fixed time step, and keeps the frames asked for.
//
// The stand-in runs headless and its performance counter is a test clock
// that the run moves forward by exactly one step before each frame, so the
// frame timer sees exact steps and every run gives the same pictures. Swaps
// do not wait (FX_GLIDE_SWAPINTERVAL=0). The run does not take the programs'
// single-instance mutex, so it can run beside a demo or saver.
#pragma once
#include <string>
#include <vector>

#include "CaptureOptions.h"
#include "PngFile.h"
#include "Types.h"

struct CapturedFrame
{
    Int64 m_llFrame;
    double m_dTime;
    RgbImage m_Image;
};

struct CaptureResult
{
    std::vector<CapturedFrame> m_aFrames;
    Int64 m_llFramesDrawn = 0;
    double m_dDrawSeconds = 0.0;       // wall time spent inside the scene's frames
    double m_dDrawCpuSeconds = 0.0;    // processor time of the thread inside them
    double m_dFirstFrameSeconds = 0.0; // wall time from the start of the run to the first frame
};

// Runs the scene up to the last frame of rOptions; 1 on success, else 0 with
// a message for the user in rError.
Int32 RunCapture(const CaptureOptions& rOptions, CaptureResult& rResult, std::string& rError);
