// TDebugForm: the developer's window of 720×220 with two status lines, six buttons, the listing
// memo and the memo of picture read errors, drawn into a picture with the engine's own text
// renderer. It knows nothing of the main form: the form fills it and acts on its buttons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/abitmap.h"
#include "graphics/text_render.h"
#include "platform/platform.h"

namespace orva {

class TDebugForm {
public:
    static constexpr int kWidth = 720, kHeight = 220;  // client area
    static constexpr int kButtonCount = 6;              // Button1 … Button6

    struct Rect {
        int X, Y, W, H;
        bool Contains(Point p) const { return p.X >= X && p.X < X + W && p.Y >= Y && p.Y < Y + H; }
    };

    // `mainCaption` is the main window's caption, `version` the program's version ("0.1.0").
    TDebugForm(const std::string& mainCaption, const std::string& version);

    // The window's caption: "Debug Window : " + main caption + " Ver." + version.
    const std::string& Caption() const { return CaptionText; }

    void SetLabels(const std::u16string& label1, const std::u16string& label2);
    const std::u16string& Label1() const { return Label1Text; }
    const std::u16string& Label2() const { return Label2Text; }

    // Memo1 holds the last listing; a new one is shown from its top-left.
    void SetMemo1(std::vector<std::u16string> lines);
    const std::vector<std::u16string>& Memo1() const { return Memo1Lines; }
    // Memo2 collects notices and keeps its newest line in view.
    void AddMemo2(std::u16string line);
    const std::vector<std::u16string>& Memo2() const { return Memo2Lines; }

    // The button (1 … 6) under a point of the client area, 0 for none.
    static int ButtonAt(Point p);
    static Rect ButtonRect(int button);
    static const char16_t* ButtonCaption(int button);

    // A click: returns the button pressed (the caller runs its handler), or 0; a click on a
    // memo's scroll bar scrolls it.
    int MouseDown(Point p);
    // The wheel scrolls the listing memo three lines (+1 up, -1 down).
    void MouseWheel(int direction);

    // Whether anything changed since the last Paint.
    bool NeedsPaint() const { return Dirty; }
    // Draws the whole window into `out` (resized to 720×220).
    void Paint(TTextRenderer& text, TABitmap& out);

    int Memo1Top() const { return Memo1Row; }       // first listing line in view
    int Memo1Left() const { return Memo1Col; }      // pixels scrolled to the right

private:
    void ScrollMemo1(int rows, int pixels);
    int Memo1VisibleRows() const;

    std::string CaptionText;
    std::u16string Label1Text, Label2Text;
    std::vector<std::u16string> Memo1Lines, Memo2Lines;
    int Memo1Row = 0, Memo1Col = 0, Memo2Row = 0;
    int Memo1Width = 0;     // widest listing line in pixels (measured at paint)
    bool Dirty = true;
};

}  // namespace orva
