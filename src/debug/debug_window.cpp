// TDebugForm: layout, scrolling and drawing of the debug window.
#include "debug/debug_window.h"

#include <algorithm>

#include "graphics/font_names.h"

namespace orva {
namespace {

constexpr int kFontPx = 12;                    // labels, buttons and memos
constexpr int kLineH = 13;                     // memo line pitch
constexpr int kBar = 14;                       // scroll bar thickness
constexpr TDebugForm::Rect kMemo1{0, 40, 720, 118};
constexpr TDebugForm::Rect kMemo2{0, 160, 721, 57};
constexpr int kScrollStepPx = 160;             // one click on the horizontal bar

// Button1 … Button6: place and caption.
struct ButtonDef {
    TDebugForm::Rect Place;
    const char16_t* Caption;
};
constexpr ButtonDef kButtons[TDebugForm::kButtonCount] = {
    {{648, 8, 65, 25}, u"FLG表示"},  {{576, 8, 65, 25}, u"MSG履歴"},   {{360, 8, 65, 25}, u"Album ON"},
    {{432, 8, 65, 25}, u"Album OFF"}, {{504, 8, 65, 25}, u"Album RND"}, {{328, 8, 27, 25}, u"RT"},
};

// The memo's text area inside its sunken border and scroll bars.
TDebugForm::Rect Memo1Text() { return {kMemo1.X + 2, kMemo1.Y + 2, kMemo1.W - 4 - kBar, kMemo1.H - 4 - kBar}; }
TDebugForm::Rect Memo1VBar() { return {kMemo1.X + kMemo1.W - 2 - kBar, kMemo1.Y + 2, kBar, kMemo1.H - 4 - kBar}; }
TDebugForm::Rect Memo1HBar() { return {kMemo1.X + 2, kMemo1.Y + kMemo1.H - 2 - kBar, kMemo1.W - 4 - kBar, kBar}; }
TDebugForm::Rect Memo2Text() { return {kMemo2.X + 2, kMemo2.Y + 2, kMemo2.W - 4 - kBar, kMemo2.H - 4}; }
TDebugForm::Rect Memo2VBar() { return {kMemo2.X + kMemo2.W - 2 - kBar, kMemo2.Y + 2, kBar, kMemo2.H - 4}; }
int Memo2VisibleRows() { return Memo2Text().H / kLineH; }

void Frame(TABitmap& out, const TDebugForm::Rect& r, uint8_t light, uint8_t dark) {
    out.FillRect(r.X, r.Y, r.W, 1, dark, dark, dark);
    out.FillRect(r.X, r.Y, 1, r.H, dark, dark, dark);
    out.FillRect(r.X, r.Y + r.H - 1, r.W, 1, light, light, light);
    out.FillRect(r.X + r.W - 1, r.Y, 1, r.H, light, light, light);
}

// A scroll bar track with its thumb: `first` of `total` units in view, `shown` units visible.
void ScrollBar(TABitmap& out, const TDebugForm::Rect& r, bool vertical, int first, int shown, int total) {
    out.FillRect(r.X, r.Y, r.W, r.H, 230, 230, 230);
    const int length = vertical ? r.H : r.W;
    int thumb = length, pos = 0;
    if (total > shown && total > 0) {
        thumb = std::max(10, length * shown / total);
        pos = (length - thumb) * first / std::max(1, total - shown);
    }
    if (vertical) out.FillRect(r.X + 2, r.Y + pos, r.W - 4, thumb, 170, 170, 170);
    else out.FillRect(r.X + pos, r.Y + 2, thumb, r.H - 4, 170, 170, 170);
}

}  // namespace

TDebugForm::TDebugForm(const std::string& mainCaption, const std::string& version) {
    CaptionText = "Debug Window : " + mainCaption + " Ver." + version;
}

void TDebugForm::SetLabels(const std::u16string& label1, const std::u16string& label2) {
    if (label1 == Label1Text && label2 == Label2Text) return;
    Label1Text = label1;
    Label2Text = label2;
    Dirty = true;
}

void TDebugForm::SetMemo1(std::vector<std::u16string> lines) {
    Memo1Lines = std::move(lines);
    Memo1Row = Memo1Col = 0;
    Memo1Width = -1;  // measured at the next paint
    Dirty = true;
}

void TDebugForm::AddMemo2(std::u16string line) {
    Memo2Lines.push_back(std::move(line));
    Memo2Row = std::max(0, int(Memo2Lines.size()) - Memo2VisibleRows());
    Dirty = true;
}

int TDebugForm::ButtonAt(Point p) {
    for (int i = 0; i < kButtonCount; ++i)
        if (kButtons[i].Place.Contains(p)) return i + 1;
    return 0;
}

TDebugForm::Rect TDebugForm::ButtonRect(int button) { return kButtons[button - 1].Place; }
const char16_t* TDebugForm::ButtonCaption(int button) { return kButtons[button - 1].Caption; }

int TDebugForm::Memo1VisibleRows() const { return Memo1Text().H / kLineH; }

void TDebugForm::ScrollMemo1(int rows, int pixels) {
    const int maxRow = std::max(0, int(Memo1Lines.size()) - Memo1VisibleRows());
    const int maxCol = std::max(0, Memo1Width - Memo1Text().W);
    const int row = std::clamp(Memo1Row + rows, 0, maxRow);
    const int col = std::clamp(Memo1Col + pixels, 0, maxCol);
    if (row == Memo1Row && col == Memo1Col) return;
    Memo1Row = row;
    Memo1Col = col;
    Dirty = true;
}

int TDebugForm::MouseDown(Point p) {
    if (const int button = ButtonAt(p)) return button;
    const Rect v = Memo1VBar(), h = Memo1HBar(), v2 = Memo2VBar();
    const int page = std::max(1, Memo1VisibleRows() - 1);
    if (v.Contains(p)) ScrollMemo1(p.Y < v.Y + v.H / 2 ? -page : page, 0);
    else if (h.Contains(p)) ScrollMemo1(0, p.X < h.X + h.W / 2 ? -kScrollStepPx : kScrollStepPx);
    else if (v2.Contains(p)) {
        const int maxRow = std::max(0, int(Memo2Lines.size()) - Memo2VisibleRows());
        const int row = std::clamp(Memo2Row + (p.Y < v2.Y + v2.H / 2 ? -1 : 1), 0, maxRow);
        if (row != Memo2Row) {
            Memo2Row = row;
            Dirty = true;
        }
    }
    return 0;
}

void TDebugForm::MouseWheel(int direction) { ScrollMemo1(direction > 0 ? -3 : 3, 0); }

void TDebugForm::Paint(TTextRenderer& text, TABitmap& out) {
    if (out.Width() != kWidth || out.Height() != kHeight) out.SetSize32(kWidth, kHeight);
    out.FillColor(240, 240, 240);

    text.SetFont(kFontPGothic, kFontPx);
    text.TextOut(out, 8, 8, Label1Text, 0, 0, 0);
    text.TextOut(out, 8, 24, Label2Text, 0, 0, 0);
    for (int i = 0; i < kButtonCount; ++i) {
        const Rect& r = kButtons[i].Place;
        out.FillRect(r.X, r.Y, r.W, r.H, 225, 225, 225);
        Frame(out, r, 100, 255);
        const int w = text.TextWidth(kButtons[i].Caption);
        text.TextOut(out, r.X + (r.W - w) / 2, r.Y + (r.H - kFontPx) / 2, kButtons[i].Caption, 0, 0, 0);
    }

    // The memos are drawn into their own pictures so that text stays inside them.
    text.SetFont(kFontGothic, kFontPx);
    if (Memo1Width < 0) {
        Memo1Width = 0;
        for (const auto& line : Memo1Lines) Memo1Width = std::max(Memo1Width, text.TextWidth(line));
        Memo1Col = std::min(Memo1Col, std::max(0, Memo1Width - Memo1Text().W));
    }
    auto drawMemo = [&](const Rect& area, const std::vector<std::u16string>& lines, int firstRow, int col) {
        TABitmap pane(area.W, area.H);
        pane.FillColor(255, 255, 255);
        for (int row = 0; row * kLineH < area.H && firstRow + row < int(lines.size()); ++row)
            text.TextOut(pane, 1 - col, row * kLineH, lines[size_t(firstRow + row)], 0, 0, 0);
        pane.CopyRect(area.X, area.Y, area.W, area.H, 0, 0, out);
    };
    const Rect m1 = Memo1Text(), m2 = Memo2Text();
    out.FillRect(kMemo1.X, kMemo1.Y, kMemo1.W, kMemo1.H, 255, 255, 255);
    Frame(out, kMemo1, 255, 130);
    drawMemo(m1, Memo1Lines, Memo1Row, Memo1Col);
    ScrollBar(out, Memo1VBar(), true, Memo1Row, Memo1VisibleRows(), int(Memo1Lines.size()));
    ScrollBar(out, Memo1HBar(), false, Memo1Col, m1.W, std::max(Memo1Width, m1.W));
    out.FillRect(Memo1VBar().X, Memo1HBar().Y, kBar, kBar, 240, 240, 240);

    out.FillRect(kMemo2.X, kMemo2.Y, kMemo2.W, kMemo2.H, 255, 255, 255);
    Frame(out, kMemo2, 255, 130);
    drawMemo(m2, Memo2Lines, Memo2Row, 0);
    ScrollBar(out, Memo2VBar(), true, Memo2Row, Memo2VisibleRows(), int(Memo2Lines.size()));
    Dirty = false;
}

}  // namespace orva
