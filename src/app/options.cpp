// Parser of the orva command line.
#include "app/options.h"

#include <charconv>

#include "text/translation_catalog.h"

namespace orva {
namespace {

bool ParseU32(const std::string& s, uint32_t& v) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

bool ParseShot(const std::string& arg, bool msg, bool debug, CommandLine& out, std::string& error) {
    const size_t colon = arg.find(':');
    ShotRequest shot;
    shot.MsgWindow = msg;
    shot.DebugWindow = debug;
    if (colon == std::string::npos || !ParseU32(arg.substr(0, colon), shot.Time) || colon + 1 == arg.size()) {
        error = "expected MS:FILE.png, got '" + arg + "'";
        return false;
    }
    shot.File = arg.substr(colon + 1);
    out.Shots.push_back(shot);
    return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") out.ShowHelp = true;
        else if (a == "--version") out.ShowVersion = true;
        else if (a == "--headless") out.Headless = true;
        else if (a == "--check") {
            out.Check = true;
            // The folder may follow directly: orva --check DIR.
            if (i + 1 < args.size() && !args[i + 1].starts_with("--")) out.GameDir = args[++i];
        }
        else if (a == "--smooth") out.Smooth = true;
        else if (a == "--pick") out.Pick = true;
        else if (a == "--game") { if (!value(v)) return false; out.GameDir = v; }
        else if (a == "--input") { if (!value(v)) return false; out.InputFile = v; }
        else if (a == "--trace") { if (!value(v)) return false; out.TraceFile = v; }
        else if (a == "--audio-out") { if (!value(v)) return false; out.AudioOut = v; }
        else if (a == "--translation") { if (!value(v)) return false; out.TranslationFile = v; }
        else if (a == "--lang") {
            if (!value(v)) return false;
            // The name becomes a file name inside the game folder: no paths.
            if (v != "auto" && !ValidLanguageName(v)) {
                error = "--lang takes a language such as en or pt_BR, or auto; got '" + v + "'";
                return false;
            }
            out.Lang = v;
        }
        else if (a == "--until") {
            if (!value(v)) return false;
            if (!ParseU32(v, out.UntilMs)) { error = "--until takes milliseconds, got '" + v + "'"; return false; }
        } else if (a == "--seed") {
            if (!value(v)) return false;
            if (!ParseU32(v, out.Seed)) { error = "--seed takes a non-negative integer, got '" + v + "'"; return false; }
            out.HasSeed = true;
        } else if (a == "--scale") {
            uint32_t s = 0;
            if (!value(v)) return false;
            if (!ParseU32(v, s) || s < 1 || s > 8) { error = "--scale takes 1 to 8, got '" + v + "'"; return false; }
            out.Scale = static_cast<int>(s);
        } else if (a == "--text-out") {
            TextOutTarget target;
            if (!value(v)) return false;
            if (!ParseTextOutTarget(v, target, error)) { error = "--text-out: " + error; return false; }
            out.TextOut = target;
        } else if (a == "--shot") {
            if (!value(v) || !ParseShot(v, false, false, out, error)) return false;
        } else if (a == "--shot-msg") {
            if (!value(v) || !ParseShot(v, true, false, out, error)) return false;
        } else if (a == "--shot-debug") {
            if (!value(v) || !ParseShot(v, false, true, out, error)) return false;
        } else {
            error = "unknown option '" + a + "' (see --help)";
            return false;
        }
    }
    if (!out.Headless && (!out.InputFile.empty() || !out.Shots.empty() || !out.AudioOut.empty())) {
        error = "--input, --shot, --shot-msg, --shot-debug and --audio-out need --headless";
        return false;
    }
    if (out.Pick && (out.Headless || out.Check || !out.GameDir.empty())) {
        error = "--pick opens a folder picker; it goes with neither --headless, --check nor --game";
        return false;
    }
    return true;
}

std::string HelpText() {
    return "usage: orva [options]\n"
           "Plays the game in --game DIR; without it, the game beside the program, else the\n"
           "last game folder played, else one picked in a folder picker, else the bundled demo.\n"
           "\n"
           "  --game DIR          play the game in DIR (SCRIPT.DAT and data/DATA0n.cfp)\n"
           "  --pick              choose the game folder again in a folder picker\n"
           "  --scale N           show the window at N times its size (1-8)\n"
           "  --smooth            fill the screen keeping the aspect, smoothed, instead of\n"
           "                      whole-pixel scaling with black borders\n"
           "  --seed N            fix the random generator\n"
           "  --trace FILE        write a JSON-lines trace of the run\n"
           "  --text-out clipboard|websocket[:PORT]|off\n"
           "                      hand each message's text, as it begins, to the clipboard or to\n"
           "                      pages connected to ws://127.0.0.1:PORT (default 6677), for\n"
           "                      reading with a pop-up dictionary\n"
           "  --check [DIR]       check the game in DIR (or --game DIR) without playing it:\n"
           "                      archives, scripts, the files, labels and blocks they name,\n"
           "                      call depth, text that overflows, the save files; exit 1 on\n"
           "                      problems, 2 when the game cannot start\n"
           "  --lang LANG         show the game in translation: GAMEDIR/translations/LANG.po\n"
           "                      (en, pt_BR ...); auto picks by LC_ALL, LC_MESSAGES or\n"
           "                      LANG; with --check, also check that translation\n"
           "  --translation FILE  show the translation in the PO file FILE\n"
           "  --version           print the version\n"
           "  --help              this text\n"
           "\n"
           "Headless runs (no display, virtual clock):\n"
           "  --headless          run without windows or a sound card\n"
           "  --until MS          close at virtual time MS, confirming (default 600000)\n"
           "  --input FILE        input timeline: one 'MS VERB ARGS' per line, '#' comments\n"
           "                      verbs: key NAME down|up (return ctrl space pageup pagedown f1 f2 alt\n"
           "                                               backspace f12)\n"
           "                             move X Y [main|msg|query]\n"
           "                             down|up|click X Y [left|right|back] [main|msg|query|debug]\n"
           "                             wheel up|down [main|msg|debug]   focus main|msg|query|debug|none\n"
           "                             text STRING (\\b Backspace, \\r Return, \\\\ a backslash)\n"
           "                             pad BUTTON down|up (a b x y back start leftshoulder\n"
           "                               rightshoulder lefttrigger righttrigger dpup dpdown dpleft dpright)\n"
           "                             pad leftx|lefty VALUE (-32768..32767)\n"
           "                             close\n"
           "  --shot MS:FILE.png  capture the main window at virtual time MS (repeatable)\n"
           "  --shot-msg MS:FILE.png  the same for the detached message window\n"
           "  --shot-debug MS:FILE.png  the same for the debug window (shown with the marker file)\n"
           "  --audio-out FILE.wav  write the sound played, 16-bit stereo 44,100 Hz, from time 0\n"
           "\n"
           "Keys: Return or a left click go on; Ctrl held skips; Space hides the window;\n"
           "Page Up/F1 and Page Down/F2 page the log; Alt+Return switches full screen;\n"
           "Backspace or the mouse's back button rolls back to the message (or choice) before,\n"
           "as it stood then; in the log review, to the entry shown.\n"
           "F12 saves a screenshot in the pictures folder's orva/ (XDG_PICTURES_DIR, else ~/Pictures).\n"
           "Gamepad: A clicks at the pointer; B goes back in a menu, else the right button;\n"
           "Y hides the window; the shoulders page the log; the right trigger held skips;\n"
           "the left trigger or back rolls back; start opens the configuration; the d-pad\n"
           "steps through the buttons and answers; the left stick moves the pointer; X saves\n"
           "a screenshot.\n"
           "\n"
           "Saves live in $XDG_DATA_HOME/VELDORN/ORVA300SE (default ~/.local/share/...).\n"
           "The last game folder played is kept in $XDG_CONFIG_HOME/orva/last-game\n"
           "(default ~/.config/orva/); headless runs and --check neither read nor write it.\n"
           "Settings (text-out, lang, translation) may stand in $XDG_CONFIG_HOME/orva/orva.conf,\n"
           "one 'key = value' a line; the command line wins; headless runs and --check ignore it.\n";
}

}  // namespace orva
