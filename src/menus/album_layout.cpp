// The album menus' tables and geometry (see album_layout.h).
#include "menus/album_layout.h"

namespace orva {
namespace {

// Half-open rectangle test: left and top inside, right and bottom outside.
bool Inside(Point p, int x, int y, int w, int h) { return p.X >= x && p.X < x + w && p.Y >= y && p.Y < y + h; }

constexpr std::array<GridCell, kGridItems> kGrid{{
    {{120, 96}, {0, 128}, {128, 104}},
    {{408, 96}, {320, 128}, {416, 104}},
    {{120, 320}, {0, 328}, {128, 328}},
    {{408, 320}, {320, 328}, {416, 328}},
}};

constexpr std::array<BgmControl, 4> kControls{{
    {kBgmPrevious, {600, 472}, 40, 40, 0, 768},
    {kBgmStop, {648, 472}, 40, 40, 40, 808},
    {kBgmNext, {696, 472}, 40, 40, 80, 848},
    {kMenuBack, {672, 544}, 96, 32, 120, 888},
}};

// The music room's tracks from the top of the screen.
constexpr std::array<int, kBgmTracks> kTrackOrder{7, 1, 2, 3, 4, 5, 6};

}  // namespace

void FillAlbumTables(TNOVL_CgAlbumData& cg, TNOVL_EvAlbumData& ev) {
    for (auto& page : cg)
        for (auto& item : page)
            for (std::string& name : item) name.clear();
    for (auto& page : ev) page.fill(0);
    static constexpr const char* kFirst[2][kGridItems] = {{"01", "02", "05", "07"}, {"03", "04", "06", "08"}};
    for (int page = 0; page < 2; ++page)
        for (int item = 0; item < kGridItems; ++item) {
            const std::string first = kFirst[page][item];
            cg[size_t(page)][size_t(item)][0] = first;
            cg[size_t(page)][size_t(item)][1] = first + "_1";
            cg[size_t(page)][size_t(item)][2] = first + "_2";
            ev[size_t(page)][size_t(item)] = static_cast<int16_t>(101 + page * kGridItems + item);
        }
}

const std::string& CgAlbumName(const TNOVL_CgAlbumData& cg, int page, int item, int variant) {
    static const std::string kEmpty;
    if (page < 1 || page > kAlbumPages || item < 1 || item > kAlbumItems || variant < 1 || variant > kCgVariants)
        return kEmpty;
    return cg[size_t(page - 1)][size_t(item - 1)][size_t(variant - 1)];
}

int16_t EvAlbumScene(const TNOVL_EvAlbumData& ev, int page, int item) {
    if (page < 1 || page > kAlbumPages || item < 1 || item > kAlbumItems) return 0;
    return ev[size_t(page - 1)][size_t(item - 1)];
}

int AlbumButtonTop(int item) { return 216 + 56 * (item - 1); }

Point AlbumButtonSource(int item, bool hover) {
    // Two columns of 224×40 buttons; the hover forms lie 80 rows below the normal ones.
    const int i = item - 1;
    return {(i % 2) * kAlbumButtonW, (i / 2) * kAlbumButtonH + (hover ? 80 : 0)};
}

int AlbumMenuItemAt(Point p) {
    for (int item = 1; item <= 4; ++item)
        if (Inside(p, kAlbumButtonX, AlbumButtonTop(item), kAlbumButtonW, kAlbumButtonH)) return item;
    return 0;
}

const GridCell& GridCellOf(int item) { return kGrid[size_t(item - 1)]; }

int GridItemAt(Point p) {
    for (int item = 1; item <= kGridItems; ++item) {
        const Point t = kGrid[size_t(item - 1)].Thumb;
        if (Inside(p, t.X, t.Y, kThumbW, kThumbH)) return item;
    }
    return 0;
}

int PageButtonAt(Point p) {
    if (Inside(p, kBackX, kBackY, kBackW, kBackH)) return kMenuBack;
    if (Inside(p, 32, kPageButtonY, kPageButtonW, kPageButtonH)) return 71;
    if (Inside(p, 72, kPageButtonY, kPageButtonW, kPageButtonH)) return 72;
    return 0;
}

int BgmRowTop(int track) { return track == 7 ? 176 : 176 + 40 * track; }
int BgmRowSourceY(int track) { return track == 7 ? 32 : 32 + 32 * track; }
int BgmTitleSourceY(int track) { return track == 7 ? 352 : 384 + 32 * (track - 1); }
int BgmRowSourceX(bool playing, bool hovered) { return (hovered ? 768 : 0) + (playing ? 384 : 0); }

const std::array<BgmControl, 4>& BgmControls() { return kControls; }

int BgmMenuItemAt(Point p) {
    for (const BgmControl& c : kControls)
        if (Inside(p, c.Screen.X, c.Screen.Y, c.W, c.H)) return c.Id;
    for (int track = 1; track <= kBgmTracks; ++track)
        if (Inside(p, kBgmRowX, BgmRowTop(track), kBgmRowW, kBgmRowH)) return track;
    return 0;
}

int BgmStepTrack(int current, int step) {
    if (current < 1 || current > kBgmTracks) return step < 0 ? 6 : 7;
    int pos = 0;
    while (kTrackOrder[size_t(pos)] != current) ++pos;
    pos = (pos + (step < 0 ? kBgmTracks - 1 : 1)) % kBgmTracks;
    return kTrackOrder[size_t(pos)];
}

}  // namespace orva
