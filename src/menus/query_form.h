// TQueryForm: the yes/no confirmation dialog (320×128), shown modally over the main window.
// Its yes button sits at (32, 64) and its no button at (168, 64), each 120×40; a 320×32
// question strip at (0, 24) says what is asked.
#pragma once

#include <cstdint>

#include "graphics/abitmap.h"
#include "menus/img_btn.h"
#include "platform/platform.h"

namespace orva {

// The question strips' rows in the dialog's parts picture.
enum class QueryStrip : int { Title = 96, Quit = 128 };

class TQueryForm {
public:
    static constexpr int kWidth = 320, kHeight = 128;
    static constexpr int kButtonY = 64, kButtonW = 120, kButtonH = 40;
    static constexpr int kYesX = 32, kNoX = 168;
    static constexpr int kStripY = 24, kStripH = 32;
    static constexpr const char* kCaption = "確認";   // the dialog window's title (UTF-8)

    TQueryForm();

    // Builds the dialog from its background ("SysQuery.png") and its parts picture
    // ("SysQueryP.png": the buttons' looks and the question strips). A picture that is missing
    // (null or empty) leaves the plain built-in look in its place.
    void FormCreate(const TABitmap* background, const TABitmap* parts);

    // Prepares the dialog before a modal show: QueryResult := 0, the strip copied into Image1.
    void Open(QueryStrip strip);
    void Open() { Open(QueryStrip::Quit); }
    // Mouse events in the dialog's client coordinates; MouseMove gives the cursor's place.
    void MouseMove(Point p);
    void MouseDown(MouseButton button, Point p);
    void MouseUp(MouseButton button, Point p);
    bool Answered() const { return Done; }
    void Answer(uint8_t result) { QueryResult = result; Done = true; }
    void ImgBtn1Click() { Answer(1); }
    void ImgBtn2Click() { Answer(0); }

    // The dialog as it looks now: Image1 with both buttons over it.
    const TABitmap& Screen();

    uint8_t QueryResult = 0;   // 1 yes, 0 no
    TABitmap Image1;           // the dialog's background with the current question (320×128)
    TImgBtn ImgBtn1, ImgBtn2;  // yes, no

private:
    TABitmap Background;       // Image1 before any strip
    TABitmap Parts;            // the parts picture the dialog owns (may be empty)
    TABitmap Composed;         // Screen()'s result
    bool Done = false;
};

}  // namespace orva
