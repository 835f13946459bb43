// MessageBoxA without a display, and the test API that watches and answers boxes.
#include "StandInFixture.h"

namespace
{

class MessageBoxTest : public StandInTest
{
};

TEST_F(MessageBoxTest, WithoutADisplayTheBoxGoesToStandardErrorAndAnswersAtOnce)
{
    ::testing::internal::CaptureStderr();
    int nResult = MessageBoxA(nullptr, "Bad command line parameters.\nParams: /a", "Error", MB_OK);
    std::string strError = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(strError, "Error: Bad command line parameters.\nParams: /a\n");
}

TEST_F(MessageBoxTest, DefaultButtonOfEachTypeAnswersWithoutADisplay)
{
    struct Case
    {
        UINT uType;
        int nExpected;
    } aCases[] = {{MB_OK, IDOK},
                  {MB_OKCANCEL, IDOK},
                  {MB_YESNO, IDYES},
                  {MB_YESNOCANCEL, IDYES},
                  {MB_RETRYCANCEL, IDRETRY},
                  {MB_ABORTRETRYIGNORE, IDABORT},
                  {MB_YESNO | 0x100, IDNO},
                  {MB_OK | MB_ICONERROR, IDOK}};
    for (const Case& c : aCases)
    {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(MessageBoxA(nullptr, "t", "c", c.uType), c.nExpected)
            << "type 0x" << std::hex << c.uType;
        ::testing::internal::GetCapturedStderr();
    }
}

TEST_F(MessageBoxTest, EveryBoxIsRecordedAndAHookAnswersInsteadOfShowing)
{
    HWND hOwner = CreateRecordedWindow();
    std::vector<StandInMessageBox> seen;
    StandIn_SetMessageBoxHook(
        [&](const StandInMessageBox& box)
        {
            seen.push_back(box);
            return IDCANCEL;
        });
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(hOwner, "text", "Configuration", MB_OK | MB_ICONERROR), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_OK), IDCANCEL);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "a hooked box is not printed";
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].hOwner, hOwner);
    EXPECT_EQ(seen[0].strCaption, "Configuration");
    EXPECT_EQ(seen[0].strText, "text");
    EXPECT_EQ(seen[0].uFlags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(seen[1].strCaption, "Error") << "a null caption is Windows' default";
    EXPECT_EQ(seen[1].strText, "");
    std::vector<StandInMessageBox> recorded = StandIn_GetMessageBoxes();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].strCaption, "Configuration");
    StandIn_ClearMessageBoxes();
    EXPECT_TRUE(StandIn_GetMessageBoxes().empty());
    StandIn_SetMessageBoxHook(nullptr);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK), IDOK) << "the hook is gone";
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(StandIn_GetMessageBoxes().size(), 1u);
}

TEST_F(MessageBoxTest, ResetForgetsHookAndRecords)
{
    StandIn_SetMessageBoxHook([](const StandInMessageBox&) { return IDNO; });
    MessageBoxA(nullptr, "x", "y", MB_OK);
    StandIn_Reset();
    EXPECT_TRUE(StandIn_GetMessageBoxes().empty());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK), IDOK);
    ::testing::internal::GetCapturedStderr();
}

TEST_F(MessageBoxTest, HeadlessIsReportedAndWindowsStayObjects)
{
    EXPECT_TRUE(StandIn_IsHeadless());
    HWND hWnd = CreateRecordedWindow(32, 16);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    std::vector<uint32_t> pixels;
    int nWidth = 0, nHeight = 0;
    ASSERT_TRUE(StandIn_ReadWindowPixels(hWnd, pixels, nWidth, nHeight));
    EXPECT_EQ(nWidth, 32);
    EXPECT_EQ(nHeight, 16);
    EXPECT_EQ(pixels.size(), 512u);
}

} // namespace
