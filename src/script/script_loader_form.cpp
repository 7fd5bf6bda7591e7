// The main form's script store: NOVL_ReadScript loads a script entry into LineTbl and the
// name lists, and the label, block, read-text and scene-queue searches run over it.
#include <algorithm>
#include <cstring>

#include "app/main_form.h"
#include "script/script_image.h"
#include "script/script_search.h"

namespace orva {

namespace {
constexpr int kVoiceNameCount = 10000;          // VoiceNames entries
constexpr const char* kFileListEnd = "--END--";  // closes FileNames and the VoiceNames copy
}  // namespace

void TForm1::NOVL_ReadScript(int number) {
    ScriptState& s = Script;
    Game.ScriptNo = static_cast<int16_t>(number);

    TMemoryStream stream;
    NVL_ReadFile(1, number, stream);
    ScriptEntryStatus status = ScriptEntryStatus::Ok;
    ScriptImage image = ParseScriptEntry(stream.View(), &status);
    // A missing or damaged entry reads as a script whose only line is the end line.
    if (status != ScriptEntryStatus::Ok)
        DebugMemoAdd("script error : " + std::to_string(number) + " (" + ScriptEntryStatusText(status) + ")");
    // A line table with a partial line at its end still runs its whole lines.
    if (!image.LineTableTail.empty())
        DebugMemoAdd("script error : " + std::to_string(number) + " (" + std::to_string(image.LineTableTail.size()) +
                     " bytes after the line table's " + std::to_string(image.Lines.size()) +
                     " whole lines are ignored)");

    // Made once, all zero lines; the pages past the longest script loaded are never touched.
    if (s.LineTbl.size() != size_t(kLineTblCapacity)) s.LineTbl = ZeroedVector<LineRec>(kLineTblCapacity);
    std::copy(image.Lines.begin(), image.Lines.end(), s.LineTbl.begin());
    s.LineCount = static_cast<int32_t>(image.Lines.size());

    s.LabelNames = std::move(image.LabelNames);
    s.JumpNames = std::move(image.JumpNames);
    s.FileNames = std::move(image.FileNames);
    s.MsgTexts = std::move(image.MsgTexts);

    // VoiceNames keeps the names of older scripts beyond the new script's file count.
    s.FileNames.push_back(kFileListEnd);
    if (s.VoiceNames.size() != size_t(kVoiceNameCount)) s.VoiceNames.resize(kVoiceNameCount);
    for (size_t i = 0; i < s.FileNames.size() && i < size_t(kVoiceNameCount); ++i) {
        if (s.FileNames[i] == kFileListEnd) break;
        s.VoiceNames[i] = s.FileNames[i];
    }
    Trace.Event("script", TraceFields().Int("no", number));
}

const LineRec& TForm1::ScriptLine(int32_t step) const {
    if (step < 0 || step >= Script.LineCount) return kEndLine;
    return Script.LineTbl[size_t(step)];
}

ScriptVars TForm1::Vars() {
    return ScriptVars{std::span<int16_t, kScriptVarCount>(Game.ScenarioFlg),
                      std::span<int16_t, kScriptVarCount>(Sys->SystemFlg), std::span<int16_t, kScriptVarCount>(WorkFlg)};
}

int16_t TForm1::GetLabelStep(std::u16string_view name) const {
    return GetLabelStepIn(std::span(Script.LineTbl.data(), size_t(Script.LineCount)), Script.LabelNames, name);
}

int16_t TForm1::GetElseStep(int16_t key) const {
    return GetElseStepIn(std::span(Script.LineTbl.data(), size_t(Script.LineCount)), Game.ScriptStep, key);
}

bool TForm1::CheckKidoku(int32_t msgNo) const { return CheckKidokuIn(Sys->KidokuTbl, Game.ScriptNo, msgNo); }

int32_t TForm1::AddSceneTbl(int32_t script) { return AddSceneTblIn(Script.SceneTbl, script); }

int32_t TForm1::GetSceneTbl(int32_t script) const { return GetSceneTblIn(Script.SceneTbl, script); }

}  // namespace orva
