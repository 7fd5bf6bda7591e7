// The orva program: single instance, command line, platform choice, and the main form's run.
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/game_check.h"
#include "app/game_folder.h"
#include "app/main_form.h"
#include "app/options.h"
#include "app/orva_conf.h"
#include "app/single_instance.h"
#include "app/version.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"
#include "text/translation_catalog.h"

using namespace orva;

namespace {

std::filesystem::path ExecutableFolder() {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : self.parent_path();
}

std::filesystem::path SaveFolder() {
    std::filesystem::path base;
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data) base = data;
    else if (const char* home = std::getenv("HOME"); home && *home) base = std::filesystem::path(home) / ".local/share";
    else base = std::filesystem::current_path();
    return base / "VELDORN" / "ORVA300SE";
}

std::filesystem::path Absolute(const std::filesystem::path& p) {
    std::error_code ec;
    auto abs = std::filesystem::absolute(p, ec);
    return ec ? p : abs;
}

// Where the bundled demo may lie: installed beside the program's data, or, for a program run
// from its build folder, the demo built there.
std::vector<std::filesystem::path> DemoFolders(const std::filesystem::path& programDir) {
    std::vector<std::filesystem::path> demos{(programDir / ORVA_BIN_TO_DATA / "orva" / "demo").lexically_normal()};
    std::error_code ec;
    if (std::filesystem::equivalent(programDir, ORVA_BUILD_PROGRAM_DIR, ec)) demos.push_back(ORVA_BUILD_DEMO_DIR);
    return demos;
}

// The game folder of this run, or empty when there is nothing to play. Sets `remember` when
// the folder should be remembered once it has started a game.
std::filesystem::path ChooseFolder(const CommandLine& cmd, const std::filesystem::path& configDir, bool& remember) {
    GameFolderRequest request;
    if (!cmd.GameDir.empty()) {
        // One spelling per folder ("games/x/", "./games/x"), so the remembered line is stable.
        request.Named = Absolute(cmd.GameDir).lexically_normal();
        if (!request.Named.has_filename() && request.Named.has_relative_path()) request.Named = request.Named.parent_path();
    }
    request.ProgramDir = ExecutableFolder();
    request.Headless = cmd.Headless;
    request.Pick = cmd.Pick;
    if (!cmd.Headless && request.Named.empty()) {
        request.Remembered = ReadRememberedFolder(configDir);
        request.Demos = DemoFolders(request.ProgramDir);
    }
    const FolderPicker picker = cmd.Headless ? FolderPicker{} : FolderPicker{PickFolderWithDesktopDialog};
    GameFolderPlan plan = ChooseGameFolder(request, HoldsGame, picker);
    for (const auto& note : plan.Notes) std::cerr << "orva: " << note << "\n";
    if (plan.Source == GameFolderSource::None && !cmd.Headless && !plan.Notes.empty())
        ShowStartupMessage(kProductTitle,
                           "There is no game to play.\n\n"
                           "Start orva with  orva --game DIR  naming a folder that holds\n"
                           "SCRIPT.DAT and data/DATA0n.cfp, or place the orva program\n"
                           "in that folder.");
    remember = plan.Remember;
    return plan.Dir;
}

}  // namespace

int main(int argc, char** argv) {
    // Pictures are large and short-lived: a fixed threshold has every buffer from 128 KiB up
    // mapped on its own and unmapped when freed, so the resident set follows the pictures alive
    // instead of keeping the heap's high-water mark. (The allocator's default raises the
    // threshold after the first large free, and then keeps freed pictures' pages.)
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    CommandLine cmd;
    std::string error;
    if (!ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), cmd, error)) {
        std::cerr << "orva: " << error << "\n";
        return 2;
    }
    if (cmd.ShowHelp) {
        std::cout << HelpText();
        return 0;
    }
    if (cmd.ShowVersion) {
        std::cout << "orva " << kVersion << "\n";
        return 0;
    }

    const std::string locale = MessagesLocale(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    auto translationFile = [&cmd] {
        return cmd.TranslationFile.empty() ? cmd.TranslationFile : Absolute(cmd.TranslationFile);
    };
    if (cmd.Check) {
        const std::filesystem::path dir = cmd.GameDir.empty() ? ExecutableFolder() : Absolute(cmd.GameDir);
        std::string note;
        std::filesystem::path catalog = ChooseTranslationFile(dir, cmd.Lang, translationFile(), locale, note);
        // A named language without its file is reported by the check itself.
        if (catalog.empty() && !note.empty()) catalog = TranslationFileFor(dir, cmd.Lang);
        return RunGameCheck(dir, SaveFolder(), std::cout, catalog);
    }

    // The settings file fills in what the command line left open. Headless runs (and --check,
    // above) depend on their arguments alone and never read it.
    OrvaConf conf;
    if (!cmd.Headless) {
        std::vector<std::string> warnings;
        conf = ReadOrvaConf(ConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")), std::getenv("HOME"), warnings);
        for (const std::string& warning : warnings) std::cerr << "orva: " << warning << "\n";
        ApplyOrvaConf(conf, cmd);
    }

    if (!cmd.Headless && !DisplayAvailable()) {
        std::cerr << "orva: there is no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "orva --headless plays without one\n";
        return 2;
    }

    // One orva per save folder. A second windowed start ends at once and silently (a double
    // click too many); a headless one says so, since a silent end would pass for a finished run.
    const std::filesystem::path saveDir = SaveFolder();
    bool held = false;
    if (!AcquireInstanceLock(InstanceLockPath(saveDir), error, held)) {
        if (held && !cmd.Headless) return 0;
        if (held) error = "the save folder " + saveDir.string() + " is in use by another orva";
        std::cerr << "orva: " << error << "\n";
        return 2;
    }

    EngineOptions options;
    const std::filesystem::path configDir = ConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    bool remember = false;
    options.GameDir = ChooseFolder(cmd, configDir, remember);
    if (options.GameDir.empty()) return 2;
    if (remember) {
        // Only a folder that really started a game is worth coming back to.
        options.OnStarted = [&configDir, dir = options.GameDir] {
            std::string writeError;
            if (ReadRememberedFolder(configDir) != dir && !WriteRememberedFolder(configDir, dir, writeError))
                std::cerr << "orva: cannot remember the game folder: " << writeError << "\n";
        };
    }
    options.SaveDir = saveDir;
    std::string translationNote;
    options.TranslationFile = ChooseTranslationFile(options.GameDir, cmd.Lang, translationFile(), locale, translationNote);
    if (!translationNote.empty()) std::cerr << "orva: " << translationNote << "\n";
    options.TracePath = cmd.TraceFile.empty() ? cmd.TraceFile : Absolute(cmd.TraceFile);
    options.HasSeed = cmd.HasSeed;
    options.Seed = cmd.Seed;
    options.TextOut = cmd.TextOut.value_or(TextOutTarget{});

    if (cmd.Headless) {
        std::vector<TimelineEvent> timeline;
        if (!cmd.InputFile.empty()) {
            std::ifstream in(cmd.InputFile, std::ios::binary);
            if (!in) {
                std::cerr << "orva: cannot read the input file " << cmd.InputFile.string() << "\n";
                return 2;
            }
            std::stringstream text;
            text << in.rdbuf();
            if (!ParseInputTimeline(text.str(), timeline, error)) {
                std::cerr << "orva: " << cmd.InputFile.string() << ": " << error << "\n";
                return 2;
            }
        }
        std::vector<HeadlessShot> shots;
        for (const auto& s : cmd.Shots)
            shots.push_back({s.Time, s.DebugWindow ? WindowId::Debug : s.MsgWindow ? WindowId::Msg : WindowId::Main,
                             Absolute(s.File), false});
        HeadlessPlatform platform(std::move(timeline), std::move(shots), cmd.UntilMs);
        if (!cmd.AudioOut.empty() && !platform.SetAudioOut(Absolute(cmd.AudioOut), error)) {
            std::cerr << "orva: " << error << "\n";
            return 2;
        }
        int status = 0;
        {
            TForm1 form(platform, options);
            status = form.Run();
        }
        if (status == 0) {
            if (!platform.FinishAudio(error)) {
                std::cerr << "orva: " << error << "\n";
                return 1;
            }
            if (!platform.FlushShots(true, error) || !platform.ShotError().empty()) {
                std::cerr << "orva: " << (platform.ShotError().empty() ? error : platform.ShotError()) << "\n";
                return 1;
            }
        }
        return status;
    }

    SdlOptions sdlOptions;
    sdlOptions.Scale = cmd.Scale;
    sdlOptions.Smooth = cmd.Smooth;
    sdlOptions.Title = kProductTitle;
    SdlPlatform platform(sdlOptions);
    if (!platform.Init(error)) {
        std::cerr << "orva: cannot open the game window: " << error << "\n";
        return 2;
    }
    TForm1 form(platform, options);
    return form.Run();
}
