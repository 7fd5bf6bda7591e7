// The seen-pictures list: file encoding through EZXor1's configuration, and its queries.
#include "data/mitayo.h"

#include <algorithm>

#include "data/cp932.h"
#include "data/ezxor.h"
#include "data/memory_stream.h"
#include "data/text_lines.h"

namespace orva {

namespace {
std::vector<uint8_t> RunMainFormXor(std::vector<uint8_t> bytes) {
    TEZXor xorer;
    ConfigureMainFormXor(xorer);
    TMemoryStream source(std::move(bytes));
    TMemoryStream result;
    xorer.Execute(source, result);  // memory streams never fall short
    return std::move(result.Bytes());
}
}  // namespace

std::vector<uint8_t> EncodeMitayoFile(const std::vector<std::string>& list) {
    const std::string text = JoinTextLines(list);
    return RunMainFormXor(std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<std::string> DecodeMitayoFile(std::span<const uint8_t> bytes) {
    const std::vector<uint8_t> plain = RunMainFormXor(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return SplitTextLines(plain);
}

void AddMitayo(std::vector<std::string>& list, std::string_view name) {
    if (std::find(list.begin(), list.end(), name) == list.end()) list.emplace_back(name);
}

bool CheckMitayo(const std::vector<std::string>& list, std::string_view name) {
    const std::string wanted = Cp932UpperAscii(name);
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& entry) { return Cp932UpperAscii(entry) == wanted; });
}

}  // namespace orva
