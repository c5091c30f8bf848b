#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "port/os/MessageBox.h"

namespace {
std::string gShown;
std::string gLogged;

void Present(const char* text, const char* caption) {
    gShown = std::string(caption) + "|" + text;
}
void Record(const char* text, const char* caption) {
    gLogged = std::string(caption) + "|" + text;
}

// Sets the environment variables that decide attended or not; restores them.
class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        gShown.clear();
        gLogged.clear();
        SetMessageBoxPresenter(&Present);
        SetMessageBoxLogSink(&Record);
    }
    void TearDown() override {
        for (size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i])
                ::setenv(kNames[i], saved_[i]->c_str(), 1);
            else
                ::unsetenv(kNames[i]);
        }
        SetMessageBoxPresenter(nullptr);
        SetMessageBoxLogSink(nullptr);
    }
    static constexpr const char* kNames[] = {"CI", "SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY"};
    std::vector<std::optional<std::string>> saved_;
};

TEST_F(MessageBoxTest, DisplayWithoutCiIsAttendedAndShowsTheBox) {
    ::setenv("DISPLAY", ":0", 1);
    EXPECT_FALSE(IsUnattendedRun());
    ShowMessageBox("text", "Caption");
    EXPECT_EQ(gShown, "Caption|text");
    EXPECT_EQ(gLogged, "");
}

TEST_F(MessageBoxTest, EachUnattendedSignWritesToLogInsteadOfShowing) {
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {{"CI", "true"}, {"SDL_VIDEODRIVER", "offscreen"}, {"SDL_VIDEODRIVER", "dummy"}};
    for (const Case& c : cases) {
        ::setenv("DISPLAY", ":0", 1);
        ::setenv(c.name, c.value, 1);
        EXPECT_TRUE(IsUnattendedRun()) << c.name;
        gShown.clear();
        ShowMessageBox("Writing crash report...", "FATAL ERROR");
        EXPECT_EQ(gShown, "") << c.name;
        EXPECT_EQ(gLogged, "FATAL ERROR|Writing crash report...") << c.name;
        ::unsetenv(c.name);
    }
}

TEST_F(MessageBoxTest, NoDisplayIsUnattended) {
    EXPECT_TRUE(IsUnattendedRun());
    ::setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_FALSE(IsUnattendedRun());
}

TEST_F(MessageBoxTest, WithoutPresenterTheBoxIsWrittenEvenWhenAttended) {
    ::setenv("DISPLAY", ":0", 1);
    SetMessageBoxPresenter(nullptr);
    ShowMessageBox("no window yet", "");
    EXPECT_EQ(gLogged, "|no window yet");
}
}  // namespace
