// Screenshots on the main form: F12 (or the gamepad's X) saves the picture last presented in
// the main window, unscaled, as a PNG in the pictures folder's orva/ folder.
#include <cstdlib>
#include <iostream>

#include "app/main_form.h"
#include "app/screenshot.h"
#include "data/file_io.h"
#include "graphics/png_write.h"

namespace orva {
namespace {

constexpr int32_t kShotNoticeTicks = 300;   // the notice lasts about three seconds

}  // namespace

void TForm1::CheckScreenshotKey() {
    // One shot per press, however long the key is held.
    const bool down = Plat.Foreground() != WindowId::None && Plat.KeyDown(Key::F12);
    if (down && !ScreenshotKeyHeld) TakeScreenshot();
    ScreenshotKeyHeld = down;
}

bool TForm1::TakeScreenshot() {
    auto fail = [this](const std::string& why) {
        std::cerr << "orva: the screenshot could not be saved: " << why << "\n";
        Timing.ShowStatus(u"スクリーンショットを保存できませんでした", kShotNoticeTicks);
        return false;
    };
    TABitmap frame;
    if (!Plat.PresentedPicture(WindowId::Main, frame)) return fail("nothing has been shown yet");
    const std::filesystem::path pictures = PicturesDir(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (pictures.empty()) return fail("no pictures folder (HOME is not set)");
    const std::filesystem::path folder = pictures / "orva";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return fail("cannot create " + folder.string() + ": " + ec.message());

    const std::time_t now = Plat.WallClock();
    std::tm local{};
    localtime_r(&now, &local);
    const std::filesystem::path path = ScreenshotPath(folder, local);
    std::vector<uint8_t> png;
    std::string why;
    if (!EncodePng(frame, png)) return fail("the picture could not be encoded");
    if (!WriteFileAtomic(path, png, why)) return fail(path.string() + ": " + why);
    Trace.Event("screenshot", TraceFields().Str("path", path.string()));
    Timing.ShowStatus(u"スクリーンショットを保存しました", kShotNoticeTicks);
    return true;
}

}  // namespace orva
