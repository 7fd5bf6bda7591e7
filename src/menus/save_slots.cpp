// Newest save, slot labels and save times.
#include "menus/save_slots.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace orva {
namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr int64_t kEpochOffset = 25569;  // days from 1899-12-30 to 1970-01-01
constexpr int64_t kMsPerDay = 86400000;

}  // namespace

int NewestSave(std::span<const GameRec> slots) {
    int newest = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!SlotUsed(slots[i])) continue;
        if (newest == 0 || slots[i].SaveTime > slots[static_cast<size_t>(newest - 1)].SaveTime)
            newest = static_cast<int>(i) + 1;
    }
    return newest;
}

std::string SlotLabel(int slot) {
    if (slot == kQuickSaveSlot) return "Quick Save";
    return (slot < 10 ? "No.0" : "No.") + std::to_string(slot);
}

double DateTimeFromTm(const std::tm& t) {
    const int64_t days = DaysFromCivil(t.tm_year + 1900, static_cast<unsigned>(t.tm_mon + 1),
                                       static_cast<unsigned>(t.tm_mday)) + kEpochOffset;
    const double seconds = t.tm_hour * 3600.0 + t.tm_min * 60.0 + t.tm_sec;
    return static_cast<double>(days) + seconds / 86400.0;
}

std::tm TmFromDateTime(double days) {
    std::tm t{};
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) days = 0;  // a damaged slot shows 1899-12-30
    // Rounded to the millisecond first, so 0.9999999 of a second does not show as the one before.
    const auto ms = static_cast<int64_t>(std::llround(days * static_cast<double>(kMsPerDay)));
    int64_t day = ms / kMsPerDay, rest = ms % kMsPerDay;
    if (rest < 0) { rest += kMsPerDay; --day; }
    int y, m, d;
    CivilFromDays(day - kEpochOffset, y, m, d);
    t.tm_year = y - 1900;
    t.tm_mon = m - 1;
    t.tm_mday = d;
    const auto secs = static_cast<int>(rest / 1000);
    t.tm_hour = secs / 3600;
    t.tm_min = secs / 60 % 60;
    t.tm_sec = secs % 60;
    t.tm_wday = static_cast<int>(((day - kEpochOffset) % 7 + 11) % 7);  // 1970-01-01 was a Thursday
    return t;
}

double DateTimeOf(std::time_t now) {
    std::tm t{};
    localtime_r(&now, &t);
    return DateTimeFromTm(t);
}

std::string FormatSaveTime(double days, const std::string& locale) {
    const std::tm t = TmFromDateTime(days);
    // The time locale's name as the C library chooses it: LC_ALL, then LC_TIME, then LANG.
    std::string name = locale;
    if (name.empty())
        for (const char* var : {"LC_ALL", "LC_TIME", "LANG"})
            if (const char* v = std::getenv(var); v && *v) {
                name = v;
                break;
            }
    if (name.rfind("ja", 0) == 0) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                      t.tm_hour, t.tm_min, t.tm_sec);
        return buf;
    }
    locale_t loc = newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (!loc) loc = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    char buf[128];
    const size_t n = loc ? strftime_l(buf, sizeof buf, "%x %X", &t, loc) : 0;
    if (loc) freelocale(loc);
    return std::string(buf, n);
}

}  // namespace orva
