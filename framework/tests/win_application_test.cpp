#include "framework/win/Application.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(ApplicationTest, HandleExceptionPassesTheTextToOnException)
{
    std::vector<std::u16string> reported;
    Application.OnException.Bind([&](const std::u16string& message) { reported.push_back(message); });
    try {
        throw std::runtime_error("disk \xC3\xA9jected");
    } catch (...) {
        Application.HandleException(std::current_exception());
    }
    try {
        throw 42;
    } catch (...) {
        Application.HandleException(std::current_exception());
    }
    Application.OnException.Clear();
    EXPECT_EQ(reported, (std::vector<std::u16string>{u"disk \u00E9jected", u"Unknown exception"}));
}

} // namespace
