// The route explorer's engine side: one headless engine with painting and sound off, a snapshot
// of the state that decides where the story goes at every fork, and a breadth-first frontier of
// distinct states. Each state's decisions are followed once, so the work grows with the number
// of distinct states, not with the number of routes.
//
// [SECTION] what the scripts hold
// [SECTION] snapshots and state keys
// [SECTION] the explorer
// [SECTION] routes through the graph
// [SECTION] ExploreRoutes
#include "explorer.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <iostream>
#include <memory>
#include <random>
#include <span>
#include <unordered_map>

#include "app/game_check.h"
#include "app/main_form.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "data/script_container.h"
#include "menus/album_layout.h"
#include "menus/menu_layout.h"
#include "platform/headless/headless_platform.h"
#include "script/command_table.h"
#include "script/script_image.h"
#include "text/message_layout.h"
#include "text/shown_text.h"
#include "text/translation_catalog.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

// A path that shows nothing for this many lines, or for this many passes (10 virtual ms each),
// is a loop that never reaches the player.
constexpr int64_t kQuietLines = 1'000'000;
constexpr int64_t kQuietPasses = 200'000;
// Passes allowed before the title menu appears.
constexpr int64_t kStartPasses = 200'000;
// Where the explorer clicks to go on from a message: above the message window and its buttons.
constexpr Point kNeutralClick{400, 200};

const std::string* Entry(const std::vector<std::string>& list, int64_t index) {
    return index >= 0 && index < int64_t(list.size()) ? &list[size_t(index)] : nullptr;
}

// [SECTION] what the scripts hold -----------------------------------------------------------

// The file a picture or sound line names, with its extension; empty when it names none.
std::string LineAsset(uint16_t code, const std::string* name) {
    if (!name || name->empty()) return {};
    if (code >= kCodeBackground && code <= kCodeCharacter5) return *name + ".png";
    if (code == kCodeMusic) return *name == "STOP" ? std::string() : *name + ".ogg";
    if (code >= kCodeEffect1 && code <= kCodeEffect3) return *name + ".ogg";
    return {};
}

// Every script of the container: its messages, labels and the files it names.
void ScanScripts(const TScriptContainer& container, RouteResult& r) {
    for (int i = 1; i <= 65535; ++i) {
        if (container.Entry(i).Size == 0) continue;
        TMemoryStream stream;
        container.ReadFile(1, i, stream);
        ScriptEntryStatus status = ScriptEntryStatus::Ok;
        const ScriptImage img = ParseScriptEntry(stream.View(), &status);
        if (status != ScriptEntryStatus::Ok) continue;
        for (const LineRec& l : img.Lines) {
            const DecodedKinds kinds = DecodeKinds(l.Kinds);
            const bool p1 = kinds.Kind[0] == kKindLiteral, p5 = kinds.Kind[4] == kKindLiteral;
            if (l.Code == kCodeMessage && p1) {
                const std::string* text = Entry(img.MsgTexts, l.P1);
                r.AllMessages.emplace(MessageRef{i, l.P1}, text ? Cp932ToUtf8(*text) : std::string());
                if (p5 && l.P5 != -1)
                    if (const std::string* voice = Entry(img.FileNames, l.P5)) r.NamedAssets.insert(Cp932ToUtf8(*voice + ".ogg"));
            } else if ((l.Code & 0xFF) == kCodeLabel && p1) {
                if (const std::string* name = Entry(img.LabelNames, l.P1)) r.AllLabels.emplace(i, Cp932ToUtf8(*name));
            } else if (p5) {
                const std::string asset = LineAsset(l.Code, Entry(img.FileNames, l.P5));
                if (!asset.empty()) r.NamedAssets.insert(Cp932ToUtf8(asset));
            }
        }
    }
}

// [SECTION] snapshots and state keys --------------------------------------------------------

// What decides where the story goes from a fork, and what the explorer restores to follow it.
struct Snapshot {
    GameRec Game{};
    std::array<int16_t, kVarCount> WorkFlg{};
    std::array<int16_t, kVarCount> SystemFlg{};
    bool StoryMode = false;
    bool Started = false;
    std::array<int32_t, kSceneTblEntries + 1> SceneTbl{};
    int32_t SceneIdx = 0;
    int32_t TitleReturnStep = 0;
    SkipState Skip;
    TextState Text;
    int32_t ChoiceCount = 0;
    std::array<std::u16string, kMaxChoices> ChoiceTexts;
};

template <typename T>
void AppendBytes(std::string& key, const T& value) {
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A variable array as its non-zero entries (index, value) and an end mark: most variables are
// zero, so a key stays a few dozen bytes where the arrays are three kilobytes.
void AppendSparse(std::string& key, std::span<const int16_t> vars) {
    for (size_t i = 0; i < vars.size(); ++i)
        if (vars[i] != 0) {
            AppendBytes(key, uint16_t(i));
            AppendBytes(key, vars[i]);
        }
    AppendBytes(key, uint16_t(0xFFFF));
}

// [SECTION] the explorer --------------------------------------------------------------------

// How a segment of play ended.
struct Stop {
    StopKind Kind = StopKind::Loop;
    ScriptPlace At;
    std::string Note;
    int32_t Span = 0;
    std::string Key;
    std::vector<int32_t> FlagsSet;
    std::unique_ptr<Snapshot> State;
};

class Explorer : public ScriptObserver {
public:
    Explorer(TForm1& form, HeadlessPlatform& plat, const RouteOptions& options, RouteResult& result)
        : Form(form), Plat(plat), Options(options), R(result) {
        std::copy(std::begin(form.Sys->SystemFlg), std::end(form.Sys->SystemFlg), InitialSystem.begin());
    }

    void Run();

    // ScriptObserver
    void LineRun(int32_t script, int32_t step, const ScriptCommand& cmd) override;
    int32_t RandomDraw(int32_t span) override;

private:
    Snapshot Take() const;
    void Restore(const Snapshot& s);
    std::string StateKey(StopKind kind, const ScriptPlace& extra) const;
    void StopHere(StopKind kind, ScriptPlace at, std::string note = {}, int32_t span = 0);
    Stop RunSegment();
    int64_t Intern(Stop stop, std::deque<int64_t>& queue, std::vector<std::unique_ptr<Snapshot>>& states);
    void Click(Point at);
    std::vector<int32_t> FlagsSet() const;
    bool ArchiveHas(const std::string& cp932);

    TForm1& Form;
    HeadlessPlatform& Plat;
    const RouteOptions& Options;
    RouteResult& R;
    std::array<int16_t, kVarCount> InitialSystem{};
    std::unordered_map<std::string, int64_t> Known;      // state key → node
    std::map<std::string, bool> ArchiveIndex;            // normalised name → held
    int64_t NotFollowed = 0;                             // decisions left out by the budget

    // The running segment.
    bool Started = false;            // the title's "new game" was taken
    int32_t Forced = -1;             // the outcome the next draw takes
    std::optional<Stop> Pending;     // set when the segment has come to a stop
    int64_t QuietLines = 0;
    int64_t QuietPasses = 0;
    ScriptPlace LastShown;           // the last message or choice line
    std::string LastShownText;       // its text (UTF-8)
    std::set<std::string> SeenAtMessages;  // states at this segment's messages
};

Snapshot Explorer::Take() const {
    Snapshot s;
    s.Game = Form.Game;
    s.WorkFlg = Form.WorkFlg;
    std::copy(std::begin(Form.Sys->SystemFlg), std::end(Form.Sys->SystemFlg), s.SystemFlg.begin());
    s.StoryMode = Form.StoryMode;
    s.Started = Started;
    s.SceneTbl = Form.Script.SceneTbl;
    s.SceneIdx = Form.Script.SceneIdx;
    s.TitleReturnStep = Form.Script.TitleReturnStep;
    s.Skip = Form.Skip;
    s.Text = Form.Text;
    s.ChoiceCount = Form.Msg.ChoiceCount;
    s.ChoiceTexts = Form.Msg.ChoiceTexts;
    return s;
}

void Explorer::Restore(const Snapshot& s) {
    if (Form.Game.ScriptNo != s.Game.ScriptNo) Form.NOVL_ReadScript(static_cast<uint16_t>(s.Game.ScriptNo));
    Form.Game = s.Game;
    Form.WorkFlg = s.WorkFlg;
    std::copy(s.SystemFlg.begin(), s.SystemFlg.end(), std::begin(Form.Sys->SystemFlg));
    Form.StoryMode = s.StoryMode;
    Started = s.Started;
    Form.Script.SceneTbl = s.SceneTbl;
    Form.Script.SceneIdx = s.SceneIdx;
    Form.Script.TitleReturnStep = s.TitleReturnStep;
    Form.Skip = s.Skip;
    Form.Text = s.Text;
    Form.Msg.ChoiceCount = s.ChoiceCount;
    Form.Msg.ChoiceTexts = s.ChoiceTexts;
    // Nothing the previous segment clicked carries over.
    Form.Input.Consume();
    Form.Input.LatchLeftDown = Form.Input.LatchLeftUp = Form.Input.LatchWheelUp = Form.Input.LatchWheelDown = false;
    Form.EngineMode = Mode::Script;
    LastShown = {s.Game.ScriptNo, s.Game.ScriptStep};
    LastShownText.clear();
}

// The state that decides the rest of the story: where the script stands, its variables, the
// call table, the system variables, and whether this is the story or a replay.
std::string Explorer::StateKey(StopKind kind, const ScriptPlace& extra) const {
    std::string key;
    key.reserve(256);
    AppendBytes(key, kind);
    AppendBytes(key, extra);
    AppendBytes(key, Form.Game.ScriptNo);
    AppendBytes(key, Form.Game.ScriptStep);
    AppendSparse(key, Form.Game.ScenarioFlg);
    // Entries past the count are written before they are read again: they decide nothing.
    AppendBytes(key, Form.Game.ReturnCount);
    for (int i = 0; i < kReturnEntries && i < Form.Game.ReturnCount; ++i) AppendBytes(key, Form.Game.ReturnTbl[i]);
    AppendSparse(key, Form.WorkFlg);
    AppendSparse(key, Form.Sys->SystemFlg);
    AppendBytes(key, Form.StoryMode);
    AppendBytes(key, Started);
    return key;
}

void Explorer::StopHere(StopKind kind, ScriptPlace at, std::string note, int32_t span) {
    if (Pending) return;
    Stop s;
    s.Kind = kind;
    s.At = at;
    s.Note = std::move(note);
    s.Span = span;
    // A draw is followed again from its own line: the snapshot stands one line before it.
    const ScriptPlace extra = kind == StopKind::Title ? LastShown : ScriptPlace{};
    if (kind == StopKind::Random) Form.Game.ScriptStep -= 1;
    s.Key = StateKey(kind, extra);
    s.FlagsSet = FlagsSet();
    if (kind == StopKind::Choice || kind == StopKind::Random) s.State = std::make_unique<Snapshot>(Take());
    if (kind == StopKind::Random) Form.Game.ScriptStep += 1;
    Pending = std::move(s);
}

bool Explorer::ArchiveHas(const std::string& cp932) {
    const std::string key = TArchiveSet::NormaliseName(cp932);
    auto it = ArchiveIndex.find(key);
    if (it == ArchiveIndex.end()) {
        TMemoryStream stream;
        it = ArchiveIndex.emplace(key, Form.Archives.Read(cp932, stream)).first;
    }
    return it->second;
}

void Explorer::LineRun(int32_t script, int32_t step, const ScriptCommand& cmd) {
    if (Pending) return;  // the rest of this pass is not part of any route
    const ScriptPlace here{script, step};
    ++QuietLines;
    const uint16_t code = cmd.Code;
    auto useAsset = [&](const std::string& cp932) {
        if (cp932.empty()) return;
        const std::string utf8 = Cp932ToUtf8(cp932);
        if (R.UsedAssets.insert(utf8).second && !ArchiveHas(cp932)) R.MissingAssets.insert(utf8);
    };
    if (code == kCodeMessage) {
        QuietLines = QuietPasses = 0;
        LastShown = here;
        const std::string* text = Entry(Form.Script.MsgTexts, cmd.P1);
        LastShownText = text ? Cp932ToUtf8(*text) : std::string();
        R.ReachedMessages.insert({script, cmd.P1});
        if (cmd.P5 != -1)
            if (const std::string* voice = Entry(Form.Script.VoiceNames, cmd.P5); voice && !voice->empty()) useAsset(*voice + ".ogg");
        // The same message in the same state again: the story repeats itself without a choice.
        if (!SeenAtMessages.insert(StateKey(StopKind::Loop, here)).second)
            StopHere(StopKind::Loop, here, "the story comes back to this message in the same state without a choice");
    } else if (code == kCodeChoice) {
        QuietLines = QuietPasses = 0;
        LastShown = here;
        LastShownText.clear();
    } else if (code >= kCodeIfEqual && code <= kCodeIfGreaterOrEqual) {
        R.Conditions[here][ConditionHolds(code, cmd.P2, cmd.P3) ? 0 : 1] = true;
    } else if (code == kCodeJump || code == kCodeCall) {
        if (const std::string* name = Entry(Form.Script.JumpNames, cmd.P1))
            R.JumpedLabels.emplace(cmd.P5 != 0 ? cmd.P5 : script, Cp932ToUtf8(*name));
    } else if (code == kCodeSystem && cmd.P1 == kSystemTitle) {
        if (Started) StopHere(StopKind::Title, LastShown.Script != 0 ? LastShown : here);
    } else if ((code & 0xFF) == kCodeEndOfScript) {
        if (Started && Form.StoryMode) StopHere(StopKind::End, here);
    } else {
        useAsset(LineAsset(code, Entry(Form.Script.FileNames, cmd.P5)));
        if (code == kCodeBackground)
            if (const std::string* name = Entry(Form.Script.FileNames, cmd.P5)) R.ShownBackgrounds.insert(Cp932ToUtf8(*name));
    }
    if (!Pending && QuietLines > kQuietLines)
        StopHere(StopKind::Loop, here, std::to_string(kQuietLines) + " lines ran without a message or a choice");
}

int32_t Explorer::RandomDraw(int32_t span) {
    if (Pending) return 0;
    if (Forced >= 0) {
        const int32_t v = Forced;
        Forced = -1;
        return v;
    }
    StopHere(StopKind::Random, {Form.Game.ScriptNo, Form.Game.ScriptStep}, {}, span);
    return 0;
}

void Explorer::Click(Point at) {
    TimelineEvent ev;
    ev.Time = Plat.Ticks();
    ev.Verb = TimelineVerb::Click;
    ev.Window = WindowId::Main;
    ev.Pos = at;
    Plat.Inject(ev);
}

// Plays from the current state until the story forks, ends or loops.
Stop Explorer::RunSegment() {
    Pending.reset();
    QuietLines = QuietPasses = 0;
    SeenAtMessages.clear();
    int64_t lastClick = -2, pass = 0;
    while (!Pending) {
        const Mode mode = Form.EngineMode;
        if (mode == Mode::ChoiceWait) {
            StopHere(StopKind::Choice, {Form.Game.ScriptNo, Form.Game.ScriptStep});
            break;
        }
        // Messages and key waits go on with a click the way a player's does; the title menu
        // takes "new game" once.
        const bool waits = mode == Mode::MessageWait || mode == Mode::KeyWait ||
                           (mode == Mode::TimedWait && Form.Timing.WaitClickable);
        if (waits && pass - lastClick >= 2) {
            Click(kNeutralClick);
            lastClick = pass;
        } else if (mode == Mode::TitleMenuWait && !Started && pass - lastClick >= 2) {
            const TitleButton& b = kTitleButtons[0];
            Click({b.X + kTitleButtonW / 2, b.Y + kTitleButtonH / 2});
            lastClick = pass;
        }
        const bool titleWait = mode == Mode::TitleMenuWait;
        Form.IdleEvent();
        ++pass;
        if (titleWait && Form.EngineMode == Mode::Script && !Started) {
            Started = true;
            QuietLines = QuietPasses = 0;
        }
        if (!Started && pass > kStartPasses && !Pending) {
            StopHere(StopKind::Loop, {Form.Game.ScriptNo, Form.Game.ScriptStep}, "the title menu never appeared");
        } else if (Started && ++QuietPasses > kQuietPasses && !Pending) {
            StopHere(StopKind::Loop, {Form.Game.ScriptNo, Form.Game.ScriptStep},
                     std::to_string(kQuietPasses / 100) + " seconds passed without a message or a choice");
        }
    }
    Stop s = std::move(*Pending);
    Pending.reset();
    return s;
}

std::vector<int32_t> Explorer::FlagsSet() const {
    std::vector<int32_t> flags;
    for (int i = 0; i < kVarCount; ++i)
        if (Form.Sys->SystemFlg[i] != InitialSystem[size_t(i)]) flags.push_back(i + 1);
    return flags;
}

int64_t Explorer::Intern(Stop stop, std::deque<int64_t>& queue, std::vector<std::unique_ptr<Snapshot>>& states) {
    if (auto it = Known.find(stop.Key); it != Known.end()) return it->second;
    // Past the budget a new state is not taken in: the decision that led there is not followed.
    if (R.Nodes.size() >= Options.MaxStates) {
        ++NotFollowed;
        return -1;
    }
    const int64_t id = int64_t(R.Nodes.size());
    RouteNode n;
    n.Kind = stop.Kind;
    n.At = stop.At;
    n.Note = stop.Note;
    if (stop.Kind == StopKind::Title) n.Text = LastShownText;
    n.FlagsSet = std::move(stop.FlagsSet);
    if (stop.Kind == StopKind::Choice) {
        for (int32_t k = 1; k <= Form.Msg.ChoiceCount; ++k) {
            n.Answers.push_back(Utf16ToUtf8(Form.Msg.ChoiceTexts[size_t(k - 1)]));
            n.Values.push_back(k);
        }
    } else if (stop.Kind == StopKind::Random) {
        n.Span = stop.Span;
        const int32_t followed = std::min(stop.Span, Options.MaxOutcomes);
        // More outcomes than followed: the first, the last and evenly spread ones between.
        for (int32_t k = 0; k < followed; ++k)
            n.Values.push_back(followed == stop.Span ? k
                                                     : int32_t((int64_t(k) * (stop.Span - 1) + (followed - 1) / 2) / (followed - 1)));
        if (followed < stop.Span)
            R.Notes.push_back("script " + std::to_string(stop.At.Script) + " line " + std::to_string(stop.At.Line) +
                              ": a draw of " + std::to_string(stop.Span) + " outcomes; " + std::to_string(followed) +
                              " of them, spread evenly, were followed");
    }
    n.Next.assign(n.Values.size(), -1);
    R.Nodes.push_back(std::move(n));
    states.push_back(std::move(stop.State));
    Known.emplace(std::move(stop.Key), id);
    if (R.Nodes.back().Kind == StopKind::Choice || R.Nodes.back().Kind == StopKind::Random) queue.push_back(id);
    return id;
}

void Explorer::Run() {
    std::deque<int64_t> queue;
    std::vector<std::unique_ptr<Snapshot>> states;  // per node; freed once its decisions are followed
    Intern(RunSegment(), queue, states);
    while (!queue.empty()) {
        const int64_t id = queue.front();
        queue.pop_front();
        const std::unique_ptr<Snapshot> state = std::move(states[size_t(id)]);
        for (size_t d = 0; d < R.Nodes[size_t(id)].Values.size(); ++d) {
            Restore(*state);
            const int32_t value = R.Nodes[size_t(id)].Values[d];
            if (R.Nodes[size_t(id)].Kind == StopKind::Choice) {
                Form.EngineMode = Mode::ChoiceWait;
                Form.TakeChoice(value);
            } else {
                Forced = value;
            }
            const int64_t next = Intern(RunSegment(), queue, states);
            Forced = -1;
            R.Nodes[size_t(id)].Next[d] = next;
        }
        R.Nodes[size_t(id)].Expanded = true;
    }
    if (NotFollowed > 0) {
        R.Incomplete = true;
        R.Reasons.push_back("the state budget of " + std::to_string(Options.MaxStates) + " states was reached; " +
                            std::to_string(NotFollowed) + " decisions leading to new states were not followed");
    }
    // One reason per place and kind of loop, however many states met it.
    std::map<std::pair<ScriptPlace, std::string>, int64_t> loops;
    for (const RouteNode& n : R.Nodes)
        if (n.Kind == StopKind::Loop) ++loops[{n.At, n.Note}];
    for (const auto& [where, count] : loops) {
        R.Incomplete = true;
        R.Reasons.push_back("script " + std::to_string(where.first.Script) + " line " + std::to_string(where.first.Line) +
                            ": " + where.second + "; the path ends there" +
                            (count > 1 ? " (in " + std::to_string(count) + " states)" : ""));
    }
}

// [SECTION] routes through the graph --------------------------------------------------------

// Routes from node 0 to every node, counting each decision that leads back onto its own route
// as a loop rather than following it again (so a loop does not make the count endless).
void CountRoutes(RouteResult& r) {
    const size_t n = r.Nodes.size();
    r.PathsTo.assign(n, 0.0);
    r.Routes = 0;
    r.LoopEdges = 0;
    if (n == 0) return;
    // Depth-first order; an edge to a node still on the stack is a loop.
    std::vector<uint8_t> mark(n, 0);  // 0 new, 1 on the stack, 2 done
    std::vector<size_t> order;
    std::vector<std::pair<size_t, size_t>> stack{{0, 0}};
    std::vector<std::vector<bool>> back(n);
    for (size_t i = 0; i < n; ++i) back[i].assign(r.Nodes[i].Next.size(), false);
    mark[0] = 1;
    while (!stack.empty()) {
        auto& [v, e] = stack.back();
        const auto& next = r.Nodes[v].Next;
        if (e < next.size()) {
            const size_t d = e++;
            if (next[d] < 0) continue;
            const size_t w = size_t(next[d]);
            if (mark[w] == 1) {
                back[v][d] = true;
                ++r.LoopEdges;
            } else if (mark[w] == 0) {
                mark[w] = 1;
                stack.push_back({w, 0});
            }
        } else {
            mark[v] = 2;
            order.push_back(v);
            stack.pop_back();
        }
    }
    std::reverse(order.begin(), order.end());  // a topological order without the loops
    r.PathsTo[0] = 1;
    for (size_t v : order) {
        const RouteNode& node = r.Nodes[v];
        // A route ends at an ending, at a cut, or at a decision the budget left out.
        if (node.Kind != StopKind::Choice && node.Kind != StopKind::Random) r.Routes += r.PathsTo[v];
        for (size_t d = 0; d < node.Next.size(); ++d) {
            if (node.Next[d] < 0) r.Routes += r.PathsTo[v];
            else if (!back[v][d]) r.PathsTo[size_t(node.Next[d])] += r.PathsTo[v];
        }
    }
}

// Messages past three lines (also in the translation, when one is given) and the album entries
// no route unlocks.
void Summarise(RouteResult& r, const TTranslationCatalog* catalog) {
    for (const MessageRef& m : r.ReachedMessages) {
        const auto it = r.AllMessages.find(m);
        if (it == r.AllMessages.end()) continue;
        size_t dropped = 0;
        const std::u16string text = Utf8ToUtf16(it->second);
        LayoutMessage(text, dropped);
        if (dropped > 0) r.Overflow.emplace(m, dropped);
        if (!catalog) continue;
        const std::u16string shown = TranslateMessage(*catalog, m.Script, m.Msg, text);
        if (shown == text) continue;  // nothing translated: the original is shown
        if (const size_t lost = ShownMessageDropped(shown); lost > 0) r.TranslationOverflow.emplace(m, lost);
    }
    const std::set<std::string>& backgrounds = r.ShownBackgrounds;
    std::set<int32_t> flags;
    for (const RouteNode& n : r.Nodes) flags.insert(n.FlagsSet.begin(), n.FlagsSet.end());
    TNOVL_CgAlbumData cg;
    TNOVL_EvAlbumData ev{};
    FillAlbumTables(cg, ev);
    for (int page = 1; page <= kAlbumPages; ++page) {
        for (int item = 1; item <= kAlbumItems; ++item) {
            if (const int16_t scene = EvAlbumScene(ev, page, item); scene > 0 && !flags.count(100 + scene))
                r.AlbumLocked.push_back({"scene", page, item, scene, 100 + scene, {}});
        }
    }
    for (int page = 1; page <= kAlbumPages; ++page) {
        for (int item = 1; item <= kAlbumItems; ++item) {
            const std::string& name = CgAlbumName(cg, page, item, 1);
            if (!name.empty() && !backgrounds.count(Cp932ToUtf8(name)))
                r.AlbumLocked.push_back({"picture", page, item, 0, 0, Cp932ToUtf8(name)});
        }
    }
}

// A private save folder for the run, removed afterwards: the player's own saves are never touched.
struct ScratchDir {
    fs::path Path;
    ScratchDir() {
        std::random_device rd;
        Path = fs::temp_directory_path() / ("orva-routes-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(Path);
    }
    ~ScratchDir() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
};

}  // namespace

// [SECTION] ExploreRoutes --------------------------------------------------------------------

bool ExploreRoutes(const RouteOptions& options, RouteResult& result, std::string& error) {
    result = RouteResult{};
    TScriptContainer container;
    const auto opened = container.Init(options.GameDir / "SCRIPT.DAT");
    if (!opened.Ok) {
        error = opened.Error;
        return false;
    }
    TTranslationCatalog catalog;
    if (!options.Translation.empty() && !catalog.Load(options.Translation, error)) return false;
    ScratchDir scratch;
    const fs::path saveDir = scratch.Path / "save";
    fs::create_directories(saveDir);
    if (options.SaveFile) {
        const auto bytes = ReadWholeFile(*options.SaveFile);
        if (!bytes) {
            error = "cannot read " + options.SaveFile->string();
            return false;
        }
        if (bytes->size() != kSystemBlockSize) {
            error = options.SaveFile->string() + " is " + std::to_string(bytes->size()) + " bytes, not the " +
                    std::to_string(kSystemBlockSize) + " of a system save file";
            return false;
        }
        std::string writeError;
        if (!WriteFileAtomic(saveDir / "SAVE.DAT", *bytes, writeError)) {
            error = writeError;
            return false;
        }
    }
    ScanScripts(container, result);

    std::error_code ec;
    const fs::path cwd = fs::current_path(ec);
    bool ok = true;
    {
        HeadlessPlatform plat({}, {}, UINT32_MAX);
        EngineOptions engineOptions;
        engineOptions.GameDir = fs::absolute(options.GameDir, ec);
        engineOptions.SaveDir = saveDir;
        engineOptions.HasSeed = true;
        engineOptions.Seed = 1;
        engineOptions.RenderOff = true;
        TForm1 form(plat, engineOptions);
        if (!form.FormCreate()) {
            error = "the game cannot start";
            ok = false;
        } else {
            // Transitions cut at once: the explorer sees no pictures.
            form.Config.ScreenEffects = 0;
            Explorer explorer(form, plat, options, result);
            form.Observer = &explorer;
            explorer.Run();
            form.Observer = nullptr;
            if (!result.Nodes.empty() && result.Nodes[0].Kind == StopKind::Loop && result.Nodes[0].Note == "the title menu never appeared") {
                error = "the game never reaches its title menu";
                ok = false;
            }
        }
    }
    if (!cwd.empty()) fs::current_path(cwd, ec);
    if (!ok) {
        result = RouteResult{};
        return false;
    }
    CountRoutes(result);
    Summarise(result, options.Translation.empty() ? nullptr : &catalog);
    result.Translation = options.Translation;
    return true;
}

std::map<std::pair<std::string, ScriptPlace>, std::vector<size_t>> EndingGroups(const RouteResult& result) {
    std::map<std::pair<std::string, ScriptPlace>, std::vector<size_t>> groups;
    for (size_t i = 0; i < result.Nodes.size(); ++i) {
        const RouteNode& n = result.Nodes[i];
        if (n.Kind == StopKind::Title) groups[{"title", n.At}].push_back(i);
        else if (n.Kind == StopKind::End) groups[{"end", n.At}].push_back(i);
    }
    return groups;
}

}  // namespace orva
