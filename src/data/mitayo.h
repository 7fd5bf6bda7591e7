// The seen-pictures list (MitayoList): its scrambled file form and its two queries.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

// The record file's bytes: each entry followed by CR LF, passed through the main form's
// XOR scrambler. An empty list gives an empty file.
std::vector<uint8_t> EncodeMitayoFile(const std::vector<std::string>& list);
// The inverse: unscramble and split into lines. Damaged bytes give whatever lines they hold.
std::vector<std::string> DecodeMitayoFile(std::span<const uint8_t> bytes);

// Appends name unless an entry equals it exactly (case-sensitive); order of first sight.
void AddMitayo(std::vector<std::string>& list, std::string_view name);
// True when an entry equals name with ASCII letters upper-cased on both sides (the trail
// byte of a double-byte character is not a letter and is compared as it is).
bool CheckMitayo(const std::vector<std::string>& list, std::string_view name);

}  // namespace orva
