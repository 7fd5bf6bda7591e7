// Collecting a game's catalog: every script of SCRIPT.DAT in number order, every message and
// choice line in line order, the texts split as the message window and the choice bars show them.
#include "orva_text/game_catalog.h"

#include <algorithm>
#include <map>

#include "data/cp932.h"
#include "data/memory_stream.h"
#include "data/script_container.h"
#include "script/command_table.h"
#include "script/script_image.h"
#include "text/message_layout.h"

namespace orva {
namespace {

constexpr int kMaxScript = 65535;

// Collects entries and merges a text shown again into its first entry.
class CatalogBuilder {
public:
    explicit CatalogBuilder(GameCatalog& out) : Out(out) {}

    void Add(const std::string& context, const std::string& id, const std::string& script, int line,
             const std::vector<std::string>& notes) {
        if (id.empty()) return;  // an empty text shows nothing to translate
        const auto [it, added] = Index.try_emplace(context + '\x04' + id, Out.Entries.size());
        if (added) Out.Entries.push_back({context, id, {}, {}});
        CatalogEntry& entry = Out.Entries[it->second];
        if (entry.References.empty() || entry.References.back() != std::pair(script, line))
            entry.References.emplace_back(script, line);
        for (const std::string& note : notes)
            if (std::find(entry.Notes.begin(), entry.Notes.end(), note) == entry.Notes.end())
                entry.Notes.push_back(note);
    }

private:
    GameCatalog& Out;
    std::map<std::string, size_t> Index;  // context EOT id → entry
};

// A list entry in UTF-8, or nothing outside the list.
std::string EntryText(const std::vector<std::string>& list, int64_t index) {
    return index >= 0 && index < int64_t(list.size()) ? Cp932ToUtf8(list[size_t(index)]) : std::string();
}

bool IsLiteral(const LineRec& line, int operand) { return DecodeKinds(line.Kinds).Kind[size_t(operand)] == kKindLiteral; }

}  // namespace

std::pair<std::string, std::string> SplitSpeaker(const std::string& utf8) {
    // "「" is one UTF-8 sequence that no other character contains, so a byte search finds it.
    const size_t quote = utf8.find("「");
    if (quote == std::string::npos) return {std::string(), utf8};
    return {utf8.substr(0, quote), utf8.substr(quote)};
}

bool ReadGameCatalog(const std::filesystem::path& gameDir, GameCatalog& out, std::string& error) {
    TScriptContainer container;
    const auto init = container.Init(gameDir / "SCRIPT.DAT");
    if (!init.Ok) {
        error = init.Error;
        return false;
    }
    out.Entries.clear();
    CatalogBuilder builder(out);
    const auto& names = container.NameList();
    for (int number = 1; number <= kMaxScript; ++number) {
        if (container.Entry(number).Size == 0) continue;
        TMemoryStream stream;
        if (container.ReadFile(1, number, stream) != 0) {
            error = container.Path().string() + ": script " + std::to_string(number) + " cannot be read";
            return false;
        }
        ScriptEntryStatus status = ScriptEntryStatus::Ok;
        const ScriptImage image = ParseScriptEntry(stream.Bytes(), &status);
        if (status != ScriptEntryStatus::Ok) {
            error = container.Path().string() + ": script " + std::to_string(number) + ": " +
                    ScriptEntryStatusText(status);
            return false;
        }
        std::string scriptName = EntryText(names, number - 1);
        if (scriptName.empty()) scriptName = std::to_string(number);
        const std::string prefix = std::to_string(number) + ":";

        for (size_t i = 0; i < image.Lines.size(); ++i) {
            const LineRec& line = image.Lines[i];
            const int lineNo = int(i) + 1;
            const uint16_t code = line.Code;
            // A text chosen by a variable is only known in play; only literal numbers name one.
            if ((code != kCodeMessage && code != kCodeChoice) || !IsLiteral(line, 0)) continue;
            const int msgNo = line.P1;
            if (msgNo < 0 || size_t(msgNo) >= image.MsgTexts.size()) continue;
            const std::string text = Cp932ToUtf8(image.MsgTexts[size_t(msgNo)]);
            const std::string context = prefix + std::to_string(msgNo);

            if (code == kCodeMessage) {
                const auto [speaker, body] = SplitSpeaker(text);
                std::vector<std::string> notes;
                if (!speaker.empty()) notes.push_back("speaker: " + speaker);
                if (IsLiteral(line, 4)) {
                    const std::string voice = EntryText(image.FileNames, line.P5);
                    if (!voice.empty()) notes.push_back("voice: " + voice);
                }
                if (!speaker.empty()) builder.Add("name", speaker, scriptName, lineNo, {});
                builder.Add(context, body, scriptName, lineNo, notes);
            } else {
                const auto answers = SplitChoices(Cp932ToUtf16(image.MsgTexts[size_t(msgNo)]));
                for (size_t k = 0; k < answers.size(); ++k)
                    builder.Add(context + ":" + std::to_string(k + 1), Utf16ToUtf8(answers[k]), scriptName, lineNo, {});
            }
        }
    }
    return true;
}

}  // namespace orva
