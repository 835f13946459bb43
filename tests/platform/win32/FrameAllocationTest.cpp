// The calls a frame makes (device contexts, blits, the look at the queue, the counter) allocate
// nothing once the first frames have sized what they need: the engine's frames allocate
// nothing, and the stand-in must not either.
// The program links the counting operator new (AllocationCounter).
#include "StandInFixture.h"

#include "AllocationCounter.h"

namespace
{

class FrameAllocationTest : public StandInTest
{
};

struct Info565
{
    BITMAPINFOHEADER header;
    DWORD adwMasks[3];
};

TEST_F(FrameAllocationTest, SteadyFramesAllocateNothing)
{
    HWND hWnd = CreateRecordedWindow(800, 600);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    HDC hKept = GetDC(hWnd); // the display keeps one for its whole run
    Info565 info = {};
    info.header = {sizeof(BITMAPINFOHEADER), 640, -480, 1, 16, BI_BITFIELDS, 0, 0, 0, 0, 0};
    info.adwMasks[0] = 0xF800;
    info.adwMasks[1] = 0x07E0;
    info.adwMasks[2] = 0x001F;
    void* pMirror = nullptr;
    HDC hMemory = CreateCompatibleDC(nullptr);
    HBITMAP hBitmap = CreateDIBSection(hMemory, reinterpret_cast<BITMAPINFO*>(&info),
                                       DIB_RGB_COLORS, &pMirror, nullptr, 0);
    HGDIOBJ hPrevious = SelectObject(hMemory, hBitmap);
    std::vector<uint16_t> frame(640 * 480, 0x1234);
    auto OneFrame = [&]
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            GetMessageA(&msg, nullptr, 0, 0);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        HDC hdc = GetDC(hWnd); // the Glide output: bars and the scaled frame
        PatBlt(hdc, 0, 0, 800, 0, BLACKNESS);
        StretchDIBits(hdc, 0, 0, 800, 600, 0, 0, 640, 480, frame.data(),
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
        ReleaseDC(hWnd, hdc);
        hdc = GetDC(hWnd); // the mirror
        BitBlt(hdc, 0, 0, 640, 480, hMemory, 0, 0, SRCCOPY);
        ReleaseDC(hWnd, hdc);
    };
    for (int i = 0; i < 3; ++i)
        OneFrame();
    AllocationCounter::Start();
    int* volatile pProbe = new int(1); // the counter itself counts
    delete pProbe;
    AllocationCounter::Stop();
    ASSERT_EQ(AllocationCounter::GetAllocations(), 1);
    AllocationCounter::Start();
    for (int i = 0; i < 10; ++i)
        OneFrame();
    AllocationCounter::Stop();
    EXPECT_EQ(AllocationCounter::GetAllocations(), 0);
    SelectObject(hMemory, hPrevious);
    DeleteObject(hBitmap);
    DeleteDC(hMemory);
    ReleaseDC(hWnd, hKept);
}

} // namespace
