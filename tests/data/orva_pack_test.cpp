// Runs the real orva-pack binary: archive create → list → extract → get, the script
// container round trip, xor, and the rejections that must write nothing.
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "data/archive.h"
#include "data/file_io.h"
#include "data/script_container.h"
#include "temp_dir.h"

namespace orva {
namespace {

using test::Bytes;
using test::TempDir;

struct RunResult {
    int Status;         // exit status, -1 when the program did not exit normally
    std::string Out;    // what it wrote to stdout
};

// Runs orva-pack with a shell-quoted argument string, stderr discarded.
RunResult Pack(const std::string& args) {
    const std::string command = std::string("'") + ORVA_PACK_PATH + "' " + args + " 2>/dev/null";
    RunResult result{-1, {}};
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.Out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Q(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

std::string FileText(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<missing>";
}

TEST(OrvaPack, ArchiveCreateListExtractGetRoundTrip) {
    TempDir dir;
    dir.Write("in/SysTitle.png", "title bytes");
    dir.Write("in/ヂ.ogg", std::string("\0\1\2", 3));
    dir.Write("in/list.txt", "SysTitle.png\tSysTitle.png\n\tヂ.ogg\r\nempty.png\nヂ.ogg\tヂ.ogg\n");
    const auto archive = dir / "game/data/DATA02.cfp";
    std::filesystem::create_directories(archive.parent_path());
    ASSERT_EQ(Pack("archive create " + Q(archive) + " --list " + Q(dir / "in/list.txt")).Status, 0);

    const RunResult list = Pack("archive list " + Q(archive));
    ASSERT_EQ(list.Status, 0);
    // Name list "SysTitle.png\r\n\r\nempty.png\r\n\x83\x61.ogg\r\n" is 35 bytes.
    const size_t data = 16 + 786432 + 35;
    const std::string expected = "0\tSysTitle.png\t" + std::to_string(data) + "\t11\n" +
                                 "1\t\t" + std::to_string(data + 11) + "\t3\n" +
                                 "2\tempty.png\t" + std::to_string(data + 14) + "\t0\n" +
                                 "3\tヂ.ogg\t" + std::to_string(data + 14) + "\t3\n";
    EXPECT_EQ(list.Out, expected);

    ASSERT_EQ(Pack("archive extract " + Q(archive) + " " + Q(dir / "out")).Status, 0);
    EXPECT_EQ(FileText(dir / "out/SysTitle.png"), "title bytes");
    EXPECT_EQ(FileText(dir / "out/ヂ.ogg"), std::string("\0\1\2", 3));
    EXPECT_EQ(FileText(dir / "out/empty.png"), "");

    ASSERT_EQ(Pack("archive extract " + Q(archive) + " " + Q(dir / "one") + " SYSTITLE.PNG").Status, 0);
    EXPECT_EQ(FileText(dir / "one/SysTitle.png"), "title bytes");
    EXPECT_FALSE(std::filesystem::exists(dir / "one/ヂ.ogg"));
    EXPECT_EQ(Pack("archive extract " + Q(archive) + " " + Q(dir / "two") + " nothing.png").Status, 1);

    // get uses the engine's lookup: case and end blanks ignored, empty entry is a failure.
    RunResult got = Pack("get " + Q(dir / "game") + " ' systitle.png '");
    EXPECT_EQ(got.Status, 0);
    EXPECT_EQ(got.Out, "title bytes");
    got = Pack("get " + Q(dir / "game") + " ヂ.OGG");
    EXPECT_EQ(got.Out, std::string("\0\1\2", 3));
    EXPECT_EQ(Pack("get " + Q(dir / "game") + " empty.png").Status, 1);
    EXPECT_EQ(Pack("get " + Q(dir / "game") + " missing.png").Status, 1);

    // The same archive read through the library agrees.
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir / "game").Ok);
    EXPECT_EQ(set.NameList(2).size(), 4u);
}

TEST(OrvaPack, FileArgumentsUseTheirBaseNames) {
    TempDir dir;
    dir.Write("a/bg01.png", "one");
    dir.Write("b/bg02.png", "two");
    const auto archive = dir / "g/data/DATA01.cfp";
    std::filesystem::create_directories(archive.parent_path());
    ASSERT_EQ(Pack("archive create " + Q(archive) + " " + Q(dir / "a/bg01.png") + " " + Q(dir / "b/bg02.png")).Status, 0);
    EXPECT_EQ(Pack("get " + Q(dir / "g") + " BG02.PNG").Out, "two");
}

TEST(OrvaPack, RejectionsExitOneAndWriteNothing) {
    TempDir dir;
    dir.Write("café.png", "x");
    const auto out = dir / "out.cfp";
    EXPECT_EQ(Pack("archive create " + Q(out) + " " + Q(dir / "café.png")).Status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));

    dir.Write("list.txt", "ok.png\n\xF0\x9F\x98\x80.png\n");
    EXPECT_EQ(Pack("archive create " + Q(out) + " --list " + Q(dir / "list.txt")).Status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));

    dir.Write("many.txt", std::string(65536, '\n'));  // 65,536 empty entries
    EXPECT_EQ(Pack("archive create " + Q(out) + " --list " + Q(dir / "many.txt")).Status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    dir.Write("max.txt", std::string(65535, '\n'));
    EXPECT_EQ(Pack("archive create " + Q(out) + " --list " + Q(dir / "max.txt")).Status, 0);

    // A sparse file past 4 GiB: rejected from its size alone, before reading it.
    const auto big = dir / "big.ogg";
    { std::FILE* f = std::fopen(big.c_str(), "wb"); ASSERT_NE(f, nullptr); std::fclose(f); }
    std::filesystem::resize_file(big, 0x100000000ull);
    const auto out2 = dir / "out2.cfp";
    EXPECT_EQ(Pack("archive create " + Q(out2) + " " + Q(big)).Status, 1);
    EXPECT_EQ(Pack("container create " + Q(dir / "S.DAT") + " 1=" + Q(big)).Status, 1);
    EXPECT_FALSE(std::filesystem::exists(out2));
    EXPECT_FALSE(std::filesystem::exists(dir / "S.DAT"));

    EXPECT_EQ(Pack("archive create " + Q(out2) + " " + Q(dir / "missing.png")).Status, 1);
    EXPECT_EQ(Pack("archive list " + Q(dir / "list.txt")).Status, 1);  // far too short
    EXPECT_EQ(Pack("get " + Q(dir.Path()) + " é.png").Status, 1);
    EXPECT_FALSE(std::filesystem::exists(out2));
}

TEST(OrvaPack, ContainerCreateListExtract) {
    TempDir dir;
    dir.Write("s1.bin", "first script");
    dir.Write("s9.bin", "ninth");
    dir.Write("names.txt", "main\nサブ\n");
    const auto dat = dir / "SCRIPT.DAT";
    ASSERT_EQ(Pack("container create " + Q(dat) + " --names " + Q(dir / "names.txt") + " 1=" +
                   Q(dir / "s1.bin") + " 9=" + Q(dir / "s9.bin")).Status, 0);
    TScriptContainer container;
    ASSERT_TRUE(container.Init(dat).Ok);
    EXPECT_EQ(container.NameList(), (std::vector<std::string>{"main", "\x83\x54\x83\x75"}));

    const RunResult list = Pack("container list " + Q(dat));
    ASSERT_EQ(list.Status, 0);
    const size_t data = 16 + 524288 + 12;
    EXPECT_EQ(list.Out, "names 2\n0\tmain\n1\tサブ\nentries 2\n1\t" + std::to_string(data) +
                            "\t12\n9\t" + std::to_string(data + 12) + "\t5\n");

    ASSERT_EQ(Pack("container extract " + Q(dat) + " " + Q(dir / "x")).Status, 0);
    EXPECT_EQ(FileText(dir / "x/1.bin"), "first script");
    EXPECT_EQ(FileText(dir / "x/9.bin"), "ninth");
    EXPECT_EQ(Pack("container extract " + Q(dat) + " " + Q(dir / "y") + " 2").Status, 1);

    EXPECT_EQ(Pack("container create " + Q(dir / "B.DAT") + " 0=" + Q(dir / "s1.bin")).Status, 2);
    EXPECT_EQ(Pack("container create " + Q(dir / "B.DAT") + " 65536=" + Q(dir / "s1.bin")).Status, 2);
    EXPECT_EQ(Pack("container create " + Q(dir / "B.DAT") + " 3=" + Q(dir / "s1.bin") + " 3=" +
                   Q(dir / "s9.bin")).Status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "B.DAT"));
}

TEST(OrvaPack, XorIsItsOwnInverseAndHelpWorksOnEveryLevel) {
    TempDir dir;
    dir.Write("plain", "BG01\r\nBG02\r\n");
    ASSERT_EQ(Pack("xor " + Q(dir / "plain") + " " + Q(dir / "scrambled")).Status, 0);
    EXPECT_NE(FileText(dir / "scrambled"), FileText(dir / "plain"));
    ASSERT_EQ(Pack("xor " + Q(dir / "scrambled") + " " + Q(dir / "back")).Status, 0);
    EXPECT_EQ(FileText(dir / "back"), "BG01\r\nBG02\r\n");

    for (const char* args : {"--help", "archive --help", "archive create --help", "archive list --help",
                             "container --help", "container extract --help", "get --help", "xor --help"}) {
        const RunResult help = Pack(args);
        EXPECT_EQ(help.Status, 0) << args;
        EXPECT_NE(help.Out.find("usage: orva-pack"), std::string::npos) << args;
    }
    EXPECT_EQ(Pack("").Status, 2);
    EXPECT_EQ(Pack("frobnicate").Status, 2);
    EXPECT_EQ(Pack("archive bogus").Status, 2);
}

}  // namespace
}  // namespace orva
