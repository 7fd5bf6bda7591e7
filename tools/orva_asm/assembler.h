// The script assembler: the text form of compiled scripts (see docs/script-format.md)
// turned into script entries, with diagnostics that name file, line and column.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/script_image.h"

namespace orva {

struct Diagnostic {
    std::string File;
    int Line = 0;    // from 1
    int Column = 0;  // from 1, in characters
    std::string Message;

    // "file:line:column: error: message"
    std::string Format() const;
};

// One script of a source.
struct AssembledScript {
    int Number = 0;            // container entry number, 1..65535
    std::string Name;          // CP932 name for the container's name list
    bool Empty = false;        // stored as a listed entry of size 0
    bool IsRaw = false;        // stored as the bytes of Raw, unread
    std::vector<uint8_t> Raw;  // with IsRaw
    ScriptImage Image;         // otherwise
    std::string File;          // where .script stood, for later diagnostics
    int Line = 0;

    // The entry's bytes as the container stores them.
    std::vector<uint8_t> EntryBytes() const;
};

// Everything one source file holds: its scripts and the container-wide settings.
struct AssembledSource {
    std::vector<AssembledScript> Scripts;
    std::optional<std::vector<std::string>> Names;          // .names: the whole name list
    std::optional<std::array<uint8_t, 16>> ContainerHeader;  // .container-header
    std::string File;
    int NamesLine = 0, HeaderLine = 0;
};

// Assembles a source holding any number of scripts. On error returns false, appends
// every diagnostic found to errors and leaves out unspecified.
bool AssembleSource(std::string_view source, const std::string& fileName, AssembledSource& out,
                    std::vector<Diagnostic>& errors);

// Assembles a source that holds exactly one script and no container settings.
bool AssembleScript(std::string_view source, const std::string& fileName, AssembledScript& out,
                    std::vector<Diagnostic>& errors);

// The container name list derived from scripts: line n-1 names script n, lines of
// numbers without a script are empty, and the list ends with the highest number.
std::vector<std::string> DeriveNameList(const std::vector<const AssembledScript*>& scripts);

// Builds SCRIPT.DAT bytes from the sources. Fails (diagnostics in errors, out untouched)
// on a script number used twice, container settings given twice, or a container that
// cannot be laid out.
bool BuildContainerFromSources(const std::vector<AssembledSource>& sources, std::vector<uint8_t>& out,
                               std::vector<Diagnostic>& errors);

}  // namespace orva
