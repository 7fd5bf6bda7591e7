// The script disassembler: compiled scripts back to the assembler's text form, always in
// a form that assembles to the identical bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "script/script_image.h"

namespace orva {

// Source text for one script image under number (with an empty name).
std::string DisassembleScript(const ScriptImage& image, int number);
std::string DisassembleScript(const ScriptImage& image, int number, std::string_view name);

// Source text for one stored entry. The most readable form that assembles back to the
// entry's exact bytes is chosen: labels, files and texts by name where that reproduces
// the lists, explicit lists and keys where it does not, raw lines for odd lines, and
// .raw bytes for an entry that does not read as a script. listedEmpty: a size-0 entry
// that the container lists (written ".script N "name" empty").
std::string DisassembleEntry(std::span<const uint8_t> entry, int number, std::string_view name,
                             bool listedEmpty = false);

// Source text for a whole SCRIPT.DAT image: every stored script in number order, plus
// .names / .container-header when the container's own differ from what a build derives.
// False with error set when the bytes are not a container. warning is set (and the text
// still produced) when a build of the text would lay the container out differently.
bool DisassembleContainer(std::span<const uint8_t> container, std::string& out, std::string& error,
                          std::string& warning);

// The text of entry `number` alone; false when the container or entry is missing.
bool DisassembleContainerEntry(std::span<const uint8_t> container, int number, std::string& out,
                               std::string& error);

}  // namespace orva
