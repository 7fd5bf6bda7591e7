// orva-asm: assembles script sources into SCRIPT.DAT and disassembles SCRIPT.DAT back
// into sources that build the identical bytes.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "data/file_io.h"
#include "orva_asm/assembler.h"
#include "orva_asm/disassembler.h"

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  orva-asm build SRC.txt... -o SCRIPT.DAT   assemble sources into a script container\n"
    "  orva-asm dis SCRIPT.DAT [N] [-o OUT.txt]  print the sources of all scripts, or of script N\n";

int Build(const std::vector<std::string>& args) {
    std::vector<std::string> inputs;
    std::string output;
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "-o") {
            if (k + 1 >= args.size()) {
                std::fprintf(stderr, "orva-asm: -o needs a file name\n");
                return 2;
            }
            output = args[++k];
        } else {
            inputs.push_back(args[k]);
        }
    }
    if (inputs.empty() || output.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::vector<orva::AssembledSource> sources;
    std::vector<orva::Diagnostic> errors;
    for (const auto& input : inputs) {
        auto bytes = orva::ReadWholeFile(input);
        if (!bytes) {
            errors.push_back({input, 0, 0, "cannot read the file"});
            continue;
        }
        orva::AssembledSource source;
        const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        if (orva::AssembleSource(text, input, source, errors)) sources.push_back(std::move(source));
    }
    std::vector<uint8_t> container;
    if (errors.empty()) orva::BuildContainerFromSources(sources, container, errors);
    if (!errors.empty()) {
        for (const auto& e : errors) std::fprintf(stderr, "%s\n", e.Format().c_str());
        std::fprintf(stderr, "orva-asm: %zu error(s); %s not written\n", errors.size(), output.c_str());
        return 1;
    }
    std::string error;
    if (!orva::WriteFileAtomic(output, container, error)) {
        std::fprintf(stderr, "orva-asm: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int Dis(const std::vector<std::string>& args) {
    std::string input, output;
    int number = 0;
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "-o" && k + 1 < args.size()) {
            output = args[++k];
        } else if (input.empty()) {
            input = args[k];
        } else if (number == 0) {
            char* end = nullptr;
            const long v = std::strtol(args[k].c_str(), &end, 10);
            if (!end || *end || v < 1 || v > 65535) {
                std::fprintf(stderr, "orva-asm: script number must be 1..65535, not '%s'\n", args[k].c_str());
                return 2;
            }
            number = int(v);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (input.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    auto bytes = orva::ReadWholeFile(input);
    if (!bytes) {
        std::fprintf(stderr, "orva-asm: cannot read %s\n", input.c_str());
        return 1;
    }
    std::string text, error, warning;
    const bool ok = number ? orva::DisassembleContainerEntry(*bytes, number, text, error)
                           : orva::DisassembleContainer(*bytes, text, error, warning);
    if (!ok) {
        std::fprintf(stderr, "orva-asm: %s: %s\n", input.c_str(), error.c_str());
        return 1;
    }
    if (!warning.empty()) std::fprintf(stderr, "orva-asm: warning: %s: %s\n", input.c_str(), warning.c_str());
    if (output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (!orva::WriteFileAtomic(output, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error)) {
        std::fprintf(stderr, "orva-asm: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "build") return Build(args);
    if (command == "dis") return Dis(args);
    std::fprintf(stderr, "orva-asm: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
}
