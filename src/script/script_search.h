// Pure searches and records over a loaded script: label and block-end search, the
// read-text bits (kidoku) and the scene-replay queue. Every scan is bounded by its span.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "script/line_rec.h"

namespace orva {

// Index of the label line for name: the first LabelNames entry equal to name (as 16-bit
// characters, case-sensitive) gives the label number; the first line from 0 whose code's
// low byte is 0x4E with that P1 is the result. -1 when the name is unknown, when an end
// line (low byte 0xFF) comes first, or when the scan leaves the span or line 32767.
int16_t GetLabelStepIn(std::span<const LineRec> lines, const std::vector<std::string>& labelNames,
                       std::u16string_view name);

// Index of the next else (0x7E) or block-end (0x7F) line with P1 = key after scriptStep;
// -1 when an end line comes first or the scan leaves the span or line 32767.
int16_t GetElseStepIn(std::span<const LineRec> lines, int32_t scriptStep, int16_t key);

// The read-text record: 15 blocks of 16384 bytes used, one per script 0..14; message m
// of script n is bit (m mod 8) of byte n*16384 + m/8.
constexpr size_t kKidokuTblSize = 262144;
constexpr int kKidokuBlockSize = 16384;
constexpr int kKidokuScripts = 15;

// Whether message msgNo of script scriptNo is marked. Scripts outside 0..14, negative
// message numbers, numbers past the script's block and bytes outside the span read as
// unread.
bool CheckKidokuIn(std::span<const uint8_t> kidokuTbl, int scriptNo, int msgNo);
// Marks the message; numbers CheckKidokuIn reads as unread are not recorded.
void MarkKidokuIn(std::span<uint8_t> kidokuTbl, int scriptNo, int msgNo);

// The scene-replay queue: entries 1..120 (entry 0 unused); 0 ends the queue.
constexpr int kSceneTblEntries = 120;
// Queues script: -1 when already queued (also for script 0 while entry 1 is free), its
// position 1..120 when stored in the first free entry, 0 when the queue is full.
int32_t AddSceneTblIn(std::span<int32_t, kSceneTblEntries + 1> tbl, int32_t script);
// The first position 1..120 holding script, else -1.
int32_t GetSceneTblIn(std::span<const int32_t, kSceneTblEntries + 1> tbl, int32_t script);

}  // namespace orva
