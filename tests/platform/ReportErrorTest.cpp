#include "platform/ReportError.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ReportErrorTest, OneLineNamingTheProgramAndWhoFailed)
{
    testing::internal::CaptureStderr();
    ReportError("sdl2", "cannot open a window: %s (%d)", "no display", 2);
    EXPECT_EQ("zelk-tunnel: sdl2: cannot open a window: no display (2)\n",
              testing::internal::GetCapturedStderr());

    // However long the message, still one line.
    testing::internal::CaptureStderr();
    ReportError("foreign-x11", "%s", std::string(4000, 'x').c_str());
    const std::string line = testing::internal::GetCapturedStderr();
    EXPECT_EQ(0u, line.find("zelk-tunnel: foreign-x11: xxx"));
    EXPECT_EQ(line.size() - 1, line.find('\n'));
}

}  // namespace
