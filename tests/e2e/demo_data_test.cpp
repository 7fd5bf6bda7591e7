// The bundled demo game as built: every picture and sound the engine asks for is in its
// archives, each element the engine cuts out of a parts sheet lies inside the sheet and shows
// something, button states differ, and the scripts name only files the archives hold.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "data/archive.h"
#include "data/cp932.h"
#include "data/script_container.h"
#include "graphics/png_load.h"
#include "platform/screen_layout.h"
#include "script/script_image.h"

namespace orva {
namespace {

const std::filesystem::path kDemo = ORVA_DEMO_DIR;

struct Rect {
    int X, Y, W, H;
};

class DemoData : public ::testing::Test {
protected:
    void SetUp() override {
        const auto r = Archives.Init(kDemo);
        ASSERT_TRUE(r.Ok) << r.Error;
    }
    // The picture as the engine finds it; fails the test when it is missing or not a PNG.
    TABitmap Picture(const std::string& name, bool* hasAlpha = nullptr) {
        TMemoryStream s;
        TABitmap pic;
        if (!Archives.Read(name, s)) {
            ADD_FAILURE() << name << " is not in the archives";
            return pic;
        }
        bool alpha = false;
        std::string error;
        EXPECT_TRUE(DecodePng(s.Bytes(), pic, alpha, error)) << name << ": " << error;
        if (hasAlpha) *hasAlpha = alpha;
        return pic;
    }
    // Checks that every rectangle lies inside the sheet and holds visible pixels.
    void ExpectElements(const std::string& name, const std::vector<Rect>& rects) {
        bool alpha = false;
        const TABitmap sheet = Picture(name, &alpha);
        EXPECT_TRUE(alpha) << name << " is loaded into a masked slot and needs transparency";
        for (const Rect& r : rects) {
            ASSERT_TRUE(r.X >= 0 && r.Y >= 0 && r.X + r.W <= sheet.Width() && r.Y + r.H <= sheet.Height())
                << name << ": (" << r.X << ", " << r.Y << ", " << r.W << ", " << r.H << ") outside "
                << sheet.Width() << "x" << sheet.Height();
            EXPECT_GT(VisiblePixels(sheet, r), r.W * r.H / 20)
                << name << ": (" << r.X << ", " << r.Y << ") shows next to nothing";
        }
    }
    // Checks that the looks of one element differ from each other.
    void ExpectDistinct(const std::string& name, const std::vector<Rect>& looks) {
        const TABitmap sheet = Picture(name);
        for (size_t a = 0; a < looks.size(); ++a)
            for (size_t b = a + 1; b < looks.size(); ++b)
                EXPECT_FALSE(SamePixels(sheet, looks[a], looks[b]))
                    << name << ": looks at (" << looks[a].X << ", " << looks[a].Y << ") and (" << looks[b].X << ", "
                    << looks[b].Y << ") are identical";
    }
    static int VisiblePixels(const TABitmap& pic, const Rect& r) {
        int n = 0;
        for (int y = r.Y; y < r.Y + r.H; ++y)
            for (int x = r.X; x < r.X + r.W; ++x) n += pic.Row(y)[x * 4 + 3] < 128;
        return n;
    }
    static bool SamePixels(const TABitmap& pic, const Rect& a, const Rect& b) {
        for (int y = 0; y < a.H; ++y)
            if (std::memcmp(pic.Row(a.Y + y) + a.X * 4, pic.Row(b.Y + y) + b.X * 4, size_t(a.W) * 4) != 0) return false;
        return true;
    }

    TArchiveSet Archives;
};

TEST_F(DemoData, MessageWindowSheetHoldsTwelveButtonsInFiveStatesTheIconFramesAndBothStrips) {
    std::vector<Rect> rects;
    for (int i = 1; i <= 10; ++i) {
        std::vector<Rect> looks;
        for (int s = 0; s < 5; ++s) looks.push_back({48 + 56 * (i - 1), 24 * s, 56, 24});
        ExpectDistinct("SysMsgWinP.png", looks);
        rects.insert(rects.end(), looks.begin(), looks.end());
    }
    for (int b = 0; b < 2; ++b) {
        std::vector<Rect> looks;
        for (int s = 0; s < 5; ++s) looks.push_back({24 * b, 24 * s, 24, 24});
        rects.insert(rects.end(), looks.begin(), looks.end());
    }
    std::vector<Rect> frames;
    for (int f = 0; f < 8; ++f) frames.push_back({32 * f, 128, 32, 32});
    ExpectDistinct("SysMsgWinP.png", frames);
    rects.insert(rects.end(), frames.begin(), frames.end());
    rects.push_back({0, 160, kMsgWindowWidth, kMsgWindowHeight});
    rects.push_back({0, 344, kMsgWindowWidth, kMsgWindowHeight});
    ExpectElements("SysMsgWinP.png", rects);

    // The detached window's base strips are opaque all over.
    const TABitmap sheet = Picture("SysMsgWinP.png");
    EXPECT_EQ(VisiblePixels(sheet, {0, 160, kMsgWindowWidth, 368}), kMsgWindowWidth * 368);
    for (const char* window : {"SysMsgWinB.png", "SysMsgWinG.png"}) {
        bool alpha = false;
        const TABitmap w = Picture(window, &alpha);
        EXPECT_TRUE(alpha && w.Width() == kMsgWindowWidth && w.Height() == kMsgWindowHeight) << window;
    }
}

TEST_F(DemoData, MenuSheetsHoldEveryElementOnItsRectangle) {
    std::vector<Rect> four;
    for (int item = 0; item < 4; ++item)
        for (int hover = 0; hover < 2; ++hover) four.push_back({(item % 2) * 224, (item / 2) * 40 + 80 * hover, 224, 40});
    ExpectElements("SysTitleP.png", four);
    ExpectElements("SysAlbumP.png", four);
    ExpectDistinct("SysTitleP.png", {four[0], four[1]});

    std::vector<Rect> save = {{0, 128, 352, 80}, {0, 208, 352, 80}, {352, 256, 32, 16}, {352, 128, 256, 64},
                              {352, 192, 256, 64}, {400, 0, 96, 32}, {400, 32, 96, 32}, {592, 0, 96, 32},
                              {592, 32, 96, 32}};
    for (int k = 1; k <= 10; ++k) {
        std::vector<Rect> tab;
        for (int s = 0; s < 4; ++s) tab.push_back({40 * (k - 1), 32 * s, 40, 32});
        ExpectDistinct("SysSaveP.png", tab);
        save.insert(save.end(), tab.begin(), tab.end());
    }
    ExpectElements("SysSaveP.png", save);

    std::vector<Rect> config = {{0, 256, 160, 32},   {0, 288, 160, 32},   {160, 256, 96, 32}, {160, 288, 96, 32},
                                {256, 256, 96, 32},  {256, 288, 96, 32},  {352, 256, 96, 32}, {352, 288, 96, 32},
                                {448, 256, 16, 32},  {448, 288, 16, 32},  {0, 320, 304, 112}, {304, 320, 304, 112}};
    for (int k = 1; k <= 10; ++k) {
        std::vector<Rect> option;
        for (int s = 0; s < 4; ++s) option.push_back({144 * ((k - 1) % 5), 32 * ((k - 1) / 5) + 64 * s, 144, 32});
        ExpectDistinct("SysConfigP.png", option);
        config.insert(config.end(), option.begin(), option.end());
    }
    ExpectElements("SysConfigP.png", config);

    ExpectElements("SysQueryP.png",
                   {{0, 0, 120, 40}, {0, 40, 120, 40}, {120, 0, 120, 40}, {120, 40, 120, 40}, {0, 96, 320, 32},
                    {0, 128, 320, 32}});
    ExpectDistinct("SysQueryP.png", {{0, 96, 320, 32}, {0, 128, 320, 32}});

    std::vector<Rect> music = {{0, 296, 464, 24}};
    for (int k = 1; k <= 7; ++k) {
        std::vector<Rect> row;
        for (int c = 0; c < 4; ++c) row.push_back({384 * c, k == 7 ? 32 : 32 + 32 * k, 384, 32});
        ExpectDistinct("SysBgmP.png", row);
        music.insert(music.end(), row.begin(), row.end());
        music.push_back({0, k == 7 ? 352 : 384 + 32 * (k - 1), 464, 32});
    }
    for (int h = 0; h < 2; ++h) {
        for (int b = 0; b < 3; ++b) music.push_back({768 * h + 40 * b, 256, 40, 40});
        music.push_back({768 * h + 120, 256, 96, 32});
    }
    ExpectElements("SysBgmP.png", music);

    for (const char* sheet : {"SysCgAlbumP.png", "SysEvAlbumP.png"}) {
        std::vector<Rect> gallery = {{240, 0, 96, 32}, {240, 32, 96, 32}, {0, 128, 267, 200}, {320, 128, 267, 200},
                                     {0, 328, 267, 200}, {320, 328, 267, 200}};
        for (int p = 0; p < 2; ++p)
            for (int s = 0; s < 4; ++s) gallery.push_back({40 * p, 32 * s, 40, 32});
        ExpectElements(sheet, gallery);
    }
    ExpectElements("SysSelWin.png", {{0, 0, kChoiceBarWidth, kChoiceBarHeight}});
    ExpectElements("SysSelWinH.png", {{0, 0, kChoiceBarWidth, kChoiceBarHeight}});
    ExpectDistinct("SysSelWin.png", {{0, 0, kChoiceBarWidth, kChoiceBarHeight}});
    for (const char* menu : {"SysSave.png", "SysConfig.png"}) ExpectElements(menu, {{0, 0, kScreenWidth, kScreenHeight}});
}

TEST_F(DemoData, FullScreenPicturesAndCharactersHaveTheirSizesAndCharactersRealTransparency) {
    std::vector<std::string> screens = {"SysTitle.png", "SysAlbum.png", "SysBgm1.png", "SysCgAlbum1.png",
                                        "SysCgAlbum2.png", "SysEvAlbum1.png", "SysEvAlbum2.png", "black.png"};
    for (int n = 1; n <= 8; ++n)
        for (const char* v : {"", "_1", "_2"}) {
            std::string name = "0";
            name += std::to_string(n) + v + ".png";
            screens.push_back(name);
        }
    for (const std::string& name : screens) {
        const TABitmap pic = Picture(name);
        EXPECT_TRUE(pic.Width() == kScreenWidth && pic.Height() == kScreenHeight) << name;
    }
    const TABitmap query = Picture("SysQuery.png");
    EXPECT_TRUE(query.Width() == 320 && query.Height() == 128);

    for (const char* name : {"mina_1.png", "mina_2.png", "sota_1.png", "sota_2.png"}) {
        bool alpha = false;
        const TABitmap pic = Picture(name, &alpha);
        ASSERT_TRUE(alpha && pic.Width() == kScreenWidth && pic.Height() == kScreenHeight) << name;
        int clear = 0, solid = 0, soft = 0;
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x) {
                const uint8_t t = pic.Row(y)[x * 4 + 3];
                clear += t == 255;
                solid += t == 0;
                soft += t > 0 && t < 255;
            }
        EXPECT_GT(clear, 200000) << name;
        EXPECT_GT(solid, 40000) << name;
        EXPECT_GT(soft, 500) << name << ": edges are not smoothed";
    }
}

TEST_F(DemoData, TheSecondArchiveReplacesTheOpeningPicture) {
    TMemoryStream found, first;
    ASSERT_TRUE(Archives.Read("01.png", found));
    // The first archive's own copy, looked up through a set holding only that archive.
    const auto lonely = std::filesystem::temp_directory_path() / ("orva-demo-first-" + std::to_string(::getpid()));
    std::filesystem::create_directories(lonely / "data");
    std::filesystem::copy_file(kDemo / "data" / "DATA01.cfp", lonely / "data" / "DATA01.cfp");
    TArchiveSet only1;
    ASSERT_TRUE(only1.Init(lonely).Ok);
    ASSERT_TRUE(only1.Read("01.png", first));
    std::filesystem::remove_all(lonely);
    EXPECT_NE(found.Bytes(), first.Bytes());
    EXPECT_EQ(Archives.NameList(2), std::vector<std::string>{"01.png"});
}

// Reads an Ogg file's rate, channels and COMMENT value through vorbisfile.
struct OggFacts {
    long Rate = 0;
    int Channels = 0;
    std::string Comment;
    double Seconds = 0;
};

bool ReadOgg(const std::vector<uint8_t>& bytes, OggFacts& facts) {
    struct Cursor {
        const std::vector<uint8_t>* B;
        size_t Pos;
    } cur{&bytes, 0};
    ov_callbacks cb{};
    cb.read_func = [](void* p, size_t size, size_t n, void* src) -> size_t {
        auto* c = static_cast<Cursor*>(src);
        const size_t want = size * n, left = c->B->size() - c->Pos, got = std::min(want, left);
        std::memcpy(p, c->B->data() + c->Pos, got);
        c->Pos += got;
        return size ? got / size : 0;
    };
    cb.seek_func = [](void* src, ogg_int64_t off, int whence) -> int {
        auto* c = static_cast<Cursor*>(src);
        const ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(c->Pos) : ogg_int64_t(c->B->size());
        if (base + off < 0 || base + off > ogg_int64_t(c->B->size())) return -1;
        c->Pos = size_t(base + off);
        return 0;
    };
    cb.tell_func = [](void* src) -> long { return long(static_cast<Cursor*>(src)->Pos); };
    OggVorbis_File vf;
    if (ov_open_callbacks(&cur, &vf, nullptr, 0, cb) != 0) return false;
    const vorbis_info* vi = ov_info(&vf, -1);
    facts.Rate = vi->rate;
    facts.Channels = vi->channels;
    facts.Seconds = ov_time_total(&vf, -1);
    const vorbis_comment* vc = ov_comment(&vf, -1);
    for (int i = 0; i < vc->comments; ++i) {
        const std::string c(vc->user_comments[i], vc->comment_lengths[i]);
        if (c.size() > 8 && strncasecmp(c.c_str(), "COMMENT=", 8) == 0) facts.Comment = c.substr(8);
    }
    ov_clear(&vf);
    return true;
}

TEST_F(DemoData, MusicHasItsVariantsLoopLinesAndOneHalfRateMonoTrack) {
    int loopTime = 0, loopSample = 0, halfRateMono = 0;
    for (int n = 1; n <= 8; ++n)
        for (const char* variant : {"", "P"}) {
            const std::string name = "M0" + std::to_string(n) + variant + ".ogg";
            TMemoryStream s;
            const bool present = Archives.Read(name, s);
            if (n == 8 && *variant) {
                EXPECT_FALSE(present) << "M08 has no alternative version";
                continue;
            }
            ASSERT_TRUE(present) << name;
            OggFacts f;
            ASSERT_TRUE(ReadOgg(s.Bytes(), f)) << name;
            EXPECT_GT(f.Seconds, 2.0) << name;
            loopTime += f.Comment.starts_with("*looptime,");
            loopSample += f.Comment.starts_with("*loopsample,");
            halfRateMono += f.Rate == 22050 && f.Channels == 1;
        }
    EXPECT_GE(loopTime, 1);
    EXPECT_GE(loopSample, 1);
    EXPECT_GE(halfRateMono, 1);
}

TEST(DemoScripts, NameOnlyFilesTheArchivesHoldAndHaveTheSceneScripts) {
    TArchiveSet archives;
    ASSERT_TRUE(archives.Init(kDemo).Ok);
    TScriptContainer container;
    ASSERT_TRUE(container.Init(kDemo / "SCRIPT.DAT").Ok);
    int messages = 0, voices = 0;
    std::set<int> scripts;
    for (int no = 1; no <= 200; ++no) {
        TMemoryStream s;
        if (container.ReadFile(1, no, s) != 0) continue;
        scripts.insert(no);
        ScriptEntryStatus status;
        const ScriptImage image = ParseScriptEntry(s.Bytes(), &status);
        ASSERT_EQ(status, ScriptEntryStatus::Ok) << "script " << no;
        for (const LineRec& line : image.Lines) {
            if (line.Code == 0x60) {
                ++messages;
                voices += line.P5 != -1;
            }
        }
        for (const std::string& name : image.FileNames) {
            if (name == "STOP") continue;  // the music "stop" request names no file
            TMemoryStream f;
            EXPECT_TRUE(archives.Read(name + ".png", f) || archives.Read(name + ".ogg", f))
                << "script " << no << " names " << Cp932ToUtf8(name) << ", which the archives do not hold";
        }
    }
    for (int no : {1, 2, 3, 4, 101, 102, 103, 104, 105, 106, 107, 108}) EXPECT_TRUE(scripts.contains(no)) << no;
    EXPECT_GE(messages, 40);
    EXPECT_GE(voices, 5);
}

}  // namespace
}  // namespace orva

#include "fixtures/programs.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

TEST(DemoCheck, TheGameDataCheckFindsNoProblemInTheDemo) {
    const auto out = std::filesystem::temp_directory_path() / ("orva-check-" + std::to_string(::getpid()) + ".txt");
    const int status = test::RunCommand(std::string("env XDG_DATA_HOME=/nonexistent-orva ") + ORVA_BINARY +
                                        " --check '" + ORVA_DEMO_DIR + "' > '" + out.string() + "'");
    const std::string text = test::ReadAll(out);
    std::filesystem::remove(out);
    EXPECT_EQ(status, 0) << text;
    EXPECT_NE(text.find("0 problem(s)"), std::string::npos) << text;
    EXPECT_NE(text.find("script 101"), std::string::npos) << text;
}

}  // namespace
}  // namespace orva
