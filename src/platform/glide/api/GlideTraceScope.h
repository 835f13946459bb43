// GlideTraceScope: the one line at the top of every entry point that changes what is drawn.
//
//     GLIDE_TRACE(Record(TraceCall::CullMode, mode));
//
// With no trace running it costs a load and a test of the recorder pointer on the way in and a
// test on the way out. With one running, it marks the call as entered for its duration, and the
// recorder method runs only for the program's own call, not for the calls entry points make to
// each other (see GlideTraceRecorder.h).
#pragma once
#include "GlideTraceRecorder.h"

class GlideTraceScope
{
  public:
    GlideTraceScope() : m_pRecorder(GlideTraceRecorder::Active())
    {
        if (m_pRecorder)
            m_bOutermost = m_pRecorder->Enter();
    }
    ~GlideTraceScope()
    {
        if (m_pRecorder)
            m_pRecorder->Leave();
    }
    GlideTraceScope(const GlideTraceScope&) = delete;
    GlideTraceScope& operator=(const GlideTraceScope&) = delete;

    bool Records() const { return m_bOutermost; }
    GlideTraceRecorder& Recorder() const { return *m_pRecorder; }

  private:
    GlideTraceRecorder* m_pRecorder;
    bool m_bOutermost = false;
};

// A scope object and, for the program's own call, the recorder method given.
#define GLIDE_TRACE(call)                                                                          \
    const GlideTraceScope glideTraceScope;                                                         \
    if (glideTraceScope.Records())                                                                 \
    glideTraceScope.Recorder().call
