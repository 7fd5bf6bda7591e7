// TForm1, the main form: it owns all engine state and declares every engine operation. Each
// group of operations is defined in the folder of its subsystem (app/, script/, text/ ...).
//
// [SECTION] options and small helpers
// [SECTION] state groups
// [SECTION] TForm1
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/engine_modes.h"
#include "app/frame_cache.h"
#include "app/input_state.h"
#include "app/rollback.h"
#include "data/save_layout.h"
#include "app/trace.h"
#include "data/archive.h"
#include "data/ezxor.h"
#include "data/memory_stream.h"
#include "data/script_container.h"
#include "graphics/abitmap.h"
#include "graphics/text_render.h"
#include "menus/album_layout.h"
#include "menus/comment_edit.h"
#include "graphics/theora_lib.h"
#include "menus/query_form.h"
#include "platform/platform.h"
#include "platform/screen_layout.h"
#include "script/line_rec.h"
#include "script/script_observer.h"
#include "script/script_state.h"
#include "script/script_ops.h"
#include "text/message_layout.h"
#include "text/message_log.h"
#include "text/msg_form.h"
#include "text/text_state.h"
#include "text/translation_catalog.h"
#include "text/window_buttons.h"
#include "sound/ddsd.h"
#include "sound/ogg_data.h"
#include "sound/ogg_player.h"
#include "textout/text_out_target.h"
#include "textout/websocket_text_server.h"

namespace orva {

// [SECTION] options and small helpers ---------------------------------------------------------

inline constexpr const char* kProductTitle = "ORVA";  // the application and window title
inline constexpr double kFramePeriod = 100.0 / 3.0;   // ms between painted frames: 30 per second

struct EngineOptions {
    std::filesystem::path GameDir;   // made the current directory at start-up
    std::filesystem::path SaveDir;   // the save folder (…/VELDORN/ORVA300SE)
    std::filesystem::path TracePath; // empty: no trace
    bool HasSeed = false;
    uint32_t Seed = 0;
    std::function<void()> OnStarted;  // called once the game has started (data opened, windows up)
    std::filesystem::path TranslationFile;  // PO catalog shown instead of the game's text; empty: none
    TextOutTarget TextOut;           // where each message's text goes as it begins (off by default)
    bool RenderOff = false;          // paint nothing, open no sound (the route explorer's runs)
};

// The program's random generator: a 32-bit linear congruential sequence, seedable so that
// headless runs repeat exactly.
class TRandom {
public:
    void Seed(uint32_t seed) { State = seed; }
    uint32_t Current() const { return State; }   // the sequence's position, for Seed to return to
    // A value in 0 .. range-1 (0 when range <= 0).
    int32_t Next(int32_t range) {
        State = State * 134775813u + 1u;
        return range > 0 ? static_cast<int32_t>((static_cast<uint64_t>(State) * static_cast<uint32_t>(range)) >> 32) : 0;
    }

private:
    uint32_t State = 0;
};

// round(percent × 2.55) to nearest with ties to even, computed exactly (75 → 191, 50 → 128).
constexpr int32_t OpacityFromPercent(int32_t percent) {
    const int32_t v = percent * 255;
    int32_t q = v / 100, r = v % 100;
    if (r < 0) { r += 100; --q; }
    if (r > 50 || (r == 50 && (q & 1))) ++q;
    return q;
}

// EngineMode: a mode value whose every change is reported to the trace.
class TracedMode {
public:
    explicit TracedMode(Mode v, TTrace* trace) : Value(v), Trace(trace) {}
    TracedMode& operator=(Mode v) {
        if (v != Value && Trace) Trace->ModeChange(v);
        Value = v;
        return *this;
    }
    operator Mode() const { return Value; }

private:
    Mode Value;
    TTrace* Trace;
};

// [SECTION] state groups ---------------------------------------------------------------------


// Timed waits, transitions, the frame clock and the short-lived counters of the 10-ms timer.
struct TimingState {
    double FrameClock = 0;         // tick count from which the next frame may be painted
    int32_t WaitEnd = 0;           // end of the running timed wait (signed against the tick count)
    bool WaitClickable = false;    // a click, Return or Ctrl ends the timed wait
    int32_t TransStart = 0;        // running screen transition, tick counts and ms
    int32_t TransLength = 0;
    int32_t TransEnd = 0;
    std::u16string StatusText;     // status line in the screen's corner
    int32_t StatusCountdown = 0;   // its remaining life in 10-ms ticks
    int32_t VoiceTimer = 0;        // ms without a playing voice

    // A screen transition of `length` ms from tick count `now`.
    void StartTransition(uint32_t now, int32_t length) {
        TransStart = static_cast<int32_t>(now);
        TransLength = length;
        TransEnd = static_cast<int32_t>(now + static_cast<uint32_t>(length));
    }
    // The script's timed wait, `ms` from `now`; when clickable, Return, Ctrl or a click end it.
    void StartWait(uint32_t now, int32_t ms, bool clickable) {
        WaitClickable = clickable;
        WaitEnd = static_cast<int32_t>(now + static_cast<uint32_t>(ms));
    }
    // A notice in the status line for `ticks` 10-ms ticks.
    void ShowStatus(std::u16string text, int32_t ticks) {
        StatusText = std::move(text);
        StatusCountdown = ticks;
    }
    // Frames are due from `now` on (after a long load nothing is owed).
    void RestartFrameClock(uint32_t now) { FrameClock = now; }
    // A message has begun: auto mode counts the voice-free time from here.
    void RestartVoiceTimer() { VoiceTimer = 0; }
};


// The off-screen pictures, created by FormCreate in this order.
struct PictureSet {
    TABitmap MenuScreen, MenuPicture, MenuParts;
    TABitmap ScenePicture, NextPicture, BackBuffer;
    TABitmap WindowBuffer, MsgWinPicture, WindowBase;
    TABitmap ButtonSheet;
    TABitmap TextLayer, ShadowLayer;
    std::array<TABitmap, 6> LayerPicture;   // 0 background, 1..5 characters
    TABitmap ChoiceWindowPicture, ChoiceHighlightPicture;
    std::array<std::array<TABitmap, 2>, 9> ChoiceRows;  // two sets of nine, created in pairs
};


// Menus (menus/): the state the save, title and later menus share.
struct MenuState {
    int32_t MenuHover = 0;              // element under the cursor, numbered per menu; 0 none
    int32_t SaveMenuPage = 1;           // 1..10: page p shows slots 10(p-1)+1 .. 10p; in the
                                        // album: the gallery's page, the music room's track (0 none)
    int32_t SaveMenuSelected = 0;       // selected position on the page 1..10, 0 none
    uint8_t SaveMenuIsSave = 0;         // 1 save mode, 0 load mode
    uint8_t SaveMenuJumpToNewest = 0;   // on opening, turn to the newest save's page
    bool SliderDrag = false;            // configuration menu: a slider knob is being dragged
    int32_t SliderId = 0;               // which knob, 51..56
};

// The movie library's binding, its two decoders and the playback state of the frame step
// (graphics/movie_form.cpp).
struct MovieState {
    TTheoraLib Lib;                        // the bound operations
    TheoraLibLoader Loader = LinkedTheoraLib();  // where the binding finds them
    uint32_t MovieHandle = 0;              // the picture decoder
    uint32_t MovieSoundHandle = 0;         // the sound decoder
    std::unique_ptr<TABitmap> MovieFrame;  // the decoded picture, resized to the movie
    std::unique_ptr<TMemoryStream> MovieStream;   // the movie file's bytes
    std::unique_ptr<TMemoryStream> MovieSamples;  // its sound, 16-bit stereo, 4 bytes a frame
    int32_t TotalFrames = 0;
    double FramesPerSecond = 0;
    int32_t SoundInfo = 0;                 // the sound's sample rate
    int32_t TotalSamples = 0;
    bool MoviePlaying = false;
    uint32_t StartTick = 0;                // tick count when playback started
    int32_t LastFrame = -1;                // frame number last decoded by the frame step
};

// The debug window (debug/): built only when the marker file is present at start-up.
class TDebugForm;

inline constexpr int kVoiceChannel = 6;              // the sound player's voice channel

// Whether the interpreter has a handler for a command code (script/interpreter_form.cpp).
bool CommandHasHandler(uint16_t code);

// [SECTION] TForm1 ---------------------------------------------------------------------------

class TForm1 : public PlatformEvents {
public:
    TForm1(Platform& platform, EngineOptions options);
    ~TForm1() override;

    // Runs the program until the main window has closed. Returns the exit status.
    int Run();

    // --- start-up, shutdown, timer, full screen (app/main_form.cpp)
    bool FormCreate();                       // false: a fatal start-up fault was reported
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void FormDestroy();
    void DelayTimerTimer();
    void FullModeWin();
    void ReturnFullModeWin();
    bool ShowQueryModal();                   // QueryForm.ShowModal: true when answered yes

    // --- frame loop and waits (app/frame_loop_form.cpp)
    void IdleEvent();
    void NOVL_Wait();
    void NOVL_WaitKey();
    void ProcessMessages();                  // pump events and run due 10-ms timer ticks
    void PaintFrame();
    // Fades NextPicture in over `ms` milliseconds, then enters `after` (menus, a restored game).
    void FadeInto(Mode after, int32_t ms);
    void DrawStatusText();

    // --- input (app/input_form.cpp)
    void NOVL_CheckKeyPush();
    void NOVL_ClearKey();
    void NOVL_ClearMouseButton();
    void FormMouseDown(MouseButton button, Point p);
    void FormMouseUp(MouseButton button, Point p);
    void FormMouseWheel(int direction);
    void MsgFormMouseDown(MouseButton button, Point p);
    void MsgFormMouseWheel(int direction);

    // --- the script's stores and position, for start-up and the menus (script/interpreter_form.cpp)
    void NOVL_ClearScenarioFlg();
    void NOVL_ClearReturnTbl();
    void StartScriptAt(int32_t number, int32_t step);  // load a script; the next pass runs step + 1
    void SetSystemFlag(SystemSelector selector, bool on);  // the cursor, menu-button or skip flag
    void ReturnToTitle();                    // script 1 from its title command (or its start)

    // --- data files (data/ form methods in app/data_files_form.cpp)
    bool CSFile_Init();
    bool CSFile_Read(std::string_view name, TMemoryStream& stream);
    bool NVL_FileInit();
    int NVL_ReadFile(int kind, int index, TMemoryStream& stream);

    // --- save files (menus/save_files_form.cpp)
    std::filesystem::path GetAppDataPath() const { return Options.SaveDir; }
    bool EnsureSaveFolders();
    bool NOVL_CheckSaveFile();
    bool NOVL_CreateSaveFile();
    bool NOVL_ReadSaveFile();
    bool NOVL_CheckSaveFile2();
    bool NOVL_CreateSaveFile2();
    bool NOVL_ReadSaveFile2();
    void AddMitayo(std::string_view name);
    bool CheckMitayo(std::string_view name) const;

    // --- saved games, the save/load menu, the comment field, the title menu (menus/)
    void NOVL_RestoreGame();
    // The message window, button sheet and choice pictures again, after a menu used its own.
    void ReadGameLayers();                   // the background and five layers the game record names
    void ReloadWindowPictures();
    void NOVL_DispSaveMenu();
    void NOVL_WaitSaveMenu();
    void NOVL_DrawSaveMenu();
    void NOVL_DispTitleMenu();
    void NOVL_WaitTitleMenu();
    void NOVL_DrawTitleMenu();
    void CommentEditKeyPress(char& key);     // the comment field's key handler (13 confirms)
    // Opens the save menu in save (true) or load mode on page 1, turning to the newest save,
    // and returns to the current mode when it closes.
    void OpenSaveMenu(bool save);
    // Copies GameRec, comment and all, into slot 1..100 with the time now, writes the system
    // save file and the slot's thumbnail. False when a file could not be written (the slot is
    // still saved in memory).
    bool SaveToSlot(int slot);
    // Copies a used slot into GameRec, steps back one line and enters the restore mode. False
    // for an empty slot or a number out of range.
    bool LoadFromSlot(int slot);
    std::filesystem::path ThumbnailPath(int slot) const;
    // Shows the confirmation dialog with a question strip; true when answered yes.
    bool ShowQuery(QueryStrip strip);
    void LoadQueryFormPictures();            // FormCreate: the dialog's pictures and caption

    // --- the configuration menu (menus/config_menu_form.cpp)
    void NOVL_DispConfigMenu();
    void NOVL_WaitConfigMenu();
    void NOVL_DrawConfigMenu();
    void ConfigMenuClick(int control);       // what a click on a control does
    void SetWindowDesign(int design);        // the message window's pictures for design 0 or 1

    // --- script loading, interpreter and searches (script/)
    void NOVL_TaskInit();
    void NOVL_TaskScript();
    void NOVL_ReadScript(int number);
    int16_t GetLabelStep(std::u16string_view name) const;
    int16_t GetElseStep(int16_t key) const;
    bool CheckKidoku(int32_t msgNo) const;
    int32_t AddSceneTbl(int32_t script);
    int32_t GetSceneTbl(int32_t script) const;
    const LineRec& ScriptLine(int32_t step) const;   // a line of the loaded script; the end line past it
    ScriptVars Vars();                               // the three variable arrays
    // Command handlers, one per row of the command table; true ends the pass where the row
    // lets the handler decide.
    bool CmdBackground(const ScriptCommand& cmd);
    bool CmdCharacter(const ScriptCommand& cmd);
    bool CmdTransition(const ScriptCommand& cmd);
    bool CmdMusic(const ScriptCommand& cmd);
    bool CmdEffect(const ScriptCommand& cmd);
    bool CmdJump(const ScriptCommand& cmd);
    bool CmdCall(const ScriptCommand& cmd);
    bool CmdMarker(const ScriptCommand& cmd);
    bool CmdReturn(const ScriptCommand& cmd);
    bool CmdSet(const ScriptCommand& cmd);
    bool CmdArithmetic(const ScriptCommand& cmd);
    bool CmdRandom(const ScriptCommand& cmd);
    bool CmdMessage(const ScriptCommand& cmd);
    bool CmdChoice(const ScriptCommand& cmd);
    bool CmdCondition(const ScriptCommand& cmd);
    bool CmdElse(const ScriptCommand& cmd);
    bool CmdWait(const ScriptCommand& cmd);
    bool CmdSystem(const ScriptCommand& cmd);
    bool CmdSkipEnd(const ScriptCommand& cmd);
    bool CmdEndOfScript(const ScriptCommand& cmd);

    // --- routines the frame loop, start-up and the script call, each defined in its
    //     subsystem's folder
    void NOVL_DispEffect_01();
    void NOVL_DispEffect_91();
    void NOVL_WaitMessage();
    void NOVL_WaitSelect();
    void TakeChoice(int answer);             // answer 1..ChoiceCount of the waiting choice is taken
    void MessagePrinted();                   // the printing message stands complete and waits
    void NOVL_DispAlbumMenu();
    void NOVL_WaitAlbumMenu();
    void NOVL_DispBgmMenu();
    void NOVL_WaitBgmMenu();
    void NOVL_DispCgMenu();
    void NOVL_WaitCgMenu();
    void NOVL_DispCg();
    void NOVL_WaitCg();
    void NOVL_DispEvMenu();
    void NOVL_WaitEvMenu();
    void NOVL_DrawMessage();
    void NOVL_DrawSelect();
    void NOVL_DrawAlbumMenu();
    void NOVL_DrawBgmMenu();
    void NOVL_DrawCgMenu();
    void NOVL_DrawEvMenu();
    void NOVL_ClearMsgLog();
    void SetUpSound();
    void FreeSound();
    bool VoicePlaying();
    void NOVL_CreateNextImage();
    // Called by the script's commands; names are CP932 bytes, texts 16-bit characters.
    void NOVL_ReadGraphic2011(int slot, const std::string& fileName);     // pictures: slot, "NAME.png"
    bool NOVL_PlayBGM2011(const std::string& name, int fade, bool force, int loop);  // sound
    bool NOVL_PlaySE2011(int slot, const std::string& name, int fade, int loop);
    bool NOVL_PlayVOICE2011(const std::string& name, bool loop);
    void SoundPlayerStop(int channel);      // Stop of the sound player on one channel (6: voice)
    void NOVL_MakeMessage(const std::u16string& text);                    // text
    void NOVL_MakeSelect(const std::u16string& text);

    // --- messages, message log, choices, detached window (text/)
    void NOVL_AddMsgLog(const std::u16string& text, int32_t voice);
    bool LogStepBack();                      // one entry back in the review; true when shown
    void LogStepForward();                   // one entry forward
    TTextRenderer& TextRenderer();           // created at the first text drawn
    std::string_view MessageFontName() const;
    // The script's message text `no` and voice name `voice` as 16-bit text (empty when out of
    // range); the script's lists belong to the interpreter.
    std::u16string MessageTextAt(int32_t no);
    std::u16string VoiceNameAt(int32_t voice);
    // --- translations (text/translation_form.cpp)
    void LoadTranslation();                  // FormCreate: reads Options.TranslationFile
    int RevealedWidth(int k, int chars) const;  // pixels of line k's first chars characters
    TTranslationCatalog Catalog;             // empty: the game's own text
    // A waiting message over the attached window: its second window blend and its shadow and
    // text layers, which every frame draws alike, so the frame's kept base can hold them.
    bool WaitingTextAttached() const;
    void DrawWaitingText(TABitmap& back);
    // The detached window's picture is composed for the frames that show it (and for every
    // frame when the frame cache is off, the reference it is checked against).
    bool DetachedPictureDrawn() const;
    // NOVL_DrawButton in parts: whether the buttons show, their looks settled for the frame
    // (locks, a choice's disabled buttons), and their drawing, which a waiting message's frame
    // base can hold while the click-wait icon keeps clear of them.
    bool WindowButtonsShown() const;
    void SettleButtonLooks();
    void DrawWindowButtons(TABitmap& target, bool detached);
    bool WaitIconClearOfButtons() const;
    // --- sound (sound/playback_form.cpp; SetUpSound, FreeSound, VoicePlaying and the three
    //     playback routines above live there too)
    void SetSoundVolumes();                  // the player's channel volumes from ConfigRec
    void SwitchMusicVersion();               // the other version of the playing music, from its start
    // The device buffer's refill event: mix the next half and write it where the device asks.
    void OutputWaveNotify(TDDSDGenWave& sender, TDDSDChannel* channel, uint32_t offset, uint32_t length);

    // --- the message window's buttons (text/window_buttons_form.cpp)
    void NOVL_CheckButton();
    void NOVL_DrawButton();
    void QuickSave();                        // slot 100, with its notice
    void QuickLoad();                        // slot 100 when used, with its notice
    void WindowButtonAction(int button);     // what a latched bottom-row button does

    // --- album menus' tables (menus/album_menus_form.cpp; their Disp, Wait and Draw routines are
    //     declared above with the other menus, their helpers stay in that file)
    AlbumState Album;

    // --- PlatformEvents: window events only set latches
    void OnMouseDown(WindowId window, MouseButton button, Point client) override;
    void OnMouseUp(WindowId window, MouseButton button, Point client) override;
    void OnMouseWheel(WindowId window, int direction) override;
    void OnTextInput(const std::string& utf8) override;
    void OnTextComposition(const std::string& utf8) override;
    void OnCloseRequest() override;

    // --- gamepad actions (app/pad_form.cpp)
    void OnPadAction(PadAction action) override;
    // The current screen's elements as the d-pad and B see them: the window they lie in, the
    // element under a point (0 none) and the one that returns or closes (0 none).
    struct PadScreen {
        WindowId Window = WindowId::Main;
        int Width = kScreenWidth, Height = kScreenHeight;
        std::function<int32_t(Point)> At;   // null: the screen has nothing to point at
        int32_t BackId = 0;
    };
    PadScreen CurrentPadScreen();
    ButtonStates PadButtonStates() const;    // the window buttons' looks as the next check sees them

    // --- screenshots (app/screenshot_form.cpp)
    void CheckScreenshotKey();               // F12 (the pad's X) pressed: one shot per press
    bool TakeScreenshot();                   // false: reported on stderr and the status line
    bool ScreenshotKeyHeld = false;

    // Adds a line to the debug window's memo (and stderr).
    void DebugMemoAdd(const std::string& line);

    // --- rollback (app/rollback_form.cpp)
    void RollbackCapture(int32_t msgNo, bool choice);  // a message or choice begins
    void RollbackCheck();                    // Backspace or the back button: one message back
    bool RollBack(int32_t steps);            // to the point `steps` texts back; false: none there
    void RollbackClear();                    // a new game, a load, the title, a scene replay
    // --- text out for readers with a dictionary (textout/text_out_form.cpp)
    void StartTextOut();                     // FormCreate: the clipboard, or the WebSocket server
    void StopTextOut();
    std::string ShownMessageText() const;    // the current message as shown, on one line (UTF-8)
    void TextOutMessageBegun();              // a message starts printing: its text goes out

    // --- movies (graphics/movie_form.cpp)
    bool NVL_TheoraInit();                   // false: the library could not be bound (reported)
    void NVL_TheoraFree();
    void NVL_TheoraPrepara();
    void MovieFrameStep();                   // the frame loop's step while a movie plays
    void NOVL_WaitMovie();
    void NOVL_WaitMovieAlbum();

    // --- debug window (debug/debug_routines_form.cpp)
    void NOVL_Debug();
    void ShowDebugForm(bool visible);        // NOVL_TaskInit: the marker file decides
    void DebugFormMouseDown(MouseButton button, Point p);
    void DebugFormMouseWheel(int direction);
    void SetAlbumFlags(int value);           // SystemFlg 201..300 := value; -1 each at random

    // --- state
    Platform& Plat;
    EngineOptions Options;
    TTrace Trace;
    std::unique_ptr<SystemBlock> Sys;        // persistent: the system save file's image
    GameRec& Game;                           // Sys->Game
    ConfigRec& Config;                       // Sys->Config
    std::array<int16_t, kVarCount> WorkFlg{};  // work variables 1..512 at [0..511]
    TracedMode EngineMode;                   // what the frame loop runs this pass
    Mode PrevMode = Mode::Script;            // mode to return to when a menu closes
    bool StoryMode = false;                  // 1 in the story, 0 during a scene replay
    InputState Input;
    SkipState Skip;
    TextState Text;
    TimingState Timing;
    ScriptState Script;
    std::unique_ptr<PictureSet> Pics;
    FrameCache Frames;                       // the main window's base between painted frames
    TArchiveSet Archives;                    // the data archives
    TScriptContainer Container;              // SCRIPT.DAT
    TEZXor EZXor1;                           // scrambler of SAVE2.DAT
    std::vector<std::string> MitayoList;     // background pictures already shown
    std::vector<std::string> DebugMemo;      // picture read errors and other notices
    MovieState Movie;                        // graphics/movie_form.cpp
    std::unique_ptr<TDebugForm> DebugForm;   // null until the marker file shows it
    TABitmap DebugPicture;                   // the debug window's client area
    size_t DebugMemoShown = 0;               // DebugMemo lines already in the window
    TQueryForm QueryForm;
    MenuState Menus;                         // menus/: the save and title menus' state
    TCommentEdit CommentEdit;                // the save menu's comment field
    TRandom Random;
    TRollbackHistory Rollback;               // app/rollback_form.cpp: points of the current play
    ScriptObserver* Observer = nullptr;      // watches the interpreter (the route explorer); null in play
    bool MsgFormVisible = false;             // MsgForm is shown (the detached window)
    bool ButtonsEnabled = false;             // the message window buttons may act
    MessageWindowState Msg;                  // text/: messages, log, choices
    TMsgForm MsgForm{Plat, MsgFormVisible};  // the detached message window
    std::unique_ptr<TTextRenderer> TextRender;
    std::unique_ptr<TWebSocketTextServer> TextOutServer;  // textout/: while --text-out websocket runs
    bool ClipboardRefused = false;           // the desktop refused the clipboard once (said once)

    // Sound: the device, the mixer, its seven sources and the device buffer the mix plays
    // through. Declared in this order so that a form destroyed without FreeSound still stops
    // the refill thread before the sources and the player go.
    std::unique_ptr<TDDSD> DDSD1;
    std::unique_ptr<TOggPlayer> SoundPlayer;
    std::array<std::unique_ptr<TOggData>, 2> MusicSource;   // player channels 0 and 1
    std::array<std::unique_ptr<TOggData>, 4> EffectSource;  // effect slots 0..3, channels 2..5
    std::unique_ptr<TOggData> VoiceSource;                  // channel 6
    std::unique_ptr<TDDSDWaveData> OutputWave;              // on device channel 0
    int32_t MusicSlot = 0;                                  // the music source started last

private:
    uint32_t TimerLast = 0;                  // tick count of the last 10-ms timer tick
    bool CloseRequested = false;             // the close button was pressed
    bool Closed = false;                     // FormClose has run
    int ModalDepth = 0;                      // nesting of modal dialogs
};

}  // namespace orva
