// The clipboard on the SDL backend under a real X server (run by CTest under xvfb-run): the
// text set is read back through SDL and through xclip in a child process, first from the
// platform alone and then from the orva program with --text-out clipboard. The X clipboard is
// served by its owner while it runs, so the owner keeps pumping events while xclip asks.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <SDL.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "fixtures/script_game.h"
#include "platform/sdl/sdl_platform.h"

extern char** environ;

namespace orva {
namespace {

constexpr int kHangGuardMs = 20000;  // only so that a fault cannot hang the suite

struct NoEvents : PlatformEvents {
    void OnMouseDown(WindowId, MouseButton, Point) override {}
    void OnMouseUp(WindowId, MouseButton, Point) override {}
    void OnMouseWheel(WindowId, int) override {}
    void OnTextInput(const std::string&) override {}
    void OnCloseRequest() override {}
};

// Runs `xclip -o -selection clipboard` and returns what it printed (empty when it failed),
// calling `meanwhile` until it has finished.
std::string XclipOutput(const std::function<void()>& meanwhile) {
    int out[2];
    if (::pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string xclip = "xclip", o = "-o", sel = "-selection", clip = "clipboard";
    char* argv[] = {xclip.data(), o.data(), sel.data(), clip.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "xclip", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    if (spawned != 0) {
        ::close(out[0]);
        return {};
    }
    ::fcntl(out[0], F_SETFL, O_NONBLOCK);
    std::string text;
    int status = 0;
    bool exited = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangGuardMs);
    for (;;) {
        char buf[4096];
        ssize_t n;
        while ((n = ::read(out[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<size_t>(n));
        if (exited) break;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            continue;  // one more read for what it wrote last
        }
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        meanwhile();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(out[0]);
    return exited && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : std::string{};
}

TEST(SdlClipboard, TextSetIsReadBackThroughSdlAndThroughXclip) {
    SdlPlatform platform(SdlOptions{});
    std::string error;
    ASSERT_TRUE(platform.Init(error)) << error;
    const std::string text = "アヤ「おはよう。今日はどうする？」";
    ASSERT_TRUE(platform.SetClipboardText(text));
    char* back = SDL_GetClipboardText();
    EXPECT_EQ(std::string(back ? back : ""), text);
    SDL_free(back);
    NoEvents events;
    EXPECT_EQ(XclipOutput([&] { platform.PumpMessages(events); }), text);
    // A second text replaces the first.
    ASSERT_TRUE(platform.SetClipboardText("一日が終わった。"));
    EXPECT_EQ(XclipOutput([&] { platform.PumpMessages(events); }), "一日が終わった。");
}

TEST(SdlClipboard, TheProgramPutsTheMessageOnTheClipboardWhileItPlays) {
    test::TempDir root;
    const auto game = root.Path() / "game";
    test::WriteBytes(game / "SCRIPT.DAT", test::AssembleContainer(".script 1 \"story\"\nmsg \"朝の光が/差し込んでいる。\"\n"));
    std::filesystem::create_directories(root.Path() / "run");
    std::vector<std::string> env{"XDG_CONFIG_HOME=" + (root.Path() / "config").string(),
                                 "XDG_DATA_HOME=" + (root.Path() / "data").string(),
                                 "XDG_RUNTIME_DIR=" + (root.Path() / "run").string(), "SDL_AUDIODRIVER=dummy",
                                 // X11 only: a program that cannot reach the X server must not
                                 // play on in SDL's off-screen driver, whose clipboard is its own.
                                 "SDL_VIDEODRIVER=x11", "HOME=" + root.Path().string()};
    if (const char* display = std::getenv("DISPLAY")) env.push_back(std::string("DISPLAY=") + display);
    if (const char* auth = std::getenv("XAUTHORITY")) env.push_back(std::string("XAUTHORITY=") + auth);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = ORVA_BINARY, gameArg = "--game", gameDir = game.string(), textOut = "--text-out", clipboard = "clipboard";
    char* argv[] = {program.data(), gameArg.data(), gameDir.data(), textOut.data(), clipboard.data(), nullptr};
    // xclip asks until the program owns the clipboard with the message on it. A program that
    // could not open its windows on the shared test X server (it exits at once) is started again,
    // at most three times.
    std::string got;
    std::vector<int> exits;
    for (int attempt = 0; attempt < 3 && got != "朝の光が差し込んでいる。"; ++attempt) {
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangGuardMs);
        bool exited = false;
        while (got != "朝の光が差し込んでいる。" && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                exits.push_back(status);
                exited = true;
                break;
            }
            got = XclipOutput([] {});
            if (got.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!exited) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            break;  // it ran: what the clipboard held is the answer
        }
    }
    EXPECT_EQ(got, "朝の光が差し込んでいる。") << "early exits: " << exits.size();
}

}  // namespace
}  // namespace orva
