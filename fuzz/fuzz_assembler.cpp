// Fuzz target: the assembler's parser. A source that assembles must build a container whose
// disassembly builds back to the same bytes.
#include <cstdlib>
#include <string_view>

#include "orva_asm/assembler.h"
#include "orva_asm/disassembler.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    AssembledSource assembled;
    std::vector<Diagnostic> errors;
    if (!AssembleSource(source, "fuzz.txt", assembled, errors)) return 0;
    std::vector<uint8_t> container;
    if (!BuildContainerFromSources({assembled}, container, errors)) return 0;
    std::string text, error, warning;
    if (!DisassembleContainer(container, text, error, warning)) std::abort();
    if (!warning.empty()) return 0;
    AssembledSource again;
    std::vector<uint8_t> rebuilt;
    if (!AssembleSource(text, "dis.txt", again, errors) || !BuildContainerFromSources({again}, rebuilt, errors) ||
        rebuilt != container)
        std::abort();
    return 0;
}
