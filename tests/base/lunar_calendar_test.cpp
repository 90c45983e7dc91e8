// Lunar dates, names and solar terms against known days.
#include "base/lunar_calendar.h"

#include <gtest/gtest.h>

namespace pt {
namespace {

LunarDate L(const CivilDate& d) { return ToLunar(d).value_or(LunarDate{}); }

TEST(LunarCalendarTest, KnownDaysAcrossTheRange) {
    struct Case {
        CivilDate civil;
        LunarDate lunar;
    } cases[] = {
        {{1901, 1, 1}, {1900, 11, 11, false}},   // before the 1901 new year
        {{1901, 2, 19}, {1901, 1, 1, false}},
        {{2026, 2, 16}, {2025, 12, 29, false}},  // new year's eve, 2026 starts next day
        {{2026, 2, 17}, {2026, 1, 1, false}},
        {{2026, 12, 8}, {2026, 10, 30, false}},
        {{2025, 7, 25}, {2025, 6, 1, true}},     // the leap sixth month of 2025
        {{2025, 8, 23}, {2025, 7, 1, false}},    // the month after a leap month
        {{2099, 12, 31}, {2099, 11, 20, false}},
    };
    for (const auto& c : cases) {
        const LunarDate got = L(c.civil);
        EXPECT_EQ(got.year, c.lunar.year) << c.civil.year << "-" << c.civil.month << "-" << c.civil.day;
        EXPECT_EQ(got.month, c.lunar.month) << c.civil.year << "-" << c.civil.month << "-" << c.civil.day;
        EXPECT_EQ(got.day, c.lunar.day) << c.civil.year << "-" << c.civil.month << "-" << c.civil.day;
        EXPECT_EQ(got.leap, c.lunar.leap) << c.civil.year << "-" << c.civil.month << "-" << c.civil.day;
    }
}

TEST(LunarCalendarTest, EveryDayFollowsTheDayBefore) {
    // Walks 1901-2099: each day is the next lunar day, or day 1 of the next
    // month after day 29 or 30; no day is lost or repeated.
    LunarDate prev = L({1901, 1, 1});
    CivilDate d{1901, 1, 2};
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int days = 0;
    while (d.year <= 2099) {
        auto cur = ToLunar(d);
        ASSERT_TRUE(cur) << d.year << "-" << d.month << "-" << d.day;
        if (cur->day != prev.day + 1) {
            ASSERT_EQ(cur->day, 1);
            ASSERT_TRUE(prev.day == 29 || prev.day == 30);
        }
        prev = *cur;
        ++days;
        const bool leapYear = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
        const int length = kLengths[d.month - 1] + (d.month == 2 && leapYear);
        if (++d.day > length) {
            d.day = 1;
            if (++d.month > 12) d.month = 1, ++d.year;
        }
    }
    EXPECT_EQ(days, 72683);
}

// Reference data from three lunar-calendar programs that share no code with
// the table's source (Debian's "lunar" for 1901-2049, "lunar-date" for
// 2050-2099, the "lunar-javascript" package throughout); they agreed on
// every date below.
//
// The lunar new year of 1901 + i, as month * 100 + day.
constexpr int kNewYears[] = {
        219, 208, 129, 216, 204, 125, 213, 202, 122, 210, 130, 218,
        206, 126, 214, 203, 123, 211, 201, 220, 208, 128, 216, 205,
        124, 213, 202, 123, 210, 130, 217, 206, 126, 214, 204, 124,
        211, 131, 219, 208, 127, 215, 205, 125, 213, 202, 122, 210,
        129, 217, 206, 127, 214, 203, 124, 212, 131, 218, 208, 128,
        215, 205, 125, 213, 202, 121, 209, 130, 217, 206, 127, 215,
        203, 123, 211, 131, 218, 207, 128, 216, 205, 125, 213, 202,
        220, 209, 129, 217, 206, 127, 215, 204, 123, 210, 131, 219,
        207, 128, 216, 205, 124, 212, 201, 122, 209, 129, 218, 207,
        126, 214, 203, 123, 210, 131, 219, 208, 128, 216, 205, 125,
        212, 201, 122, 210, 129, 217, 206, 126, 213, 203, 123, 211,
        131, 219, 208, 128, 215, 204, 124, 212, 201, 122, 210, 130,
        217, 206, 126, 214, 202, 123, 211, 201, 219, 208, 128, 215,
        204, 124, 212, 202, 121, 209, 129, 217, 205, 126, 214, 203,
        123, 211, 131, 219, 207, 127, 215, 205, 124, 212, 202, 122,
        209, 129, 217, 206, 126, 214, 203, 124, 210, 130, 218, 207,
        127, 215, 205, 125, 212, 201, 121,
};

// Every leap month of 1901-2099 and the day it begins.
struct LeapMonth {
    int lunarYear;
    int month;
    CivilDate begins;
};
constexpr LeapMonth kLeapMonths[] = {
        {1903, 5, {1903, 6, 25}}, {1906, 4, {1906, 5, 23}}, {1909, 2, {1909, 3, 22}}, {1911, 6, {1911, 7, 26}},
        {1914, 5, {1914, 6, 23}}, {1917, 2, {1917, 3, 23}}, {1919, 7, {1919, 8, 25}}, {1922, 5, {1922, 6, 25}},
        {1925, 4, {1925, 5, 22}}, {1928, 2, {1928, 3, 22}}, {1930, 6, {1930, 7, 26}}, {1933, 5, {1933, 6, 23}},
        {1936, 3, {1936, 4, 21}}, {1938, 7, {1938, 8, 25}}, {1941, 6, {1941, 7, 24}}, {1944, 4, {1944, 5, 22}},
        {1947, 2, {1947, 3, 23}}, {1949, 7, {1949, 8, 24}}, {1952, 5, {1952, 6, 22}}, {1955, 3, {1955, 4, 22}},
        {1957, 8, {1957, 9, 24}}, {1960, 6, {1960, 7, 24}}, {1963, 4, {1963, 5, 23}}, {1966, 3, {1966, 4, 21}},
        {1968, 7, {1968, 8, 24}}, {1971, 5, {1971, 6, 23}}, {1974, 4, {1974, 5, 22}}, {1976, 8, {1976, 9, 24}},
        {1979, 6, {1979, 7, 24}}, {1982, 4, {1982, 5, 23}}, {1984, 10, {1984, 11, 23}}, {1987, 6, {1987, 7, 26}},
        {1990, 5, {1990, 6, 23}}, {1993, 3, {1993, 4, 22}}, {1995, 8, {1995, 9, 25}}, {1998, 5, {1998, 6, 24}},
        {2001, 4, {2001, 5, 23}}, {2004, 2, {2004, 3, 21}}, {2006, 7, {2006, 8, 24}}, {2009, 5, {2009, 6, 23}},
        {2012, 4, {2012, 5, 21}}, {2014, 9, {2014, 10, 24}}, {2017, 6, {2017, 7, 23}}, {2020, 4, {2020, 5, 23}},
        {2023, 2, {2023, 3, 22}}, {2025, 6, {2025, 7, 25}}, {2028, 5, {2028, 6, 23}}, {2031, 3, {2031, 4, 22}},
        {2033, 11, {2033, 12, 22}}, {2036, 6, {2036, 7, 23}}, {2039, 5, {2039, 6, 22}}, {2042, 2, {2042, 3, 22}},
        {2044, 7, {2044, 8, 23}}, {2047, 5, {2047, 6, 23}}, {2050, 3, {2050, 4, 21}}, {2052, 8, {2052, 9, 23}},
        {2055, 6, {2055, 7, 24}}, {2058, 4, {2058, 5, 22}}, {2061, 3, {2061, 4, 20}}, {2063, 7, {2063, 8, 24}},
        {2066, 5, {2066, 6, 23}}, {2069, 4, {2069, 5, 21}}, {2071, 8, {2071, 9, 24}}, {2074, 6, {2074, 7, 24}},
        {2077, 4, {2077, 5, 22}}, {2080, 3, {2080, 4, 20}}, {2082, 7, {2082, 8, 24}}, {2085, 5, {2085, 6, 22}},
        {2088, 4, {2088, 5, 21}}, {2090, 8, {2090, 9, 24}}, {2093, 6, {2093, 7, 23}}, {2096, 4, {2096, 5, 22}},
        {2099, 2, {2099, 3, 22}},
};

TEST(LunarCalendarTest, NewYearOfEveryYearMatchesTheReference) {
    static_assert(sizeof(kNewYears) / sizeof(kNewYears[0]) == 199);
    for (int i = 0; i < 199; ++i) {
        const CivilDate day{1901 + i, kNewYears[i] / 100, kNewYears[i] % 100};
        const LunarDate got = L(day);
        EXPECT_EQ(got.year, day.year) << day.year;
        EXPECT_EQ(got.month, 1) << day.year;
        EXPECT_EQ(got.day, 1) << day.year;
        EXPECT_FALSE(got.leap) << day.year;
        // And the day before still belongs to the old year.
        CivilDate eve = day;
        if (--eve.day == 0) {
            eve.month = 1;
            eve.day = 31;
        }
        EXPECT_EQ(L(eve).year, day.year - 1) << day.year;
        EXPECT_EQ(L(eve).month, 12) << day.year;
    }
}

TEST(LunarCalendarTest, EveryLeapMonthMatchesTheReference) {
    EXPECT_EQ(sizeof(kLeapMonths) / sizeof(kLeapMonths[0]), 73u);
    for (const LeapMonth& m : kLeapMonths) {
        const LunarDate got = L(m.begins);
        EXPECT_EQ(got.year, m.lunarYear) << m.lunarYear;
        EXPECT_EQ(got.month, m.month) << m.lunarYear;
        EXPECT_EQ(got.day, 1) << m.lunarYear;
        EXPECT_TRUE(got.leap) << m.lunarYear;
        EXPECT_EQ(FooterDateText(m.begins).find(MonthName(m.month, true) + "初一") != std::string::npos, true)
            << m.lunarYear;
    }
    // No other month of the range is a leap month.
    int leapFirstDays = 0;
    for (int y = 1901; y <= 2099; ++y)
        for (int mo = 1; mo <= 12; ++mo)
            for (int d = 1; d <= 31; ++d) {
                auto lunar = ToLunar({y, mo, d});
                if (lunar && lunar->leap && lunar->day == 1) ++leapFirstDays;
            }
    EXPECT_EQ(leapFirstDays, 73);
}

TEST(LunarCalendarTest, NamesAndText) {
    EXPECT_EQ(YearName(2026), "丙午年（马）");
    EXPECT_EQ(YearName(1984), "甲子年（鼠）");
    EXPECT_EQ(MonthName(1, false), "正月");
    EXPECT_EQ(MonthName(12, false), "腊月");
    EXPECT_EQ(MonthName(6, true), "闰六月");
    EXPECT_EQ(DayName(1), "初一");
    EXPECT_EQ(DayName(10), "初十");
    EXPECT_EQ(DayName(15), "十五");
    EXPECT_EQ(DayName(20), "二十");
    EXPECT_EQ(DayName(21), "廿一");
    EXPECT_EQ(DayName(30), "三十");
    EXPECT_EQ(Weekday({2026, 12, 8}), 2);
    EXPECT_EQ(FooterDateText({2026, 12, 8}), "丙午年（马） 十月三十 周二");
    EXPECT_EQ(FooterDateText({1900, 12, 31}), "");
    EXPECT_EQ(FooterDateText({2100, 1, 1}), "");
    EXPECT_EQ(FooterDateText({2026, 2, 30}), "");
}

TEST(LunarCalendarTest, SolarTermsFallOnTheirDays) {
    EXPECT_EQ(SolarTerm({2026, 2, 4}), "立春");
    EXPECT_EQ(SolarTerm({2026, 12, 7}), "大雪");
    EXPECT_EQ(SolarTerm({2026, 12, 22}), "冬至");
    EXPECT_EQ(SolarTerm({2024, 3, 20}), "春分");
    EXPECT_EQ(SolarTerm({2026, 12, 8}), "");
    EXPECT_EQ(FooterDateText({2026, 12, 22}).find("冬至") != std::string::npos, true);
    // 24 terms a year, each once.
    int count = 0;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= 31; ++d)
            if (!SolarTerm({2030, m, d}).empty()) ++count;
    EXPECT_EQ(count, 24);
}

}  // namespace
}  // namespace pt
