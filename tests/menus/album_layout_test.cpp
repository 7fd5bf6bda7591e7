// The album menus' tables and hit tests: half-open rectangles, gaps, precedence and the music
// room's cyclic track order.
#include <gtest/gtest.h>

#include "menus/album_layout.h"

namespace orva {
namespace {

TEST(AlbumTables, PagesOneAndTwoHoldThreePicturesPerItemAndScenes101To108) {
    TNOVL_CgAlbumData cg;
    TNOVL_EvAlbumData ev;
    cg[5][11][5] = "stale";
    ev[5][11] = 9;
    FillAlbumTables(cg, ev);
    EXPECT_EQ(CgAlbumName(cg, 1, 1, 1), "01");
    EXPECT_EQ(CgAlbumName(cg, 1, 1, 2), "01_1");
    EXPECT_EQ(CgAlbumName(cg, 1, 1, 3), "01_2");
    EXPECT_EQ(CgAlbumName(cg, 1, 1, 4), "");
    EXPECT_EQ(CgAlbumName(cg, 1, 3, 1), "05");
    EXPECT_EQ(CgAlbumName(cg, 1, 4, 3), "07_2");
    EXPECT_EQ(CgAlbumName(cg, 2, 1, 1), "03");
    EXPECT_EQ(CgAlbumName(cg, 2, 4, 2), "08_1");
    EXPECT_EQ(CgAlbumName(cg, 1, 5, 1), "");
    EXPECT_EQ(CgAlbumName(cg, 6, 12, 6), "");  // emptied at start-up
    EXPECT_EQ(EvAlbumScene(ev, 1, 1), 101);
    EXPECT_EQ(EvAlbumScene(ev, 1, 4), 104);
    EXPECT_EQ(EvAlbumScene(ev, 2, 1), 105);
    EXPECT_EQ(EvAlbumScene(ev, 2, 4), 108);
    EXPECT_EQ(EvAlbumScene(ev, 6, 12), 0);
    // Pages the menus can be left on outside the tables read as empty, never past them.
    EXPECT_EQ(CgAlbumName(cg, 0, 1, 1), "");
    EXPECT_EQ(CgAlbumName(cg, 7, 1, 1), "");
    EXPECT_EQ(CgAlbumName(cg, 1, 13, 1), "");
    EXPECT_EQ(CgAlbumName(cg, 1, 1, 0), "");
    EXPECT_EQ(CgAlbumName(cg, 1, 1, 7), "");
    EXPECT_EQ(EvAlbumScene(ev, 0, 1), 0);
    EXPECT_EQ(EvAlbumScene(ev, 3, 0), 0);
}

TEST(AlbumHitTests, AlbumButtonsAreHalfOpenWithGapsBetween) {
    EXPECT_EQ(AlbumMenuItemAt({528, 216}), 1);
    EXPECT_EQ(AlbumMenuItemAt({751, 255}), 1);
    EXPECT_EQ(AlbumMenuItemAt({752, 216}), 0);
    EXPECT_EQ(AlbumMenuItemAt({527, 216}), 0);
    EXPECT_EQ(AlbumMenuItemAt({600, 256}), 0);  // gap between buttons 1 and 2
    EXPECT_EQ(AlbumMenuItemAt({600, 272}), 2);
    EXPECT_EQ(AlbumMenuItemAt({600, 328}), 3);
    EXPECT_EQ(AlbumMenuItemAt({600, 423}), 4);
    EXPECT_EQ(AlbumMenuItemAt({600, 424}), 0);
    EXPECT_EQ(AlbumButtonSource(3, false).X, 0);
    EXPECT_EQ(AlbumButtonSource(3, false).Y, 40);
    EXPECT_EQ(AlbumButtonSource(4, true).X, 224);
    EXPECT_EQ(AlbumButtonSource(4, true).Y, 120);
}

TEST(AlbumHitTests, GridItemsColumnsRowsAndTheGapAtX390) {
    EXPECT_EQ(GridItemAt({120, 96}), 1);
    EXPECT_EQ(GridItemAt({386, 295}), 1);
    EXPECT_EQ(GridItemAt({387, 150}), 0);
    EXPECT_EQ(GridItemAt({390, 150}), 0);
    EXPECT_EQ(GridItemAt({390, 400}), 0);
    EXPECT_EQ(GridItemAt({408, 96}), 2);
    EXPECT_EQ(GridItemAt({674, 295}), 2);
    EXPECT_EQ(GridItemAt({675, 150}), 0);
    EXPECT_EQ(GridItemAt({200, 296}), 0);  // between the rows
    EXPECT_EQ(GridItemAt({200, 320}), 3);
    EXPECT_EQ(GridItemAt({674, 519}), 4);
    EXPECT_EQ(GridItemAt({674, 520}), 0);
    EXPECT_EQ(GridItemAt({119, 100}), 0);
}

TEST(AlbumHitTests, PageAndBackButtons) {
    EXPECT_EQ(PageButtonAt({32, 544}), 71);
    EXPECT_EQ(PageButtonAt({71, 575}), 71);
    EXPECT_EQ(PageButtonAt({72, 544}), 72);
    EXPECT_EQ(PageButtonAt({111, 560}), 72);
    EXPECT_EQ(PageButtonAt({112, 560}), 0);
    EXPECT_EQ(PageButtonAt({31, 560}), 0);
    EXPECT_EQ(PageButtonAt({50, 576}), 0);
    EXPECT_EQ(PageButtonAt({672, 544}), 99);
    EXPECT_EQ(PageButtonAt({767, 575}), 99);
    EXPECT_EQ(PageButtonAt({768, 560}), 0);
    EXPECT_EQ(PageButtonAt({300, 200}), 0);
}

TEST(AlbumHitTests, MusicRoomRowsReadSevenThenOneToSixAndControls) {
    EXPECT_EQ(BgmMenuItemAt({352, 176}), 7);
    EXPECT_EQ(BgmMenuItemAt({735, 207}), 7);
    EXPECT_EQ(BgmMenuItemAt({736, 190}), 0);
    EXPECT_EQ(BgmMenuItemAt({351, 190}), 0);
    EXPECT_EQ(BgmMenuItemAt({400, 208}), 0);  // gap below track 7
    EXPECT_EQ(BgmMenuItemAt({400, 216}), 1);
    EXPECT_EQ(BgmMenuItemAt({400, 256}), 2);
    EXPECT_EQ(BgmMenuItemAt({400, 447}), 6);
    EXPECT_EQ(BgmMenuItemAt({400, 448}), 0);
    EXPECT_EQ(BgmMenuItemAt({600, 472}), kBgmPrevious);
    EXPECT_EQ(BgmMenuItemAt({640, 480}), 0);
    EXPECT_EQ(BgmMenuItemAt({648, 511}), kBgmStop);
    EXPECT_EQ(BgmMenuItemAt({735, 472}), kBgmNext);
    EXPECT_EQ(BgmMenuItemAt({736, 472}), 0);
    EXPECT_EQ(BgmMenuItemAt({700, 512}), 0);
    EXPECT_EQ(BgmMenuItemAt({672, 544}), kMenuBack);
    EXPECT_EQ(BgmMenuItemAt({767, 575}), kMenuBack);
    // Sheet rows: track 7 first, then 1 … 6; title strips 1 … 6, then 7 above them.
    EXPECT_EQ(BgmRowSourceY(7), 32);
    EXPECT_EQ(BgmRowSourceY(1), 64);
    EXPECT_EQ(BgmRowSourceY(6), 224);
    EXPECT_EQ(BgmTitleSourceY(7), 352);
    EXPECT_EQ(BgmTitleSourceY(1), 384);
    EXPECT_EQ(BgmTitleSourceY(6), 544);
    EXPECT_EQ(BgmRowSourceX(true, true), 1152);
}

TEST(AlbumHitTests, PreviousAndNextFollowTheScreenOrderCyclically) {
    EXPECT_EQ(BgmStepTrack(0, 1), 7);
    EXPECT_EQ(BgmStepTrack(0, -1), 6);
    EXPECT_EQ(BgmStepTrack(7, -1), 6);
    EXPECT_EQ(BgmStepTrack(6, 1), 7);
    EXPECT_EQ(BgmStepTrack(7, 1), 1);
    EXPECT_EQ(BgmStepTrack(1, -1), 7);
    EXPECT_EQ(BgmStepTrack(3, 1), 4);
    EXPECT_EQ(BgmStepTrack(3, -1), 2);
    // Seven nexts come back to the start.
    int t = 4;
    for (int i = 0; i < kBgmTracks; ++i) t = BgmStepTrack(t, 1);
    EXPECT_EQ(t, 4);
}

}  // namespace
}  // namespace orva
