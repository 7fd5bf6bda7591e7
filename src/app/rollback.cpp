// The rollback history's ring and its tape of random draws.
#include "app/rollback.h"

#include <utility>

namespace orva {

void TRollbackHistory::Push(RollbackPoint point) {
    point.Draws.clear();
    point.Answer = 0;
    if (!Tape.empty()) {
        Replay = std::move(Tape.front());
        Tape.pop_front();
        ReplayNext = 0;
    } else {
        Replay.reset();
    }
    Points.push_back(std::move(point));
    while (Points.size() > kRollbackEntries) Points.pop_front();
}

void TRollbackHistory::Clear() {
    Points.clear();
    StopReplay();
}

void TRollbackHistory::StopReplay() {
    Tape.clear();
    Replay.reset();
    ReplayNext = 0;
}

std::optional<RollbackPoint> TRollbackHistory::RollBack(size_t steps) {
    if (!CanRollBack(steps)) return std::nullopt;
    // The tape is rebuilt from the points taken back, oldest first; a tape still pending from
    // an earlier rollback lies beyond them and stays behind them.
    std::deque<TapeTurn> tape;
    const size_t first = Points.size() - 1 - steps;
    for (size_t i = first; i < Points.size(); ++i) tape.push_back({Points[i].Draws, Points[i].Answer});
    // The newest point's turn may be partly replayed: what it had not yet drawn is still owed
    // by the play that follows, so the earlier tape goes on after it.
    for (TapeTurn& t : Tape) tape.push_back(std::move(t));
    if (Replay && ReplayNext < Replay->Draws.size()) {
        TapeTurn& last = tape[steps];
        last.Draws.insert(last.Draws.end(), Replay->Draws.begin() + static_cast<std::ptrdiff_t>(ReplayNext),
                          Replay->Draws.end());
        if (last.Answer == 0) last.Answer = Replay->Answer;
    }
    RollbackPoint target = std::move(Points[first]);
    Points.erase(Points.begin() + static_cast<std::ptrdiff_t>(first), Points.end());
    Tape = std::move(tape);
    Replay.reset();
    ReplayNext = 0;
    return target;
}

int32_t TRollbackHistory::Draw(int32_t range, int32_t fresh) {
    int32_t value = fresh;
    if (Replay) {
        if (ReplayNext < Replay->Draws.size() && Replay->Draws[ReplayNext].Range == range)
            value = Replay->Draws[ReplayNext++].Value;
        else
            StopReplay();  // the play has left the recorded path
    }
    if (!Points.empty()) Points.back().Draws.push_back({range, value});
    return value;
}

void TRollbackHistory::Answered(int32_t answer) {
    if (Replay && Replay->Answer != 0 && Replay->Answer != answer) StopReplay();
    if (!Points.empty()) Points.back().Answer = answer;
}

size_t TRollbackHistory::Bytes() const {
    size_t n = sizeof *this;
    for (const RollbackPoint& p : Points) n += sizeof p + p.Draws.capacity() * sizeof(RandomDraw);
    for (const TapeTurn& t : Tape) n += sizeof t + t.Draws.capacity() * sizeof(RandomDraw);
    return n;
}

}  // namespace orva
