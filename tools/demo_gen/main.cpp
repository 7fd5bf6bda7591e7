// orva-demo-gen: paints every picture and synthesises every sound of the bundled demo game
// into a folder, with the two archive lists that orva-pack turns into DATA01.cfp and DATA02.cfp.
#include <cstdio>
#include <filesystem>
#include <span>
#include <fstream>
#include <string>
#include <vector>

#include "assets.h"
#include "graphics/png_write.h"

namespace fs = std::filesystem;
using namespace orva;
using namespace orva::demo;

namespace {

// The picture that the second archive replaces: the first carries an early draft of it.
constexpr const char* kOverridden = "01";

// A copy in which every invisible pixel's colour is zero: the colour of an invisible pixel
// is never seen, and uniform runs make the PNG files much smaller.
TABitmap WithClearPixelsZeroed(const TABitmap& pic) {
    TABitmap out;
    out.Assign(pic);
    for (uint32_t& p : std::span(out.Pixels(), size_t(out.Width()) * out.Height()))
        if ((p >> 24) == 255) p = 0xFF000000u;
    return out;
}

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::string(argv[1]) == "--help") {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "usage: orva-demo-gen OUTDIR\n"
                     "Writes the demo game's pictures and sounds into OUTDIR/files and the archive\n"
                     "lists OUTDIR/data01.list and OUTDIR/data02.list (NAME<TAB>PATH lines).\n");
        return argc == 2 ? 0 : 2;
    }
    const fs::path outDir = argv[1], files = outDir / "files";
    std::error_code ec;
    fs::create_directories(files, ec);
    if (ec) {
        std::fprintf(stderr, "orva-demo-gen: cannot create %s: %s\n", files.c_str(), ec.message().c_str());
        return 1;
    }
    std::string list1, list2;
    bool ok = true;
    // Writes files/fileName and lists it under name (the name the engine asks for).
    auto store = [&](const std::string& name, const std::vector<uint8_t>& bytes, std::string& list,
                     const std::string& fileName) {
        const fs::path path = files / fileName;
        if (!WriteFile(path, bytes)) {
            std::fprintf(stderr, "orva-demo-gen: cannot write %s\n", path.c_str());
            ok = false;
        }
        list += name + "\tfiles/" + fileName + "\n";
    };
    std::vector<uint8_t> bytes;
    const PictureSink picture = [&](const std::string& name, const TABitmap& pic, bool alpha) {
        if (!EncodePng(alpha ? WithClearPixelsZeroed(pic) : pic, bytes, alpha)) {
            std::fprintf(stderr, "orva-demo-gen: cannot encode %s\n", name.c_str());
            ok = false;
            return;
        }
        store(name, bytes, list1, name);
    };

    const std::map<std::string, TABitmap> backgrounds = PaintBackgrounds();
    for (const auto& [name, pic] : backgrounds) {
        if (name == std::string(kOverridden) + "_draft") continue;
        if (name == kOverridden) {
            // The finished picture goes to the second archive, the draft under its name to the first.
            if (!EncodePng(pic, bytes)) ok = false;
            store(name + ".png", bytes, list2, name + ".png");
            if (!EncodePng(backgrounds.at(name + "_draft"), bytes)) ok = false;
            store(name + ".png", bytes, list1, name + "_draft.png");
            continue;
        }
        picture(name + ".png", pic, false);
    }
    PaintCharacters(picture);
    PaintSystemPictures(backgrounds, picture);
    if (!MakeSounds([&](const std::string& name, const std::vector<uint8_t>& ogg) { store(name, ogg, list1, name); }))
        ok = false;

    std::ofstream(outDir / "data01.list", std::ios::trunc) << list1;
    std::ofstream(outDir / "data02.list", std::ios::trunc) << list2;
    return ok ? 0 : 1;
}
