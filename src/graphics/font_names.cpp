// The one table from engine font names to installed font families.
#include "graphics/font_names.h"

namespace orva {
namespace {

struct FontNameRow {
    std::string_view EngineName;  // what the game asks for
    std::string_view Family;      // the fontconfig family drawn instead
};

constexpr FontNameRow kFontNames[] = {
    {kFontMincho, "IPAMincho"},
    {kFontGothic, "IPAGothic"},
    {kFontPGothic, "IPAPGothic"},
    {kFontPMincho, "IPAPMincho"},
};

}  // namespace

std::string_view FontFamilyFor(std::string_view engineName) {
    for (const FontNameRow& row : kFontNames)
        if (row.EngineName == engineName) return row.Family;
    return {};
}

}  // namespace orva
