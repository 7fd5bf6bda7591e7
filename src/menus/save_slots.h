// The save slots as the save menu sees them: which is the newest, their labels, their save
// times (days since 1899-12-30 with the time of day as the fraction) and how a time is shown.
#pragma once

#include <cstdint>
#include <ctime>
#include <span>
#include <string>

#include "data/save_layout.h"

namespace orva {

// A slot holds a game when its in-use byte is set.
inline bool SlotUsed(const GameRec& slot) { return slot.InUse != 0; }

// The slot number (1-based) of the used slot with the latest save time; on equal times the
// lower number wins. 0 when no slot is used.
int NewestSave(std::span<const GameRec> slots);

// "No.01" … "No.09", "No.10" … "No.99", "Quick Save" for slot 100.
std::string SlotLabel(int slot);

// A local calendar time as a day count, and back (rounded to the millisecond).
double DateTimeFromTm(const std::tm& t);
std::tm TmFromDateTime(double days);
// A calendar time (std::time) as a local day count.
double DateTimeOf(std::time_t now);

// A save time in the short date and long time form of the time locale `locale` ("" takes it
// from the environment as the C library does): "yyyy/mm/dd h:mm:ss" for a Japanese locale
// (whether or not it is installed), the locale's own "%x %X" otherwise. UTF-8.
std::string FormatSaveTime(double days, const std::string& locale = "");

}  // namespace orva
