// A story written in the script text form, built with orva-asm and played by the orva program
// on the headless platform: the trace, the save file and the disassembly round trip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/engine_modes.h"
#include "data/save_layout.h"
#include "fixtures/game_fixture.h"
#include "fixtures/programs.h"

namespace orva {
namespace {

using test::ReadAll;
using test::RunCommand;
using test::TempDir;

// A mode change as the trace writes it, without its time stamp.
std::string ModeEvent(Mode mode) {
    return R"("ev":"mode","mode":")" + ModeHex(mode) + R"(","name":")" + std::string(ModeName(mode)) + R"("})";
}

// The trace's script events, each without its time stamp.
std::vector<std::string> ScriptEvents(const std::string& trace) {
    std::vector<std::string> out;
    std::istringstream in(trace);
    for (std::string line; std::getline(in, line);) {
        const size_t ev = line.find("\"ev\":");
        if (ev == std::string::npos) continue;
        const std::string rest = line.substr(ev);
        if (rest.starts_with("\"ev\":\"line\"") || rest.starts_with("\"ev\":\"script\"") ||
            rest.starts_with("\"ev\":\"mode\""))
            out.push_back(rest);
    }
    return out;
}

constexpr const char* kStory = R"(# Three scripts: a computation in a called script, a branch on its result, and a
# message of the third script that the story ends on.
.script 1 "opening"
system 3 1
set F1 10
call 2 *compute
if F2 == 30
  set S5 1
else
  set S5 2
end
jump 3 *final

.script 2 "compute"
*compute
mul F2 F1 3
return

.script 3 "final"
if F1 == 99
  msg "届かない一"
  msg "届かない二"
end
*final
msg "最後の言葉"
)";

TEST(ScriptRun, AStoryBuiltWithTheAssemblerRunsWithItsTraceAndSaveBytes) {
    TempDir root;
    const auto game = root.Path() / "game";
    std::filesystem::create_directories(game);
    std::ofstream(root.Path() / "story.txt") << kStory;
    const std::string asmTool = ORVA_ASM_BINARY;
    ASSERT_EQ(RunCommand(asmTool + " build '" + (root.Path() / "story.txt").string() + "' -o '" +
                  (game / "SCRIPT.DAT").string() + "'"),
              0);

    const auto trace = root.Path() / "run.jsonl";
    const std::string env = "env XDG_RUNTIME_DIR='" + root.Path().string() + "' XDG_DATA_HOME='" +
                            (root.Path() / "data").string() + "' ";
    ASSERT_EQ(RunCommand(env + ORVA_BINARY + " --headless --game '" + game.string() + "' --until 1000 --trace '" +
                  trace.string() + "'"),
              0);

    const std::vector<std::string> expected = {
        R"("ev":"mode","mode":"-0x1","name":"Startup"})",
        R"("ev":"script","no":1})",
        R"("ev":"mode","mode":"0x0","name":"Script"})",
        R"("ev":"line","script":1,"step":0,"code":"0x88","p":[3,1,0,0,0]})",
        R"("ev":"line","script":1,"step":1,"code":"0x50","p":[0,10,0,0,0]})",
        R"("ev":"line","script":1,"step":2,"code":"0x41","p":[0,0,0,0,2]})",
        R"("ev":"script","no":2})",
        R"("ev":"line","script":2,"step":1,"code":"0x53","p":[0,10,3,0,0]})",
        R"("ev":"line","script":2,"step":2,"code":"0x4f","p":[0,0,0,0,0]})",
        R"("ev":"script","no":1})",
        R"("ev":"line","script":1,"step":3,"code":"0x70","p":[1,30,30,0,0]})",
        R"("ev":"line","script":1,"step":4,"code":"0x50","p":[0,1,0,0,0]})",
        R"("ev":"line","script":1,"step":5,"code":"0x7e","p":[1,0,0,0,0]})",
        R"("ev":"line","script":1,"step":8,"code":"0x40","p":[1,0,0,0,3]})",
        R"("ev":"script","no":3})",
        R"("ev":"line","script":3,"step":5,"code":"0x60","p":[2,0,0,0,-1]})",
        ModeEvent(Mode::MessagePrint),
        ModeEvent(Mode::MessageWait),
    };
    EXPECT_EQ(ScriptEvents(ReadAll(trace)), expected);

    // The close wrote the game's variables and the one message read into the save file.
    const std::string save = ReadAll(root.Path() / "data" / "VELDORN" / "ORVA300SE" / "SAVE.DAT");
    ASSERT_EQ(save.size(), kSystemBlockSize);
    SystemBlock block;
    std::memcpy(&block, save.data(), sizeof block);
    EXPECT_EQ(block.Game.ScenarioFlg[0], 10);
    EXPECT_EQ(block.Game.ScenarioFlg[1], 30);
    EXPECT_EQ(block.SystemFlg[4], 1);
    EXPECT_EQ(block.Game.ScriptNo, 3);
    EXPECT_EQ(block.Game.ScriptStep, 5);
    EXPECT_EQ(block.Game.SkipAllowed, 1);
    for (int i = 0; i < kKidokuSize; ++i)
        ASSERT_EQ(block.KidokuTbl[i], i == 3 * kKidokuBlock ? 0x04 : 0) << "KidokuTbl byte " << i;

    // The disassembly of the container builds back to the same bytes.
    const auto dis = root.Path() / "dis.txt", again = root.Path() / "again.dat";
    ASSERT_EQ(RunCommand(asmTool + " dis '" + (game / "SCRIPT.DAT").string() + "' -o '" + dis.string() + "'"), 0);
    ASSERT_EQ(RunCommand(asmTool + " build '" + dis.string() + "' -o '" + again.string() + "'"), 0);
    EXPECT_EQ(ReadAll(again), ReadAll(game / "SCRIPT.DAT"));
}

TEST(ScriptRun, ScriptsThatNeverWaitStillLetTheWindowCloseOnTime) {
    // One jumps to its own label forever (each jump ends a pass); the other restarts itself
    // through a block end that does not exist, within a single pass. The close at the time
    // limit writes the save file, so the variable found there shows the frame loop kept running.
    const char* sources[] = {".script 1 \"a\"\n*a\nset F2 7\njump *a\n",
                             ".script 1 \"a\"\nset F2 7\n.line 0x70 0 9 1 2 0 0\n"};
    for (const char* source : sources) {
        TempDir root;
        const auto game = root.Path() / "game";
        std::filesystem::create_directories(game);
        std::ofstream(root.Path() / "s.txt") << source;
        ASSERT_EQ(RunCommand(std::string(ORVA_ASM_BINARY) + " build '" + (root.Path() / "s.txt").string() +
                             "' -o '" + (game / "SCRIPT.DAT").string() + "'"),
                  0);
        ASSERT_EQ(RunCommand("env XDG_RUNTIME_DIR='" + root.Path().string() + "' XDG_DATA_HOME='" +
                             (root.Path() / "data").string() + "' " + ORVA_BINARY + " --headless --game '" +
                             game.string() + "' --until 3000"),
                  0);
        const std::string save = ReadAll(root.Path() / "data" / "VELDORN" / "ORVA300SE" / "SAVE.DAT");
        ASSERT_EQ(save.size(), kSystemBlockSize);
        int16_t f2 = 0;
        std::memcpy(&f2, save.data() + offsetof(GameRec, ScenarioFlg) + 2, 2);
        EXPECT_EQ(f2, 7) << source;
    }
}

}  // namespace
}  // namespace orva
