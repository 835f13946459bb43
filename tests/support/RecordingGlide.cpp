// RecordingGlide.cpp - the log and settings behind the recording Glide's entry points
// (RecordingGlideApi.cpp). See RecordingGlide.h for what each query answers.
#include "RecordingGlide.h"

#include <cstring>
#include <utility>

namespace
{
// Every piece of state lives in one function-local object so that it exists before the first
// call from any test, whatever the order of static initialisation.
struct RecordingState
{
    std::vector<RecordedCall> calls;
    std::vector<RecordedTriangle> triangles;
    RecordingGlideSettings settings;
    int nAllocations = 0;
    GrMipMapId_t currentMipMap = GR_NULL_MIPMAP_HANDLE;
    GrScreenResolution_t openResolution = GR_RESOLUTION_NONE;
};

RecordingState& State()
{
    static RecordingState s_state;
    return s_state;
}
} // namespace

void RecordingGlide::Reset()
{
    State() = RecordingState();
}

void RecordingGlide::Clear()
{
    State().calls.clear();
    State().triangles.clear();
}

RecordingGlideSettings& RecordingGlide::Settings()
{
    return State().settings;
}

const std::vector<RecordedCall>& RecordingGlide::Calls()
{
    return State().calls;
}

std::vector<RecordedCall> RecordingGlide::CallsNamed(const char* pchName)
{
    std::vector<RecordedCall> named;
    for (const RecordedCall& call : State().calls)
    {
        if (call.name == pchName)
        {
            named.push_back(call);
        }
    }
    return named;
}

int RecordingGlide::CountOf(const char* pchName)
{
    int nCount = 0;
    for (const RecordedCall& call : State().calls)
    {
        nCount += call.name == pchName ? 1 : 0;
    }
    return nCount;
}

std::vector<std::string> RecordingGlide::Texts()
{
    std::vector<std::string> texts;
    for (const RecordedCall& call : State().calls)
    {
        texts.push_back(call.text);
    }
    return texts;
}

std::vector<std::string> RecordingGlide::Names()
{
    std::vector<std::string> names;
    for (const RecordedCall& call : State().calls)
    {
        names.push_back(call.name);
    }
    return names;
}

const std::vector<RecordedTriangle>& RecordingGlide::Triangles()
{
    return State().triangles;
}

int RecordingGlide::AllocationCount()
{
    return State().nAllocations;
}

void RecordingGlide::Append(RecordedCall&& call)
{
    State().calls.push_back(std::move(call));
}

void RecordingGlide::AppendTriangle(const GrVertex* pA, const GrVertex* pB, const GrVertex* pC)
{
    // A null vertex is recorded as all zeros rather than dereferenced: the call itself is in
    // the log, with "null" in its text, for the test to catch.
    RecordedTriangle triangle;
    std::memset(&triangle, 0, sizeof(triangle));
    const GrVertex* apVertex[3] = {pA, pB, pC};
    for (int i = 0; i < 3; ++i)
    {
        if (apVertex[i] != nullptr)
        {
            triangle.v[i] = *apVertex[i];
        }
    }
    State().triangles.push_back(triangle);
}

void RecordingGlide::CountAllocation()
{
    ++State().nAllocations;
}

GrMipMapId_t& RecordingGlide::CurrentMipMap()
{
    return State().currentMipMap;
}

GrScreenResolution_t& RecordingGlide::OpenResolution()
{
    return State().openResolution;
}
