// The game-data check: archives and the names they share, every script of the container with
// the files, labels, blocks and texts it refers to, how deep its calls can nest, and the state
// of the save files. Problems are what play would get wrong (a missing file, a jump to nowhere);
// warnings are what may be intended but loses something (text past the window, a tenth answer).
//
// [SECTION] the report
// [SECTION] archives
// [SECTION] scripts
// [SECTION] calls
// [SECTION] sounds
// [SECTION] translation
// [SECTION] save files
#include "app/game_check.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "data/save_layout.h"
#include "data/archive.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "data/mitayo.h"
#include "data/script_container.h"
#include "script/command_table.h"
#include "script/script_image.h"
#include "script/script_search.h"
#include "sound/ogg_data.h"
#include "graphics/font_names.h"
#include "graphics/text_render.h"
#include "text/latin_layout.h"
#include "text/message_layout.h"
#include "text/shown_text.h"
#include "text/translation_catalog.h"

namespace orva {
namespace {

// [SECTION] the report -----------------------------------------------------------------------

class Report {
public:
    explicit Report(std::ostream& out) : Out(out) {}
    void Section(const std::string& title) { Out << "\n" << title << "\n"; }
    void Info(const std::string& line) { Out << "  " << line << "\n"; }
    void Warning(const std::string& line) {
        Out << "  warning: " << line << "\n";
        ++Warnings;
    }
    void Problem(const std::string& line) {
        Out << "  problem: " << line << "\n";
        ++Problems;
    }
    int Problems = 0;
    int Warnings = 0;

private:
    std::ostream& Out;
};

std::string Utf8(std::string_view cp932) { return Cp932ToUtf8(cp932); }

std::string ArchiveName(int n) { return "DATA0" + std::to_string(n) + ".cfp"; }

// [SECTION] archives -------------------------------------------------------------------------

// Which files the archives hold, asked the way the engine asks.
class FileIndex {
public:
    explicit FileIndex(const TArchiveSet& set) : Set(set) {}
    bool Has(const std::string& name) {
        const std::string key = TArchiveSet::NormaliseName(name);
        auto it = Known.find(key);
        if (it == Known.end()) {
            TMemoryStream stream;
            it = Known.emplace(key, Set.Read(name, stream)).first;
        }
        return it->second;
    }
    bool Read(const std::string& name, TMemoryStream& stream) const { return Set.Read(name, stream); }
    // The sound files the scripts name and the archives hold, by the name first seen.
    void NoteSound(const std::string& name) { Sounds.emplace(TArchiveSet::NormaliseName(name), name); }
    const std::map<std::string, std::string>& SoundNames() const { return Sounds; }

private:
    const TArchiveSet& Set;
    std::map<std::string, bool> Known;
    std::map<std::string, std::string> Sounds;
};

void CheckArchives(const TArchiveSet& set, Report& report) {
    report.Section("Archives");
    std::map<std::string, std::vector<int>> holders;  // name → archives that list it, highest first
    for (int n = TArchiveSet::kArchiveCount; n >= 1; --n) {
        if (!set.HasArchive(n)) continue;
        std::set<std::string> seen;
        for (const std::string& line : set.NameList(n)) {
            const std::string key = TArchiveSet::NormaliseName(line);
            if (!key.empty() && seen.insert(key).second) holders[key].push_back(n);
        }
    }
    for (int n = 1; n <= TArchiveSet::kArchiveCount; ++n) {
        if (!set.HasArchive(n)) {
            report.Info(ArchiveName(n) + ": not present");
            continue;
        }
        size_t files = 0;
        for (const std::string& line : set.NameList(n)) files += TArchiveSet::NormaliseName(line).empty() ? 0 : 1;
        report.Info(ArchiveName(n) + ": " + std::to_string(files) + (files == 1 ? " file" : " files"));
    }
    for (const auto& [name, archives] : holders) {
        if (archives.size() < 2) continue;
        std::string where;
        for (size_t i = archives.size(); i-- > 0;) where += (where.empty() ? "" : ", ") + ArchiveName(archives[i]);
        report.Info(Utf8(name) + " is in " + where + "; the copy in " + ArchiveName(archives.front()) + " is used");
    }
}

// [SECTION] scripts --------------------------------------------------------------------------

struct LoadedScript {
    int Number = 0;
    std::string Name;
    ScriptImage Image;
};

const std::string* Entry(const std::vector<std::string>& list, int64_t index) {
    return index >= 0 && index < int64_t(list.size()) ? &list[size_t(index)] : nullptr;
}

std::string Where(const LoadedScript& s, size_t line) {
    return "script " + std::to_string(s.Number) + " line " + std::to_string(line);
}

// The 16-bit characters a message or choice shows of its text, for a short quote.
std::string Quote(const std::string& cp932) {
    std::u16string text = Cp932ToUtf16(cp932);
    if (text.size() > 20) text = text.substr(0, 20) + u"…";
    return "\"" + Utf16ToUtf8(text) + "\"";
}

void CheckFile(const LoadedScript& s, size_t line, const std::string* name, const char* extension, const char* what,
               FileIndex& files, Report& report) {
    if (!name) {
        report.Problem(Where(s, line) + ": the " + std::string(what) + "'s file index is outside the file list");
        return;
    }
    if (!files.Has(*name + extension))
        report.Problem(Where(s, line) + ": " + what + " " + Utf8(*name + extension) + " is in no archive");
    else if (std::strcmp(extension, ".ogg") == 0)
        files.NoteSound(*name + extension);
}

void CheckScript(const LoadedScript& s, const std::map<int, LoadedScript>& scripts, FileIndex& files, Report& report) {
    const ScriptImage& img = s.Image;
    const std::span<const LineRec> lines(img.Lines);
    bool hasEnd = false;
    for (size_t j = 0; j < img.Lines.size(); ++j) {
        const LineRec& l = img.Lines[j];
        const DecodedKinds kinds = DecodeKinds(l.Kinds);
        const bool p1Literal = kinds.Kind[0] == kKindLiteral, p5Literal = kinds.Kind[4] == kKindLiteral;
        const uint16_t code = l.Code;
        if ((code & 0xFF) == kCodeEndOfScript) hasEnd = true;

        if (code >= kCodeBackground && code <= kCodeCharacter5 && p5Literal) {
            CheckFile(s, j, Entry(img.FileNames, l.P5), ".png", code == kCodeBackground ? "background" : "character picture",
                      files, report);
        } else if (code == kCodeMusic && p5Literal) {
            const std::string* name = Entry(img.FileNames, l.P5);
            if (name && *name == "STOP") continue;  // fades the music out; there is no file
            CheckFile(s, j, name, ".ogg", "music", files, report);
            if (name && files.Has(*name + "P.ogg")) files.NoteSound(*name + "P.ogg");
            if (name && *name != "M08" && files.Has(*name + ".ogg") && !files.Has(*name + "P.ogg"))
                report.Warning(Where(s, j) + ": music " + Utf8(*name) + " has no alternative version " +
                               Utf8(*name + "P.ogg") + "; with that version chosen it plays nothing");
        } else if (code >= kCodeEffect1 && code <= kCodeEffect3 && p5Literal) {
            CheckFile(s, j, Entry(img.FileNames, l.P5), ".ogg", "effect", files, report);
        } else if (code == kCodeMessage || code == kCodeChoice) {
            const std::string* text = p1Literal ? Entry(img.MsgTexts, l.P1) : nullptr;
            if (p1Literal && !text) {
                report.Problem(Where(s, j) + ": text " + std::to_string(l.P1) + " is outside the text list");
                continue;
            }
            if (code == kCodeMessage && p5Literal && l.P5 != -1) CheckFile(s, j, Entry(img.FileNames, l.P5), ".ogg", "voice", files, report);
            if (!text) continue;
            const std::u16string wide = Cp932ToUtf16(*text);
            if (code == kCodeMessage) {
                size_t dropped = 0;
                LayoutMessage(wide, dropped);
                if (dropped > 0)
                    report.Warning(Where(s, j) + ": message " + std::to_string(l.P1) + " " + Quote(*text) + " loses " +
                                   std::to_string(dropped) + " characters past the window's third line");
            } else {
                const size_t answers = SplitChoices(wide, SIZE_MAX).size();
                if (answers == 0)
                    report.Problem(Where(s, j) + ": choice " + std::to_string(l.P1) + " has no answers");
                else if (answers > size_t(kMaxChoices))
                    report.Warning(Where(s, j) + ": choice " + Quote(*text) + " has " + std::to_string(answers) +
                                   " answers; those past the ninth are dropped");
            }
        } else if ((code == kCodeJump || code == kCodeCall) && p1Literal) {
            const std::string* label = Entry(img.JumpNames, l.P1);
            if (!label) {
                report.Problem(Where(s, j) + ": the label index is outside the jump-name list");
                continue;
            }
            if (!p5Literal) continue;  // the script comes from a variable
            const int target = l.P5 == 0 ? s.Number : l.P5;
            const auto it = scripts.find(target);
            const char* verb = code == kCodeJump ? "jump" : "call";
            if (it == scripts.end()) {
                report.Problem(Where(s, j) + ": " + verb + " to *" + Utf8(*label) + " in script " +
                               std::to_string(target) + ", which the container does not hold");
            } else if (GetLabelStepIn(it->second.Image.Lines, it->second.Image.LabelNames, Cp932ToUtf16(*label)) < 0) {
                report.Problem(Where(s, j) + ": " + verb + " to *" + Utf8(*label) + ", which script " +
                               std::to_string(target) + " does not define (the script would start again)");
            }
        } else if (((code >= kCodeIfEqual && code <= kCodeIfGreaterOrEqual) || code == kCodeElse) && p1Literal) {
            if (GetElseStepIn(lines, int32_t(j), l.P1) < 0)
                report.Problem(Where(s, j) + ": " + (code == kCodeElse ? "else" : "condition") + " with key " +
                               std::to_string(l.P1) + " has no block end after it (the script would start again)");
        }
    }
    if (!hasEnd) report.Warning("script " + std::to_string(s.Number) + " has no end line; it ends at its last line");
    if (img.Lines.size() > size_t(kMaxAddressableLine) + 1)
        report.Warning("script " + std::to_string(s.Number) + " has " + std::to_string(img.Lines.size()) +
                       " lines; labels and blocks past line 32767 cannot be found");
}

// [SECTION] calls ----------------------------------------------------------------------------

// A subroutine: the lines from a label line to the next return or end line of its script.
struct Routine {
    int Script;
    int Line;
    bool operator<(const Routine& o) const { return Script != o.Script ? Script < o.Script : Line < o.Line; }
};

// How deep calls can nest starting from any call line, and the chain that goes deepest; a chain
// that comes back to a routine already on it is endless.
void CheckCallDepth(const std::map<int, LoadedScript>& scripts, Report& report) {
    auto callsIn = [&](const Routine& r) {
        std::vector<Routine> callees;
        const auto& img = scripts.at(r.Script).Image;
        for (size_t j = size_t(r.Line) + 1; j < img.Lines.size(); ++j) {
            const LineRec& l = img.Lines[j];
            if ((l.Code & 0xFF) == kCodeReturn || (l.Code & 0xFF) == kCodeEndOfScript) break;
            if (l.Code != kCodeCall) continue;
            const DecodedKinds k = DecodeKinds(l.Kinds);
            const std::string* label = k.Kind[0] == kKindLiteral ? Entry(img.JumpNames, l.P1) : nullptr;
            if (!label || k.Kind[4] != kKindLiteral) continue;
            const int target = l.P5 == 0 ? r.Script : l.P5;
            const auto it = scripts.find(target);
            if (it == scripts.end()) continue;
            const int16_t at = GetLabelStepIn(it->second.Image.Lines, it->second.Image.LabelNames, Cp932ToUtf16(*label));
            if (at >= 0) callees.push_back({target, at});
        }
        return callees;
    };
    constexpr int kEndless = 1 << 20;
    std::map<Routine, int> depth;        // calls a routine can still nest below itself
    std::map<Routine, Routine> deepest;  // its callee on the deepest chain
    std::set<Routine> onPath;
    std::function<int(const Routine&)> visit = [&](const Routine& r) -> int {
        if (onPath.count(r)) return kEndless;
        if (auto it = depth.find(r); it != depth.end()) return it->second;
        onPath.insert(r);
        int best = 0;
        for (const Routine& c : callsIn(r)) {
            const int d = std::min(kEndless, 1 + visit(c));
            if (d > best) {
                best = d;
                deepest[r] = c;
            }
        }
        onPath.erase(r);
        depth[r] = best;
        return best;
    };
    int worst = 0;
    std::optional<Routine> start;
    for (const auto& [number, s] : scripts) {
        // Every script's own lines count as a routine from its top, so its calls are chains too.
        const Routine top{number, -1};
        const int d = visit(top);
        if (d > worst) {
            worst = d;
            start = top;
        }
    }
    report.Section("Calls");
    constexpr int kLimit = kReturnEntries - 1;  // entries 2..16 after a new game clears the table
    if (!start || worst == 0) {
        report.Info("no script calls another part");
        return;
    }
    // The chain as script:label-line steps, up to the first routine met again.
    std::string chain;
    std::set<Routine> shown;
    for (Routine r = *start; deepest.count(r) && shown.insert(r).second;) {
        r = deepest.at(r);
        chain += " → " + std::to_string(r.Script) + ":" + std::to_string(r.Line);
    }
    if (worst >= kEndless) {
        report.Warning("calls can nest without end (a routine calls itself again):" + chain);
    } else if (worst > kLimit) {
        report.Warning("calls can nest " + std::to_string(worst) + " deep, past the " + std::to_string(kLimit) +
                       " the return table keeps:" + chain);
    } else {
        report.Info("calls nest at most " + std::to_string(worst) + " deep (the return table keeps " +
                    std::to_string(kLimit) + ")");
    }
}

// [SECTION] sounds ---------------------------------------------------------------------------

// 48000 → "48,000".
std::string Thousands(int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n), out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return (n < 0 ? "-" : "") + out;
}

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

std::string ChannelText(int channels) {
    return channels == 1 ? "mono" : channels == 2 ? "stereo" : std::to_string(channels) + " channels";
}

// Opens every sound the scripts name with the engine's own source: its format, what the engine
// does with a rate or a channel count outside its own, and loop points the file cannot reach.
void CheckSounds(const FileIndex& files, Report& report) {
    if (files.SoundNames().empty()) return;
    report.Section("Sounds");
    TOggData source(4096);
    for (const auto& [key, name] : files.SoundNames()) {
        TMemoryStream stream;
        if (!files.Read(name, stream)) continue;
        const std::string shown = Utf8(name);
        if (!source.LoadFromStream(stream)) {
            report.Problem(shown + " cannot be decoded as Ogg Vorbis; it plays nothing");
            continue;
        }
        const int rate = source.Rate(), channels = source.Channels();
        const int64_t frames = source.TotalFrames();
        const double length = rate > 0 ? static_cast<double>(frames) / rate : 0.0;
        report.Info(shown + ": " + Thousands(rate) + " Hz " + ChannelText(channels) + ", " + Seconds(length));
        if (source.Converted()) {
            std::string what;
            if (channels > 2) what = "down-mixed to stereo";
            if (rate != 44100) what += std::string(what.empty() ? "" : " and ") + "resampled to 44,100 Hz";
            report.Warning(shown + " is " + Thousands(rate) + " Hz " + ChannelText(channels) + ", not the engine's own " +
                           "44,100 or 22,050 Hz mono or stereo; it plays " + what);
        }
        for (int i = 0; i < kLoopEntries; ++i) {
            const LoopEntry& e = source.Loops()[static_cast<size_t>(i)];
            if (e.Count == 0) continue;
            const auto at = [&](int64_t frame) { return Seconds(rate > 0 ? static_cast<double>(frame) / rate : 0.0); };
            if (e.EndFrame > frames)
                report.Problem(shown + ": loop " + std::to_string(i) + " ends at " + at(e.EndFrame) +
                               ", past the file's end at " + Seconds(length) + "; it never jumps back");
            else if (e.StartFrame > frames)
                report.Problem(shown + ": loop " + std::to_string(i) + " jumps back to " + at(e.StartFrame) +
                               ", past the file's end at " + Seconds(length));
        }
    }
}

// [SECTION] save files -----------------------------------------------------------------------

// A save time (days since 1899-12-30, the time of day as the fraction) as local text.
std::string SaveTimeText(double days) {
    const double seconds = std::round((days - 25569.0) * 86400.0);  // 25569: days to 1970-01-01
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e12) return "(not a date)";
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm);
    return buf;
}

void CheckSaves(const std::filesystem::path& saveDir, Report& report) {
    report.Section("Save files (" + saveDir.string() + ")");
    std::error_code ec;
    const auto saveBytes = ReadWholeFile(saveDir / "SAVE.DAT");
    if (!std::filesystem::exists(saveDir / "SAVE.DAT", ec)) {
        report.Info("SAVE.DAT: none yet (the first start makes it)");
    } else if (!saveBytes) {
        report.Problem("SAVE.DAT cannot be read");
    } else if (saveBytes->size() != kSystemBlockSize) {
        report.Problem("SAVE.DAT is " + std::to_string(saveBytes->size()) + " bytes, not " +
                       std::to_string(kSystemBlockSize) + "; the game would set it aside and start afresh");
    } else {
        auto block = std::make_unique<SystemBlock>();
        std::memcpy(block.get(), saveBytes->data(), sizeof(SystemBlock));
        int used = 0, newest = -1;
        for (int i = 0; i < kSaveSlots; ++i) {
            if (block->SaveSlots[i].InUse != 1) continue;
            ++used;
            if (newest < 0 || block->SaveSlots[i].SaveTime > block->SaveSlots[newest].SaveTime) newest = i;
        }
        report.Info("SAVE.DAT: " + std::to_string(used) + " of " + std::to_string(kSaveSlots) + " slots used" +
                    (block->SaveSlots[kQuickSaveSlot - 1].InUse == 1 ? ", with a quick save" : ""));
        if (newest >= 0)
            report.Info("newest save: slot " + std::to_string(newest + 1) + ", " +
                        SaveTimeText(block->SaveSlots[newest].SaveTime));
        size_t read = 0;
        for (uint8_t b : block->KidokuTbl) read += size_t(__builtin_popcount(b));
        report.Info("messages marked as read: " + std::to_string(read));
    }
    if (const auto seen = ReadWholeFile(saveDir / "SAVE2.DAT"))
        report.Info("SAVE2.DAT: " + std::to_string(DecodeMitayoFile(*seen).size()) + " pictures seen");
}

}  // namespace

// [SECTION] translation ----------------------------------------------------------------------

// A translatable text of the game: where it is shown and under which key a catalog holds it.
struct TemplateEntry {
    const LoadedScript* Script;
    size_t Line;                 // the line that shows it
    int32_t Text;                // index in the script's text list
    bool Message;                // a message's text (not a name or an answer)
};

void CheckTranslation(const std::map<int, LoadedScript>& scripts, const std::filesystem::path& file, Report& report) {
    report.Section("Translation");
    TTranslationCatalog catalog;
    std::string error;
    if (!catalog.Load(file, error)) {
        report.Problem(error);
        return;
    }
    // The game's entries, as a template made from it holds them.
    std::map<std::pair<std::string, std::string>, TemplateEntry> entries;
    for (const auto& [number, s] : scripts) {
        for (size_t j = 0; j < s.Image.Lines.size(); ++j) {
            const LineRec& l = s.Image.Lines[j];
            if ((l.Code != kCodeMessage && l.Code != kCodeChoice) || DecodeKinds(l.Kinds).Kind[0] != kKindLiteral) continue;
            const std::string* text = Entry(s.Image.MsgTexts, l.P1);
            if (!text) continue;
            const std::u16string wide = Cp932ToUtf16(*text);
            if (l.Code == kCodeMessage) {
                const ShownText parts = SplitScriptMessage(wide);
                if (parts.Spoken && !parts.Name.empty())
                    entries.emplace(std::make_pair(std::string(kNameContext), Utf16ToUtf8(parts.Name)),
                                    TemplateEntry{&s, j, l.P1, false});
                entries.emplace(std::make_pair(MessageContext(number, l.P1), Utf16ToUtf8(parts.Body)),
                                TemplateEntry{&s, j, l.P1, true});
            } else {
                const auto answers = SplitChoices(wide);
                for (size_t k = 0; k < answers.size(); ++k)
                    entries.emplace(std::make_pair(AnswerContext(number, l.P1, int(k + 1)), Utf16ToUtf8(answers[k])),
                                    TemplateEntry{&s, j, l.P1, false});
            }
        }
    }
    size_t translated = 0, untranslated = 0, stale = 0;
    for (const auto& [key, where] : entries) (catalog.Find(key.first, key.second) ? translated : untranslated) += 1;
    report.Info(file.string() + ": " + std::to_string(entries.size()) + " texts in the game, " + std::to_string(translated) +
                " translated, " + std::to_string(untranslated) + " untranslated (shown in the original)");
    for (const CatalogEntry& e : catalog.Entries()) {
        if (entries.count(std::make_pair(e.Context, e.Id))) continue;
        ++stale;
        std::u16string id = Utf8ToUtf16(e.Id);
        if (id.size() > 20) id = id.substr(0, 20) + u"…";
        report.Warning("stale entry \"" + e.Context + "\" \"" + Utf16ToUtf8(id) +
                       "\": the game has no such text (it is never shown)");
    }
    report.Info(std::to_string(stale) + " stale entries");

    // Translated messages laid out as play lays them out.
    for (const auto& [key, where] : entries) {
        if (!where.Message || !catalog.Find(key.first, key.second)) continue;
        const std::string& original = where.Script->Image.MsgTexts[size_t(where.Text)];
        const std::u16string shown = TranslateMessage(catalog, where.Script->Number, where.Text, Cp932ToUtf16(original));
        const size_t dropped = ShownMessageDropped(shown);
        if (dropped == 0) continue;
        std::u16string quote = ParseShownText(shown).Body;
        if (quote.size() > 30) quote = quote.substr(0, 30) + u"…";
        report.Warning(Where(*where.Script, where.Line) + " (msgctxt \"" + key.first + "\"): the translation \"" +
                       Utf16ToUtf8(quote) + "\" does not fit in three lines; " + std::to_string(dropped) +
                       " characters are lost");
    }
}

size_t ShownMessageDropped(std::u16string_view shown) {
    // One renderer for every call: opening the fonts is the costly part.
    static TTextRenderer renderer;
    const bool proportional = UsesProportionalLayout(shown);
    size_t dropped = 0;
    for (std::string_view font : {proportional ? kFontPMincho : kFontMincho, proportional ? kFontPGothic : kFontGothic}) {
        renderer.SetFont(font, 28);
        dropped = std::max(dropped, LayoutShownMessage(shown, [](std::u16string_view t) {
                                        return renderer.TextWidth(t);
                                    }).Dropped);
    }
    return dropped;
}

int RunGameCheck(const std::filesystem::path& gameDir, const std::filesystem::path& saveDir, std::ostream& out,
                 const std::filesystem::path& translation) {
    Report report(out);
    out << "Checking the game in " << gameDir.string() << "\n";

    TArchiveSet archives;
    const auto archivesOk = archives.Init(gameDir);
    if (!archivesOk.Ok) {
        report.Section("Archives");
        report.Problem(archivesOk.Error);
    } else {
        CheckArchives(archives, report);
    }

    report.Section("Scripts");
    TScriptContainer container;
    const auto containerOk = container.Init(gameDir / "SCRIPT.DAT");
    if (!containerOk.Ok) {
        report.Problem(containerOk.Error);
        out << "\nThe game cannot start: " << report.Problems << " problem(s).\n";
        return 2;
    }
    std::map<int, LoadedScript> scripts;
    for (int i = 1; i <= 65535; ++i) {
        if (container.Entry(i).Size == 0) {
            const std::string* listed = Entry(container.NameList(), i - 1);
            if (listed && !listed->empty())
                report.Warning("script " + std::to_string(i) + " \"" + Utf8(*listed) +
                               "\" is listed but holds nothing (it would play as an empty script)");
            continue;
        }
        TMemoryStream stream;
        container.ReadFile(1, i, stream);
        ScriptEntryStatus status = ScriptEntryStatus::Ok;
        LoadedScript s;
        s.Number = i;
        s.Image = ParseScriptEntry(stream.View(), &status);
        if (const std::string* name = Entry(container.NameList(), i - 1)) s.Name = *name;
        if (status != ScriptEntryStatus::Ok) {
            report.Problem("script " + std::to_string(i) + ": " + ScriptEntryStatusText(status) +
                           " (it would play as an empty script)");
            continue;
        }
        if (!s.Image.LineTableTail.empty())
            report.Warning("script " + std::to_string(i) + ": the line table ends with " +
                           std::to_string(s.Image.LineTableTail.size()) +
                           " bytes that are not a whole line (they are never run)");
        size_t messages = 0;
        for (const LineRec& l : s.Image.Lines) messages += l.Code == kCodeMessage ? 1 : 0;
        report.Info("script " + std::to_string(i) + (s.Name.empty() ? "" : " \"" + Utf8(s.Name) + "\"") + ": " +
                    std::to_string(s.Image.Lines.size()) + " lines, " + std::to_string(messages) + " messages");
        scripts.emplace(i, std::move(s));
    }
    if (!scripts.count(1)) report.Problem("there is no script 1, where every game starts");

    FileIndex files(archives);
    for (const auto& [number, s] : scripts) CheckScript(s, scripts, files, report);
    CheckCallDepth(scripts, report);
    CheckSounds(files, report);
    if (!translation.empty()) CheckTranslation(scripts, translation, report);
    CheckSaves(saveDir, report);

    out << "\n" << report.Problems << " problem(s), " << report.Warnings << " warning(s).\n";
    return report.Problems > 0 ? 1 : 0;
}

}  // namespace orva
