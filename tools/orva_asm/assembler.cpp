// The script assembler.
//
// [SECTION] Tokens: one source line split into words, numbers, strings, labels, operators
// [SECTION] Script state: the lists, lines and open blocks of the script being assembled
// [SECTION] Statements: directives, labels, conditional blocks and table commands
// [SECTION] Container: sources to SCRIPT.DAT
#include "orva_asm/assembler.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <set>

#include "data/archive_format.h"
#include "data/container_writer.h"
#include "data/cp932.h"
#include "script/command_table.h"

namespace orva {

std::string Diagnostic::Format() const {
    return File + ":" + std::to_string(Line) + ":" + std::to_string(Column) + ": error: " + Message;
}

std::vector<uint8_t> AssembledScript::EntryBytes() const {
    if (Empty) return {};
    if (IsRaw) return Raw;
    return BuildScriptEntry(Image);
}

namespace {

// ---------------------------------------------------------------------------------------
// [SECTION] Tokens
// ---------------------------------------------------------------------------------------

enum class TokKind { Word, Number, String, Label, Op, Directive };

struct Token {
    TokKind Kind;
    std::string Text;        // word, directive name (without '.'), operator, label name or string bytes (CP932)
    int64_t Value = 0;       // Number
    bool HasKey = false;     // Word followed by [key]
    int64_t Key = 0;
    int Column = 0;          // from 1
};

struct SourceLine {
    int Number = 0;
    std::vector<Token> Tokens;
};

class Lexer {
public:
    Lexer(const std::string& file, std::vector<Diagnostic>& errors) : File(file), Errors(errors) {}

    // Splits one line; false (with a diagnostic) on a malformed token.
    bool Split(std::string_view line, int lineNo, std::vector<Token>& out) {
        Line = line;
        LineNo = lineNo;
        size_t i = 0;
        while (i < line.size()) {
            const char c = line[i];
            if (c == ' ' || c == '\t' || c == '\r') {
                ++i;
                continue;
            }
            if (c == '#' || c == ';') break;
            Token tok{};
            tok.Column = ColumnOf(i);
            if (c == '"') {
                tok.Kind = TokKind::String;
                if (!ReadString(i, tok.Text)) return false;
            } else if (c == '*') {
                tok.Kind = TokKind::Label;
                ++i;
                if (i < line.size() && line[i] == '"') {
                    if (!ReadString(i, tok.Text)) return false;
                } else {
                    const size_t start = i;
                    while (i < line.size() && !IsBreakChar(line[i])) ++i;
                    auto cp = Utf8ToCp932(line.substr(start, i - start));
                    if (!cp) return Fail(start, "label name cannot be written in CP932");
                    tok.Text = *cp;
                }
                if (tok.Text.empty()) return Fail(i, "empty label name");
            } else if (c == '.' && i + 1 < line.size() && IsWordChar(line[i + 1])) {
                tok.Kind = TokKind::Directive;
                ++i;
                const size_t start = i;
                while (i < line.size() && (IsWordChar(line[i]) || line[i] == '-')) ++i;
                tok.Text = std::string(line.substr(start, i - start));
                if (tok.Text == "raw" || tok.Text == "header" || tok.Text == "trailer" ||
                    tok.Text == "container-header") {
                    // The rest of the line is hexadecimal digits, blanks ignored.
                    Token hex{TokKind::Word, "", 0, false, 0, 0};
                    while (i < line.size() && line[i] != '#' && line[i] != ';') {
                        if (line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
                            if (hex.Column == 0) hex.Column = ColumnOf(i);
                            hex.Text += line[i];
                        }
                        ++i;
                    }
                    out.push_back(std::move(tok));
                    if (!hex.Text.empty()) out.push_back(std::move(hex));
                    return true;
                }
            } else if (c == '-' || c == '+' || (c >= '0' && c <= '9')) {
                tok.Kind = TokKind::Number;
                if (!ReadNumber(i, tok.Value)) return false;
            } else if (c == '=' || c == '!' || c == '<' || c == '>') {
                tok.Kind = TokKind::Op;
                size_t n = (i + 1 < line.size() && line[i + 1] == '=') ? 2 : 1;
                tok.Text = std::string(line.substr(i, n));
                if (tok.Text == "=" || tok.Text == "!") return Fail(i, "unknown operator '" + tok.Text + "'");
                i += n;
            } else if (IsWordChar(c)) {
                tok.Kind = TokKind::Word;
                const size_t start = i;
                while (i < line.size() && IsWordChar(line[i])) ++i;
                tok.Text = std::string(line.substr(start, i - start));
                if (i < line.size() && line[i] == '[') {
                    ++i;
                    tok.HasKey = true;
                    if (!ReadNumber(i, tok.Key)) return false;
                    if (i >= line.size() || line[i] != ']') return Fail(i, "expected ']' after the block key");
                    ++i;
                }
            } else {
                return Fail(i, std::string("unexpected character '") + c + "'");
            }
            // Tokens are separated by blanks (an operator needs none): "F10x" is not a variable.
            if (tok.Kind != TokKind::Op && i < line.size() && !IsBreakChar(line[i]) && !IsOpChar(line[i]))
                return Fail(i, "expected a blank after '" + DescribeToken(tok) + "'");
            out.push_back(std::move(tok));
        }
        return true;
    }

    int ColumnOf(size_t byteIndex) const {
        int col = 1;
        for (size_t k = 0; k < byteIndex && k < Line.size(); ++k)
            if ((static_cast<unsigned char>(Line[k]) & 0xC0) != 0x80) ++col;
        return col;
    }

    static std::string DescribeToken(const Token& t) {
        switch (t.Kind) {
            case TokKind::Number: return std::to_string(t.Value);
            case TokKind::String: return "string";
            case TokKind::Label: return "label";
            default: return t.Text;
        }
    }

private:
    static bool IsWordChar(char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    }
    static bool IsOpChar(char c) { return c == '=' || c == '!' || c == '<' || c == '>'; }
    static bool IsBreakChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '#' || c == ';' || c == '"'; }

    bool Fail(size_t at, const std::string& message) {
        Errors.push_back({File, LineNo, ColumnOf(at), message});
        return false;
    }

    bool ReadNumber(size_t& i, int64_t& value) {
        const size_t start = i;
        bool negative = false;
        if (i < Line.size() && (Line[i] == '-' || Line[i] == '+')) negative = Line[i++] == '-';
        int base = 10;
        if (i + 1 < Line.size() && Line[i] == '0' && (Line[i + 1] == 'x' || Line[i + 1] == 'X')) {
            base = 16;
            i += 2;
        }
        const size_t digits = i;
        uint64_t v = 0;
        while (i < Line.size()) {
            const char c = Line[i];
            int d = (c >= '0' && c <= '9') ? c - '0'
                    : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10
                    : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10
                    : -1;
            if (d < 0) break;
            v = v * uint64_t(base) + uint64_t(d);
            if (v > 0xFFFFFFFFull) return Fail(start, "number out of range");
            ++i;
        }
        if (i == digits || (i < Line.size() && IsWordChar(Line[i]))) return Fail(start, "malformed number");
        value = negative ? -int64_t(v) : int64_t(v);
        return true;
    }

    // A quoted string: UTF-8 text converted to CP932; \" \\ and \xHH (one raw byte).
    bool ReadString(size_t& i, std::string& out) {
        const size_t open = i++;
        std::string run;
        auto flush = [&](size_t at) {
            if (run.empty()) return true;
            auto cp = Utf8ToCp932(run);
            if (!cp) return Fail(at, "text cannot be written in CP932");
            out += *cp;
            run.clear();
            return true;
        };
        while (true) {
            if (i >= Line.size() || Line[i] == '\r') return Fail(open, "string is not closed");
            const char c = Line[i];
            if (c == '"') {
                if (!flush(open)) return false;
                ++i;
                return true;
            }
            if (c == '\\') {
                if (i + 1 >= Line.size()) return Fail(i, "string is not closed");
                const char e = Line[i + 1];
                if (e == '"' || e == '\\') {
                    run += e;
                    i += 2;
                } else if (e == 'x' && i + 3 < Line.size() && std::isxdigit(uint8_t(Line[i + 2])) &&
                           std::isxdigit(uint8_t(Line[i + 3]))) {
                    if (!flush(open)) return false;
                    out += static_cast<char>(std::stoi(std::string(Line.substr(i + 2, 2)), nullptr, 16));
                    i += 4;
                } else {
                    return Fail(i, "unknown escape; use \\\", \\\\ or \\xHH");
                }
                continue;
            }
            run += c;
            ++i;
        }
    }

    const std::string& File;
    std::vector<Diagnostic>& Errors;
    std::string_view Line;
    int LineNo = 0;
};

// ---------------------------------------------------------------------------------------
// [SECTION] Script state
// ---------------------------------------------------------------------------------------

struct OpenBlock {
    int16_t Key;
    bool Keyless;  // opened by "if" without a key: must be closed by "end"
    bool HasElse;
    int Line, Column;
};

struct PendingJump {
    std::string Name;
    int Line, Column;
};

struct ScriptState {
    AssembledScript Script;
    bool NoEnd = false;
    bool HasContent = false;  // any line or list entry (excludes .raw)
    std::set<int64_t> ExplicitKeys;
    int16_t NextKey = 1;
    std::vector<OpenBlock> Blocks;
    std::vector<PendingJump> Jumps;
    std::array<std::optional<std::string>, kSectionCount> BreakCodes;  // .breaks letters
    std::array<int, kSectionCount> BreakLine{}, BreakColumn{};
    std::array<std::optional<int32_t>, kSectionCount> Lengths;
    std::array<int, kSectionCount> LengthLine{}, LengthColumn{};
};

int SectionByName(std::string_view name) {
    if (name == "labels") return kSectionLabels;
    if (name == "jumps") return kSectionJumps;
    if (name == "files") return kSectionFiles;
    if (name == "texts") return kSectionTexts;
    return -1;
}

int FindOrAppend(std::vector<std::string>& list, const std::string& s) {
    for (size_t k = 0; k < list.size(); ++k)
        if (list[k] == s) return int(k);
    list.push_back(s);
    return int(list.size() - 1);
}

bool ParseHex(const std::vector<Token>& toks, size_t from, std::vector<uint8_t>& out, std::string& why) {
    std::string digits;
    for (size_t k = from; k < toks.size(); ++k) {
        const Token& t = toks[k];
        if (t.Kind == TokKind::Word) digits += t.Text;
        else if (t.Kind == TokKind::Number && t.Value >= 0) digits += std::to_string(t.Value);
        else { why = "expected hexadecimal digits"; return false; }
    }
    if (digits.size() % 2) { why = "odd number of hexadecimal digits"; return false; }
    for (size_t k = 0; k < digits.size(); k += 2) {
        if (!std::isxdigit(uint8_t(digits[k])) || !std::isxdigit(uint8_t(digits[k + 1]))) {
            why = "expected hexadecimal digits";
            return false;
        }
        out.push_back(uint8_t(std::stoi(digits.substr(k, 2), nullptr, 16)));
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// [SECTION] Statements
// ---------------------------------------------------------------------------------------

class Assembler {
public:
    Assembler(const std::string& file, std::vector<Diagnostic>& errors) : File(file), Errors(errors) {}

    bool Run(std::string_view source, AssembledSource& out) {
        out = AssembledSource{};
        out.File = File;
        Lexer lexer(File, Errors);
        std::vector<SourceLine> lines;
        size_t pos = 0;
        int lineNo = 0;
        const size_t errorsBefore = Errors.size();
        while (pos <= source.size()) {
            size_t nl = source.find('\n', pos);
            if (nl == std::string_view::npos) nl = source.size();
            ++lineNo;
            SourceLine sl;
            sl.Number = lineNo;
            if (lexer.Split(source.substr(pos, nl - pos), lineNo, sl.Tokens) && !sl.Tokens.empty())
                lines.push_back(std::move(sl));
            pos = nl + 1;
        }
        // Explicit block keys of each script, so that assigned keys never collide with them.
        std::vector<std::set<int64_t>> keysPerScript(1);
        for (const auto& sl : lines) {
            const Token& t0 = sl.Tokens[0];
            if (t0.Kind == TokKind::Directive && t0.Text == "script") keysPerScript.emplace_back();
            if (t0.Kind == TokKind::Word && t0.HasKey) keysPerScript.back().insert(t0.Key);
        }
        size_t scriptIndex = 0;
        for (const auto& sl : lines) {
            const Token& t0 = sl.Tokens[0];
            if (t0.Kind == TokKind::Directive && t0.Text == "script") {
                FinishScript(out);
                ++scriptIndex;
                Cur.emplace();
                Cur->ExplicitKeys = keysPerScript[scriptIndex];
                StartScript(sl);
                continue;
            }
            Statement(sl, out);
        }
        FinishScript(out);
        return Errors.size() == errorsBefore;
    }

private:
    void Error(int line, int column, std::string message) { Errors.push_back({File, line, column, std::move(message)}); }
    void Error(const SourceLine& sl, const Token& t, std::string message) { Error(sl.Number, t.Column, std::move(message)); }

    void StartScript(const SourceLine& sl) {
        const auto& t = sl.Tokens;
        AssembledScript& s = Cur->Script;
        s.File = File;
        s.Line = sl.Number;
        if (t.size() < 3 || t[1].Kind != TokKind::Number || t[2].Kind != TokKind::String) {
            Error(sl, t[0], "expected .script NUMBER \"name\" [empty]");
            return;
        }
        if (t[1].Value < 1 || t[1].Value > int64_t(kMaxStoredFiles)) {
            Error(sl, t[1], "script number must be 1..65535");
            return;
        }
        s.Number = int(t[1].Value);
        s.Name = t[2].Text;
        if (s.Name.find_first_of("\r\n") != std::string::npos) Error(sl, t[2], "line break in a script name");
        if (t.size() >= 4) {
            if (t[3].Kind == TokKind::Word && t[3].Text == "empty" && t.size() == 4) s.Empty = true;
            else Error(sl, t[3], "unexpected '" + Lexer::DescribeToken(t[3]) + "' after the script name");
        }
    }

    void FinishScript(AssembledSource& out) {
        if (!Cur) return;
        ScriptState& st = *Cur;
        AssembledScript& s = st.Script;
        ScriptImage& img = s.Image;
        for (const auto& b : st.Blocks)
            if (b.Keyless) Error(b.Line, b.Column, "'if' without 'end'");
        for (const auto& j : st.Jumps)
            if (std::find(img.LabelNames.begin(), img.LabelNames.end(), j.Name) == img.LabelNames.end())
                Error(j.Line, j.Column, "no label *" + Cp932ToUtf8(j.Name) + " in this script");
        for (int sec = 0; sec < kSectionCount; ++sec) {
            const auto& list = img.Section(sec);
            if (st.BreakCodes[sec]) {
                const std::string& codes = *st.BreakCodes[sec];
                if (codes.size() != list.size()) {
                    Error(st.BreakLine[sec], st.BreakColumn[sec],
                          ".breaks gives " + std::to_string(codes.size()) + " line breaks for " +
                              std::to_string(list.size()) + " entries");
                } else {
                    auto& breaks = img.Layouts[sec].Breaks;
                    for (size_t k = 0; k < codes.size(); ++k) {
                        const char c = codes[k];
                        LineBreak b = c == 'W' ? LineBreak::CrLf : c == 'R' ? LineBreak::Cr
                                    : c == 'N' ? LineBreak::Lf : LineBreak::None;
                        if (b == LineBreak::None && (k + 1 < list.size() || list[k].empty()))
                            Error(st.BreakLine[sec], st.BreakColumn[sec],
                                  "X (no line break) only fits a non-empty last entry");
                        breaks.push_back(b);
                    }
                }
            }
            if (st.Lengths[sec]) {
                if (!list.empty())
                    Error(st.LengthLine[sec], st.LengthColumn[sec], ".length is only for a section without entries");
                else img.Layouts[sec].EmptyLength = *st.Lengths[sec];
            }
        }
        Canonicalise(img);
        if (s.Empty && (st.HasContent || s.IsRaw)) Error(s.Line, 1, "an empty script holds no lines or data");
        if (s.IsRaw && st.HasContent) Error(s.Line, 1, "a script given as .raw holds nothing else");
        if (!s.Empty && !s.IsRaw && !st.NoEnd && (img.Lines.empty() || img.Lines.back().Code != kCodeEndOfScript))
            img.Lines.push_back(kEndLine);
        if (img.Lines.size() > size_t(kLineTblCapacity))
            Error(s.Line, 1, "script has more than 65536 lines");
        out.Scripts.push_back(std::move(s));
        Cur.reset();
    }

    bool NeedScript(const SourceLine& sl) {
        if (Cur) return true;
        Error(sl, sl.Tokens[0], "no .script line before this line");
        return false;
    }

    void AddLine(const LineRec& line) {
        Cur->Script.Image.Lines.push_back(line);
        Cur->HasContent = true;
    }

    void Statement(const SourceLine& sl, AssembledSource& out) {
        const Token& t0 = sl.Tokens[0];
        if (t0.Kind == TokKind::Directive) return Directive(sl, out);
        if (!NeedScript(sl)) return;
        if (t0.Kind == TokKind::Label) {
            if (sl.Tokens.size() > 1) return Error(sl, sl.Tokens[1], "a label stands alone on its line");
            auto& names = Cur->Script.Image.LabelNames;
            names.push_back(t0.Text);
            return AddLine({kCodeLabel, 0, int16_t(names.size() - 1), 0, 0, 0, 0});
        }
        if (t0.Kind != TokKind::Word) return Error(sl, t0, "expected a command");
        if (t0.Text == "if") return Condition(sl);
        if (t0.Text == "else" || t0.Text == "end") return BlockMarker(sl);
        if (t0.HasKey) return Error(sl, t0, "only if, else and end take a [key]");
        const CommandInfo* row = FindCommandByName(t0.Text);
        if (!row || (row->Code >= 0x70 && row->Code <= 0x75))
            return Error(sl, t0, "unknown command '" + t0.Text + "'");
        Command(sl, *row);
    }

    // One operand into slot j: sets value and kind; false with a diagnostic.
    bool Operand(const SourceLine& sl, const Token& t, OperandRole role, int slot, int32_t& value, uint8_t& kind) {
        const bool wide = slot == 4;
        const int64_t lo = wide ? INT32_MIN : INT16_MIN, hi = wide ? INT32_MAX : INT16_MAX;
        auto inRange = [&](int64_t v) {
            if (v < lo || v > hi) {
                Error(sl, t, "value " + std::to_string(v) + " does not fit operand P" + std::to_string(slot + 1));
                return false;
            }
            return true;
        };
        ScriptImage& img = Cur->Script.Image;
        kind = kKindLiteral;
        switch (t.Kind) {
            case TokKind::Number:
                if (!inRange(t.Value)) return false;
                value = int32_t(t.Value);
                return true;
            case TokKind::Word: {
                if (t.HasKey || t.Text.size() < 2 || (t.Text[0] != 'F' && t.Text[0] != 'S' && t.Text[0] != 'W') ||
                    !std::all_of(t.Text.begin() + 1, t.Text.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
                    t.Text.size() > 11) {
                    Error(sl, t, "expected an operand, found '" + t.Text + "'");
                    return false;
                }
                const int64_t index = std::stoll(t.Text.substr(1));
                if (!inRange(index)) return false;
                kind = t.Text[0] == 'F' ? kKindScenario : t.Text[0] == 'S' ? kKindSystem : kKindWork;
                value = int32_t(index);
                return true;
            }
            case TokKind::String: {
                if (t.Text.find_first_of("\r\n") != std::string::npos) {
                    Error(sl, t, "line break in a string");
                    return false;
                }
                int64_t index;
                if (role == OperandRole::File || role == OperandRole::Voice) {
                    index = FindOrAppend(img.FileNames, t.Text);
                } else if (role == OperandRole::Text) {
                    img.MsgTexts.push_back(t.Text);  // each message is its own read-text number
                    index = int64_t(img.MsgTexts.size() - 1);
                } else {
                    Error(sl, t, "a string does not fit operand P" + std::to_string(slot + 1));
                    return false;
                }
                Cur->HasContent = true;
                if (!inRange(index)) return false;
                value = int32_t(index);
                return true;
            }
            case TokKind::Label: {
                if (role != OperandRole::Label) {
                    Error(sl, t, "a label does not fit operand P" + std::to_string(slot + 1));
                    return false;
                }
                const int64_t index = FindOrAppend(img.JumpNames, t.Text);
                if (!inRange(index)) return false;
                value = int32_t(index);
                return true;
            }
            default:
                Error(sl, t, "expected an operand, found '" + Lexer::DescribeToken(t) + "'");
                return false;
        }
    }

    void Command(const SourceLine& sl, const CommandInfo& row) {
        std::vector<const Token*> args;
        bool show = false;
        for (size_t k = 1; k < sl.Tokens.size(); ++k) {
            const Token& t = sl.Tokens[k];
            if (t.Kind == TokKind::Word && t.Text == "show" && !t.HasKey) {
                if (k + 1 != sl.Tokens.size()) return Error(sl, t, "'show' comes last");
                show = true;
            } else {
                args.push_back(&t);
            }
        }
        const int total = WrittenOperandCount(row);
        const int n = int(args.size());
        int first = 0;
        if (row.LeadingOptional && n == total - 1) first = 1;
        else if (n < row.Required || n > total) {
            const Token& at = n > total ? *args[size_t(total)] : sl.Tokens[0];
            return Error(sl, at, "'" + std::string(row.Name) + "' takes " +
                                     (row.Required == total || row.LeadingOptional
                                          ? std::to_string(row.LeadingOptional ? total - 1 : total) +
                                                (row.LeadingOptional ? " or " + std::to_string(total) : "")
                                          : std::to_string(row.Required) + " to " + std::to_string(total)) +
                                     " operands, found " + std::to_string(n));
        }
        DecodedKinds kinds{};
        kinds.Show = show;
        std::array<int32_t, kOperandCount> p = row.Defaults;
        const Token* jumpLabel = nullptr;
        for (int k = 0; k < n; ++k) {
            const int slot = row.Order[size_t(first + k)];
            const Token& t = *args[size_t(k)];
            if (!Operand(sl, t, row.Roles[size_t(slot)], slot, p[size_t(slot)], kinds.Kind[size_t(slot)])) return;
            if (row.Roles[size_t(slot)] == OperandRole::Label && t.Kind == TokKind::Label) jumpLabel = &t;
        }
        // A jump inside the loaded script must find its label there.
        if (jumpLabel && p[4] == 0 && kinds.Kind[4] == kKindLiteral)
            Cur->Jumps.push_back({jumpLabel->Text, sl.Number, jumpLabel->Column});
        AddLine({row.Code, EncodeKinds(kinds), int16_t(p[0]), int16_t(p[1]), int16_t(p[2]), int16_t(p[3]), p[4]});
    }

    bool KeyOf(const SourceLine& sl, const Token& t, int16_t& key) {
        if (t.Key < INT16_MIN || t.Key > INT16_MAX) {
            Error(sl, t, "block key must fit 16 bits");
            return false;
        }
        key = int16_t(t.Key);
        return true;
    }

    void Condition(const SourceLine& sl) {
        const auto& t = sl.Tokens;
        static const std::map<std::string, uint16_t> kOps = {{"==", 0x70}, {"!=", 0x71}, {"<", 0x72},
                                                             {">", 0x73},  {"<=", 0x74}, {">=", 0x75}};
        if (t.size() != 4 || t[2].Kind != TokKind::Op) {
            const Token& at = t.size() > 2 ? t[2] : t[0];
            return Error(sl, at, "expected: if VALUE OP VALUE, with OP one of == != < > <= >=");
        }
        const uint16_t code = kOps.at(t[2].Text);
        int16_t key;
        if (t[0].HasKey) {
            if (!KeyOf(sl, t[0], key)) return;
        } else {
            while (Cur->ExplicitKeys.count(Cur->NextKey)) ++Cur->NextKey;
            key = Cur->NextKey++;
        }
        DecodedKinds kinds{};
        int32_t a = 0, b = 0;
        if (!Operand(sl, t[1], OperandRole::Value, 1, a, kinds.Kind[1])) return;
        if (!Operand(sl, t[3], OperandRole::Value, 2, b, kinds.Kind[2])) return;
        Cur->Blocks.push_back({key, !t[0].HasKey, false, sl.Number, t[0].Column});
        AddLine({code, EncodeKinds(kinds), key, int16_t(a), int16_t(b), 0, 0});
    }

    void BlockMarker(const SourceLine& sl) {
        const Token& t0 = sl.Tokens[0];
        const bool isElse = t0.Text == "else";
        if (sl.Tokens.size() > 1) return Error(sl, sl.Tokens[1], "'" + t0.Text + "' takes no operands");
        auto& blocks = Cur->Blocks;
        int16_t key;
        if (t0.HasKey) {
            if (!KeyOf(sl, t0, key)) return;
        } else {
            if (blocks.empty()) return Error(sl, t0, "'" + t0.Text + "' without 'if'");
            if (isElse && blocks.back().HasElse) return Error(sl, t0, "second 'else' in one block");
            key = blocks.back().Key;
        }
        const bool matchesTop = !blocks.empty() && blocks.back().Key == key;
        if (matchesTop) {
            if (isElse) blocks.back().HasElse = true;
            else blocks.pop_back();
        }
        AddLine({isElse ? kCodeElse : kCodeBlockEnd, 0, key, 0, 0, 0, 0});
    }

    void Directive(const SourceLine& sl, AssembledSource& out) {
        const auto& t = sl.Tokens;
        const std::string& d = t[0].Text;
        if (d == "names") {
            if (out.Names) return Error(sl, t[0], ".names given twice");
            std::vector<std::string> names;
            for (size_t k = 1; k < t.size(); ++k) {
                if (t[k].Kind != TokKind::String) return Error(sl, t[k], ".names takes strings");
                if (t[k].Text.find_first_of("\r\n") != std::string::npos)
                    return Error(sl, t[k], "line break in a name");
                names.push_back(t[k].Text);
            }
            out.Names = std::move(names);
            out.NamesLine = sl.Number;
            return;
        }
        if (d == "container-header") {
            if (out.ContainerHeader) return Error(sl, t[0], ".container-header given twice");
            std::vector<uint8_t> bytes;
            std::string why;
            if (!ParseHex(t, 1, bytes, why) || bytes.size() != 16)
                return Error(sl, t[0], why.empty() ? ".container-header takes 16 bytes in hexadecimal" : why);
            std::array<uint8_t, 16> h{};
            std::copy(bytes.begin(), bytes.end(), h.begin());
            out.ContainerHeader = h;
            out.HeaderLine = sl.Number;
            return;
        }
        if (!NeedScript(sl)) return;
        ScriptState& st = *Cur;
        ScriptImage& img = st.Script.Image;
        const int sec = SectionByName(d);
        if (sec >= 0) {
            for (size_t k = 1; k < t.size(); ++k) {
                if (t[k].Kind != TokKind::String) return Error(sl, t[k], "." + d + " takes strings");
                if (t[k].Text.find_first_of("\r\n") != std::string::npos)
                    return Error(sl, t[k], "line break in a string");
                img.Section(sec).push_back(t[k].Text);
                st.HasContent = true;
            }
            return;
        }
        if (d == "header" || d == "trailer" || d == "raw") {
            std::vector<uint8_t> bytes;
            std::string why;
            if (!ParseHex(t, 1, bytes, why)) return Error(sl, t[0], why);
            if (d == "header") {
                if (bytes.size() != 16) return Error(sl, t[0], ".header takes 16 bytes in hexadecimal");
                std::copy(bytes.begin(), bytes.end(), img.Header.begin());
                st.HasContent = true;
            } else if (d == "trailer") {
                img.Trailer.insert(img.Trailer.end(), bytes.begin(), bytes.end());
                st.HasContent = true;
            } else {
                st.Script.IsRaw = true;
                st.Script.Raw.insert(st.Script.Raw.end(), bytes.begin(), bytes.end());
            }
            return;
        }
        if (d == "breaks" || d == "length") {
            const int s = t.size() == 3 && t[1].Kind == TokKind::Word ? SectionByName(t[1].Text) : -1;
            if (s < 0) return Error(sl, t[0], "expected ." + d + " labels|jumps|files|texts " +
                                                  (d == "breaks" ? "CODES" : "NUMBER"));
            if (d == "breaks") {
                if (t[2].Kind != TokKind::Word ||
                    t[2].Text.find_first_not_of("WRNX") != std::string::npos)
                    return Error(sl, t[2], "line breaks are written W (CR LF), R (CR), N (LF) or X (none)");
                st.BreakCodes[s] = t[2].Text;
                st.BreakLine[s] = sl.Number;
                st.BreakColumn[s] = t[2].Column;
            } else {
                if (t[2].Kind != TokKind::Number || t[2].Value > 0 || t[2].Value < INT32_MIN)
                    return Error(sl, t[2], ".length takes 0 or a negative 32-bit number");
                st.Lengths[s] = int32_t(t[2].Value);
                st.LengthLine[s] = sl.Number;
                st.LengthColumn[s] = t[2].Column;
            }
            st.HasContent = true;
            return;
        }
        if (d == "noend") {
            if (t.size() > 1) return Error(sl, t[1], ".noend takes no operands");
            st.NoEnd = true;
            st.HasContent = true;
            return;
        }
        if (d == "line") {
            if (t.size() != 8) return Error(sl, t[0], ".line takes CODE KINDS P1 P2 P3 P4 P5");
            int64_t v[7];
            for (int k = 0; k < 7; ++k) {
                const Token& a = t[size_t(k + 1)];
                if (a.Kind != TokKind::Number) return Error(sl, a, ".line takes numbers");
                const int64_t lo = k < 2 ? 0 : k < 6 ? INT16_MIN : INT32_MIN;
                const int64_t hi = k < 2 ? 0xFFFF : k < 6 ? INT16_MAX : INT32_MAX;
                if (a.Value < lo || a.Value > hi) return Error(sl, a, "value " + std::to_string(a.Value) + " out of range");
                v[k] = a.Value;
            }
            return AddLine({uint16_t(v[0]), uint16_t(v[1]), int16_t(v[2]), int16_t(v[3]), int16_t(v[4]),
                            int16_t(v[5]), int32_t(v[6])});
        }
        Error(sl, t[0], "unknown directive '." + d + "'");
    }

    const std::string& File;
    std::vector<Diagnostic>& Errors;
    std::optional<ScriptState> Cur;
};

}  // namespace

bool AssembleSource(std::string_view source, const std::string& fileName, AssembledSource& out,
                    std::vector<Diagnostic>& errors) {
    Assembler assembler(fileName, errors);
    return assembler.Run(source, out);
}

bool AssembleScript(std::string_view source, const std::string& fileName, AssembledScript& out,
                    std::vector<Diagnostic>& errors) {
    AssembledSource all;
    if (!AssembleSource(source, fileName, all, errors)) return false;
    if (all.Scripts.size() != 1 || all.Names || all.ContainerHeader) {
        errors.push_back({fileName, 1, 1,
                          all.Scripts.size() != 1
                              ? "expected exactly one .script, found " + std::to_string(all.Scripts.size())
                              : "container settings (.names, .container-header) belong to a whole build"});
        return false;
    }
    out = std::move(all.Scripts[0]);
    return true;
}

// ---------------------------------------------------------------------------------------
// [SECTION] Container
// ---------------------------------------------------------------------------------------

std::vector<std::string> DeriveNameList(const std::vector<const AssembledScript*>& scripts) {
    std::vector<std::string> names;
    for (const AssembledScript* s : scripts) {
        if (size_t(s->Number) > names.size()) names.resize(size_t(s->Number));
        names[size_t(s->Number - 1)] = s->Name;
    }
    return names;
}

bool BuildContainerFromSources(const std::vector<AssembledSource>& sources, std::vector<uint8_t>& out,
                               std::vector<Diagnostic>& errors) {
    const size_t errorsBefore = errors.size();
    std::map<uint32_t, const AssembledScript*> byNumber;
    const AssembledSource* namesFrom = nullptr;
    const AssembledSource* headerFrom = nullptr;
    for (const auto& src : sources) {
        for (const auto& s : src.Scripts) {
            auto [it, fresh] = byNumber.emplace(uint32_t(s.Number), &s);
            if (!fresh)
                errors.push_back({s.File, s.Line, 1,
                                  "script " + std::to_string(s.Number) + " is also defined at " + it->second->File +
                                      ":" + std::to_string(it->second->Line)});
        }
        if (src.Names) {
            if (namesFrom) errors.push_back({src.File, src.NamesLine, 1, ".names is also given in " + namesFrom->File});
            namesFrom = &src;
        }
        if (src.ContainerHeader) {
            if (headerFrom)
                errors.push_back({src.File, src.HeaderLine, 1, ".container-header is also given in " + headerFrom->File});
            headerFrom = &src;
        }
    }
    if (errors.size() != errorsBefore) return false;

    std::vector<const AssembledScript*> ordered;
    std::map<uint32_t, std::vector<uint8_t>> entries;
    for (const auto& [number, s] : byNumber) {
        ordered.push_back(s);
        entries[number] = s->EntryBytes();
    }
    const std::vector<std::string> names = namesFrom ? *namesFrom->Names : DeriveNameList(ordered);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!BuildScriptContainer(names, entries, bytes, error)) {
        errors.push_back({sources.empty() ? std::string("-") : sources.front().File, 1, 1, error});
        return false;
    }
    if (headerFrom) std::copy(headerFrom->ContainerHeader->begin(), headerFrom->ContainerHeader->end(), bytes.begin());
    out = std::move(bytes);
    return true;
}

}  // namespace orva
