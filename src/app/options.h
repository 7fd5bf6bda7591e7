// The command line of the orva program.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "textout/text_out_target.h"

namespace orva {

struct ShotRequest {
    uint32_t Time = 0;
    bool MsgWindow = false;          // --shot-msg: MsgForm's picture
    bool DebugWindow = false;        // --shot-debug: the debug window's picture
    std::filesystem::path File;
};

struct CommandLine {
    std::filesystem::path GameDir;   // --game DIR; empty: chosen by ChooseGameFolder
    bool Headless = false;
    uint32_t UntilMs = 600000;       // headless: virtual time of the automatic close
    std::filesystem::path InputFile; // headless input timeline
    std::vector<ShotRequest> Shots;
    std::filesystem::path TraceFile;
    std::filesystem::path AudioOut;  // headless: WAV file of everything played
    bool HasSeed = false;
    uint32_t Seed = 0;
    int Scale = 1;                   // window scale
    bool Smooth = false;             // smooth instead of integer scaling
    bool ShowHelp = false;
    bool ShowVersion = false;
    bool Check = false;              // --check [DIR]: report on the game's data, play nothing
    bool Pick = false;               // --pick: choose the game folder again in a picker
    std::string Lang;                // --lang LANG|auto: GAMEDIR/translations/LANG.po; empty: the original text
    std::filesystem::path TranslationFile;  // --translation FILE.po: this catalog instead
    std::optional<TextOutTarget> TextOut;  // --text-out: given on the command line (wins over orva.conf)
};

// Parses argv (without argv[0]). False with `error` set on a bad option.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& out, std::string& error);
std::string HelpText();

}  // namespace orva
