// Engine benchmarks: the bundled game driven on the headless platform to the frames the player
// sees most (a message waiting for its click, a fade between scenes), message and choice
// composition, and start-up with five full archives, each beside the machine's floor for the
// same work (memcpy of a frame, bare reads of the archives' index blocks, a plain hash probe).
// Names are "Operation/Size/implementation", as in the pixel benchmarks.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/main_form.h"
#include "data/archive.h"
#include "data/archive_format.h"
#include "data/archive_writer.h"
#include "data/file_io.h"
#include "graphics/png_write.h"
#include "platform/headless/headless_platform.h"
#include "bench_main.h"
#include "platform/screen_layout.h"

namespace {

using orva::bench::MemcpyPeer;
using namespace orva;
namespace fs = std::filesystem;

constexpr Point kNewGame{640, 225};  // the title menu's first button

// A folder under the system's temporary folder, removed with the object.
class TTempFolder {
public:
    TTempFolder() {
        std::string pattern = (fs::temp_directory_path() / "orva-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
        Dir = pattern;
    }
    ~TTempFolder() {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }
    const fs::path& Path() const { return Dir; }

private:
    fs::path Dir;
};

// The demo's archives rebuilt with filler entries up to 65,535 names each, and three more
// archives of filler alone: five full archives that still hold every picture and sound of
// the game. Written once per process.
const fs::path& FullArchiveGame() {
    static TTempFolder folder;
    static const fs::path game = [] {
        const fs::path dir = folder.Path() / "game";
        fs::create_directories(dir / "data");
        fs::copy_file(fs::path(ORVA_DEMO_DIR) / "SCRIPT.DAT", dir / "SCRIPT.DAT");
        TArchiveSet demo;
        if (!demo.Init(ORVA_DEMO_DIR).Ok) throw std::runtime_error("the demo's archives cannot be read");
        for (int n = 1; n <= TArchiveSet::kArchiveCount; ++n) {
            std::vector<ArchiveInputFile> files;
            for (const std::string& name : demo.NameList(n)) {
                TMemoryStream stream;
                ArchiveInputFile file{name, {}};
                if (demo.Read(name, stream)) file.Bytes = stream.Bytes();
                files.push_back(std::move(file));
            }
            for (uint32_t k = static_cast<uint32_t>(files.size()); k < kMaxStoredFiles; ++k) {
                char name[32];
                std::snprintf(name, sizeof name, "FILL%d_%05u.PNG", n, k);
                files.push_back({name, {static_cast<uint8_t>(k)}});
            }
            std::vector<uint8_t> bytes;
            std::string error;
            if (!BuildArchive(files, bytes, error) ||
                !WriteFileAtomic(dir / "data" / ("DATA0" + std::to_string(n) + ".cfp"), bytes, error))
                throw std::runtime_error(error);
        }
        return dir;
    }();
    return game;
}

// The engine on the headless platform over a game folder, with its own save folder.
struct TEngine {
    TTempFolder Saves;
    HeadlessPlatform Plat{{}, {}, 0xFFFFFFFFu};
    std::unique_ptr<TForm1> Form;

    explicit TEngine(const fs::path& game) {
        EngineOptions options;
        options.GameDir = game;
        options.SaveDir = Saves.Path() / "VELDORN" / "ORVA300SE";
        options.HasSeed = true;
        options.Seed = 1;
        Form = std::make_unique<TForm1>(Plat, options);
    }
    // Runs frame-loop passes, taking "new game" at the title, until the mode is reached.
    bool RunTo(Mode mode) {
        bool clicked = false;
        for (int pass = 0; pass < 20000; ++pass) {
            if (Form->EngineMode == mode) return true;
            if (Form->EngineMode == Mode::TitleMenuWait && !clicked) {
                TimelineEvent move, click;
                move.Time = click.Time = Plat.Ticks();
                move.Verb = TimelineVerb::Move;
                click.Verb = TimelineVerb::Click;
                move.Pos = click.Pos = kNewGame;
                Plat.Inject(move);
                Plat.Inject(click);
                clicked = true;
            }
            Form->IdleEvent();
        }
        return false;
    }
};

// An engine brought to `mode` in the demo, or the benchmark skipped.
std::unique_ptr<TEngine> DemoAt(benchmark::State& state, Mode mode) {
    auto engine = std::make_unique<TEngine>(ORVA_DEMO_DIR);
    if (!engine->Form->FormCreate() || !engine->RunTo(mode)) {
        state.SkipWithError("the demo did not reach the mode");
        return nullptr;
    }
    return engine;
}

// With ORVA_BENCH_SHOTS set to a folder, the last presented frame is written there as
// NAME.png, to see what a benchmark painted.
void SaveShot(TEngine& engine, const char* name) {
    const char* dir = std::getenv("ORVA_BENCH_SHOTS");
    if (!dir || !*dir) return;
    std::vector<uint8_t> png;
    std::string error;
    if (!EncodePng(engine.Plat.LastPresented(WindowId::Main), png) ||
        !WriteFileAtomic(fs::path(dir) / (std::string(name) + ".png"), png, error))
        std::fprintf(stderr, "cannot write the %s capture %s\n", name, error.c_str());
}


// ---- painted frames ---------------------------------------------------------------------------

// The first message of the story waiting for its click: scene, window, text and shadow layers,
// the click-wait icon and the window's twelve buttons, presented.
void PaintWaitingMessage(benchmark::State& state) {
    auto engine = DemoAt(state, Mode::MessageWait);
    if (!engine) return;
    for (auto _ : state) {
        engine->Form->PaintFrame();
        benchmark::ClobberMemory();
    }
    SaveShot(*engine, "message-wait");
}

// One step of the fade into the story's first scene: the step's blend of the next scene into
// the current one, then the frame painted over it. The virtual clock stands still, so every
// iteration repeats the same step.
void PaintFadeStep(benchmark::State& state) {
    auto engine = DemoAt(state, Mode::ScriptFade);
    if (!engine) return;
    TForm1& form = *engine->Form;
    // Half-way through the fade, so that the step blends rather than finishes.
    form.Timing.TransStart = static_cast<int32_t>(engine->Plat.Ticks());
    form.Timing.TransLength = 1000;
    form.Timing.TransEnd = form.Timing.TransStart + 1000;
    engine->Plat.Sleep(500);
    for (auto _ : state) {
        form.NOVL_DispEffect_01();
        form.PaintFrame();
        benchmark::ClobberMemory();
    }
    if (form.EngineMode != Mode::ScriptFade) state.SkipWithError("the fade ended during the run");
    SaveShot(*engine, "fade-step");
}

// ---- message and choice composition ---------------------------------------------------------

// Three full lines of 25 characters.
const std::u16string kThreeLines =
    u"朝の光がカーテンの隙間から差し込んでいる。今日は何を"
    u"しようか、まだ決めていない。海へ行くのもいいし、家で本"
    u"を読むのもいい。どちらにしても、いい一日になりそうだ。";

// Nine answers of up to the bar's width.
const std::u16string kNineAnswers =
    u"灯台へ行ってみる,港で話を聞く,図書館で調べる,ミナに電話する,もう一度手紙を読む,"
    u"祖父の日記を探す,岬の地図を買う,駅前の喫茶店で考える,今日はもう寝る";

// Cold: a new text renderer for every composition (the font is opened and every glyph drawn
// by FreeType again), as for the first message of a run. Warm: the cache holds every glyph.
void Compose(benchmark::State& state, bool choice, bool warm) {
    auto engine = DemoAt(state, Mode::MessageWait);
    if (!engine) return;
    TForm1& form = *engine->Form;
    auto compose = [&] {
        if (choice) form.NOVL_MakeSelect(kNineAnswers);
        else form.NOVL_MakeMessage(kThreeLines);
    };
    compose();
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();  // the old cache's release is not the composition's
            form.TextRender.reset();
            state.ResumeTiming();
        }
        compose();
        benchmark::ClobberMemory();
    }
}

// ---- rollback ---------------------------------------------------------------------------------

// A rollback point taken as a message begins, in the demo's first message; the counter
// `bytes_per_point` is what a point of the full history holds, beside a memcpy of those bytes.
void RollbackCapture(benchmark::State& state) {
    auto engine = DemoAt(state, Mode::MessageWait);
    if (!engine) return;
    TForm1& form = *engine->Form;
    for (size_t i = 0; i < kRollbackEntries; ++i) form.RollbackCapture(form.Text.MsgNo, false);
    for (auto _ : state) {
        form.RollbackCapture(form.Text.MsgNo, false);
        benchmark::ClobberMemory();
    }
    state.counters["bytes_per_point"] =
        static_cast<double>(form.Rollback.Bytes()) / static_cast<double>(form.Rollback.Size());
    state.counters["points"] = static_cast<double>(form.Rollback.Size());
}

// One message back: the layers read and composed, the sound compared, the message's line run
// again and laid out; beside the restore of a loaded game, which does the same reading.
void RollBackOne(benchmark::State& state, bool restore) {
    auto engine = DemoAt(state, Mode::MessageWait);
    if (!engine) return;
    TForm1& form = *engine->Form;
    for (auto _ : state) {
        if (restore) {
            form.Game.ScriptStep -= 1;
            form.NOVL_RestoreGame();
            state.PauseTiming();
            engine->RunTo(Mode::MessageWait);
            state.ResumeTiming();
        } else {
            state.PauseTiming();
            form.RollbackCapture(form.Text.MsgNo, false);  // a second point to go back from
            state.ResumeTiming();
            if (!form.RollBack(1)) state.SkipWithError("no rollback point");
        }
        benchmark::ClobberMemory();
    }
}


// The engine from its creation to its first presented frame, over the bundled game or five
// full archives. The start-up's fixed 500-ms wait passes on the virtual clock and costs no time
// here.
void StartUpToFirstFrame(benchmark::State& state, bool fullArchives) {
    const fs::path game = fullArchives ? FullArchiveGame() : fs::path(ORVA_DEMO_DIR);
    for (auto _ : state) {
        TEngine engine(game);
        if (!engine.Form->FormCreate()) {
            state.SkipWithError("start-up failed");
            return;
        }
        while (!engine.Plat.LastPresented(WindowId::Main).IsReady()) engine.Form->IdleEvent();
        state.PauseTiming();  // the form's and the save folder's teardown are not start-up
        engine.Form.reset();
        state.ResumeTiming();
    }
}

void ArchiveSetInit(benchmark::State& state) {
    const fs::path& game = FullArchiveGame();
    for (auto _ : state) {
        auto set = std::make_unique<TArchiveSet>();
        if (!set->Init(game).Ok) state.SkipWithError("the archives cannot be read");
        benchmark::DoNotOptimize(set.get());
        state.PauseTiming();  // freeing the lists and the map is not start-up
        set.reset();
        state.ResumeTiming();
    }
}

// The floor: each archive's header and index block read into memory, nothing else.
void ReadIndexBlocks(benchmark::State& state, bool fullArchives) {
    const fs::path game = fullArchives ? FullArchiveGame() : fs::path(ORVA_DEMO_DIR);
    std::vector<char> block(kFileHeaderSize + kArchiveIndexSize);
    for (auto _ : state)
        for (int n = 1; n <= TArchiveSet::kArchiveCount; ++n) {
            std::ifstream in(game / "data" / ("DATA0" + std::to_string(n) + ".cfp"), std::ios::binary);
            if (!in) continue;
            in.read(block.data(), static_cast<std::streamsize>(block.size()));
            benchmark::DoNotOptimize(block.data());
        }
}

// A name in mixed case with a trailing blank that no archive lists: the lookup's own work (the
// name normalised, the hash probed) without the file read a found name goes on to.
const std::string kMissingName = "fill4_99999.png ";
// A listed name, found and its one byte read from its archive file.
const std::string kListedName = "fill4_31337.png ";

void ArchiveLookup(benchmark::State& state, const std::string& name) {
    TArchiveSet set;
    if (!set.Init(FullArchiveGame()).Ok) {
        state.SkipWithError("the archives cannot be read");
        return;
    }
    TMemoryStream stream;
    for (auto _ : state) {
        const bool found = set.Read(name, stream);
        benchmark::DoNotOptimize(found);
    }
}

// The peer: the same name trimmed and upper-cased by hand and probed in a plain map of all
// 327,675 names.
void UnorderedMapProbe(benchmark::State& state, const std::string& name) {
    std::unordered_map<std::string, uint32_t> map;
    for (int n = 1; n <= TArchiveSet::kArchiveCount; ++n)
        for (uint32_t k = 0; k < kMaxStoredFiles; ++k) {
            char line[32];
            std::snprintf(line, sizeof line, "FILL%d_%05u.PNG", n, k);
            map.emplace(line, k);
        }
    for (auto _ : state) {
        std::string key = name;
        while (!key.empty() && static_cast<unsigned char>(key.back()) <= 0x20) key.pop_back();
        for (char& c : key)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        auto it = map.find(key);
        benchmark::DoNotOptimize(it);
    }
}

// The floor of a found name's read: its archive opened, one byte read at its offset, closed.
void BareEntryRead(benchmark::State& state) {
    TArchiveSet set;
    if (!set.Init(FullArchiveGame()).Ok) {
        state.SkipWithError("the archives cannot be read");
        return;
    }
    const TArchiveSet::EntryInfo entry = set.Entry(4, 31337 + 1);
    const fs::path path = set.Path(4);
    for (auto _ : state) {
        TReadFile file;
        std::string error;
        uint8_t byte = 0;
        if (!file.Open(path, error) || !file.ReadAt(entry.Offset, &byte, 1)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(byte);
    }
}

void RegisterAll() {
    constexpr size_t kFrameBytes = kScreenWidth * kScreenHeight * 4;
    auto us = [](benchmark::internal::Benchmark* b) { b->Unit(benchmark::kMicrosecond); };
    us(benchmark::RegisterBenchmark("PaintFrame/message-wait/orva", PaintWaitingMessage));
    us(benchmark::RegisterBenchmark("PaintFrame/message-wait/memcpy", MemcpyPeer, kFrameBytes));
    us(benchmark::RegisterBenchmark("PaintFrame/fade-step/orva", PaintFadeStep));
    us(benchmark::RegisterBenchmark("PaintFrame/fade-step/memcpy", MemcpyPeer, kFrameBytes));
    // The warm cache is the usual case; the cold composition is its peer.
    us(benchmark::RegisterBenchmark("MakeMessage/3x25/orva", Compose, false, true));
    us(benchmark::RegisterBenchmark("MakeMessage/3x25/cold", Compose, false, false));
    us(benchmark::RegisterBenchmark("MakeSelect/9-answers/orva", Compose, true, true));
    us(benchmark::RegisterBenchmark("MakeSelect/9-answers/cold", Compose, true, false));
    us(benchmark::RegisterBenchmark("RollbackPoint/capture/orva", RollbackCapture));
    us(benchmark::RegisterBenchmark("RollbackPoint/capture/memcpy", MemcpyPeer, sizeof(RollbackPoint)));
    us(benchmark::RegisterBenchmark("RollBack/one-message/orva", RollBackOne, false));
    us(benchmark::RegisterBenchmark("RollBack/one-message/restore", RollBackOne, true));
    us(benchmark::RegisterBenchmark("StartUp/bundled-game/orva", StartUpToFirstFrame, false)->Iterations(5));
    us(benchmark::RegisterBenchmark("StartUp/bundled-game/index", ReadIndexBlocks, false));
    us(benchmark::RegisterBenchmark("StartUp/5x65535-names/orva", StartUpToFirstFrame, true)->Iterations(5));
    us(benchmark::RegisterBenchmark("StartUp/5x65535-names/archives", ArchiveSetInit)->Iterations(5));
    us(benchmark::RegisterBenchmark("StartUp/5x65535-names/index", ReadIndexBlocks, true));
    us(benchmark::RegisterBenchmark("Lookup/5x65535-names/orva", ArchiveLookup, kMissingName));
    us(benchmark::RegisterBenchmark("Lookup/5x65535-names/unordered_map", UnorderedMapProbe, kMissingName));
    us(benchmark::RegisterBenchmark("ReadEntry/1-byte/orva", ArchiveLookup, kListedName));
    us(benchmark::RegisterBenchmark("ReadEntry/1-byte/pread", BareEntryRead));
}

}  // namespace

int main(int argc, char** argv) { return orva::bench::RunBenchmarks(argc, argv, RegisterAll); }
