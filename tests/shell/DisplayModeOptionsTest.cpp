// vellumtide's command line: which window it draws in (options against
// XSCREENSAVER_WINDOW), window ids, the other options, and the errors.
#include "DisplayModeOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct TargetCase
{
    const char* pszLine;
    const char* pszEnvironment; // XSCREENSAVER_WINDOW, or null
    Int32 nTarget;
    uint64_t uWindowId; // looked at only for TARGET_GIVEN_WINDOW
};

class DisplayModeTargetTest : public ::testing::TestWithParam<TargetCase>
{
};

TEST_P(DisplayModeTargetTest, ChoosesTheWindowToDrawIn)
{
    const TargetCase& c = GetParam();
    DisplayModeOptions options;
    ASSERT_EQ(options.Parse(c.pszLine, c.pszEnvironment), 1)
        << "line '" << c.pszLine << "': " << options.GetError();
    EXPECT_EQ(options.GetTarget(), c.nTarget) << "line '" << c.pszLine << "', XSCREENSAVER_WINDOW "
                                              << (c.pszEnvironment ? c.pszEnvironment : "(unset)");
    if (c.nTarget == DisplayModeOptions::TARGET_GIVEN_WINDOW)
    {
        EXPECT_EQ(options.GetWindowId(), c.uWindowId) << "line '" << c.pszLine << "'";
    }
}

const Int32 kOwn = DisplayModeOptions::TARGET_OWN_WINDOW;
const Int32 kGiven = DisplayModeOptions::TARGET_GIVEN_WINDOW;
const Int32 kRoot = DisplayModeOptions::TARGET_ROOT;

INSTANTIATE_TEST_SUITE_P(
    XScreenSaverConventions, DisplayModeTargetTest,
    ::testing::Values(
        // Nothing asked: XScreenSaver's window when it names one, else our own.
        TargetCase{"", nullptr, kOwn, 0}, TargetCase{"", "", kOwn, 0},
        TargetCase{"", "0x400008", kGiven, 0x400008},
        // -root is how XScreenSaver starts a display mode (rewritten as --root).
        TargetCase{"--root", "0x400008", kGiven, 0x400008},
        TargetCase{"-root", "4194312", kGiven, 4194312}, TargetCase{"-root", nullptr, kRoot, 0},
        // -window and -window-id are explicit and win over the environment.
        TargetCase{"-window", "0x400008", kOwn, 0},
        TargetCase{"--window-id 1234", "0x400008", kGiven, 1234},
        TargetCase{"-window-id 0x1F", nullptr, kGiven, 31},
        TargetCase{"--window-id 0XaBc", nullptr, kGiven, 0xABC},
        // The last of the three wins.
        TargetCase{"-window-id 5 -window", nullptr, kOwn, 0},
        TargetCase{"-root -window-id 7", "0x400008", kGiven, 7},
        TargetCase{"-window --root", nullptr, kRoot, 0},
        // Other options leave the choice alone.
        TargetCase{"-fps --board sst96", "0x2a", kGiven, 42}));

TEST(DisplayModeWindowIdTest, AcceptsDecimalAndHexadecimalIdsOfThirtyTwoBits)
{
    struct
    {
        const char* pszText;
        uint64_t uId;
    } const valid[] = {{"1", 1},        {"4194312", 4194312},        {"0x400008", 0x400008},
                       {"0X00ff", 255}, {"4294967295", 0xFFFFFFFFu}, {"0xFFFFFFFF", 0xFFFFFFFFu}};
    for (const auto& c : valid)
    {
        uint64_t uId = 0;
        EXPECT_EQ(DisplayModeOptions::ParseWindowId(c.pszText, &uId), 1) << c.pszText;
        EXPECT_EQ(uId, c.uId) << c.pszText;
    }
}

TEST(DisplayModeWindowIdTest, RefusesWhatIsNoWindowId)
{
    const char* const invalid[] = {"",      "0x",          "0",
                                   "0x0",   "12a",         "-5",
                                   "+5",    " 5",          "5 ",
                                   "0x1g",  "0x100000000", "4294967296",
                                   "0b101", "1e3",         "99999999999999999999999"};
    for (const char* pszText : invalid)
    {
        uint64_t uId = 77;
        EXPECT_EQ(DisplayModeOptions::ParseWindowId(pszText, &uId), 0) << "'" << pszText << "'";
        EXPECT_EQ(uId, 77u) << "'" << pszText << "' changed the result";
    }
    EXPECT_EQ(DisplayModeOptions::ParseWindowId(nullptr, nullptr), 0);
}

TEST(DisplayModeOptionsTest, ReadsBoardSwapIntervalFrameRateAndDisplayInEitherSpelling)
{
    DisplayModeOptions options;
    ASSERT_EQ(options.Parse("--board voodoo2 -swap-interval 0 --fps -display :7.0", nullptr), 1)
        << options.GetError();
    EXPECT_EQ(options.GetBoard(), "voodoo2");
    EXPECT_EQ(options.GetSwapInterval(), 0);
    EXPECT_TRUE(options.GetShowFrameRate());
    EXPECT_EQ(options.GetDisplay(), ":7.0");
    EXPECT_FALSE(options.GetHelp());

    ASSERT_EQ(options.Parse("-fps -no-fps -swap-interval 255 -board sst96", nullptr), 1);
    EXPECT_FALSE(options.GetShowFrameRate());
    EXPECT_EQ(options.GetSwapInterval(), 255);
    EXPECT_EQ(options.GetBoard(), "sst96");
}

TEST(DisplayModeOptionsTest, LeavesWhatIsNotGivenUnset)
{
    DisplayModeOptions options;
    ASSERT_EQ(options.Parse("   ", nullptr), 1);
    EXPECT_EQ(options.GetBoard(), "");
    EXPECT_EQ(options.GetDisplay(), "");
    EXPECT_EQ(options.GetSwapInterval(), -1);
    EXPECT_FALSE(options.GetShowFrameRate());
    // A second parse starts afresh.
    ASSERT_EQ(options.Parse("-board voodoo -fps", nullptr), 1);
    ASSERT_EQ(options.Parse("", nullptr), 1);
    EXPECT_EQ(options.GetBoard(), "");
    EXPECT_FALSE(options.GetShowFrameRate());
}

TEST(DisplayModeOptionsTest, QuotedWordsKeepTheirSpacesAndQuotes)
{
    // As the stand-in's main quotes arguments that hold spaces or quotes.
    DisplayModeOptions options;
    ASSERT_EQ(options.Parse("-display \"host name:0\"", nullptr), 1) << options.GetError();
    EXPECT_EQ(options.GetDisplay(), "host name:0");
    ASSERT_EQ(options.Parse("-display \"a\\\"b\\\\\"", nullptr), 1) << options.GetError();
    EXPECT_EQ(options.GetDisplay(), "a\"b\\");
    ASSERT_EQ(options.Parse("-display a\\\\b", nullptr), 1) << options.GetError();
    EXPECT_EQ(options.GetDisplay(), "a\\\\b");
}

TEST(DisplayModeOptionsTest, HelpNeedsNoWindow)
{
    DisplayModeOptions options;
    ASSERT_EQ(options.Parse("--help", "not-a-window"), 1) << options.GetError();
    EXPECT_TRUE(options.GetHelp());
    EXPECT_NE(std::string(DisplayModeOptions::Usage()).find("-window-id"), std::string::npos);
}

struct ErrorCase
{
    const char* pszLine;
    const char* pszEnvironment;
    const char* pszMessagePart; // the message names what was wrong
};

class DisplayModeErrorTest : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(DisplayModeErrorTest, RefusesWithAMessageThatNamesTheFault)
{
    const ErrorCase& c = GetParam();
    DisplayModeOptions options;
    EXPECT_EQ(options.Parse(c.pszLine, c.pszEnvironment), 0) << "line '" << c.pszLine << "'";
    EXPECT_NE(options.GetError().find(c.pszMessagePart), std::string::npos)
        << "line '" << c.pszLine << "': message '" << options.GetError() << "'";
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, DisplayModeErrorTest,
    ::testing::Values(ErrorCase{"-bogus", nullptr, "unknown option '-bogus'"},
                      ErrorCase{"---root", nullptr, "unknown option '---root'"},
                      ErrorCase{"root", nullptr, "unexpected argument 'root'"},
                      ErrorCase{"-", nullptr, "unexpected argument '-'"},
                      ErrorCase{"-window-id", nullptr, "needs a value"},
                      ErrorCase{"-fps -board", nullptr, "'-board' needs a value"},
                      ErrorCase{"-window-id 0", nullptr, "'0' is not a window id"},
                      ErrorCase{"-window-id -root", nullptr, "'-root' is not a window id"},
                      ErrorCase{"-board voodoo3", nullptr, "'voodoo3' is not a board"},
                      ErrorCase{"-board at3d", nullptr, "'at3d' is not a board"},
                      ErrorCase{"-swap-interval 256", nullptr, "'256' is not a swap interval"},
                      ErrorCase{"-swap-interval -1", nullptr, "'-1' is not a swap interval"},
                      ErrorCase{"-swap-interval 1.5", nullptr, "'1.5' is not a swap interval"},
                      ErrorCase{"-display \"\"", nullptr, "needs a display name"},
                      // XScreenSaver's window is checked when it would be used...
                      ErrorCase{"", "garbage", "XSCREENSAVER_WINDOW='garbage'"},
                      ErrorCase{"--root", "0x", "XSCREENSAVER_WINDOW='0x'"}));

TEST(DisplayModeOptionsTest, AnUnusedBadEnvironmentWindowIsNoError)
{
    // ...and not when -window or -window-id overrides it.
    DisplayModeOptions options;
    EXPECT_EQ(options.Parse("-window", "garbage"), 1) << options.GetError();
    EXPECT_EQ(options.Parse("-window-id 9", "garbage"), 1) << options.GetError();
    EXPECT_EQ(options.GetWindowId(), 9u);
}

} // namespace
