// The album menus' fixed data: the gallery and scene-replay tables, the places of every button,
// grid item and track row, and the hit tests that turn a cursor position into an element.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace orva {

inline constexpr int kAlbumPages = 6;     // pages of the gallery tables
inline constexpr int kAlbumItems = 12;    // items per page (the menus show four)
inline constexpr int kCgVariants = 6;     // picture names per gallery item
inline constexpr int kGridItems = 4;      // items on one gallery or scene-replay page
inline constexpr int kBgmTracks = 7;      // music room tracks "M01" … "M07"

// Gallery picture names without extension, [page − 1][item − 1][variant − 1]; unused entries empty.
using TNOVL_CgAlbumData = std::array<std::array<std::array<std::string, kCgVariants>, kAlbumItems>, kAlbumPages>;
// Scene numbers of the scene-replay menu, [page − 1][item − 1]; unused entries 0.
using TNOVL_EvAlbumData = std::array<std::array<int16_t, kAlbumItems>, kAlbumPages>;

// The album menus' state: the tables filled at start-up and the picture the gallery is on.
struct AlbumState {
    TNOVL_CgAlbumData CgAlbumData;
    TNOVL_EvAlbumData EvAlbumData{};
    int32_t CgItem = 0;       // gallery item being shown, 1 … 4
    int32_t CgVariant = 0;    // its picture, 1 … 5
};

// Empties both tables, then fills pages 1 and 2: items "01", "02", "05", "07" and "03", "04",
// "06", "08", each with its "_1" and "_2" variants; scenes 101 … 104 and 105 … 108.
void FillAlbumTables(TNOVL_CgAlbumData& cg, TNOVL_EvAlbumData& ev);
// Table entries by 1-based page, item and variant; empty or 0 outside the tables.
const std::string& CgAlbumName(const TNOVL_CgAlbumData& cg, int page, int item, int variant);
int16_t EvAlbumScene(const TNOVL_EvAlbumData& ev, int page, int item);

// ---- album menu ----------------------------------------------------------------------------
inline constexpr int kAlbumButtonX = 528, kAlbumButtonW = 224, kAlbumButtonH = 40;
int AlbumButtonTop(int item);               // items 1 … 4
Point AlbumButtonSource(int item, bool hover);
int AlbumMenuItemAt(Point p);               // 1 … 4, or 0

// ---- gallery and scene-replay grid -----------------------------------------------------------
inline constexpr int kThumbW = 267, kThumbH = 200;
struct GridCell {
    Point Thumb;    // thumbnail rectangle's top-left on screen (267×200)
    Point Cover;    // the cover's place in the button sheet
    Point Anchor;   // where the scene's queue number is written
};
const GridCell& GridCellOf(int item);       // items 1 … 4
// The grid item under p (1 … 4) by position alone, or 0 (gaps and outside).
int GridItemAt(Point p);
// Page buttons 71, 72 and back 99 of the gallery and scene-replay menus, or 0.
int PageButtonAt(Point p);
inline constexpr int kPageButtonW = 40, kPageButtonH = 32, kPageButtonY = 544;
inline constexpr int kBackX = 672, kBackY = 544, kBackW = 96, kBackH = 32;

// ---- music room ---------------------------------------------------------------------------
inline constexpr int kBgmRowX = 352, kBgmRowW = 384, kBgmRowH = 32;
inline constexpr int kBgmPrevious = 91, kBgmStop = 92, kBgmNext = 93, kMenuBack = 99;
int BgmRowTop(int track);                   // screen y of track 1 … 7 (7 is the top row)
int BgmRowSourceY(int track);               // sheet y of the track's row
int BgmTitleSourceY(int track);             // sheet y of the track's title strip
// Sheet column of a track row: normal, playing, hovered, hovered and playing.
int BgmRowSourceX(bool playing, bool hovered);
// The music room's previous, stop, next and back buttons: screen place, size and sheet
// columns (all in the sheet's row y = 256).
struct BgmControl {
    int Id;            // 91, 92, 93 or 99
    Point Screen;
    int W, H;
    int SheetX, HoverSheetX;
};
inline constexpr int kBgmControlSheetY = 256;
const std::array<BgmControl, 4>& BgmControls();
// The now-playing header and the title strip: sheet and screen places.
inline constexpr int kBgmHeaderSheetY = 296, kBgmHeaderW = 464, kBgmHeaderH = 24;
inline constexpr Point kBgmHeaderAt{272, 88}, kBgmTitleAt{272, 112};
inline constexpr int kBgmTitleW = 464, kBgmTitleH = 32;
// The music room element under p: 91 … 93, 99, a track 1 … 7, or 0.
int BgmMenuItemAt(Point p);
// The track before (step −1) or after (step +1) `current` in the screen order 7, 1 … 6,
// cyclically; from 0 (nothing playing) previous gives 6 and next gives 7.
int BgmStepTrack(int current, int step);

}  // namespace orva
