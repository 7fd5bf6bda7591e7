// The orva program's text out and settings file: a port in use, the clipboard of a headless
// run, the settings file read by a windowed start only, and its text out reaching a reader.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

#include "fixtures/programs.h"
#include "fixtures/script_game.h"
#include "textout/ws_client.h"

extern char** environ;

namespace orva {
namespace {

using test::TempDir;
using test::WsClient;

constexpr const char* kStory = R"(.script 1 "story"
msg "朝の光が/差し込んでいる。"
msg "アヤ「おはよう。」"
)";

struct RunResult {
    int Status = -1;
    std::string Stderr;
};

// Runs orva with its data folders below `root`; `env` adds to the environment (or removes with
// -u NAME).
RunResult RunOrva(const std::filesystem::path& root, const std::string& args, const std::string& env = "") {
    const auto err = root / "stderr.txt";
    std::filesystem::create_directories(root / "run");
    const std::string cmd = "env " + env + " XDG_RUNTIME_DIR='" + (root / "run").string() + "' XDG_DATA_HOME='" +
                            (root / "data").string() + "' timeout 60 " + ORVA_BINARY + " " + args + " 2>'" +
                            err.string() + "'";
    RunResult r;
    r.Status = test::RunCommand(cmd);
    r.Stderr = test::ReadAll(err);
    return r;
}

// The program's own lines on stderr (a game without pictures adds its "read error" lines).
std::string OrvaLines(const std::string& err) {
    std::istringstream in(err);
    std::string out;
    for (std::string line; std::getline(in, line);)
        if (line.rfind("orva:", 0) == 0) out += line + "\n";
    return out;
}

// A socket listening on 127.0.0.1 at a port the system picked.
struct Listener {
    int Fd = ::socket(AF_INET, SOCK_STREAM, 0);
    uint16_t Port = 0;
    Listener() {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(Fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 && ::listen(Fd, 4) == 0 &&
            ::getsockname(Fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            Port = ntohs(addr.sin_port);
    }
    ~Listener() { ::close(Fd); }
};

struct ProgramTest : testing::Test {
    TempDir Root;
    std::filesystem::path Game = Root.Path() / "game";
    std::filesystem::path Config = Root.Path() / "config";
    void SetUp() override {
        test::WriteBytes(Game / "SCRIPT.DAT", test::AssembleContainer(kStory));
        std::filesystem::create_directories(Config / "orva");
    }
    void WriteConf(const std::string& text) { std::ofstream(Config / "orva" / "orva.conf") << text; }
    std::string Trace() const { return test::ReadAll(Root.Path() / "t.jsonl"); }
    std::string Args(const std::string& more) const {
        return "--game '" + Game.string() + "' --trace '" + (Root.Path() / "t.jsonl").string() + "' " + more;
    }
};

TEST_F(ProgramTest, APortInUseIsOneLineOnStderrAndTheGamePlaysOn) {
    Listener taken;
    ASSERT_NE(taken.Port, 0);
    const RunResult r = RunOrva(Root.Path(), "--headless --until 3000 " + Args("--text-out websocket:" + std::to_string(taken.Port)));
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(OrvaLines(r.Stderr), "orva: text out: cannot listen on 127.0.0.1:" + std::to_string(taken.Port) + ": Address already in use\n");
    EXPECT_NE(Trace().find(R"("ev":"message","no":0)"), std::string::npos);
    EXPECT_NE(Trace().find(R"("ev":"close")"), std::string::npos);
}

TEST_F(ProgramTest, AHeadlessRunPutsTheMessageOnItsClipboardAndTracesIt) {
    const RunResult r = RunOrva(Root.Path(), "--headless --until 3000 " + Args("--text-out clipboard"));
    EXPECT_EQ(r.Status, 0) << r.Stderr;
    EXPECT_NE(Trace().find(R"("ev":"textout","to":"clipboard","text":"朝の光が差し込んでいる。")"), std::string::npos) << Trace();
}

TEST_F(ProgramTest, HeadlessRunsAndChecksNeverReadTheSettingsFileAndAWindowedStartDoes) {
    Listener taken;
    WriteConf("# text out for my dictionary\ntext-out = websocket:" + std::to_string(taken.Port) + "\nfont = big\n");
    const std::string env = "XDG_CONFIG_HOME='" + Config.string() + "'";
    const RunResult headless = RunOrva(Root.Path(), "--headless --until 3000 " + Args(""), env);
    EXPECT_EQ(headless.Status, 0);
    EXPECT_EQ(OrvaLines(headless.Stderr), "");
    EXPECT_EQ(Trace().find("textout"), std::string::npos);
    const RunResult check = RunOrva(Root.Path(), "--check '" + Game.string() + "'", env);
    EXPECT_EQ(OrvaLines(check.Stderr), "");

    // A windowed start reads it first (here it then finds no display and ends).
    const RunResult windowed = RunOrva(Root.Path(), Args(""), "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER " + env);
    EXPECT_EQ(windowed.Status, 2);
    EXPECT_EQ(windowed.Stderr.substr(0, windowed.Stderr.find('\n') + 1),
              "orva: " + (Config / "orva" / "orva.conf").string() + ":3: unknown key 'font' is ignored\n");
    EXPECT_NE(windowed.Stderr.find("no display"), std::string::npos) << windowed.Stderr;
}

TEST_F(ProgramTest, TheSettingsFilesTextOutReachesAReaderOfTheWindowedProgram) {
    uint16_t port = 0;
    {
        Listener probe;  // a port free a moment ago
        port = probe.Port;
    }
    WriteConf("text-out = websocket:" + std::to_string(port) + "\n");
    const std::string xdgConfig = "XDG_CONFIG_HOME=" + Config.string(), xdgData = "XDG_DATA_HOME=" + (Root.Path() / "data").string(),
                      xdgRun = "XDG_RUNTIME_DIR=" + (Root.Path() / "run").string();
    std::filesystem::create_directories(Root.Path() / "run");
    std::vector<std::string> env{xdgConfig, xdgData, xdgRun, "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
                                 "SDL_RENDER_DRIVER=software", "HOME=" + Root.Path().string()};
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = ORVA_BINARY, gameArg = "--game", gameDir = Game.string();
    char* argv[] = {program.data(), gameArg.data(), gameDir.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);

    // The server comes up with the window; a reader connects and gets the first message.
    WsClient reader;
    std::string error;
    const bool connected = test::Eventually([&] { return reader.Connect("127.0.0.1", port, error); });
    const WsClient::Frame first = connected ? reader.Read() : WsClient::Frame{};
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ASSERT_TRUE(connected) << error;
    EXPECT_EQ(first.Text, "朝の光が差し込んでいる。");
}

}  // namespace
}  // namespace orva
