// Where a help page lies.
#include <gtest/gtest.h>

#include "app/help_path.h"

namespace {

TEST(HelpPagePath, PageLiesInHelpHtmlBesideTheProgram)
{
    char path[300];
    ASSERT_TRUE(HelpPagePath(path, sizeof(path), "D:\\Tools\\mirravox.exe", kHelpIndexPage));
    EXPECT_STREQ(path, "D:\\Tools\\help\\html\\index.html");
    ASSERT_TRUE(HelpPagePath(path, sizeof(path), "C:\\Program Files\\Keldane\\mirravox.exe", kHelp3DAudioPage));
    EXPECT_STREQ(path, "C:\\Program Files\\Keldane\\help\\html\\hid_3daudio.htm");
    EXPECT_FALSE(HelpPagePath(path, 30, "D:\\Tools\\mirravox.exe", kHelpAudioFxPage));
}

} // namespace
