// The script disassembler: renders scripts in the assembler's text form and checks each
// rendering by assembling it again, falling back to more explicit forms until the bytes match.
#include "orva_asm/disassembler.h"

#include <cstring>
#include <optional>

#include "data/archive_format.h"
#include "data/cp932.h"
#include "data/text_lines.h"
#include "orva_asm/assembler.h"
#include "script/command_table.h"

namespace orva {

namespace {

// How explicit a rendering is; each level assembles in more cases than the one before.
struct RenderLevel {
    bool Keys;           // write every block key (if[K], else[K], end[K])
    bool ExplicitLists;  // declare the four lists and refer to entries by index
    bool RawLines;       // write every line as .line
};
constexpr RenderLevel kLevels[] = {
    {false, false, false}, {true, false, false}, {true, true, false}, {true, true, true}};

std::string Hex(std::span<const uint8_t> bytes) {
    static const char* kDigits = "0123456789ABCDEF";
    std::string s;
    for (uint8_t b : bytes) {
        s += kDigits[b >> 4];
        s += kDigits[b & 15];
    }
    return s;
}

// A CP932 string as a quoted source string: UTF-8 where that converts back exactly,
// otherwise byte by byte with \xHH for everything but printable ASCII.
std::string Quote(std::string_view cp932) {
    bool clean = true;
    for (unsigned char c : cp932)
        if (c < 0x20 || c == 0x7F) clean = false;
    std::string utf8;
    if (clean) {
        utf8 = Cp932ToUtf8(cp932);
        auto back = Utf8ToCp932(utf8);
        clean = back && *back == cp932;
    }
    std::string out = "\"";
    if (clean) {
        for (char c : utf8) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    } else {
        static const char* kDigits = "0123456789ABCDEF";
        for (unsigned char c : cp932) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += char(c);
            } else if (c >= 0x20 && c < 0x7F) {
                out += char(c);
            } else {
                out += "\\x";
                out += kDigits[c >> 4];
                out += kDigits[c & 15];
            }
        }
    }
    return out + "\"";
}

// A label reference: *name when the name is a plain word, *"name" otherwise.
std::string LabelRef(std::string_view cp932) {
    bool plain = !cp932.empty();
    for (unsigned char c : cp932)
        if (c <= 0x20 || c == 0x7F || c == '"' || c == '#' || c == ';') plain = false;
    if (plain) {
        const std::string utf8 = Cp932ToUtf8(cp932);
        auto back = Utf8ToCp932(utf8);
        if (back && *back == cp932) return "*" + utf8;
    }
    std::string ref = "*";
    ref += Quote(cp932);
    return ref;
}

const char* SectionName(int s) {
    static const char* kNames[] = {"labels", "jumps", "files", "texts"};
    return kNames[s];
}

class Renderer {
public:
    Renderer(const ScriptImage& image, RenderLevel level) : Img(image), Level(level) {}

    std::string Script(int number, std::string_view name) {
        std::string out = ".script " + std::to_string(number) + " " + Quote(name) + "\n";
        if (Img.Header != std::array<uint8_t, 16>{}) out += ".header " + Hex(Img.Header) + "\n";
        if (Level.ExplicitLists) {
            for (int s = 0; s < kSectionCount; ++s)
                for (const auto& entry : Img.Section(s)) out += std::string(".") + SectionName(s) + " " + Quote(entry) + "\n";
        }
        size_t count = Img.Lines.size();
        const bool dropEnd = count > 0 && Img.Lines.back() == kEndLine &&
                             (count == 1 || Img.Lines[count - 2].Code != kCodeEndOfScript);
        if (dropEnd) --count;
        int depth = 0;
        for (size_t k = 0; k < count; ++k) {
            const LineRec& line = Img.Lines[k];
            std::optional<std::string> text = Level.RawLines ? std::nullopt : Line(line);
            const uint8_t low = line.Code & 0xFF;
            if (text && line.Code == kCodeBlockEnd && depth > 0) --depth;
            const int indent = text && line.Code == kCodeElse && depth > 0 ? depth - 1 : depth;
            out += std::string(size_t(indent) * 4, ' ');
            out += text ? *text : RawLine(line);
            out += "\n";
            if (text && low >= 0x70 && low <= 0x75 && line.Code == low) ++depth;
        }
        if (!dropEnd && (Img.Lines.empty() || Img.Lines.back().Code != kCodeEndOfScript)) out += ".noend\n";
        for (int s = 0; s < kSectionCount; ++s) {
            const SectionLayout& layout = Img.Layouts[s];
            if (!layout.Breaks.empty()) {
                std::string codes;
                for (LineBreak b : layout.Breaks)
                    codes += b == LineBreak::CrLf ? 'W' : b == LineBreak::Cr ? 'R' : b == LineBreak::Lf ? 'N' : 'X';
                out += std::string(".breaks ") + SectionName(s) + " " + codes + "\n";
            }
            if (Img.Section(s).empty() && layout.EmptyLength != 0)
                out += std::string(".length ") + SectionName(s) + " " + std::to_string(layout.EmptyLength) + "\n";
        }
        if (!Img.Trailer.empty()) out += ".trailer " + Hex(Img.Trailer) + "\n";
        return out;
    }

private:
    static std::string RawLine(const LineRec& l) {
        char buf[96];
        std::snprintf(buf, sizeof buf, ".line 0x%02X 0x%04X %d %d %d %d %d", l.Code, l.Kinds, l.P1, l.P2, l.P3, l.P4,
                      l.P5);
        return buf;
    }

    static int32_t Slot(const LineRec& l, int j) {
        switch (j) {
            case 0: return l.P1;
            case 1: return l.P2;
            case 2: return l.P3;
            case 3: return l.P4;
            default: return l.P5;
        }
    }

    // One operand; nullopt when the text form cannot write it.
    std::optional<std::string> Operand(OperandRole role, uint8_t kind, int32_t v, std::string& note) const {
        if (kind != kKindLiteral) {
            if (v < 0) return std::nullopt;
            return std::string(kind == kKindScenario ? "F" : kind == kKindSystem ? "S" : "W") + std::to_string(v);
        }
        const std::vector<std::string>* list = nullptr;
        if (role == OperandRole::File || role == OperandRole::Voice) list = &Img.FileNames;
        if (role == OperandRole::Text) list = &Img.MsgTexts;
        if (role == OperandRole::Label) list = &Img.JumpNames;
        if (list && v >= 0 && size_t(v) < list->size()) {
            const std::string& s = (*list)[size_t(v)];
            const std::string written = role == OperandRole::Label ? LabelRef(s) : Quote(s);
            if (!Level.ExplicitLists) return written;
            note += (note.empty() ? "  ; " : " ") + written;
        }
        return std::to_string(v);
    }

    std::optional<std::string> Line(const LineRec& l) const {
        const CommandInfo* row = FindCommand(l.Code);
        if (!row || (l.Kinds & kKindsUnusedBits)) return std::nullopt;
        const DecodedKinds dk = DecodeKinds(l.Kinds);
        for (int j = 0; j < kOperandCount; ++j)
            if (row->Roles[size_t(j)] == OperandRole::Unused && (Slot(l, j) != 0 || dk.Kind[size_t(j)] != 0))
                return std::nullopt;
        const std::string key = Level.Keys ? "[" + std::to_string(l.P1) + "]" : "";
        std::string note;
        if (l.Code >= 0x70 && l.Code <= 0x75) {
            if (dk.Kind[0] != 0 || dk.Show) return std::nullopt;
            static const char* kOps[] = {"==", "!=", "<", ">", "<=", ">="};
            auto a = Operand(OperandRole::Value, dk.Kind[1], l.P2, note);
            auto b = Operand(OperandRole::Value, dk.Kind[2], l.P3, note);
            if (!a || !b) return std::nullopt;
            return "if" + key + " " + *a + " " + kOps[l.Code - 0x70] + " " + *b;
        }
        if (l.Code == kCodeElse || l.Code == kCodeBlockEnd) {
            if (dk.Kind[0] != 0 || dk.Show) return std::nullopt;
            return std::string(row->Name) + key;
        }
        if (l.Code == kCodeLabel && !Level.ExplicitLists && dk.Kind[0] == 0 && !dk.Show && l.P1 >= 0 &&
            size_t(l.P1) < Img.LabelNames.size())
            return LabelRef(Img.LabelNames[size_t(l.P1)]);

        const int total = WrittenOperandCount(*row);
        int first = 0, last = total;
        auto isDefault = [&](int k) {
            const int j = row->Order[size_t(k)];
            return dk.Kind[size_t(j)] == 0 && Slot(l, j) == row->Defaults[size_t(j)];
        };
        if (row->LeadingOptional && total > 0 && isDefault(0)) first = 1;
        else
            while (last > row->Required && isDefault(last - 1)) --last;
        std::string out(row->Name);
        for (int k = first; k < last; ++k) {
            const int j = row->Order[size_t(k)];
            auto op = Operand(row->Roles[size_t(j)], dk.Kind[size_t(j)], Slot(l, j), note);
            if (!op) return std::nullopt;
            out += " " + *op;
        }
        if (dk.Show) out += " show";
        return out + note;
    }

    const ScriptImage& Img;
    RenderLevel Level;
};

bool AssemblesTo(const std::string& text, std::span<const uint8_t> bytes) {
    AssembledScript script;
    std::vector<Diagnostic> errors;
    if (!AssembleScript(text, "<disassembly>", script, errors)) return false;
    const auto built = script.EntryBytes();
    return built.size() == bytes.size() && std::equal(built.begin(), built.end(), bytes.begin());
}

std::string RawScript(std::span<const uint8_t> entry, int number, std::string_view name, const char* why) {
    std::string out = ".script " + std::to_string(number) + " " + Quote(name) + "\n";
    out += std::string("; stored bytes kept as they are: ") + why + "\n";
    for (size_t k = 0; k < entry.size(); k += 32) out += ".raw " + Hex(entry.subspan(k, std::min<size_t>(32, entry.size() - k))) + "\n";
    return out;
}

std::string RenderChecked(const ScriptImage& image, std::span<const uint8_t> bytes, int number, std::string_view name) {
    for (const RenderLevel& level : kLevels) {
        std::string text = Renderer(image, level).Script(number, name);
        if (AssemblesTo(text, bytes)) return text;
    }
    return RawScript(bytes, number, name, "no text form reproduces them");
}

struct ContainerView {
    std::span<const uint8_t> Bytes;
    ScriptContainerEntry Entry(size_t k) const {
        ScriptContainerEntry e;
        std::memcpy(&e, Bytes.data() + kFileHeaderSize + k * sizeof e, sizeof e);
        return e;
    }
    bool InFile(const ScriptContainerEntry& e) const { return uint64_t(e.Offset) + e.Size <= Bytes.size(); }
    std::span<const uint8_t> Data(const ScriptContainerEntry& e) const { return Bytes.subspan(e.Offset, e.Size); }
};

}  // namespace

std::string DisassembleScript(const ScriptImage& image, int number) { return DisassembleScript(image, number, ""); }

std::string DisassembleScript(const ScriptImage& image, int number, std::string_view name) {
    const std::vector<uint8_t> bytes = BuildScriptEntry(image);
    return RenderChecked(image, bytes, number, name);
}

std::string DisassembleEntry(std::span<const uint8_t> entry, int number, std::string_view name, bool listedEmpty) {
    if (entry.empty() && listedEmpty) return ".script " + std::to_string(number) + " " + Quote(name) + " empty\n";
    ScriptEntryStatus status{};
    const ScriptImage image = ParseScriptEntry(entry, &status);
    if (status != ScriptEntryStatus::Ok) return RawScript(entry, number, name, ScriptEntryStatusText(status));
    return RenderChecked(image, entry, number, name);
}

bool DisassembleContainer(std::span<const uint8_t> container, std::string& out, std::string& error,
                          std::string& warning) {
    if (container.size() < kContainerDataStart) {
        error = "not a script container: " + std::to_string(container.size()) + " bytes, shorter than its index";
        return false;
    }
    const ContainerView view{container};
    std::vector<std::string> names;
    const ScriptContainerEntry nameEntry = view.Entry(0);
    if (view.InFile(nameEntry)) names = SplitTextLines(view.Data(nameEntry));
    else warning = "the name list reaches past the end of the file; ";

    std::string body;
    std::vector<AssembledScript> present;  // number and name only, for the derived name list
    for (size_t n = 1; n < kIndexEntryCount; ++n) {
        const ScriptContainerEntry e = view.Entry(n);
        if (e.Size == 0 && e.Offset == 0) continue;
        const std::string name = n <= names.size() ? names[n - 1] : std::string();
        if (!view.InFile(e)) {
            warning += "script " + std::to_string(n) + " reaches past the end of the file and is left out; ";
            continue;
        }
        body += '\n';
        body += DisassembleEntry(view.Data(e), int(n), name, e.Size == 0);
        AssembledScript s;
        s.Number = int(n);
        s.Name = name;
        present.push_back(std::move(s));
    }
    std::vector<const AssembledScript*> ptrs;
    for (const auto& s : present) ptrs.push_back(&s);

    out.clear();
    if (std::memcmp(container.data(), kContainerSignature, kFileHeaderSize) != 0)
        out += ".container-header " + Hex(container.first(kFileHeaderSize)) + "\n";
    if (DeriveNameList(ptrs) != names) {
        out += ".names";
        for (const auto& name : names) out += " " + Quote(name);
        out += "\n";
    }
    out += body;

    // The text must build this very container; say so when it cannot.
    AssembledSource source;
    std::vector<Diagnostic> errors;
    std::vector<uint8_t> rebuilt;
    if (!AssembleSource(out, "<disassembly>", source, errors) ||
        !BuildContainerFromSources({source}, rebuilt, errors) ||
        !std::equal(rebuilt.begin(), rebuilt.end(), container.begin(), container.end()))
        warning += "building this text gives an equivalent container laid out differently";
    return true;
}

bool DisassembleContainerEntry(std::span<const uint8_t> container, int number, std::string& out, std::string& error) {
    if (container.size() < kContainerDataStart) {
        error = "not a script container: shorter than its index";
        return false;
    }
    if (number < 1 || number > int(kMaxStoredFiles)) {
        error = "script number must be 1..65535";
        return false;
    }
    const ContainerView view{container};
    const ScriptContainerEntry e = view.Entry(size_t(number));
    if ((e.Size == 0 && e.Offset == 0) || !view.InFile(e)) {
        error = "script " + std::to_string(number) + (view.InFile(e) ? " is not in the container" : " reaches past the end of the file");
        return false;
    }
    std::vector<std::string> names;
    const ScriptContainerEntry nameEntry = view.Entry(0);
    if (view.InFile(nameEntry)) names = SplitTextLines(view.Data(nameEntry));
    const std::string name = size_t(number) <= names.size() ? names[size_t(number) - 1] : std::string();
    out = DisassembleEntry(view.Data(e), number, name, e.Size == 0);
    return true;
}

}  // namespace orva
