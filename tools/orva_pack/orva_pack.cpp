// orva-pack: command-line packer for the data archives (.cfp) and the script
// container (SCRIPT.DAT), a lookup through the engine's own archive reader, and the
// record-file scrambler. Sections: [help texts] [helpers] [archive] [container] [get/xor] [main]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "data/archive.h"
#include "data/archive_format.h"
#include "data/archive_writer.h"
#include "data/container_writer.h"
#include "data/cp932.h"
#include "data/ezxor.h"
#include "data/file_io.h"
#include "data/script_container.h"
#include "data/text_lines.h"

namespace fs = std::filesystem;
using namespace orva;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // bad input, rejected data, failed reads or writes
constexpr int kExitUsage = 2;    // the command line itself is wrong

// [help texts] ---------------------------------------------------------------------

constexpr const char* kMainHelp =
    "usage: orva-pack COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  archive create|list|extract   build, list or unpack a data archive (.cfp)\n"
    "  container create|list|extract build, list or unpack a script container (SCRIPT.DAT)\n"
    "  get GAMEDIR NAME              write to stdout the file NAME as the engine finds it\n"
    "                                in GAMEDIR/data/DATA01.cfp .. DATA05.cfp\n"
    "  xor IN OUT                    scramble or unscramble IN (the SAVE2.DAT transform)\n"
    "\n"
    "Every command takes --help. Names are given in UTF-8 and stored in CP932; a name\n"
    "with no CP932 form is rejected. Outputs are written whole or not at all.\n"
    "Exit status: 0 success, 1 failure (nothing written), 2 wrong command line.\n";

constexpr const char* kArchiveHelp =
    "usage: orva-pack archive create OUT.cfp FILE...\n"
    "       orva-pack archive create OUT.cfp --list LISTFILE\n"
    "       orva-pack archive list A.cfp\n"
    "       orva-pack archive extract A.cfp DIR [NAME...]\n"
    "\n"
    "create   stores the FILEs in order; each name-list line is the file's base name.\n"
    "         With --list, LISTFILE (UTF-8) gives the exact name-list lines, one per\n"
    "         line, each NAME<TAB>PATH: NAME may be empty, and without a TAB or with an\n"
    "         empty PATH the line gets an empty (size 0) entry. A relative PATH is taken\n"
    "         from LISTFILE's folder. Lines end at LF, CR LF or CR. At most 65,535 files;\n"
    "         the archive must stay within 32-bit offsets.\n"
    "list     prints one line per name-list line: LINE<TAB>NAME<TAB>OFFSET<TAB>SIZE\n"
    "         (LINE counts from 0 and uses index entry LINE+1; NAME in UTF-8).\n"
    "extract  writes each stored file (or only the NAMEs given, matched as the engine\n"
    "         matches them) into DIR under its name; for a name listed twice the first\n"
    "         line wins. Names that are empty or not a plain file name are skipped.\n";

constexpr const char* kContainerHelp =
    "usage: orva-pack container create SCRIPT.DAT [--names LISTFILE] N=FILE...\n"
    "       orva-pack container list SCRIPT.DAT\n"
    "       orva-pack container extract SCRIPT.DAT DIR [N...]\n"
    "\n"
    "create   stores FILE as script number N (1..65535); --names gives the container's\n"
    "         name list, one UTF-8 line per name.\n"
    "list     prints 'names COUNT', then LINE<TAB>NAME for each name, then\n"
    "         'entries COUNT', then N<TAB>OFFSET<TAB>SIZE for each non-empty entry.\n"
    "extract  writes each non-empty script (or only the numbers given) to DIR/N.bin.\n";

constexpr const char* kGetHelp =
    "usage: orva-pack get GAMEDIR NAME\n"
    "\n"
    "Looks NAME up in GAMEDIR/data/DATA01.cfp .. DATA05.cfp as the engine does (the\n"
    "highest archive first, blanks at either end and letter case ignored) and writes\n"
    "its bytes to stdout. Exit status 1 when nothing is found or the entry is empty.\n";

constexpr const char* kXorHelp =
    "usage: orva-pack xor IN OUT\n"
    "\n"
    "Runs the engine's record-file scrambler over IN and writes OUT. The transform is\n"
    "its own inverse: running it on OUT gives IN back.\n";

// [helpers] --------------------------------------------------------------------------

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& arg : args)
        if (IsHelp(arg)) return true;
    return false;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "orva-pack: %s\n", message.c_str());
    return kExitFailure;
}

int Usage(const char* help, const std::string& message) {
    std::fprintf(stderr, "orva-pack: %s\n\n%s", message.c_str(), help);
    return kExitUsage;
}

// UTF-8 name → CP932, or an error naming it.
std::optional<std::string> NameToCp932(const std::string& utf8, std::string& error) {
    auto cp932 = Utf8ToCp932(utf8);
    if (!cp932) error = "name \"" + utf8 + "\" cannot be written in CP932";
    return cp932;
}

bool WriteOutput(const fs::path& path, std::span<const uint8_t> bytes, std::string& error) {
    return WriteFileAtomic(path, bytes, error);
}

// A stored name is extracted only when it is a plain file name in the output folder.
bool IsPlainFileName(const std::string& utf8) {
    return !utf8.empty() && utf8 != "." && utf8 != ".." && utf8.find('/') == std::string::npos &&
           utf8.find('\0') == std::string::npos;
}

// Reads a UTF-8 list file into lines (a leading byte-order mark is dropped).
std::optional<std::vector<std::string>> ReadListFile(const fs::path& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) return std::nullopt;
    std::span<const uint8_t> text(*bytes);
    if (text.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) text = text.subspan(3);
    return SplitTextLines(text);
}

std::optional<uint64_t> SizeOfFile(const fs::path& path, std::string& error) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        error = path.string() + ": not a readable file";
        return std::nullopt;
    }
    const uint64_t size = fs::file_size(path, ec);
    if (ec) {
        error = path.string() + ": " + ec.message();
        return std::nullopt;
    }
    return size;
}

// One archive file opened on its own (not as part of a game's set).
struct SingleArchive {
    TReadFile File;
    std::vector<uint8_t> Index;
    std::vector<std::string> Names;

    bool Open(const fs::path& path, std::string& error) {
        if (!File.Open(path, error)) {
            error = path.string() + ": " + error;
            return false;
        }
        if (File.Size() < kArchiveDataStart) {
            error = path.string() + ": archive is " + std::to_string(File.Size()) +
                    " bytes, shorter than its header and index";
            return false;
        }
        Index.resize(kArchiveIndexSize);
        if (!File.ReadAt(kFileHeaderSize, Index.data(), Index.size())) {
            error = path.string() + ": cannot read the index";
            return false;
        }
        const ArchiveEntry list = Entry(0);
        if (list.Size > 0 && Fits(list)) {
            std::vector<uint8_t> text(list.Size);
            if (File.ReadAt(list.Offset, text.data(), text.size())) Names = SplitTextLines(text);
        }
        return true;
    }
    ArchiveEntry Entry(size_t k) const {
        ArchiveEntry entry{};
        if (k < kIndexEntryCount) std::memcpy(&entry, Index.data() + k * sizeof entry, sizeof entry);
        return entry;
    }
    bool Fits(const ArchiveEntry& entry) const {
        return static_cast<uint64_t>(entry.Offset) + entry.Size <= File.Size();
    }
    std::optional<std::vector<uint8_t>> Bytes(const ArchiveEntry& entry) {
        if (!Fits(entry)) return std::nullopt;
        std::vector<uint8_t> bytes(entry.Size);
        if (!bytes.empty() && !File.ReadAt(entry.Offset, bytes.data(), bytes.size())) return std::nullopt;
        return bytes;
    }
};

// [archive] --------------------------------------------------------------------------

int ArchiveCreate(const std::vector<std::string>& args) {
    if (args.empty()) return Usage(kArchiveHelp, "archive create needs OUT.cfp");
    const fs::path out = args[0];
    std::vector<std::string> names;  // CP932 name lines
    std::vector<fs::path> paths;     // empty path: an empty entry
    std::string error;

    if (args.size() >= 2 && args[1] == "--list") {
        if (args.size() != 3) return Usage(kArchiveHelp, "--list takes exactly one LISTFILE");
        const fs::path listPath = args[2];
        const auto lines = ReadListFile(listPath);
        if (!lines) return Fail(listPath.string() + ": cannot read the list file");
        for (size_t i = 0; i < lines->size(); ++i) {
            const std::string& line = (*lines)[i];
            const size_t tab = line.find('\t');
            const std::string name = line.substr(0, tab);
            const std::string pathText = tab == std::string::npos ? std::string() : line.substr(tab + 1);
            const auto cp932 = NameToCp932(name, error);
            if (!cp932) return Fail(listPath.string() + " line " + std::to_string(i + 1) + ": " + error);
            names.push_back(*cp932);
            if (pathText.empty()) {
                paths.emplace_back();
            } else {
                fs::path p = pathText;
                if (p.is_relative()) p = listPath.parent_path() / p;
                paths.push_back(p);
            }
        }
    } else {
        if (args.size() < 2) return Usage(kArchiveHelp, "archive create needs at least one FILE");
        for (size_t i = 1; i < args.size(); ++i) {
            const fs::path p = args[i];
            const auto cp932 = NameToCp932(p.filename().string(), error);
            if (!cp932) return Fail(error);
            names.push_back(*cp932);
            paths.push_back(p);
        }
    }
    if (names.size() > kMaxStoredFiles)
        return Fail("too many files: " + std::to_string(names.size()) + " (an archive holds at most " +
                    std::to_string(kMaxStoredFiles) + ")");

    // Check the total size before reading anything, so a too-large set costs nothing.
    std::vector<uint64_t> sizes;
    for (const auto& p : paths) {
        if (p.empty()) {
            sizes.push_back(0);
            continue;
        }
        const auto size = SizeOfFile(p, error);
        if (!size) return Fail(error);
        sizes.push_back(*size);
    }
    const uint64_t listBytes = JoinTextLines(names).size();
    const uint64_t total = ArchiveOutputSize(listBytes, sizes);
    if (total > kMaxFileOffset)
        return Fail("archive would be " + std::to_string(total) +
                    " bytes, past the 32-bit offsets of its index");

    std::vector<ArchiveInputFile> files(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        files[i].NameLine = names[i];
        if (paths[i].empty()) continue;
        auto bytes = ReadWholeFile(paths[i]);
        if (!bytes) return Fail(paths[i].string() + ": cannot read");
        files[i].Bytes = std::move(*bytes);
    }
    std::vector<uint8_t> archive;
    if (!BuildArchive(files, archive, error)) return Fail(error);
    if (!WriteOutput(out, archive, error)) return Fail(error);
    return kExitOk;
}

int ArchiveList(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage(kArchiveHelp, "archive list takes one archive");
    SingleArchive archive;
    std::string error;
    if (!archive.Open(args[0], error)) return Fail(error);
    for (size_t k = 0; k < archive.Names.size(); ++k) {
        const std::string name = Cp932ToUtf8(archive.Names[k]);
        if (k + 1 >= kIndexEntryCount) {
            std::printf("%zu\t%s\t-\t-\n", k, name.c_str());
            continue;
        }
        const ArchiveEntry entry = archive.Entry(k + 1);
        std::printf("%zu\t%s\t%u\t%u\n", k, name.c_str(), entry.Offset, entry.Size);
    }
    return kExitOk;
}

int ArchiveExtract(const std::vector<std::string>& args) {
    if (args.size() < 2) return Usage(kArchiveHelp, "archive extract needs A.cfp and DIR");
    SingleArchive archive;
    std::string error;
    if (!archive.Open(args[0], error)) return Fail(error);
    const fs::path dir = args[1];

    // First line of each normalised name, as the engine resolves them.
    std::map<std::string, size_t> firstLine;
    for (size_t k = 0; k < archive.Names.size() && k + 1 < kIndexEntryCount; ++k)
        firstLine.emplace(TArchiveSet::NormaliseName(archive.Names[k]), k);

    std::vector<size_t> wanted;
    int status = kExitOk;
    if (args.size() == 2) {
        for (const auto& [name, k] : firstLine) wanted.push_back(k);
        std::sort(wanted.begin(), wanted.end());
    } else {
        for (size_t i = 2; i < args.size(); ++i) {
            const auto cp932 = NameToCp932(args[i], error);
            if (!cp932) return Fail(error);
            const auto found = firstLine.find(TArchiveSet::NormaliseName(*cp932));
            if (found == firstLine.end()) {
                std::fprintf(stderr, "orva-pack: %s: not in the archive\n", args[i].c_str());
                status = kExitFailure;
                continue;
            }
            wanted.push_back(found->second);
        }
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return Fail(dir.string() + ": " + ec.message());
    for (size_t k : wanted) {
        const std::string name = Cp932ToUtf8(TrimBlanksAndControls(archive.Names[k]));
        if (!IsPlainFileName(name)) {
            std::fprintf(stderr, "orva-pack: line %zu: name \"%s\" is not a plain file name, skipped\n",
                         k, name.c_str());
            if (args.size() > 2) status = kExitFailure;
            continue;
        }
        const auto bytes = archive.Bytes(archive.Entry(k + 1));
        if (!bytes) {
            std::fprintf(stderr, "orva-pack: %s: entry reaches beyond the end of the archive\n",
                         name.c_str());
            status = kExitFailure;
            continue;
        }
        if (!WriteOutput(dir / name, *bytes, error)) return Fail(error);
    }
    return status;
}

// [container] ------------------------------------------------------------------------

std::optional<uint32_t> ParseScriptNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value < 1 || value > kMaxStoredFiles) return std::nullopt;
    return value;
}

int ContainerCreate(const std::vector<std::string>& args) {
    if (args.empty()) return Usage(kContainerHelp, "container create needs SCRIPT.DAT");
    const fs::path out = args[0];
    std::vector<std::string> names;
    std::map<uint32_t, fs::path> sources;
    std::string error;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--names") {
            if (i + 1 >= args.size()) return Usage(kContainerHelp, "--names takes a LISTFILE");
            const fs::path listPath = args[++i];
            const auto lines = ReadListFile(listPath);
            if (!lines) return Fail(listPath.string() + ": cannot read the list file");
            names.clear();
            for (size_t k = 0; k < lines->size(); ++k) {
                const auto cp932 = NameToCp932((*lines)[k], error);
                if (!cp932) return Fail(listPath.string() + " line " + std::to_string(k + 1) + ": " + error);
                names.push_back(*cp932);
            }
            continue;
        }
        const size_t eq = args[i].find('=');
        const auto number = eq == std::string::npos ? std::nullopt
                                                    : ParseScriptNumber(std::string_view(args[i]).substr(0, eq));
        if (!number) return Usage(kContainerHelp, "\"" + args[i] + "\" is not N=FILE with N in 1..65535");
        if (!sources.emplace(*number, args[i].substr(eq + 1)).second)
            return Fail("script number " + std::to_string(*number) + " given twice");
    }
    uint64_t total = kContainerDataStart + JoinTextLines(names).size();
    for (const auto& [number, path] : sources) {
        const auto size = SizeOfFile(path, error);
        if (!size) return Fail(error);
        total += *size;
    }
    if (total > kMaxFileOffset)
        return Fail("script container would be " + std::to_string(total) +
                    " bytes, past the 32-bit offsets of its index");
    std::map<uint32_t, std::vector<uint8_t>> entries;
    for (const auto& [number, path] : sources) {
        auto bytes = ReadWholeFile(path);
        if (!bytes) return Fail(path.string() + ": cannot read");
        entries.emplace(number, std::move(*bytes));
    }
    std::vector<uint8_t> container;
    if (!BuildScriptContainer(names, entries, container, error)) return Fail(error);
    if (!WriteOutput(out, container, error)) return Fail(error);
    return kExitOk;
}

int ContainerList(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage(kContainerHelp, "container list takes one SCRIPT.DAT");
    TScriptContainer container;
    const auto init = container.Init(args[0]);
    if (!init.Ok) return Fail(init.Error);
    const auto& names = container.NameList();
    std::printf("names %zu\n", names.size());
    for (size_t k = 0; k < names.size(); ++k) std::printf("%zu\t%s\n", k, Cp932ToUtf8(names[k]).c_str());
    std::vector<int> used;
    for (int n = 1; n <= static_cast<int>(kMaxStoredFiles); ++n)
        if (container.Entry(n).Size > 0) used.push_back(n);
    std::printf("entries %zu\n", used.size());
    for (int n : used) {
        const auto entry = container.Entry(n);
        std::printf("%d\t%u\t%u\n", n, entry.Offset, entry.Size);
    }
    return kExitOk;
}

int ContainerExtract(const std::vector<std::string>& args) {
    if (args.size() < 2) return Usage(kContainerHelp, "container extract needs SCRIPT.DAT and DIR");
    TScriptContainer container;
    const auto init = container.Init(args[0]);
    if (!init.Ok) return Fail(init.Error);
    const fs::path dir = args[1];
    std::vector<int> wanted;
    if (args.size() == 2) {
        for (int n = 1; n <= static_cast<int>(kMaxStoredFiles); ++n)
            if (container.Entry(n).Size > 0) wanted.push_back(n);
    } else {
        for (size_t i = 2; i < args.size(); ++i) {
            const auto number = ParseScriptNumber(args[i]);
            if (!number) return Usage(kContainerHelp, "\"" + args[i] + "\" is not a number in 1..65535");
            wanted.push_back(static_cast<int>(*number));
        }
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return Fail(dir.string() + ": " + ec.message());
    int status = kExitOk;
    std::string error;
    for (int n : wanted) {
        TMemoryStream stream;
        if (container.ReadFile(1, n, stream) != 0) {
            std::fprintf(stderr, "orva-pack: script %d: empty or unreadable entry\n", n);
            status = kExitFailure;
            continue;
        }
        if (!WriteOutput(dir / (std::to_string(n) + ".bin"), stream.View(), error)) return Fail(error);
    }
    return status;
}

// [get/xor] --------------------------------------------------------------------------

int Get(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage(kGetHelp, "get takes GAMEDIR and NAME");
    std::string error;
    const auto name = NameToCp932(args[1], error);
    if (!name) return Fail(error);
    TArchiveSet archives;
    const auto init = archives.Init(args[0]);
    if (!init.Ok) return Fail(init.Error);
    TMemoryStream stream;
    if (!archives.Read(*name, stream)) return Fail(args[1] + ": not found or empty");
    const auto bytes = stream.View();
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0)
        return Fail("cannot write to stdout");
    return kExitOk;
}

int Xor(const std::vector<std::string>& args) {
    if (args.size() != 2) return Usage(kXorHelp, "xor takes IN and OUT");
    auto bytes = ReadWholeFile(args[0]);
    if (!bytes) return Fail(args[0] + ": cannot read");
    TEZXor xorer;
    ConfigureMainFormXor(xorer);
    TMemoryStream source(std::move(*bytes));
    TMemoryStream result;
    if (!xorer.Execute(source, result)) return Fail("the transform failed");
    std::string error;
    if (!WriteOutput(args[1], result.View(), error)) return Fail(error);
    return kExitOk;
}

// [main] -----------------------------------------------------------------------------

int Run(const std::vector<std::string>& args) {
    if (args.empty()) return Usage(kMainHelp, "no command given");
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (IsHelp(command)) {
        std::fputs(kMainHelp, stdout);
        return kExitOk;
    }
    auto sub = [&](const char* help, auto handler) {
        if (WantsHelp(rest)) {
            std::fputs(help, stdout);
            return kExitOk;
        }
        return handler(rest);
    };
    if (command == "archive" || command == "container") {
        const bool isArchive = command == "archive";
        const char* help = isArchive ? kArchiveHelp : kContainerHelp;
        if (rest.empty()) return Usage(help, command + " needs create, list or extract");
        if (WantsHelp(rest)) {
            std::fputs(help, stdout);
            return kExitOk;
        }
        const std::string& action = rest[0];
        const std::vector<std::string> tail(rest.begin() + 1, rest.end());
        if (action == "create") return isArchive ? ArchiveCreate(tail) : ContainerCreate(tail);
        if (action == "list") return isArchive ? ArchiveList(tail) : ContainerList(tail);
        if (action == "extract") return isArchive ? ArchiveExtract(tail) : ContainerExtract(tail);
        return Usage(help, "unknown " + command + " command \"" + action + "\"");
    }
    if (command == "get") return sub(kGetHelp, Get);
    if (command == "xor") return sub(kXorHelp, Xor);
    return Usage(kMainHelp, "unknown command \"" + command + "\"");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return Run(args);
}
