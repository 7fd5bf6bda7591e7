// The orva-asm program: build, dis and build again gives the identical SCRIPT.DAT, and a
// source with errors writes nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "data/container_writer.h"
#include "data/file_io.h"
#include "script/script_image.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        Dir = fs::temp_directory_path() / ("orva-asm-test-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(Dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(Dir / name, std::ios::binary) << text; }
    std::string Read(const std::string& name) {
        std::ifstream in(Dir / name, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    // Runs orva-asm in Dir; returns its exit status. stderr goes to err.txt.
    int Run(const std::string& args) {
        const std::string cmd = "cd '" + Dir.string() + "' && '" ORVA_ASM_PATH "' " + args + " 2> err.txt";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    fs::path Dir;
};

TEST_F(CliTest, BuildDisBuildGivesIdenticalBytesForSeveralScripts) {
    Write("one.txt",
          ".script 1 \"opening\"\n"
          "system 101\n"
          "bg \"bg01\"\n"
          "msg \"はじめまして。\"\n"
          "choice \"右:左\"\n"
          "if W1 == 1\n  jump 2 *right\nend\n"
          "jump 3 *left\n");
    Write("two.txt", ".script 2 \"right\"\n*right\nmsg \"右へ\" \"v02\"\nwait -1\n");
    Write("three.txt", ".script 3 \"left\"\n*left\nmsg \"左へ\"\nsystem 444\n");
    ASSERT_EQ(Run("build one.txt two.txt three.txt -o SCRIPT.DAT"), 0) << Read("err.txt");
    ASSERT_EQ(Run("dis SCRIPT.DAT > all.txt"), 0) << Read("err.txt");
    EXPECT_EQ(Read("err.txt"), "");
    ASSERT_EQ(Run("build all.txt -o AGAIN.DAT"), 0) << Read("err.txt");
    EXPECT_EQ(Read("SCRIPT.DAT"), Read("AGAIN.DAT"));
    EXPECT_NE(Read("all.txt").find("msg \"右へ\" \"v02\""), std::string::npos);

    ASSERT_EQ(Run("dis SCRIPT.DAT 2 -o two-again.txt"), 0);
    EXPECT_EQ(Read("two-again.txt"), Read("two.txt"));
}

TEST_F(CliTest, HandMadeContainerSurvivesDisAndBuild) {
    ScriptImage odd;
    odd.Header.fill(0x5A);
    odd.Lines = {{0x60, 0x7C00, 0, 0, 0, 0, -1}, {0x4E, 0, 0, 0, 0, 0, 0}, {0x4E, 0, 1, 0, 0, 0, 0}};
    odd.LabelNames = {"dup", "dup"};
    odd.MsgTexts = {"unused", "\x81\x40"};
    odd.FileNames = {"x"};
    odd.Layouts[kSectionTexts].Breaks = {LineBreak::Cr, LineBreak::None};
    std::vector<uint8_t> container;
    std::string error;
    ASSERT_TRUE(BuildScriptContainer({"s", "s", "odd"}, {{1, BuildScriptEntry(odd)}, {3, {9, 9}}, {70, {}}},
                                     container, error));
    ASSERT_TRUE(WriteFileAtomic(Dir / "HAND.DAT", container, error));
    ASSERT_EQ(Run("dis HAND.DAT -o hand.txt"), 0) << Read("err.txt");
    ASSERT_EQ(Run("build hand.txt -o REBUILT.DAT"), 0) << Read("err.txt");
    EXPECT_EQ(Read("HAND.DAT"), Read("REBUILT.DAT"));
}

TEST_F(CliTest, ErrorsAreReportedAndNothingIsWritten) {
    Write("bad.txt", ".script 1 \"x\"\nmsg \"ok\"\nbogus 1\n");
    ASSERT_EQ(Run("build bad.txt -o OUT.DAT"), 1);
    EXPECT_NE(Read("err.txt").find("bad.txt:3:1: error: unknown command 'bogus'"), std::string::npos);
    EXPECT_FALSE(fs::exists(Dir / "OUT.DAT"));

    // An existing output stays as it was.
    Write("OUT.DAT", "old");
    Write("dup.txt", ".script 1 \"y\"\n");
    Write("good.txt", ".script 1 \"x\"\n");
    ASSERT_EQ(Run("build good.txt dup.txt -o OUT.DAT"), 1);
    EXPECT_NE(Read("err.txt").find("dup.txt:1:1: error: script 1 is also defined at good.txt:1"), std::string::npos)
        << Read("err.txt");
    EXPECT_EQ(Read("OUT.DAT"), "old");

    EXPECT_EQ(Run("build missing.txt -o OUT.DAT"), 1);
    EXPECT_EQ(Read("OUT.DAT"), "old");
    EXPECT_EQ(Run("dis OUT.DAT"), 1);  // too short to be a container
    EXPECT_EQ(Run("frob"), 2);
    EXPECT_EQ(Run("build good.txt"), 2);  // no -o
}

}  // namespace
}  // namespace orva
