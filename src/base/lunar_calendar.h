// The Chinese lunar calendar for the panel's date footer: Gregorian dates
// from 1901 to 2099 to lunar year, month and day, the year's stem, branch and
// animal, the 24 solar terms, and the footer's text.
#pragma once

#include <optional>
#include <string>

namespace pt {

struct CivilDate {
    int year = 0;
    int month = 0;  // 1-12
    int day = 0;    // 1-31
};

struct LunarDate {
    int year = 0;   // the lunar year, named by the Gregorian year it starts in
    int month = 0;  // 1-12
    int day = 0;    // 1-30
    bool leap = false;
};

// Nothing outside 1901-01-01 .. 2099-12-31 or for an impossible date.
std::optional<LunarDate> ToLunar(const CivilDate& date);

// "丙午年（马）" for 2026.
std::string YearName(int lunarYear);
// "闰六月", "正月", "腊月".
std::string MonthName(int month, bool leap);
// "初一" .. "三十".
std::string DayName(int day);
// The solar term that begins on this day in China's time zone, or empty.
std::string SolarTerm(const CivilDate& date);
// 0 = Sunday .. 6 = Saturday.
int Weekday(const CivilDate& date);

// The footer's text, for example "丙午年（马） 十月三十 周二", with the solar
// term before the weekday on the day it begins; empty outside 1901-2099.
std::string FooterDateText(const CivilDate& date);

}  // namespace pt
