// The route explorer: plays a game on the headless engine from the title's "new game", forks at
// every choice and random draw, merges paths that reach the same state, and gathers what the
// routes reach (messages, labels, conditions, files, album flags) into a RouteResult.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace orva {

struct RouteOptions {
    std::filesystem::path GameDir;
    std::optional<std::filesystem::path> SaveFile;  // SAVE.DAT giving the system variables
    uint64_t MaxStates = 100000;                    // distinct states explored at most
    int32_t MaxOutcomes = 16;                       // outcomes followed per random draw
    std::filesystem::path Translation;              // a PO catalog whose messages are checked too
};

// A line of a script.
struct ScriptPlace {
    int32_t Script = 0;
    int32_t Line = 0;
    auto operator<=>(const ScriptPlace&) const = default;
};

// Where exploration stopped: a state in which the route forks or ends.
enum class StopKind : uint8_t {
    Choice,   // a choice waits for an answer
    Random,   // the random command draws
    Title,    // the story returned to the title menu (an ending)
    End,      // the story's script ran out (an ending)
    Loop,     // a loop without messages or choices, or one that repeats itself; the path is cut
};

// One distinct state of the exploration's graph.
struct RouteNode {
    StopKind Kind = StopKind::Loop;
    ScriptPlace At;                   // the choice, the draw, the ending's last text, the loop
    std::vector<std::string> Answers; // a choice's answers (UTF-8)
    int32_t Span = 0;                 // a draw's number of outcomes
    std::vector<int32_t> Values;      // decisions followed: answers 1..n or drawn values 0..span-1
    std::vector<int64_t> Next;        // node each decision leads to; -1 when not followed
    std::string Note;                 // why a loop node cut its path
    std::string Text;                 // the text at At: a choice's first answer, an ending's last message
    std::vector<int32_t> FlagsSet;    // system variables (1-based) this state has set since the start
    bool Expanded = false;            // its decisions were followed
};

struct MessageRef {
    int32_t Script = 0;
    int32_t Msg = 0;
    auto operator<=>(const MessageRef&) const = default;
};

struct RouteResult {
    std::vector<RouteNode> Nodes;             // in discovery order; node 0 is the first stop
    std::vector<double> PathsTo;              // routes from the start reaching each node
    double Routes = 0;                        // routes from the start to a node that ends them
    int64_t LoopEdges = 0;                    // decisions leading back to a state on their own route
    bool Incomplete = false;
    std::vector<std::string> Reasons;         // why exploration was cut short
    std::vector<std::string> Notes;           // draws with more outcomes than followed, and such

    std::map<MessageRef, std::string> AllMessages;  // every message line's text (UTF-8)
    std::set<MessageRef> ReachedMessages;
    std::map<MessageRef, size_t> Overflow;          // reached messages past three lines: dropped chars
    std::filesystem::path Translation;              // the catalog checked, if any
    std::map<MessageRef, size_t> TranslationOverflow;  // reached messages whose translation does not fit
    std::set<std::pair<int32_t, std::string>> AllLabels;       // (script, label UTF-8)
    std::set<std::pair<int32_t, std::string>> JumpedLabels;
    std::map<ScriptPlace, std::array<bool, 2>> Conditions;     // reached conditions: [held, failed]
    std::set<std::string> NamedAssets;        // files the scripts name (UTF-8, extension included)
    std::set<std::string> UsedAssets;         // files some route uses
    std::set<std::string> MissingAssets;      // used files no archive holds
    std::set<std::string> ShownBackgrounds;   // background names some route shows (no extension)
    struct AlbumEntry {
        std::string Kind;                     // "scene" or "picture"
        int32_t Page = 0, Item = 0;
        int32_t Scene = 0, Flag = 0;          // scene: its script and unlocking system variable
        std::string Picture;                  // picture: the background that unlocks it
    };
    std::vector<AlbumEntry> AlbumLocked;      // album entries no route unlocks
};

// Explores the game. False with `error` when the game cannot start (no script container, a bad
// save file, no title menu) or the translation named cannot be read; the result is then empty.
bool ExploreRoutes(const RouteOptions& options, RouteResult& result, std::string& error);

// The ending nodes grouped as the report lists them: kind ("title" or "end") and place → nodes.
std::map<std::pair<std::string, ScriptPlace>, std::vector<size_t>> EndingGroups(const RouteResult& result);

}  // namespace orva
