// The main form's start-up, shutdown, 10-ms timer, full-screen switch and the modal
// confirmation dialog.
#include "app/main_form.h"
#include "debug/debug_window.h"

#include "graphics/png_load.h"
#include "platform/screen_layout.h"

#include <cstdio>
#include <ctime>
#include <iostream>
#include <system_error>

namespace orva {

TForm1::TForm1(Platform& platform, EngineOptions options)
    : Plat(platform),
      Options(std::move(options)),
      Sys(std::make_unique<SystemBlock>()),
      Game(Sys->Game),
      Config(Sys->Config),
      EngineMode(Mode::Script, &Trace),
      Pics(std::make_unique<PictureSet>()) {
    *Sys = SystemBlock{};
    ConfigureMainFormXor(EZXor1);
    Trace.SetClock([this] { return Plat.Ticks(); });
}

TForm1::~TForm1() = default;

int TForm1::Run() {
    if (!Options.TracePath.empty()) {
        std::string error;
        if (!Trace.Open(Options.TracePath, error)) {
            std::cerr << "orva: " << error << "\n";
            return 2;
        }
    }
    if (!FormCreate()) return 2;
    // The start-up hook waits for the first pass, so nothing delays the first frame.
    IdleEvent();
    if (Options.OnStarted) Options.OnStarted();
    while (!Closed) IdleEvent();
    FormDestroy();
    return 0;
}

bool TForm1::FormCreate() {
    // The game's folder becomes the current directory; relative paths are taken from there.
    std::error_code ec;
    std::filesystem::current_path(Options.GameDir, ec);
    if (ec) {
        std::cerr << "orva: cannot enter the game folder " << Options.GameDir.string() << ": " << ec.message() << "\n";
        return false;
    }
    Random.Seed(Options.HasSeed ? Options.Seed : static_cast<uint32_t>(std::time(nullptr)));

    // The window size is fixed by the platform; open the script container, then the archives.
    if (!NVL_FileInit() || !CSFile_Init()) return false;
    LoadTranslation();

    // The off-screen pictures, each black: a new picture's pixels are (0, 0, 0, 0), and their
    // memory is only taken once something is drawn on them.
    PictureSet& p = *Pics;
    auto make = [](TABitmap& b, int w, int h) { b.SetSize32(w, h); };
    make(p.MenuScreen, kScreenWidth, kScreenHeight);
    make(p.MenuPicture, kScreenWidth, kScreenHeight);
    make(p.MenuParts, kScreenWidth, kScreenHeight);
    make(p.ScenePicture, kScreenWidth, kScreenHeight);
    make(p.NextPicture, kScreenWidth, kScreenHeight);
    make(p.BackBuffer, kScreenWidth, kScreenHeight);
    make(p.WindowBuffer, kMsgWindowWidth, kMsgWindowHeight);
    make(p.MsgWinPicture, kMsgWindowWidth, kMsgWindowHeight);
    make(p.WindowBase, kMsgWindowWidth, kMsgWindowHeight);
    make(p.ButtonSheet, kScreenWidth, kScreenHeight);
    make(p.TextLayer, kMsgWindowWidth, kMsgWindowHeight);
    make(p.ShadowLayer, kMsgWindowWidth, kMsgWindowHeight);
    for (auto& layer : p.LayerPicture) make(layer, kScreenWidth, kScreenHeight);
    make(p.ChoiceWindowPicture, kChoiceBarWidth, kChoiceBarHeight);
    make(p.ChoiceHighlightPicture, kChoiceBarWidth, kChoiceBarHeight);
    for (auto& pair : p.ChoiceRows)
        for (auto& row : pair) make(row, kChoiceBarWidth, kChoiceBarHeight);

    // Ctrl does not skip until the first pass has prepared the script; start-up then pauses
    // for half a second.
    Skip.EnableControl(false);
    Plat.Sleep(500);

    // The movie library and sound.
    if (!NVL_TheoraInit()) return false;
    SetUpSound();

    // The system save file: created with the default configuration when missing.
    if (!EnsureSaveFolders()) return false;
    if (!NOVL_CheckSaveFile()) {
        Config = DefaultConfig();
        if (!NOVL_CreateSaveFile()) return false;
    }
    if (!NOVL_ReadSaveFile()) {
        // A damaged file was set aside and reported; play on with the defaults.
        *Sys = SystemBlock{};
        Config = DefaultConfig();
        if (!NOVL_CreateSaveFile()) return false;
    }

    // The screen mode the player chose last time.
    if (Config.ScreenMode == 1) FullModeWin();

    // The seen-pictures list.
    MitayoList.clear();
    if (NOVL_CheckSaveFile2()) NOVL_ReadSaveFile2();

    // The saved volumes reach the player; the game starts with no scenario variables, an empty
    // message log and no music. Each clear runs once: nothing between them touches the others'
    // state, so a second call could only repeat the first.
    SetSoundVolumes();
    NOVL_ClearScenarioFlg();
    NOVL_ClearMsgLog();
    Game.MusicName[0] = '\0';

    // The gallery and scene-replay tables.
    FillAlbumTables(Album.CgAlbumData, Album.EvAlbumData);

    // The confirmation dialog is created with the main form: its pictures are read now, so a
    // missing one is in the debug memo from the start.
    LoadQueryFormPictures();

    // The window buttons may act, the first pass starts the game, and the message window is
    // always attached at start.
    ButtonsEnabled = true;
    EngineMode = Mode::Startup;
    Config.DetachedWindow = 0;
    TimerLast = Plat.Ticks();
    StartTextOut();
    return true;
}

void TForm1::FormCloseQuery(bool& canClose) { canClose = ShowQuery(QueryStrip::Quit); }

bool TForm1::ShowQuery(QueryStrip strip) {
    QueryForm.Open(strip);
    const bool yes = ShowQueryModal();
    Trace.Event("query", TraceFields()
                             .Str("strip", strip == QueryStrip::Title ? "title" : "quit")
                             .Int("answer", yes ? 1 : 0));
    return yes;
}

bool TForm1::ShowQueryModal() {
    ++ModalDepth;
    // Centred over the main window's 800×600 client area.
    Plat.PlaceWindow(WindowId::Query, {(kScreenWidth - TQueryForm::kWidth) / 2, (kScreenHeight - TQueryForm::kHeight) / 2});
    Plat.BeginModal(WindowId::Query);
    Plat.Present(WindowId::Query, QueryForm.Screen());
    // The game keeps running behind the dialog; as the dialog has the focus, it samples no input.
    while (!QueryForm.Answered()) {
        if (Plat.ModalAutoConfirm()) {
            QueryForm.Answer(1);
            break;
        }
        IdleEvent();
        QueryForm.MouseMove(Plat.CursorIn(WindowId::Query));
        Plat.Present(WindowId::Query, QueryForm.Screen());
    }
    Plat.EndModal(WindowId::Query);
    --ModalDepth;
    return QueryForm.QueryResult == 1;
}

void TForm1::LoadQueryFormPictures() {
    auto load = [this](const char* name, TABitmap& out) {
        TMemoryStream stream;
        bool hasAlpha = false;
        std::string error;
        if (!CSFile_Read(name, stream) || !DecodePng(stream.View(), out, hasAlpha, error)) {
            DebugMemoAdd(std::string("read error : ") + name);
            return false;
        }
        return true;
    };
    TABitmap background, parts;
    const bool haveBackground = load("SysQuery.png", background);
    const bool haveParts = load("SysQueryP.png", parts);
    QueryForm.FormCreate(haveBackground ? &background : nullptr, haveParts ? &parts : nullptr);
    Plat.SetWindowTitle(WindowId::Query, TQueryForm::kCaption);
}

void TForm1::FormClose() {
    Trace.Event("close");
    NOVL_CreateSaveFile();
    NOVL_CreateSaveFile2();
    Plat.Sleep(100);
    if (Plat.IsFullScreen()) ReturnFullModeWin();
    Plat.Sleep(100);
    Closed = true;
}

void TForm1::FormDestroy() {
    NVL_TheoraFree();
    FreeSound();
    StopTextOut();
    Trace.Close();
}

void TForm1::DelayTimerTimer() {
    Input.TickRepeatDelay();
    if (!VoicePlaying()) Timing.VoiceTimer += 10;
    if (--Timing.StatusCountdown < 0) {
        Timing.StatusCountdown = 0;
        Timing.StatusText.clear();
    }
}

// Full screen uses the desktop's own resolution with the 800×600 picture scaled to fit, so
// no display mode changes and every other window keeps its place.
void TForm1::FullModeWin() { Plat.SetFullScreen(true); }
void TForm1::ReturnFullModeWin() { Plat.SetFullScreen(false); }

void TForm1::DebugMemoAdd(const std::string& line) {
    DebugMemo.push_back(line);
    std::cerr << line << "\n";
}

// --- window events: they only set latches, the next frame acts on them ---------------------

void TForm1::OnMouseDown(WindowId window, MouseButton button, Point client) {
    if (window == WindowId::Main) FormMouseDown(button, client);
    else if (window == WindowId::Msg) MsgFormMouseDown(button, client);
    else if (window == WindowId::Query) QueryForm.MouseDown(button, client);
    else if (window == WindowId::Debug) DebugFormMouseDown(button, client);
}

void TForm1::OnMouseUp(WindowId window, MouseButton button, Point client) {
    if (window == WindowId::Main) FormMouseUp(button, client);
    else if (window == WindowId::Query) QueryForm.MouseUp(button, client);
}

void TForm1::OnMouseWheel(WindowId window, int direction) {
    if (window == WindowId::Main) FormMouseWheel(direction);
    else if (window == WindowId::Msg) MsgFormMouseWheel(direction);
    else if (window == WindowId::Debug) DebugFormMouseWheel(direction);
}

void TForm1::OnCloseRequest() { CloseRequested = true; }

}  // namespace orva
