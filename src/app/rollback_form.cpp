// Rollback on the main form: a rollback point is captured as each message or choice begins;
// Backspace or the mouse's back button takes the game back to the point of the message before
// (in the log review: of the entry shown) and runs that message's line again, shown whole.
#include <cstring>
#include <string>

#include "app/main_form.h"
#include "graphics/scene_compose.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

// Whether a rollback may start in this mode: a message printing or waiting, or a choice.
bool RollbackMode(Mode mode) { return mode == Mode::MessagePrint || mode == Mode::MessageWait || mode == Mode::ChoiceWait; }

}  // namespace

void TForm1::RollbackCapture(int32_t msgNo, bool choice) {
    RollbackPoint point;
    point.Game = Game;
    point.WorkFlg = WorkFlg;
    point.RandomState = Random.Current();
    point.MsgNo = msgNo;
    point.IsChoice = choice;
    point.SkippableSection = Skip.SkippableSection;
    point.SceneIdx = Script.SceneIdx;
    Rollback.Push(std::move(point));
}

void TForm1::RollbackClear() { Rollback.Clear(); }

void TForm1::RollbackCheck() {
    if (!Input.KeyRollback) return;
    Input.KeyRollback = false;
    if (!RollbackMode(EngineMode)) return;
    // In the log review the entry shown is LogPos messages back.
    const int32_t steps = Text.LogReview ? Msg.LogPos : 1;
    if (steps >= 1) RollBack(steps);
}

bool TForm1::RollBack(int32_t steps) {
    std::optional<RollbackPoint> point = Rollback.RollBack(static_cast<size_t>(steps));
    if (!point) return false;

    // The script's state comes back whole; what belongs to the player and not to the story
    // (the chosen music version, the save comment) stays as it is now.
    const GameRec was = Game;
    Game = point->Game;
    Game.InUse = was.InUse;
    Game.SaveTime = was.SaveTime;
    Game.AltMusic = was.AltMusic;
    std::memcpy(Game.Comment, was.Comment, sizeof Game.Comment);
    WorkFlg = point->WorkFlg;
    Random.Seed(point->RandomState);
    Script.SceneIdx = point->SceneIdx;
    Skip.StopAll();
    Skip.StartSection(point->SkippableSection);
    SetSystemFlag(kSystemCursor, Game.CursorShown != 0);

    // The layers, composed and shown at once.
    ReadGameLayers();
    NOVL_CreateNextImage();
    Pics->NextPicture.CopyRect(0, 0, kSceneWidth, kSceneHeight, 0, 0, Pics->ScenePicture);

    // Music that is already the point's plays on; other music cross-fades in a second.
    const std::string music = FieldText(Game.MusicName, sizeof Game.MusicName);
    if (music != FieldText(was.MusicName, sizeof was.MusicName) || Game.MusicLoop != was.MusicLoop) {
        if (!music.empty()) {
            NOVL_PlayBGM2011(music, 1, true, Game.MusicLoop);
        } else {
            // Before any music began: whatever plays now fades out.
            NOVL_PlayBGM2011("STOP", 1, true, 0);
            std::memcpy(Game.MusicName, point->Game.MusicName, sizeof Game.MusicName);
            Game.MusicLoop = point->Game.MusicLoop;
        }
    }
    // Looping effects: the point's play (on, where they were not already), others stop.
    for (int slot = 1; slot <= 3; ++slot) {
        const std::string name = FieldText(Game.EffectName[slot - 1], sizeof Game.EffectName[0]);
        const std::string wasName = FieldText(was.EffectName[slot - 1], sizeof was.EffectName[0]);
        const bool loops = Game.EffectLoop[slot - 1] != 0 && !name.empty();
        const bool wasLooping = was.EffectLoop[slot - 1] != 0 && !wasName.empty();
        if (loops && !(wasLooping && name == wasName)) NOVL_PlaySE2011(slot, name, 0, 1);
        else if (!loops && wasLooping) SoundPlayerStop(slot + 2);
    }
    SoundPlayerStop(kVoiceChannel);

    // The message window: the log loses the messages gone back over, the review ends, the
    // buttons look normal and the window shows again.
    Msg.MessageLog.DropNewest(steps);
    Msg.LogPos = 0;
    Text.Clear();
    Msg.ResetButtonLooks();
    for (int b : {kBtnLog, kBtnVoice, kBtnAuto, kBtnSkip}) Msg.ButtonToggle[static_cast<size_t>(b)] = false;
    if (Config.DetachedWindow) MsgForm.FormShow();

    Trace.Event("rollback",
                TraceFields().Int("script", Game.ScriptNo).Int("step", Game.ScriptStep).Int("msg", point->MsgNo));

    // The message's line runs again (with its voice, taking its rollback point anew) and the
    // message shows whole at the next frame.
    if (Game.ScriptNo != was.ScriptNo) NOVL_ReadScript(Game.ScriptNo);
    Game.ScriptStep = point->Game.ScriptStep - 1;
    EngineMode = Mode::Script;
    NOVL_TaskScript();
    if (EngineMode == Mode::MessagePrint) Text.PrintCount = 255;
    Input.Consume();
    return true;
}

}  // namespace orva
