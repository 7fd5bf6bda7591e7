// The game-data check (`orva --check`): reads a game folder and the save folder without playing
// or changing anything, and reports what would go wrong in play.
#pragma once

#include <filesystem>
#include <ostream>
#include <string_view>

namespace orva {

// Characters of a shown message (a script's text or a translation's) that do not fit in the
// window's three lines, laid out as play lays it out in the wider of the configuration's two
// fonts.
size_t ShownMessageDropped(std::u16string_view shown);

// Writes the report to out. Returns 0 when nothing is wrong (notes and warnings allowed), 1 when
// problems were found, 2 when the folder holds no readable script container. With a
// translation catalog the report also says what of the game it leaves untranslated, which of
// its entries no longer match the game, and which translated messages do not fit the window.
int RunGameCheck(const std::filesystem::path& gameDir, const std::filesystem::path& saveDir, std::ostream& out,
                 const std::filesystem::path& translation = {});

}  // namespace orva
