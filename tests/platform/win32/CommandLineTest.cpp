// The command line the stand-in's main() gives WinMain.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

struct Case
{
    std::vector<const char*> args; // after the program name
    const char* pszExpected;
};

class CommandLineTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(CommandLineTest, ArgumentsAreJoinedAndQuotedAsWindowsSplitsThem)
{
    std::vector<const char*> argv = {"/usr/bin/saver"};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    EXPECT_EQ(StandIn::BuildCommandLine(static_cast<int>(argv.size()), argv.data()),
              GetParam().pszExpected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(Case{{}, ""}, Case{{"/s"}, "/s"}, Case{{"/p", "1234"}, "/p 1234"},
                      Case{{"/c:1234"}, "/c:1234"}, Case{{"two words"}, "\"two words\""},
                      Case{{"a", "", "b"}, "a \"\" b"}, Case{{"say \"hi\""}, "\"say \\\"hi\\\"\""},
                      Case{{"C:\\dir with space\\"}, "\"C:\\dir with space\\\\\""},
                      Case{{"C:\\plain\\"}, "C:\\plain\\"}, Case{{"tab\there"}, "\"tab\there\""}));

} // namespace
