// TQueryForm: the yes/no confirmation dialog (320×128), shown modally over the main window.
// Its yes button sits at (32, 64) and its no button at (168, 64), each 120×40.
#pragma once

#include <cstdint>

#include "graphics/abitmap.h"
#include "platform/platform.h"

namespace orva {

class TQueryForm {
public:
    static constexpr int kWidth = 320, kHeight = 128;
    static constexpr int kButtonY = 64, kButtonW = 120, kButtonH = 40;
    static constexpr int kYesX = 32, kNoX = 168;

    TQueryForm();

    // Prepares the dialog before a modal show: QueryResult := 0, not yet answered.
    void Open();
    // Mouse events in the dialog's client coordinates. A button is pressed by a left down and
    // up both on it.
    void MouseDown(MouseButton button, Point p);
    void MouseUp(MouseButton button, Point p);
    bool Answered() const { return Done; }
    void Answer(uint8_t result) { QueryResult = result; Done = true; }

    uint8_t QueryResult = 0;   // 1 yes, 0 no
    TABitmap Image1;           // what the dialog shows (320×128)

private:
    static int ButtonAt(Point p);  // 1 yes, 2 no, 0 none
    void Paint();
    int Held = 0;              // the button the left button went down on
    bool Done = false;
};

}  // namespace orva
