// The rollback history: a bounded ring of rollback points, one taken as each message or choice
// of the current play begins, and the tape of random draws that lets a rolled-back play go on
// exactly as it went before. Knows nothing of the form; app/rollback_form.cpp captures and
// restores the engine's state through it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "data/save_layout.h"

namespace orva {

inline constexpr size_t kRollbackEntries = 100;   // messages and choices kept for rollback

// One random draw of the script: the range asked for and the value given.
struct RandomDraw {
    int32_t Range = 0;
    int32_t Value = 0;
};

// The engine's state as a message or choice began: what a save slot holds plus what a save
// leaves out (work variables, the random generator, the section and replay positions).
struct RollbackPoint {
    GameRec Game{};                              // script position, variables, calls, layers, sound
    std::array<int16_t, kVarCount> WorkFlg{};    // work variables 1..512 at [0..511]
    uint32_t RandomState = 0;                    // the generator before the message began
    int32_t MsgNo = 0;                           // the message number, or the choice's text index
    bool IsChoice = false;
    bool SkippableSection = false;               // inside the script's skippable section
    int32_t SceneIdx = 0;                        // the scene replay's queue entry
    // Filled while the play goes on from this point: the script's random draws until the next
    // point, and the answer given when the point is a choice (0 not answered).
    std::vector<RandomDraw> Draws;
    int32_t Answer = 0;
};

class TRollbackHistory {
public:
    // A message or choice begins: its point becomes the newest, the oldest beyond the bound
    // goes. While a rolled-back play replays, the point takes up its turn of the tape.
    void Push(RollbackPoint point);
    // Forgets every point and the tape (a new game, a load, the title, a scene replay).
    void Clear();
    size_t Size() const { return Points.size(); }
    bool Empty() const { return Points.empty(); }
    // Point i, 0 the oldest.
    const RollbackPoint& At(size_t i) const { return Points[i]; }
    // Whether `steps` points before the newest exist (the newest is the text on the screen).
    bool CanRollBack(size_t steps) const { return steps >= 1 && steps < Points.size(); }
    // Takes back the newest `steps` points and the one they go back to, and returns that one;
    // what was drawn and answered from it on becomes the tape for the play that follows.
    // Nothing (and nothing changed) when CanRollBack(steps) is false.
    std::optional<RollbackPoint> RollBack(size_t steps);
    // The script drew `fresh` from the generator for `range`: returns the value to use (the
    // recorded one while the tape replays) and records it in the newest point.
    int32_t Draw(int32_t range, int32_t fresh);
    // The newest point's choice was answered; another answer than before ends the tape.
    void Answered(int32_t answer);
    bool Replaying() const { return Replay.has_value(); }
    // Bytes held: the ring and every point's draws.
    size_t Bytes() const;

private:
    // One point's turn of the tape: its draws (taken in order) and the answer it had.
    struct TapeTurn {
        std::vector<RandomDraw> Draws;
        int32_t Answer = 0;
    };
    void StopReplay();

    std::deque<RollbackPoint> Points;   // oldest first
    std::deque<TapeTurn> Tape;          // turns still to come, for the points that follow
    std::optional<TapeTurn> Replay;     // the newest point's turn while it replays
    size_t ReplayNext = 0;              // next draw of Replay
};

}  // namespace orva
