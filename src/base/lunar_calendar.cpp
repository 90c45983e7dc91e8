// Lunar calendar from a per-year table (lunar_table.inc); solar terms from the
// sun's apparent longitude, low-precision formulas (about 0.01°, so a term
// that begins within a few minutes of midnight may land on the next day).
#include "base/lunar_calendar.h"

#include <cmath>
#include <cstdint>

namespace pt {
namespace {

constexpr uint32_t kYears[] = {
#include "base/lunar_table.inc"
};
constexpr int kFirstYear = 1900;
constexpr int kYearCount = sizeof(kYears) / sizeof(kYears[0]);
static_assert(kYearCount == 2100 - kFirstYear, "one word per lunar year 1900-2099");

constexpr const char* kStems[] = {"庚", "辛", "壬", "癸", "甲", "乙", "丙", "丁", "戊", "己"};
constexpr const char* kBranches[] = {"申", "酉", "戌", "亥", "子", "丑",
                                     "寅", "卯", "辰", "巳", "午", "未"};
constexpr const char* kAnimals[] = {"猴", "鸡", "狗", "猪", "鼠", "牛",
                                    "虎", "兔", "龙", "蛇", "马", "羊"};
constexpr const char* kMonths[] = {"正", "二", "三", "四", "五", "六",
                                   "七", "八", "九", "十", "冬", "腊"};
constexpr const char* kDigits[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
constexpr const char* kWeekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
// By the sun's longitude, from 0° (the March equinox) in steps of 15°.
constexpr const char* kTerms[] = {"春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至", "小暑",
                                  "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬",
                                  "小雪", "大雪", "冬至", "小寒", "大寒", "立春", "雨水", "惊蛰"};

// Days since 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool ValidDate(const CivilDate& date) {
    if (date.month < 1 || date.month > 12 || date.day < 1)
        return false;
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leapYear = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    const int length = kLengths[date.month - 1] + (date.month == 2 && leapYear ? 1 : 0);
    return date.day <= length;
}

int MonthCount(uint32_t word) {
    return ((word >> 13) & 0xF) ? 13 : 12;
}

long NewYearDay(int lunarYear) {
    const uint32_t word = kYears[lunarYear - kFirstYear];
    return DaysFromCivil(lunarYear, 1, 1) + static_cast<long>((word >> 17) & 0x3F);
}

// The sun's apparent longitude in degrees at a Julian day.
double SunLongitude(double jd) {
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    const double t = (jd - 2451545.0) / 36525.0;
    const double l0 = 280.46646 + 36000.76983 * t + 0.0003032 * t * t;
    const double m = (357.52911 + 35999.05029 * t - 0.0001537 * t * t) * kRad;
    const double c = (1.914602 - 0.004817 * t - 0.000014 * t * t) * std::sin(m) +
                     (0.019993 - 0.000101 * t) * std::sin(2 * m) + 0.000289 * std::sin(3 * m);
    const double omega = (125.04 - 1934.136 * t) * kRad;
    const double lambda = l0 + c - 0.00569 - 0.00478 * std::sin(omega);
    return std::fmod(std::fmod(lambda, 360.0) + 360.0, 360.0);
}

bool InRange(const CivilDate& date) {
    return ValidDate(date) && date.year >= 1901 && date.year <= 2099;
}

}  // namespace

std::optional<LunarDate> ToLunar(const CivilDate& date) {
    if (!InRange(date))
        return std::nullopt;
    const long day = DaysFromCivil(date.year, date.month, date.day);
    int year = date.year;
    if (day < NewYearDay(year))
        --year;
    long offset = day - NewYearDay(year);
    const uint32_t word = kYears[year - kFirstYear];
    const int leapMonth = static_cast<int>((word >> 13) & 0xF);
    const int count = MonthCount(word);
    for (int i = 0; i < count; ++i) {
        const long length = (word >> i) & 1 ? 30 : 29;
        if (offset < length) {
            LunarDate lunar;
            lunar.year = year;
            // Months before the leap month keep their number; the leap month
            // repeats the one before it; later ones are one behind their slot.
            if (leapMonth && i > leapMonth) {
                lunar.month = i;
            } else if (leapMonth && i == leapMonth) {
                lunar.month = leapMonth;
                lunar.leap = true;
            } else {
                lunar.month = i + 1;
            }
            lunar.day = static_cast<int>(offset) + 1;
            return lunar;
        }
        offset -= length;
    }
    return std::nullopt;  // not reached with a consistent table
}

std::string YearName(int lunarYear) {
    const int y = ((lunarYear % 60) + 60) % 60;
    return std::string(kStems[y % 10]) + kBranches[y % 12] + "年（" + kAnimals[y % 12] + "）";
}

std::string MonthName(int month, bool leap) {
    if (month < 1 || month > 12)
        return {};
    return std::string(leap ? "闰" : "") + kMonths[month - 1] + "月";
}

std::string DayName(int day) {
    if (day < 1 || day > 30)
        return {};
    if (day <= 10)
        return std::string("初") + kDigits[day - 1];
    if (day < 20)
        return std::string("十") + kDigits[day - 11];
    if (day == 20)
        return "二十";
    if (day < 30)
        return std::string("廿") + kDigits[day - 21];
    return "三十";
}

std::string SolarTerm(const CivilDate& date) {
    if (!InRange(date))
        return {};
    // Midnight in China (UTC+8) as a Julian day.
    const double start = 2440587.5 +
                         static_cast<double>(DaysFromCivil(date.year, date.month, date.day)) -
                         8.0 / 24.0;
    const int before = static_cast<int>(SunLongitude(start) / 15.0);
    const int after = static_cast<int>(SunLongitude(start + 1.0) / 15.0);
    if (before == after)
        return {};
    return kTerms[after % 24];
}

int Weekday(const CivilDate& date) {
    const long days = DaysFromCivil(date.year, date.month, date.day);
    return static_cast<int>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
}

std::string FooterDateText(const CivilDate& date) {
    auto lunar = ToLunar(date);
    if (!lunar)
        return {};
    std::string text =
        YearName(lunar->year) + " " + MonthName(lunar->month, lunar->leap) + DayName(lunar->day);
    const std::string term = SolarTerm(date);
    if (!term.empty())
        text += " " + term;
    text += std::string(" 周") + kWeekdays[Weekday(date)];
    return text;
}

}  // namespace pt
