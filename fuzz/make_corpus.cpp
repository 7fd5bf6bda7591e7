// Writes the seed corpora of the fuzz targets, one folder per target, with the project's own
// writers: usage make_corpus DIR.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "data/save_layout.h"
#include "data/archive_writer.h"
#include "data/container_writer.h"
#include "data/mitayo.h"
#include "fuzz_common.h"
#include "fuzz_story.h"
#include "graphics/bmp_file.h"
#include "graphics/png_write.h"
#include "graphics/theora_fixture.h"
#include "orva_asm/assembler.h"
#include "sound/ogg_writer.h"

using namespace orva;

namespace {

std::vector<uint8_t> Png(int w, int h, int seed) {
    TABitmap b(w, h);
    uint32_t* p = b.Pixels();
    for (int i = 0; i < w * h; ++i) p[i] = uint32_t(i * 2654435761u + uint32_t(seed)) | (seed == 0 ? 0u : 0u);
    std::vector<uint8_t> out;
    EncodePng(b, out);
    return out;
}

struct Corpus {
    std::filesystem::path Root;
    void Add(const std::string& target, const std::string& name, std::span<const uint8_t> bytes) {
        fuzz::WriteFile(Root / target / name, bytes);
    }
    void AddText(const std::string& target, const std::string& name, std::string_view text) {
        Add(target, name, {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus DIR\n");
        return 2;
    }
    Corpus c{argv[1]};

    AssembledSource story;
    std::vector<Diagnostic> errors;
    std::vector<uint8_t> container;
    if (!AssembleSource(fuzz::kStory, "story.txt", story, errors) || !BuildContainerFromSources({story}, container, errors)) {
        for (const auto& d : errors) std::fprintf(stderr, "%s\n", d.Format().c_str());
        return 1;
    }
    c.AddText("assembler", "story.txt", fuzz::kStory);
    c.AddText("assembler", "exact.txt",
              ".script 3 \"x\"\n.labels \"a\" \"a\"\nlabel 1\n.line 0x70 0x14 9 1 2 0 7\n.breaks labels WN\n"
              ".header 000102030405060708090a0b0c0d0e0f\n.noend\n.script 4 \"y\" empty\n");
    c.Add("script_container", "story.dat", container);
    for (const AssembledScript& s : story.Scripts)
        c.Add("script_run", "script" + std::to_string(s.Number) + ".bin", s.EntryBytes());

    const std::vector<uint8_t> png = Png(16, 8, 1);
    c.Add("png", "16x8.png", png);
    c.Add("png", "1x1.png", Png(1, 1, 2));
    c.Add("png", "33x5.png", Png(33, 5, 3));

    std::vector<uint8_t> archive;
    std::string error;
    BuildArchive({{"SysTitle.png", png}, {"bgm01.ogg", {1, 2, 3}}, {"", {}}, {"SysTitle.png", {9}}}, archive, error);
    c.Add("archive", "three.cfp", archive);

    std::vector<uint8_t> twoScripts;
    BuildScriptContainer({"A", "", "C"}, {{1, story.Scripts[0].EntryBytes()}, {3, {}}}, twoScripts, error);
    c.Add("script_container", "gaps.dat", twoScripts);

    TABitmap thumb(96, 72);
    thumb.FillColor(10, 200, 30);
    c.Add("thumbnail", "thumb.dat", EncodeBmp32(thumb));
    c.Add("thumbnail", "small.dat", EncodeBmp32(TABitmap(3, 2)));

    c.Add("seen_list", "list.dat", EncodeMitayoFile({"BG01", "BG02_1", "背景"}));
    c.Add("seen_list", "empty.dat", EncodeMitayoFile({}));

    c.AddText("translation", "en.po",
              "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
              "msgctxt \"name\"\nmsgid \"ミナ\"\nmsgstr \"Mina\"\n\n"
              "#, fuzzy\nmsgctxt \"1:0\"\nmsgid \"「おはよう」\"\nmsgstr \"“Morning!” -- said she/well-known 岬灯台\"\n\n"
              "msgctxt \"1:0:1\"\nmsgid \"はい\"\nmsgstr \"Yes\"\n\n#~ msgid \"old\"\n#~ msgstr \"gone\"\n");

    c.AddText("timeline", "steps.txt",
              "# a session\n100 key return down\n150 key return up\n200 click 400 300\n250 move 10 20 msg\n"
              "300 wheel up main\n400 focus none\n500 text こんにちは\n600 down 1 2 right query\n700 close\n");
    c.AddText("settings", "orva.conf",
              "# orva settings\n\ntext-out = websocket:6677\nlang = en\ntranslation = ~/po/en.po\n"
              "colour = red\nno equals here\ntext-out = websocket:0\n");
    // Sounds: a looping tone in each of the forms the engine plays, with loop comments.
    const char* loops[] = {"COMMENT=*looptime,0,0.05,0.15,-1", "COMMENT=*loopsample,1,2205,4410,2",
                           "COMMENT=*LoopSample , 0 , 100 , 50 , 1 // end before start"};
    for (int form = 0; form < 3; ++form) {
        OggWriteOptions options;
        options.Rate = form == 2 ? 22050 : 44100;
        options.Channels = form == 1 ? 2 : 1;
        options.Comments = {loops[form]};
        std::vector<int16_t> samples(size_t(options.Rate / 5) * size_t(options.Channels));
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t((i * 131) % 4000 - 2000);
        std::vector<uint8_t> ogg;
        if (!EncodeOggVorbis(samples, options, ogg, error)) return 1;
        c.Add("ogg", "tone" + std::to_string(form) + ".ogg", ogg);
        std::string seed(1, char(form));
        seed += std::string(loops[form]) + "\nTITLE=x\n";
        c.AddText("ogg_loops", "comment" + std::to_string(form) + ".txt", seed);
    }
    // Movies: pictures and sound, pictures alone, and a cut file.
    std::vector<uint8_t> movie = test::EncodeTestMovie({.Frames = 6, .SoundFrames = 4000});
    c.Add("movie", "both.ogv", movie);
    c.Add("movie", "video.ogv", test::EncodeTestMovie({.Frames = 5, .KeyFrameEvery = 2, .Sound = false}));
    movie.resize(movie.size() * 2 / 3);
    c.Add("movie", "cut.ogv", movie);
    // Saves: a slot in the middle of the story (background, a character, music, an effect, a
    // call pending, a comment) with the default configuration, beside a seen-pictures list; the
    // same cut short; the slot with no SAVE2.DAT.
    GameRec slot{};
    slot.InUse = 1;
    slot.SaveTime = 46000.5;
    slot.ScenarioFlg[9] = 3;
    slot.ScriptNo = 1;
    slot.ScriptStep = 9;
    slot.ReturnTbl[0] = {1, 12};
    slot.ReturnCount = 1;
    std::strcpy(slot.BgLayerName, "bg_room");
    std::strcpy(slot.LayerName[1], "aya_smile");
    slot.LayerPos[1][0] = 250;
    slot.LayerAlpha[1] = 255;
    std::strcpy(slot.MusicName, "bgm01");
    slot.MusicLoop = 1;
    std::strcpy(slot.EffectName[0], "se_door");
    slot.CursorShown = slot.MenuButtonsAllowed = slot.SkipAllowed = 1;
    std::strcpy(slot.Comment, "\x82\xa0test");
    const ConfigRec config = DefaultConfig();
    std::vector<uint8_t> save{0x04, 4};
    const auto* slotBytes = reinterpret_cast<const uint8_t*>(&slot);
    const auto* configBytes = reinterpret_cast<const uint8_t*>(&config);
    save.insert(save.end(), slotBytes, slotBytes + sizeof(slot));
    save.insert(save.end(), configBytes, configBytes + sizeof(config));
    const std::vector<uint8_t> seen = EncodeMitayoFile({"bg_room", "aya_smile"});
    save.insert(save.end(), seen.begin(), seen.end());
    c.Add("save", "slot5.dat", save);
    save[0] = 0x01;
    c.Add("save", "cut.dat", save);
    save[0] = 0x00;
    save.resize(2 + sizeof(slot) + sizeof(config));
    c.Add("save", "no-save2.dat", save);
    return 0;
}
