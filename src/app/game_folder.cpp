// Choosing the game folder of a run, remembering it, and the desktop's folder picker.
#include "app/game_folder.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace orva {
namespace {

constexpr const char* kRememberedFile = "last-game";

std::string Quoted(const std::filesystem::path& p) {
    std::string quoted = "'";
    quoted += p.string();
    return quoted + "'";
}

}  // namespace

GameFolderPlan ChooseGameFolder(const GameFolderRequest& request, const GameProbe& isGame,
                                const FolderPicker& pick) {
    GameFolderPlan plan;
    auto choose = [&](const std::filesystem::path& dir, GameFolderSource source, bool remember) {
        plan.Dir = dir;
        plan.Source = source;
        plan.Remember = remember;
        return plan;
    };
    // A named folder is played as given; start-up reports what is wrong with it.
    if (!request.Named.empty()) return choose(request.Named, GameFolderSource::Named, !request.Headless);
    // Headless runs are repeatable: they depend on nothing the user did before.
    if (request.Headless) return choose(request.ProgramDir, GameFolderSource::BesideProgram, false);

    if (!request.Pick) {
        if (isGame(request.ProgramDir)) return choose(request.ProgramDir, GameFolderSource::BesideProgram, false);
        if (request.Remembered) {
            if (isGame(*request.Remembered)) return choose(*request.Remembered, GameFolderSource::Remembered, false);
            plan.Notes.push_back("the last game folder " + Quoted(*request.Remembered) +
                                 " holds no SCRIPT.DAT any more");
        }
    }
    if (pick) {
        if (auto picked = pick()) {
            if (isGame(*picked)) return choose(*picked, GameFolderSource::Picked, true);
            plan.Notes.push_back("the chosen folder " + Quoted(*picked) + " holds no SCRIPT.DAT");
        }
    }
    for (const auto& demo : request.Demos) {
        if (isGame(demo)) {
            plan.Notes.push_back("playing the bundled demo in " + Quoted(demo) + " (orva --game DIR plays another game)");
            return choose(demo, GameFolderSource::Demo, false);
        }
    }
    plan.Notes.push_back("no game to play: run orva --game DIR with a folder that holds SCRIPT.DAT and data/DATA0n.cfp, "
                         "or place the orva program in that folder");
    plan.Source = GameFolderSource::None;
    return plan;
}

std::string FormatRememberedFolder(const std::filesystem::path& dir) { return dir.string() + "\n"; }

std::optional<std::filesystem::path> ParseRememberedFolder(const std::string& text) {
    const std::string line = text.substr(0, text.find('\n'));
    std::filesystem::path dir(line);
    if (line.empty() || !dir.is_absolute() || line.find('\0') != std::string::npos) return std::nullopt;
    return dir;
}

std::filesystem::path ConfigFolder(const char* xdgConfigHome, const char* home) {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base-directory rules say.
    if (xdgConfigHome && *xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute())
        return std::filesystem::path(xdgConfigHome) / "orva";
    if (home && *home && std::filesystem::path(home).is_absolute())
        return std::filesystem::path(home) / ".config" / "orva";
    return {};
}

std::optional<std::filesystem::path> ReadRememberedFolder(const std::filesystem::path& configDir) {
    if (configDir.empty()) return std::nullopt;
    std::ifstream in(configDir / kRememberedFile, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(4096, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return ParseRememberedFolder(text);
}

bool WriteRememberedFolder(const std::filesystem::path& configDir, const std::filesystem::path& dir,
                           std::string& error) {
    if (configDir.empty()) {
        error = "no config folder (neither XDG_CONFIG_HOME nor HOME is set)";
        return false;
    }
    const std::string text = FormatRememberedFolder(dir);
    if (!ParseRememberedFolder(text) || text.find('\n') != text.size() - 1) {
        error = "the folder " + Quoted(dir) + " cannot be remembered (not absolute, or a line break in its name)";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(configDir, ec);
    if (ec) {
        error = "cannot create " + Quoted(configDir) + ": " + ec.message();
        return false;
    }
    const auto target = configDir / kRememberedFile;
    const auto temp = configDir / (std::string(kRememberedFile) + ".tmp" + std::to_string(getpid()));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    if (ok) {
        ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
        ok = (::close(fd) == 0) && ok;
    }
    if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        error = "cannot write " + Quoted(target) + ": " + std::strerror(errno);
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

bool HoldsGame(const std::filesystem::path& dir) {
    std::error_code ec;
    return !dir.empty() && std::filesystem::is_regular_file(dir / "SCRIPT.DAT", ec);
}

namespace {

// Runs `argv` with its standard output captured and its errors discarded. nullopt when the
// program cannot start or does not exit with status 0.
std::optional<std::string> RunAndRead(std::vector<std::string> argv) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (spawned != 0) {
        ::close(fds[0]);
        return std::nullopt;
    }
    std::string out;
    char buf[4096];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return out;
}

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0) return true;
    return false;
}

}  // namespace

std::optional<std::filesystem::path> PickFolderWithDesktopDialog() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(x && *x) && !(wayland && *wayland)) return std::nullopt;
    std::optional<std::string> out;
    const std::string title = "Choose the game folder (the one holding SCRIPT.DAT)";
    if (OnPath("zenity"))
        out = RunAndRead({"zenity", "--file-selection", "--directory", "--title=" + title});
    else if (OnPath("kdialog"))
        out = RunAndRead({"kdialog", "--title", title, "--getexistingdirectory", "."});
    else {
        std::fprintf(stderr, "orva: no folder picker (zenity or kdialog) is installed; orva --game DIR names the game folder\n");
        return std::nullopt;
    }
    if (!out) return std::nullopt;  // cancelled
    auto parsed = ParseRememberedFolder(*out);
    return parsed;
}

}  // namespace orva
