// Where screenshots go: the pictures folder from xdg-user-dirs' file, and names that never
// replace an earlier shot.
#include <gtest/gtest.h>

#include "app/screenshot.h"
#include "fixtures/game_fixture.h"

namespace orva {
namespace {

using test::TempDir;

void WriteText(const std::filesystem::path& p, const std::string& text) {
    test::WriteBytes(p, std::vector<uint8_t>(text.begin(), text.end()));
}

TEST(ScreenshotFolder, UserDirsLinesAreReadAsTheShellWouldWithHomeExpanded) {
    const std::filesystem::path home = "/home/mio";
    EXPECT_EQ(ParsePicturesDir("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", home), home / "Bilder");
    EXPECT_EQ(ParsePicturesDir("# XDG_PICTURES_DIR=\"/nope\"\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                               "XDG_PICTURES_DIR=\"/data/写真\"\n",
                               home),
              std::filesystem::path("/data/写真"));
    EXPECT_EQ(ParsePicturesDir("XDG_PICTURES_DIR=\"$HOME/My \\\"Shots\\\"\"", home), home / "My \"Shots\"");
    EXPECT_EQ(ParsePicturesDir("XDG_PICTURES_DIR=\"$HOME/\"\n", home), home);
    // Values the file may not hold are skipped; the last good line counts.
    EXPECT_EQ(ParsePicturesDir("XDG_PICTURES_DIR=\"$HOME/A\"\nXDG_PICTURES_DIR=\"relative\"\n"
                               "XDG_PICTURES_DIR=$HOME/unquoted\nXDG_PICTURES_DIR=\"$HOME/open\n",
                               home),
              home / "A");
    EXPECT_EQ(ParsePicturesDir("", home), std::nullopt);
    EXPECT_EQ(ParsePicturesDir("XDG_PICTURES_DIR=\"$HOMEX/a\"\n", home), std::nullopt);
}

TEST(ScreenshotFolder, FromTheConfigFolderElsePicturesInHome) {
    TempDir root;
    const auto home = root.Path() / "home", config = root.Path() / "config";
    const std::string h = home.string(), c = config.string();
    EXPECT_EQ(PicturesDir(c.c_str(), h.c_str()), home / "Pictures");  // no user-dirs.dirs
    WriteText(config / "user-dirs.dirs", ("XDG_PICTURES_DIR=\"$HOME/Fotos\"\n"));
    EXPECT_EQ(PicturesDir(c.c_str(), h.c_str()), home / "Fotos");
    // Unset or relative XDG_CONFIG_HOME means ~/.config.
    WriteText(home / ".config" / "user-dirs.dirs", ("XDG_PICTURES_DIR=\"/srv/p\"\n"));
    EXPECT_EQ(PicturesDir(nullptr, h.c_str()), std::filesystem::path("/srv/p"));
    EXPECT_EQ(PicturesDir("rel", h.c_str()), std::filesystem::path("/srv/p"));
    EXPECT_TRUE(PicturesDir(c.c_str(), nullptr).empty());
    EXPECT_TRUE(PicturesDir(c.c_str(), "relative/home").empty());
}

TEST(ScreenshotName, StampOfTheLocalTimeThenASuffixPerShotInTheSameSecond) {
    TempDir root;
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 9;
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 3;
    const auto first = ScreenshotPath(root.Path(), t);
    EXPECT_EQ(first, root.Path() / "orva-20261209-070503.png");
    WriteText(first, "x");
    EXPECT_EQ(ScreenshotPath(root.Path(), t), root.Path() / "orva-20261209-070503-2.png");
    WriteText(root.Path() / "orva-20261209-070503-2.png", "x");
    EXPECT_EQ(ScreenshotPath(root.Path(), t), root.Path() / "orva-20261209-070503-3.png");
}

}  // namespace
}  // namespace orva
