// The save folder and the two system record files: "SAVE.DAT" (the byte image of SystemBlock)
// and "SAVE2.DAT" (the scrambled seen-pictures list). Every write replaces the file atomically;
// a system save file of the wrong size is kept aside, never overwritten.
#include <cstring>
#include <ctime>
#include <iostream>
#include <system_error>

#include "app/main_form.h"
#include "data/file_io.h"
#include "data/mitayo.h"

namespace orva {
namespace {

constexpr const char* kSaveFile = "SAVE.DAT";
constexpr const char* kSaveFile2 = "SAVE2.DAT";

}  // namespace

bool TForm1::EnsureSaveFolders() {
    std::error_code ec;
    std::filesystem::create_directories(GetAppDataPath() / "THUMB", ec);
    if (ec) {
        std::cerr << "orva: cannot create the save folder " << (GetAppDataPath() / "THUMB").string() << ": "
                  << ec.message() << "\n";
        return false;
    }
    return true;
}

bool TForm1::NOVL_CheckSaveFile() {
    EnsureSaveFolders();
    std::error_code ec;
    return std::filesystem::exists(GetAppDataPath() / kSaveFile, ec);
}

bool TForm1::NOVL_CreateSaveFile() {
    // Without the save folder the write cannot succeed, and EnsureSaveFolders has said why.
    std::error_code ec;
    if (!EnsureSaveFolders() && !std::filesystem::is_directory(GetAppDataPath(), ec)) return false;
    std::string error;
    const auto* bytes = reinterpret_cast<const uint8_t*>(Sys.get());
    if (!WriteFileAtomic(GetAppDataPath() / kSaveFile, {bytes, kSystemBlockSize}, error)) {
        std::cerr << "orva: cannot write the save file " << (GetAppDataPath() / kSaveFile).string() << ": " << error
                  << "\n";
        return false;
    }
    return true;
}

bool TForm1::NOVL_ReadSaveFile() {
    EnsureSaveFolders();
    const auto path = GetAppDataPath() / kSaveFile;
    const auto bytes = ReadWholeFile(path);
    if (bytes && bytes->size() == kSystemBlockSize) {
        std::memcpy(Sys.get(), bytes->data(), kSystemBlockSize);
        return true;
    }
    // Keep the damaged file aside under a new name so that nothing the player had is lost.
    const auto aside = path.string() + ".damaged-" + std::to_string(std::time(nullptr));
    std::error_code ec;
    std::filesystem::rename(path, aside, ec);
    std::cerr << "orva: the save file " << path.string() << " is "
              << (bytes ? "of the wrong size (" + std::to_string(bytes->size()) + " bytes, expected " +
                              std::to_string(kSystemBlockSize) + ")"
                        : std::string("unreadable"))
              << "; " << (ec ? "it could not be moved aside" : "it was kept as " + aside)
              << " and the game starts with defaults\n";
    return false;
}

bool TForm1::NOVL_CheckSaveFile2() {
    EnsureSaveFolders();
    std::error_code ec;
    return std::filesystem::exists(GetAppDataPath() / kSaveFile2, ec);
}

bool TForm1::NOVL_CreateSaveFile2() {
    EnsureSaveFolders();
    std::string error;
    if (!WriteFileAtomic(GetAppDataPath() / kSaveFile2, EncodeMitayoFile(MitayoList), error)) {
        std::cerr << "orva: cannot write " << (GetAppDataPath() / kSaveFile2).string() << ": " << error << "\n";
        return false;
    }
    return true;
}

bool TForm1::NOVL_ReadSaveFile2() {
    EnsureSaveFolders();
    const auto bytes = ReadWholeFile(GetAppDataPath() / kSaveFile2);
    if (!bytes) {
        std::cerr << "orva: cannot read " << (GetAppDataPath() / kSaveFile2).string() << "\n";
        return false;
    }
    MitayoList = DecodeMitayoFile(*bytes);
    return true;
}

void TForm1::AddMitayo(std::string_view name) { orva::AddMitayo(MitayoList, name); }

bool TForm1::CheckMitayo(std::string_view name) const { return orva::CheckMitayo(MitayoList, name); }

}  // namespace orva
