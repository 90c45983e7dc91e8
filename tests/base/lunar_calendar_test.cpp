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
