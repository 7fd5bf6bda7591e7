// The mode table: one row per mode value with its name, its step and its draw routine. The frame
// loop dispatches from it, PaintFrame draws from it and the trace names the modes by it.
#include <array>
#include <cstdio>
#include <ostream>

#include "app/engine_modes.h"
#include "app/main_form.h"

namespace orva {
namespace {

using F = TForm1;

// Rows stand in painting order: the message text, the choice, the window buttons (shown while a
// message waits and during a choice), then the menus from the title to the save menu.
constexpr ModeRow kModeTable[] = {
    {Mode::Startup, "Startup", &F::NOVL_TaskInit, nullptr, kFrameShown},
    {Mode::Script, "Script", &F::NOVL_TaskScript, nullptr, kFrameShown},
    {Mode::ScriptFade, "ScriptFade", &F::NOVL_DispEffect_01, nullptr, kFrameShown},
    {Mode::FadeToPrevMode, "FadeToPrevMode", &F::NOVL_DispEffect_91, nullptr, kFrameShown},
    {Mode::MessagePrint, "MessagePrint", nullptr, &F::NOVL_DrawMessage, kFrameShown},
    {Mode::ChoiceWait, "ChoiceWait", &F::NOVL_WaitSelect, &F::NOVL_DrawSelect, kFrameShown},
    {Mode::MessageWait, "MessageWait", &F::NOVL_WaitMessage, &F::NOVL_DrawButton, kFrameShown},
    {Mode::TitleMenuEnter, "TitleMenuEnter", &F::NOVL_DispTitleMenu, &F::NOVL_DrawTitleMenu, kFrameShown},
    {Mode::TitleMenuWait, "TitleMenuWait", &F::NOVL_WaitTitleMenu, &F::NOVL_DrawTitleMenu, kFrameShown},
    {Mode::AlbumMenuEnter, "AlbumMenuEnter", &F::NOVL_DispAlbumMenu, &F::NOVL_DrawAlbumMenu, kFrameShown},
    {Mode::AlbumMenuWait, "AlbumMenuWait", &F::NOVL_WaitAlbumMenu, &F::NOVL_DrawAlbumMenu, kFrameShown},
    {Mode::MusicRoomEnter, "MusicRoomEnter", &F::NOVL_DispBgmMenu, &F::NOVL_DrawBgmMenu, kFrameShown},
    {Mode::MusicRoomWait, "MusicRoomWait", &F::NOVL_WaitBgmMenu, &F::NOVL_DrawBgmMenu, kFrameShown},
    {Mode::GalleryEnter, "GalleryEnter", &F::NOVL_DispCgMenu, &F::NOVL_DrawCgMenu, kFrameShown},
    {Mode::GalleryWait, "GalleryWait", &F::NOVL_WaitCgMenu, &F::NOVL_DrawCgMenu, kFrameShown},
    {Mode::GalleryViewEnter, "GalleryViewEnter", &F::NOVL_DispCg, &F::NOVL_DrawCgMenu, kFrameShown},
    {Mode::GalleryViewWait, "GalleryViewWait", &F::NOVL_WaitCg, &F::NOVL_DrawCgMenu, kFrameShown},
    {Mode::SceneReplayEnter, "SceneReplayEnter", &F::NOVL_DispEvMenu, &F::NOVL_DrawEvMenu, kFrameShown},
    {Mode::SceneReplayWait, "SceneReplayWait", &F::NOVL_WaitEvMenu, &F::NOVL_DrawEvMenu, kFrameShown},
    {Mode::ConfigMenuEnter, "ConfigMenuEnter", &F::NOVL_DispConfigMenu, &F::NOVL_DrawConfigMenu, kFrameShown},
    {Mode::ConfigMenuWait, "ConfigMenuWait", &F::NOVL_WaitConfigMenu, &F::NOVL_DrawConfigMenu, kFrameMenuScreen},
    // Entering the save menu composes a frame but neither shows nor counts it.
    {Mode::SaveMenuEnter, "SaveMenuEnter", &F::NOVL_DispSaveMenu, &F::NOVL_DrawSaveMenu, kFrameHeld},
    {Mode::SaveMenuWait, "SaveMenuWait", &F::NOVL_WaitSaveMenu, &F::NOVL_DrawSaveMenu, kFrameMenuScreen},
    {Mode::Restore, "Restore", &F::NOVL_RestoreGame, nullptr, kFrameShown},
    {Mode::TimedWait, "TimedWait", &F::NOVL_Wait, nullptr, kFrameShown},
    {Mode::KeyWait, "KeyWait", &F::NOVL_WaitKey, nullptr, kFrameShown},
    {Mode::MovieWait, "MovieWait", &F::NOVL_WaitMovie, nullptr, kFrameShown},
    {Mode::AlbumMovieWait, "AlbumMovieWait", &F::NOVL_WaitMovieAlbum, nullptr, kFrameShown},
};

}  // namespace

std::span<const ModeRow> ModeTable() { return kModeTable; }

const ModeRow* FindModeRow(Mode mode) {
    for (const ModeRow& row : kModeTable)
        if (row.Value == mode) return &row;
    return nullptr;
}

std::string_view ModeName(Mode mode) {
    const ModeRow* row = FindModeRow(mode);
    return row ? row->Name : std::string_view{};
}

std::string ModeHex(Mode mode) {
    const int32_t v = ModeValue(mode);
    char hex[16];
    if (v < 0) std::snprintf(hex, sizeof hex, "-0x%x", static_cast<unsigned>(-static_cast<int64_t>(v)));
    else std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(v));
    return hex;
}

std::ostream& operator<<(std::ostream& out, Mode mode) {
    out << ModeHex(mode);
    if (const std::string_view name = ModeName(mode); !name.empty()) out << ' ' << name;
    return out;
}

}  // namespace orva
