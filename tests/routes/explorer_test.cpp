// The route explorer on small games assembled from script text: forks at choices and draws,
// merged states, what no route reaches, loops and budgets that cut a path short.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "explorer.h"
#include "fixtures/script_game.h"

namespace orva {
namespace {

using test::ScriptGame;

// Every play starts at the title menu; "new game" goes on to script 2.
const std::string kTitle = ".script 1 \"title\"\n*title\nsystem 101\njump 2 *story\n";

RouteResult Explore(const ScriptGame& game, uint64_t maxStates = 100000) {
    RouteOptions options;
    options.GameDir = game.GameDir;
    options.MaxStates = maxStates;
    RouteResult result;
    std::string error;
    EXPECT_TRUE(ExploreRoutes(options, result, error)) << error;
    return result;
}

size_t CountKind(const RouteResult& r, StopKind kind) {
    return size_t(std::count_if(r.Nodes.begin(), r.Nodes.end(), [&](const RouteNode& n) { return n.Kind == kind; }));
}

// 20 choices in a row, each with two answers that come together again.
std::string ChoiceChain(int choices) {
    std::string s = kTitle + ".script 2 \"chain\"\n*story\n";
    for (int i = 1; i <= choices; ++i) {
        s += "msg \"問い" + std::to_string(i) + "\"\nchoice \"はい,いいえ\"\n";
        s += "if W1 == 1\n  msg \"はい、と答えた。\"\nelse\n  msg \"いいえ、と答えた。\"\nend\n";
    }
    return s + "msg \"おわり\"\njump 1 *title\n";
}

TEST(RouteExplorer, ReportsTheUnreachableLabelTheUnusedFileAndTheMessageOnlyADrawReaches) {
    const std::string longText(120, 'x');
    ScriptGame game(kTitle + ".script 2 \"story\"\n*story\n"
                             "bg \"seen\"\n"
                             "msg \"はじまり\"\n"
                             "rand W2 1 3\n"
                             "if W2 == 3\n  msg \"まれな出来事\"\nend\n"
                             "choice \"右へ,左へ\"\n"
                             "if W1 == 1\n  msg \"右へ行った\"\nelse\n  msg \"左へ行った\"\nend\n"
                             "if W9 == 0\n  msg \"" + longText + "\"\nend\n"
                             "jump 1 *title\n"
                             "*orphan\n"
                             "bg \"never\"\n"
                             "msg \"ここには来ない\"\n"
                             "jump 1 *title\n");
    const RouteResult r = Explore(game);
    EXPECT_FALSE(r.Incomplete);
    // One draw of three outcomes, the choice met in three states (W2 differs), six endings.
    EXPECT_EQ(CountKind(r, StopKind::Random), 1u);
    EXPECT_EQ(CountKind(r, StopKind::Choice), 3u);
    EXPECT_EQ(CountKind(r, StopKind::Title), 6u);
    EXPECT_EQ(r.Routes, 6.0);
    const auto draw = std::find_if(r.Nodes.begin(), r.Nodes.end(), [](const RouteNode& n) { return n.Kind == StopKind::Random; });
    EXPECT_EQ(draw->Span, 3);
    EXPECT_EQ(draw->Values, (std::vector<int32_t>{0, 1, 2}));

    // The message behind the draw's third outcome is reached; the one after the orphan label is not.
    ASSERT_EQ(r.AllMessages.size(), 6u);
    std::vector<std::string> unreached;
    for (const auto& [m, text] : r.AllMessages)
        if (!r.ReachedMessages.count(m)) unreached.push_back(text);
    EXPECT_EQ(unreached, std::vector<std::string>{"ここには来ない"});
    EXPECT_TRUE(r.JumpedLabels.count({2, "story"}));
    EXPECT_TRUE(r.AllLabels.count({2, "orphan"}));
    EXPECT_FALSE(r.JumpedLabels.count({2, "orphan"}));

    // never.png is named but no route shows it; seen.png is shown but no archive holds it.
    EXPECT_TRUE(r.NamedAssets.count("never.png"));
    EXPECT_FALSE(r.UsedAssets.count("never.png"));
    EXPECT_EQ(r.MissingAssets, (std::set<std::string>{"seen.png"}));

    // The long message loses characters on every route; W9 is never set, so its block always runs.
    ASSERT_EQ(r.Overflow.size(), 1u);
    EXPECT_GT(r.Overflow.begin()->second, 0u);
    bool oneWay = false;
    for (const auto& [at, taken] : r.Conditions) oneWay |= taken[0] && !taken[1];
    EXPECT_TRUE(oneWay);
    // The draw's condition and the choice's go both ways.
    EXPECT_EQ(std::count_if(r.Conditions.begin(), r.Conditions.end(), [](const auto& c) { return c.second[0] && c.second[1]; }), 2);
}

TEST(RouteExplorer, MergedStatesKeepTheCostToDistinctStatesWhileRoutesCountEveryPath) {
    ScriptGame game(ChoiceChain(20));
    const RouteResult r = Explore(game);
    EXPECT_FALSE(r.Incomplete);
    // The first choice, then each later one after either answer (W1 differs), and two endings.
    EXPECT_EQ(CountKind(r, StopKind::Choice), 1u + 19u * 2u);
    EXPECT_EQ(CountKind(r, StopKind::Title), 2u);
    EXPECT_EQ(r.Routes, 1048576.0);
    EXPECT_EQ(r.ReachedMessages.size(), r.AllMessages.size());
}

TEST(RouteExplorer, LoopsEndTheirPathWithANoteInsteadOfHanging) {
    // A choice that can come back to itself forever, a loop of messages with no choice, and a
    // loop that shows nothing at all.
    ScriptGame game(kTitle + ".script 2 \"loops\"\n*story\n"
                             "msg \"もう一度？\"\nchoice \"もう一度,先へ\"\nif W1 == 1\n  jump *story\nend\n"
                             "choice \"歌う,黙る\"\n"
                             "if W1 == 1\n*song\n  msg \"ラララ\"\n  jump *song\nend\n"
                             "*spin\nadd W3 W3 0\njump *spin\n");
    const RouteResult r = Explore(game);
    EXPECT_TRUE(r.Incomplete);
    ASSERT_EQ(CountKind(r, StopKind::Loop), 2u);
    std::string reasons;
    for (const std::string& s : r.Reasons) reasons += s + "\n";
    EXPECT_NE(reasons.find("without a message or a choice"), std::string::npos) << reasons;
    EXPECT_NE(reasons.find("same state"), std::string::npos) << reasons;
    // "Again" leads back to the first choice: a loop edge, counted once.
    EXPECT_GE(r.LoopEdges, 1);
    EXPECT_EQ(r.Routes, 4.0);  // both ways to the second choice, times its two cut answers
}

TEST(RouteExplorer, TheStateBudgetCutsExplorationShortAndSaysSo) {
    ScriptGame game(ChoiceChain(6));
    const RouteResult r = Explore(game, 4);
    EXPECT_TRUE(r.Incomplete);
    EXPECT_EQ(r.Nodes.size(), 4u);
    // Every decision not followed still ends a route: none is lost from the count.
    EXPECT_GE(r.Routes, 4.0);
    ASSERT_FALSE(r.Reasons.empty());
    EXPECT_NE(r.Reasons[0].find("state budget of 4"), std::string::npos);
}

TEST(RouteExplorer, TheEndOfTheStoryScriptIsAnEndingAndWideDrawsAreSampled) {
    ScriptGame game(kTitle + ".script 2 \"end\"\n*story\nrand W2 1 100\nif W2 == 100\n  msg \"百\"\nend\nmsg \"終\"\n");
    const RouteResult r = Explore(game);
    // Sixteen end states (W2 differs), one ending: the script's end line.
    EXPECT_EQ(CountKind(r, StopKind::End), 16u);
    EXPECT_EQ(EndingGroups(r).size(), 1u);
    const auto draw = std::find_if(r.Nodes.begin(), r.Nodes.end(), [](const RouteNode& n) { return n.Kind == StopKind::Random; });
    ASSERT_NE(draw, r.Nodes.end());
    EXPECT_EQ(draw->Span, 100);
    ASSERT_EQ(draw->Values.size(), 16u);
    EXPECT_EQ(draw->Values.front(), 0);
    EXPECT_EQ(draw->Values.back(), 99);  // the highest outcome is always among those followed
    EXPECT_EQ(r.ReachedMessages.size(), 2u);
    ASSERT_EQ(r.Notes.size(), 1u);
    EXPECT_NE(r.Notes[0].find("100 outcomes"), std::string::npos);
}

TEST(RouteExplorer, SystemVariablesComeFromTheSaveFileAndEndingsListThoseTheySet) {
    ScriptGame game(kTitle + ".script 2 \"s\"\n*story\nif S300 == 1\n  msg \"二度目\"\nelse\n  msg \"初めて\"\nend\nset S201 1\njump 1 *title\n");
    const RouteResult first = Explore(game);
    ASSERT_EQ(CountKind(first, StopKind::Title), 1u);
    const RouteNode& ending = *std::find_if(first.Nodes.begin(), first.Nodes.end(),
                                            [](const RouteNode& n) { return n.Kind == StopKind::Title; });
    EXPECT_EQ(ending.FlagsSet, std::vector<int32_t>{201});
    EXPECT_EQ(first.ReachedMessages.size(), 1u);
    // Scene 101's replay is unlocked by S201; the other scene entries stay locked.
    EXPECT_FALSE(std::any_of(first.AlbumLocked.begin(), first.AlbumLocked.end(),
                             [](const auto& e) { return e.Kind == "scene" && e.Flag == 201; }));
    EXPECT_TRUE(std::any_of(first.AlbumLocked.begin(), first.AlbumLocked.end(),
                            [](const auto& e) { return e.Kind == "scene" && e.Flag == 202; }));

    // A save whose S300 is set takes the other branch.
    auto block = std::make_unique<SystemBlock>();
    block->SystemFlg[300 - 1] = 1;
    std::vector<uint8_t> bytes(sizeof(SystemBlock));
    std::memcpy(bytes.data(), block.get(), bytes.size());
    test::WriteBytes(game.Root.Path() / "SAVE.DAT", bytes);
    RouteOptions options;
    options.GameDir = game.GameDir;
    options.SaveFile = game.Root.Path() / "SAVE.DAT";
    RouteResult second;
    std::string error;
    ASSERT_TRUE(ExploreRoutes(options, second, error)) << error;
    ASSERT_EQ(second.ReachedMessages.size(), 1u);
    EXPECT_NE(*second.ReachedMessages.begin(), *first.ReachedMessages.begin());

    // A file of the wrong size is refused and nothing is explored.
    test::WriteBytes(game.Root.Path() / "SAVE.DAT", {1, 2, 3});
    EXPECT_FALSE(ExploreRoutes(options, second, error));
    EXPECT_NE(error.find("3 bytes"), std::string::npos) << error;
}

// Records every line the interpreter runs. The generator advances once a pass, so a draw's
// outcome depends on how long the messages took; the highest is taken so that both runs agree.
struct LineLog : ScriptObserver {
    std::vector<std::pair<int32_t, int32_t>> Lines;
    void LineRun(int32_t script, int32_t step, const ScriptCommand&) override { Lines.emplace_back(script, step); }
    int32_t RandomDraw(int32_t span) override { return span - 1; }
};

// Plays the game to its title ending, clicking through messages and waits and taking each
// choice's second answer; returns the lines run.
std::vector<std::pair<int32_t, int32_t>> PlayThrough(ScriptGame& game, bool renderOff) {
    game.Form.reset();
    game.Plat = std::make_unique<HeadlessPlatform>(std::vector<TimelineEvent>{}, std::vector<HeadlessShot>{}, 600000);
    EngineOptions options;
    options.GameDir = game.GameDir;
    options.SaveDir = game.SaveDir;
    options.HasSeed = true;
    options.Seed = 3;
    options.RenderOff = renderOff;
    game.Form = std::make_unique<TForm1>(*game.Plat, options);
    EXPECT_TRUE(game.Form->FormCreate());
    LineLog log;
    game.Form->Observer = &log;
    TForm1& f = *game.Form;
    int titles = 0;
    for (int pass = 0; pass < 20000 && titles < 2; ++pass) {
        if (f.EngineMode == Mode::TitleMenuEnter) ++titles;
        if (f.EngineMode == Mode::ChoiceWait) f.TakeChoice(2);
        const bool click = f.EngineMode == Mode::MessagePrint || f.EngineMode == Mode::MessageWait ||
                           f.EngineMode == Mode::TitleMenuWait;
        if (click && pass % 3 == 0) {
            TimelineEvent ev;
            ev.Time = game.Plat->Ticks();
            ev.Verb = TimelineVerb::Click;
            ev.Pos = {640, 212};  // the title's "new game"; above the message window
            game.Plat->Inject(ev);
        }
        f.IdleEvent();
    }
    EXPECT_EQ(titles, 2);
    f.Observer = nullptr;
    return log.Lines;
}

TEST(RouteExplorer, PaintingOffChangesNothingOfTheStorysCourse) {
    ScriptGame game(kTitle + ".script 2 \"s\"\n*story\nbg \"a\"\ntrans\nmsg \"一\"\nwait 300\nrand W2 1 6\n"
                             "choice \"甲,乙\"\nif W1 == 2\n  msg \"乙を選んだ\"\nend\nif W2 > 3\n  msg \"大\"\nend\n"
                             "msg \"終わり\"\njump 1 *title\n");
    const auto painted = PlayThrough(game, false);
    const auto unpainted = PlayThrough(game, true);
    EXPECT_GT(painted.size(), 15u);
    EXPECT_EQ(painted, unpainted);
}

}  // namespace
}  // namespace orva
