#include <gtest/gtest.h>

#include "shell/help_and_mixer.h"

TEST(HelpPagePath, PageLiesInHelpHtmlBesideTheProgram)
{
    char path[300];
    ASSERT_TRUE(HelpPagePath(path, sizeof(path), "D:\\Tools\\mirravox.exe", kHelpIndexPage));
    EXPECT_STREQ(path, "D:\\Tools\\help\\html\\index.html");
    EXPECT_FALSE(HelpPagePath(path, 30, "D:\\Tools\\mirravox.exe", kHelpAudioFxPage));
}
