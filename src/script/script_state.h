// The script state group: the loaded script's line table and lists, the command being run and
// the scene-replay queue. The script's loader and interpreter (script/) write it; the album
// menus fill and start the queue through the operations below.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/zeroed_memory.h"
#include "script/line_rec.h"
#include "script/script_ops.h"
#include "script/script_search.h"

namespace orva {

// The loaded script and the scene-replay queue. ScriptNo and ScriptStep live in GameRec.
struct ScriptState {
    ZeroedVector<LineRec> LineTbl;          // 65536 lines; lines past the loaded script keep older ones
    int32_t LineCount = 0;                  // lines of the loaded script; the rest read as end lines
    std::vector<std::string> LabelNames;    // CP932; index = a label line's P1
    std::vector<std::string> JumpNames;     // index = a jump or call line's P1
    std::vector<std::string> FileNames;     // index = P5; ends with the "--END--" sentinel
    std::vector<std::string> MsgTexts;      // index = a message or choice line's P1
    std::vector<std::string> VoiceNames;    // 10000 entries: FileNames up to the sentinel
    ScriptCommand CurCmd;                   // the line being executed, operands resolved
    std::array<int32_t, kSceneTblEntries + 1> SceneTbl{};  // scene-replay queue, entries 1..120; 0 ends it
    int32_t SceneIdx = 0;                   // entry of SceneTbl now playing
    int32_t TitleReturnStep = 0;            // ScriptStep when the script opened the title menu

    // The scene-replay menu starts with an empty queue.
    void ClearSceneQueue() { SceneTbl.fill(0); }
    // The replay plays the queue from its first entry; returns that entry's script number.
    int32_t StartSceneQueue() {
        SceneIdx = 1;
        return SceneTbl[1];
    }
};

}  // namespace orva
