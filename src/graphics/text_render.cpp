// Text drawing through FreeType: font files found by fontconfig (with the engine's name table
// and a Japanese fallback), unhinted outlines rendered to 8-bit coverage, kept per glyph.
#include "graphics/text_render.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <iostream>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "graphics/font_names.h"

namespace orva {
namespace {

// One rendered glyph: its coverage image and where it sits against the pen.
struct Glyph {
    int Left = 0, Top = 0;             // bitmap's offset from the pen on the baseline (Top upwards)
    int W = 0, H = 0;                  // bitmap size
    int32_t Advance = 0;               // 26.6 fixed point, unhinted
    std::vector<uint8_t> Coverage;     // W × H, 0 … 255
};

// Decodes the next code point of UTF-16 text; an unpaired surrogate reads as U+FFFD.
char32_t NextCodePoint(std::u16string_view text, size_t& i) {
    const char16_t c = text[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i++] - 0xDC00);
    if (c >= 0xD800 && c <= 0xDFFF) return 0xFFFD;
    return c;
}

bool SameFamily(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

// The file of the best font fontconfig offers for a pattern, with that font's family.
bool MatchFont(FcPattern* pattern, std::string& file, std::string& family, bool& japanese) {
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (!match) return false;
    FcChar8* path = nullptr;
    FcChar8* fam = nullptr;
    FcLangSet* langs = nullptr;
    const bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    if (ok) file = reinterpret_cast<const char*>(path);
    family = FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch ? reinterpret_cast<const char*>(fam) : "";
    japanese = FcPatternGetLangSet(match, FC_LANG, 0, &langs) == FcResultMatch &&
               FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    FcPatternDestroy(match);
    return ok;
}

// The font file for an engine font name: its family from the name table when installed, else
// any Japanese font. `substitute` tells which family was taken instead, when one was.
std::string FindFontFile(std::string_view engineName, std::string& substitute) {
    const std::string_view wanted = FontFamilyFor(engineName);
    std::string file, family;
    bool japanese = false;
    if (!wanted.empty()) {
        FcPattern* pattern = FcPatternCreate();
        const std::string w(wanted);
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(w.c_str()));
        const bool found = MatchFont(pattern, file, family, japanese);
        FcPatternDestroy(pattern);
        if (found && SameFamily(family, wanted)) return file;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    const bool found = MatchFont(pattern, file, family, japanese);
    FcPatternDestroy(pattern);
    if (!found) return {};
    substitute = family + (japanese ? "" : " (no Japanese font is installed)");
    return file;
}

}  // namespace

struct TTextRenderer::Impl {
    struct Face {
        std::string EngineName;        // the name the game asked for
        std::string File;              // "" when no file could be opened
        FT_Face Handle = nullptr;
        int SizeSet = 0;               // pixel size last given to FreeType
    };

    FT_Library Library = nullptr;
    std::vector<Face> Faces;
    int Current = -1;                  // index into Faces
    int Height = 0;
    bool Bold = false;
    std::unordered_map<uint64_t, Glyph> Cache;
    // Fonts that stand in for characters the current font lacks, found per character.
    std::vector<std::pair<std::string, FT_Face>> Fallbacks;  // file, face
    std::unordered_map<char32_t, int> FallbackFor;          // character → index into Fallbacks; -1 none

    ~Impl() {
        for (Face& f : Faces)
            if (f.Handle) FT_Done_Face(f.Handle);
        for (auto& fb : Fallbacks)
            if (fb.second) FT_Done_Face(fb.second);
        if (Library) FT_Done_FreeType(Library);
    }

    Face* CurrentFace() {
        if (Current < 0 || !Faces[static_cast<size_t>(Current)].Handle || Height <= 0) return nullptr;
        Face& f = Faces[static_cast<size_t>(Current)];
        if (f.SizeSet != Height) {
            FT_Set_Pixel_Sizes(f.Handle, 0, static_cast<FT_UInt>(Height));
            f.SizeSet = Height;
        }
        return &f;
    }

    const Glyph& GetGlyph(Face& f, char32_t cp) {
        const uint64_t key = static_cast<uint64_t>(Current) << 48 | static_cast<uint64_t>(Height) << 32 |
                             static_cast<uint64_t>(Bold) << 31 | cp;
        auto it = Cache.find(key);
        if (it != Cache.end()) return it->second;
        Glyph g;
        FT_Face face = f.Handle;
        FT_UInt index = FT_Get_Char_Index(face, cp);
        if (index == 0 && cp >= 0x20) {
            // The font lacks the character: another font that has it draws it at the same size.
            if (FT_Face other = FallbackFace(cp)) {
                face = other;
                FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(Height));
                index = FT_Get_Char_Index(face, cp);
            }
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
            FT_GlyphSlot slot = face->glyph;
            g.Advance = static_cast<int32_t>(slot->linearHoriAdvance >> 10);
            if (Bold) {
                FT_GlyphSlot_Embolden(slot);
                g.Advance += 64;  // synthetic bold widens every character by one pixel
            }
            if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bm = slot->bitmap;
                g.Left = slot->bitmap_left;
                g.Top = slot->bitmap_top;
                g.W = static_cast<int>(bm.width);
                g.H = static_cast<int>(bm.rows);
                g.Coverage.resize(static_cast<size_t>(g.W) * static_cast<size_t>(g.H));
                for (int row = 0; row < g.H; ++row) {
                    const int pitch = bm.pitch;
                    const uint8_t* src = pitch >= 0 ? bm.buffer + static_cast<ptrdiff_t>(row) * pitch
                                                    : bm.buffer + static_cast<ptrdiff_t>(g.H - 1 - row) * -pitch;
                    std::copy(src, src + g.W, g.Coverage.begin() + static_cast<ptrdiff_t>(row) * g.W);
                }
            }
        }
        return Cache.emplace(key, std::move(g)).first->second;
    }

    // The font fontconfig offers for a character, opened once per file; null when none has it.
    FT_Face FallbackFace(char32_t cp) {
        const auto known = FallbackFor.find(cp);
        if (known != FallbackFor.end()) return known->second < 0 ? nullptr : Fallbacks[static_cast<size_t>(known->second)].second;
        int found = -1;
        FcPattern* pattern = FcPatternCreate();
        FcCharSet* chars = FcCharSetCreate();
        FcCharSetAddChar(chars, cp);
        FcPatternAddCharSet(pattern, FC_CHARSET, chars);
        std::string file, family;
        bool japanese = false;
        if (MatchFont(pattern, file, family, japanese)) {
            for (size_t i = 0; i < Fallbacks.size() && found < 0; ++i)
                if (Fallbacks[i].first == file) found = static_cast<int>(i);
            if (found < 0) {
                FT_Face face = nullptr;
                if (FT_New_Face(Library, file.c_str(), 0, &face) != 0) face = nullptr;
                Fallbacks.emplace_back(file, face);
                found = static_cast<int>(Fallbacks.size() - 1);
            }
            FT_Face face = Fallbacks[static_cast<size_t>(found)].second;
            if (!face || FT_Get_Char_Index(face, cp) == 0) found = -1;
        }
        FcCharSetDestroy(chars);
        FcPatternDestroy(pattern);
        FallbackFor.emplace(cp, found);
        return found < 0 ? nullptr : Fallbacks[static_cast<size_t>(found)].second;
    }
};

TTextRenderer::TTextRenderer() : P(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&P->Library) != 0) {
        P->Library = nullptr;
        std::cerr << "orva: the font library could not be started; text is not drawn\n";
    }
}

TTextRenderer::~TTextRenderer() = default;

bool TTextRenderer::SetFont(std::string_view engineName, int height, bool bold) {
    P->Height = height;
    P->Bold = bold;
    for (size_t i = 0; i < P->Faces.size(); ++i)
        if (P->Faces[i].EngineName == engineName) {
            P->Current = static_cast<int>(i);
            return P->Faces[i].Handle != nullptr;
        }
    // First use of this name: find and open its file once.
    Impl::Face face;
    face.EngineName = std::string(engineName);
    if (P->Library) {
        std::string substitute;
        face.File = FindFontFile(engineName, substitute);
        if (!face.File.empty() && FT_New_Face(P->Library, face.File.c_str(), 0, &face.Handle) != 0) {
            face.Handle = nullptr;
            face.File.clear();
        }
        if (!face.Handle)
            std::cerr << "orva: no font could be opened for \"" << engineName << "\"; its text is not drawn\n";
        else if (!substitute.empty())
            std::cerr << "orva: font \"" << engineName << "\" is drawn with " << substitute << "\n";
    }
    P->Faces.push_back(std::move(face));
    P->Current = static_cast<int>(P->Faces.size() - 1);
    return P->Faces.back().Handle != nullptr;
}

int TTextRenderer::Ascent() {
    Impl::Face* f = P->CurrentFace();
    if (!f) return 0;
    const FT_Long a = FT_MulFix(f->Handle->ascender, f->Handle->size->metrics.y_scale);
    return static_cast<int>((a + 32) >> 6);
}

void TTextRenderer::TextOut(TABitmap& dest, int x, int y, std::u16string_view text, uint8_t r, uint8_t g, uint8_t b) {
    Impl::Face* f = P->CurrentFace();
    if (!f || !dest.IsReady()) return;
    const int baseline = y + Ascent();
    const int colour[3] = {b, g, r};
    int64_t pen = static_cast<int64_t>(x) * 64;  // 26.6
    for (size_t i = 0; i < text.size();) {
        const Glyph& gl = P->GetGlyph(*f, NextCodePoint(text, i));
        const int ox = static_cast<int>((pen + 32) >> 6) + gl.Left;
        const int oy = baseline - gl.Top;
        pen += gl.Advance;
        const int x0 = std::max(0, -ox), x1 = std::min(gl.W, dest.Width() - ox);
        const int y0 = std::max(0, -oy), y1 = std::min(gl.H, dest.Height() - oy);
        // Only the glyph's box is written; the picture's write tracking is told just that.
        if (x0 < x1 && y0 < y1) dest.NoteWritten(ox + x0, oy + y0, x1 - x0, y1 - y0);
        for (int row = y0; row < y1; ++row) {
            const uint8_t* cov = gl.Coverage.data() + static_cast<size_t>(row) * static_cast<size_t>(gl.W);
            // ox may be negative (a glyph reaching left of the picture); ox + col never is.
            uint8_t* d = const_cast<uint8_t*>(std::as_const(dest).Row(oy + row));
            for (int col = x0; col < x1; ++col) {
                const int a = cov[col];
                if (a == 0) continue;
                uint8_t* px = d + static_cast<size_t>(ox + col) * 4;
                for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>(px[c] + ((colour[c] - px[c]) * a + (colour[c] >= px[c] ? 127 : -127)) / 255);
            }
        }
    }
}

int TTextRenderer::TextWidth(std::u16string_view text) {
    Impl::Face* f = P->CurrentFace();
    if (!f) return 0;
    int64_t pen = 0;
    for (size_t i = 0; i < text.size();) pen += P->GetGlyph(*f, NextCodePoint(text, i)).Advance;
    return static_cast<int>((pen + 32) >> 6);
}

std::string TTextRenderer::FontFile() const {
    return P->Current < 0 ? std::string() : P->Faces[static_cast<size_t>(P->Current)].File;
}

std::string TTextRenderer::FamilyName() const {
    if (P->Current < 0) return {};
    const FT_Face face = P->Faces[static_cast<size_t>(P->Current)].Handle;
    return face && face->family_name ? face->family_name : "";
}

size_t TTextRenderer::CachedGlyphs() const { return P->Cache.size(); }

}  // namespace orva
