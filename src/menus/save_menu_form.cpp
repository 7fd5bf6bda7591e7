// The save and load menu (its entering and waiting modes), its comment field, and the
// save-into-slot and load-from-slot operations that the window buttons' quick save and quick
// load use as well.
//
// [SECTION] slots: save, load, thumbnails
// [SECTION] the menu: enter, wait, draw
// [SECTION] the comment field
#include <cstring>
#include <iostream>

#include "app/main_form.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "graphics/font_names.h"
#include "menus/menu_layout.h"
#include "menus/save_slots.h"
#include "menus/thumbnail.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {


// Offsets from a slot's top-left to its texts, thumbnail and comment field.
constexpr Point kLabelAt{116, 10}, kTimeAt{228, 11}, kCommentAt{116, 35}, kThumbAt{4, 4}, kEditAt{116, 34};

Point Offset(Point a, Point b) { return {a.X + b.X, a.Y + b.Y}; }

std::string FieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

}  // namespace

// [SECTION] slots: save, load, thumbnails -----------------------------------------------------

std::filesystem::path TForm1::ThumbnailPath(int slot) const {
    return GetAppDataPath() / "THUMB" / ("SAVE" + std::to_string(slot) + ".dat");
}

bool TForm1::SaveToSlot(int slot) {
    if (slot < 1 || slot > kSaveSlots) return false;
    Game.InUse = 1;
    Game.SaveTime = DateTimeOf(Plat.WallClock());
    Sys->SaveSlots[slot - 1] = Game;
    Trace.Event("save", TraceFields().Int("slot", slot));

    // The slot is safe in memory from here on; the files follow, each replaced whole.
    // A save folder that cannot be written has been reported once by the save file; the
    // thumbnail is not tried then.
    if (!NOVL_CreateSaveFile()) return false;
    std::string error;
    const std::vector<uint8_t> thumb = EncodeThumbnail(MakeThumbnail(Pics->ScenePicture));
    if (WriteFileAtomic(ThumbnailPath(slot), thumb, error)) return true;
    std::cerr << "orva: the thumbnail of slot " << slot << " was not written (the save itself was): " << error << "\n";
    return false;
}

bool TForm1::LoadFromSlot(int slot) {
    if (slot < 1 || slot > kSaveSlots || !SlotUsed(Sys->SaveSlots[slot - 1])) return false;
    Game = Sys->SaveSlots[slot - 1];
    RollbackClear();
    // The command that was interrupted (a message or a choice) runs again.
    Game.ScriptStep -= 1;
    EngineMode = Mode::Restore;
    Trace.Event("load", TraceFields().Int("slot", slot));
    return true;
}

void TForm1::OpenSaveMenu(bool save) {
    Menus.SaveMenuJumpToNewest = 1;
    Menus.SaveMenuPage = 1;
    Menus.SaveMenuIsSave = save ? 1 : 0;
    PrevMode = EngineMode;
    EngineMode = Mode::SaveMenuEnter;
}

// [SECTION] the menu: enter, wait, draw -------------------------------------------------------

void TForm1::NOVL_DispSaveMenu() {
    PictureSet& p = *Pics;
    // Start from black so a missing background never keeps the texts of an earlier opening.
    p.MenuPicture.SetSize32(kScreenWidth, kScreenHeight);
    p.MenuPicture.FillColor(0, 0, 0);
    NOVL_ReadGraphic2011(71, "SysSave.png");
    NOVL_ReadGraphic2011(72, "SysSaveP.png");

    const int newest = NewestSave(Sys->SaveSlots);
    if (Menus.SaveMenuJumpToNewest && newest != 0) Menus.SaveMenuPage = (newest - 1) / kSlotsPerPage + 1;
    if (Menus.SaveMenuPage < 1 || Menus.SaveMenuPage > kSavePages) Menus.SaveMenuPage = 1;

    TTextRenderer& text = TextRenderer();
    for (int i = 1; i <= kSlotsPerPage; ++i) {
        const int n = kSlotsPerPage * (Menus.SaveMenuPage - 1) + i;
        const GameRec& slot = Sys->SaveSlots[n - 1];
        const Point at = SaveSlotPlace(i);

        text.SetFont(kFontGothic, 14, true);
        const Point label = Offset(at, kLabelAt);
        text.TextOut(p.MenuPicture, label.X, label.Y, Utf8ToUtf16(SlotLabel(n)), 255, 255, 255);
        if (SlotUsed(slot)) {
            const Point when = Offset(at, kTimeAt);
            text.SetFont(kFontGothic, 10, true);
            text.TextOut(p.MenuPicture, when.X, when.Y, Utf8ToUtf16(FormatSaveTime(slot.SaveTime)), 255, 255, 255);
            const std::string comment = FieldText(slot.Comment, sizeof slot.Comment);
            if (!comment.empty()) {
                const Point c = Offset(at, kCommentAt);
                text.SetFont(kFontGothic, 14, true);
                text.TextOut(p.MenuPicture, c.X, c.Y, Cp932ToUtf16(comment), 0, 0, 0);
            }
        }
        const Point thumbAt = Offset(at, kThumbAt);
        if (const auto bytes = ReadWholeFile(ThumbnailPath(n))) {
            TABitmap thumb;
            if (DecodeThumbnail(*bytes, thumb)) thumb.CopyRect(thumbAt.X, thumbAt.Y, kThumbWidth, kThumbHeight, 0, 0, p.MenuPicture);
        }
        if (n == newest) p.MenuParts.DrawAlpha(thumbAt.X, thumbAt.Y, 32, 16, 352, 256, p.MenuPicture);
    }
    p.MenuParts.DrawAlpha(32, 0, 256, 64, 352, Menus.SaveMenuIsSave ? 128 : 192, p.MenuPicture);
    Menus.SaveMenuSelected = 0;
    EngineMode = Mode::SaveMenuWait;
}

namespace {

void HideCommentEdit(TCommentEdit& edit, Platform& plat) {
    edit.Clear();
    edit.Enabled = edit.Visible = false;
    plat.SetTextInput(false);
}

}  // namespace

void TForm1::NOVL_WaitSaveMenu() {
    if (Input.MouseLeftRelease) {
        Input.ConsumeRelease();
    }
    Menus.MenuHover = SaveMenuHitTest(Input.CursorMain);
    if (!Input.MouseLeftClick) return;
    Input.ConsumeClick();

    const int hover = Menus.MenuHover;
    const int page = Menus.SaveMenuPage;
    // A second click on the selected slot confirms.
    if (Menus.SaveMenuSelected != 0 && Menus.SaveMenuSelected == hover) {
        const int n = kSlotsPerPage * (page - 1) + hover;
        if (Menus.SaveMenuIsSave) {
            // A save from the menu starts the slot with an empty comment; the quick save keeps
            // whatever comment the game carries.
            CommentEdit.Clear();
            Game.Comment[0] = '\0';
            SaveToSlot(n);
            EngineMode = Mode::SaveMenuEnter;
        } else {
            HideCommentEdit(CommentEdit, Plat);
            LoadFromSlot(n);
        }
    }
    if (hover >= 1 && hover <= kSlotsPerPage) {
        HideCommentEdit(CommentEdit, Plat);
        const int n = kSlotsPerPage * (page - 1) + hover;
        if (Menus.SaveMenuIsSave || SlotUsed(Sys->SaveSlots[n - 1])) Menus.SaveMenuSelected = hover;
    } else if (hover >= kHoverFirstTab && hover < kHoverFirstTab + kSavePages) {
        Menus.SaveMenuJumpToNewest = 0;
        Menus.SaveMenuPage = hover - kHoverFirstTab + 1;
        EngineMode = Mode::SaveMenuEnter;
    } else if (hover == kHoverCommentButton) {
        if (Menus.SaveMenuSelected == 0) return;
        const GameRec& slot = Sys->SaveSlots[kSlotsPerPage * (page - 1) + Menus.SaveMenuSelected - 1];
        if (!SlotUsed(slot)) return;
        CommentEdit.Pos = Offset(SaveSlotPlace(Menus.SaveMenuSelected), kEditAt);
        CommentEdit.SetText(std::string_view(slot.Comment, sizeof slot.Comment));
        CommentEdit.Enabled = CommentEdit.Visible = true;
        Plat.SetTextInputArea(CommentEdit.Pos, TCommentEdit::kWidth, TCommentEdit::kHeight);
        Plat.SetTextInput(true);
    } else if (hover == kHoverBackButton) {
        HideCommentEdit(CommentEdit, Plat);
        EngineMode = PrevMode;
    }
}

void TForm1::NOVL_DrawSaveMenu() {
    if (EngineMode != Mode::SaveMenuWait) return;
    PictureSet& p = *Pics;
    p.MenuPicture.DrawAlpha(0, 0, kScreenWidth, kScreenHeight, 0, 0, p.MenuScreen);
    const int hover = Menus.MenuHover;
    if (hover >= 1 && hover <= kSlotsPerPage) {
        const Point at = SaveSlotPlace(hover);
        p.MenuParts.DrawAlphaOpacity(at.X, at.Y, 352, 80, 0, 128, p.MenuScreen, 64);
    }
    if (Menus.SaveMenuSelected >= 1 && Menus.SaveMenuSelected <= kSlotsPerPage) {
        const Point at = SaveSlotPlace(Menus.SaveMenuSelected);
        p.MenuParts.DrawAlpha(at.X, at.Y, 352, 80, 0, 208, p.MenuScreen);
    }
    for (int k = 1; k <= kSavePages; ++k) {
        const int state = (k == Menus.SaveMenuPage ? 64 : 0) + (hover == kHoverFirstTab + k - 1 ? 32 : 0);
        p.MenuParts.DrawAlpha(32 + 40 * (k - 1), 544, 40, 32, 40 * (k - 1), state, p.MenuScreen);
    }
    p.MenuParts.DrawAlpha(568, 544, 96, 32, 400, hover == kHoverCommentButton ? 32 : 0, p.MenuScreen);
    p.MenuParts.DrawAlpha(672, 544, 96, 32, 592, hover == kHoverBackButton ? 32 : 0, p.MenuScreen);

    // The comment field: white, borderless, the text in black with the input method's
    // composition underlined after it and the caret at the end.
    if (!CommentEdit.Visible) return;
    const Point at = CommentEdit.Pos;
    p.MenuScreen.FillRect(at.X, at.Y, TCommentEdit::kWidth, TCommentEdit::kHeight, 255, 255, 255);
    TTextRenderer& text = TextRenderer();
    text.SetFont(kFontGothic, 14, true);
    const std::u16string typed = Cp932ToUtf16(CommentEdit.Text);
    const std::u16string composing = Utf8ToUtf16(CommentEdit.Composition);
    const int x = at.X + 2, y = at.Y + 3;
    text.TextOut(p.MenuScreen, x, y, typed, 0, 0, 0);
    const int typedW = text.TextWidth(typed);
    int caretX = x + typedW;
    if (!composing.empty()) {
        text.TextOut(p.MenuScreen, caretX, y, composing, 0, 0, 0);
        const int w = text.TextWidth(composing);
        p.MenuScreen.FillRect(caretX, y + 15, w, 1, 0, 0, 0);
        caretX += w;
    }
    if (caretX < at.X + TCommentEdit::kWidth) p.MenuScreen.FillRect(caretX, y, 1, 15, 0, 0, 0);
}

// [SECTION] the comment field -----------------------------------------------------------------

void TForm1::CommentEditKeyPress(char& key) {
    if (key != 13) return;
    key = 0;
    if (!CommentEdit.Visible) return;
    const int selected = Menus.SaveMenuSelected;
    if (selected >= 1 && selected <= kSlotsPerPage) {
        GameRec& slot = Sys->SaveSlots[kSlotsPerPage * (Menus.SaveMenuPage - 1) + selected - 1];
        std::memset(slot.Comment, 0, sizeof slot.Comment);
        std::memcpy(slot.Comment, CommentEdit.Text.data(), std::min(CommentEdit.Text.size(), sizeof slot.Comment - 1));
    }
    CommentEdit.Composition.clear();
    CommentEdit.Visible = CommentEdit.Enabled = false;
    Plat.SetTextInput(false);
    EngineMode = Mode::SaveMenuEnter;
}

void TForm1::OnTextInput(const std::string& utf8) {
    if (!CommentEdit.Visible || !CommentEdit.Enabled) return;
    CommentEdit.Composition.clear();
    size_t from = 0;
    while (from <= utf8.size()) {
        const size_t cr = utf8.find('\r', from);
        CommentEdit.Type(std::string_view(utf8).substr(from, cr == std::string::npos ? std::string::npos : cr - from));
        if (cr == std::string::npos) break;
        char key = 13;
        CommentEditKeyPress(key);
        if (!CommentEdit.Visible) break;
        from = cr + 1;
    }
}

void TForm1::OnTextComposition(const std::string& utf8) {
    if (CommentEdit.Visible && CommentEdit.Enabled) CommentEdit.Composition = utf8;
}

}  // namespace orva
