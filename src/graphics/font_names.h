// The engine's font names and the installed families that stand for them. The game asks for
// its fonts by their Japanese names; fontconfig knows no aliases for them, so this table does.
#pragma once

#include <string_view>

namespace orva {

// Engine font names (UTF-8), as the message, choice and status drawing ask for them.
inline constexpr std::string_view kFontMincho = "ＭＳ 明朝";
inline constexpr std::string_view kFontGothic = "ＭＳ ゴシック";
inline constexpr std::string_view kFontPGothic = "ＭＳ Ｐゴシック";
inline constexpr std::string_view kFontPMincho = "ＭＳ Ｐ明朝";  // proportional: translations in Latin type

// The fontconfig family installed for an engine font name; empty when the name is unknown.
std::string_view FontFamilyFor(std::string_view engineName);

}  // namespace orva
