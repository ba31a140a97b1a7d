// The lunar calendar tables for 1900..2100 and the conversions over them.
//
// Year and cumulative lengths are derived from the info words at compile time, so the three
// tables can never drift apart; the 25-year skip table is kept as published and checked against
// the derived lengths by the unit tests.
#include "clock/calendar/lunar.h"

#include <array>

#include "forms/gbk.h"

namespace {

constexpr int kYearCount = kLunarLastYear - kLunarFirstYear + 1;

// One word per lunar year: leap-month code in bits 0-3, month sizes in bits 15 (month 1) down to
// 4 (month 12). Four words differ from the long-circulated table, which swaps the lengths of two
// neighbouring months in each of those years against the official calendar: 1906 (months 3 and
// 4), 1914 (9 and 10), 2089 (7 and 8) and 2097 (6 and 7). Year lengths and leap months are the
// same either way; only the first day of the later month of each pair moves by one day.
constexpr uint16_t kYearInfo[kYearCount] = {
    0x4BD8, 0x4AE0, 0xA570, 0x54D5, 0xD260, 0xD950, 0x6554, 0x56AF, 0x9AD0, 0x55D2,  // 1900
    0x4AE0, 0xA5B6, 0xA4D0, 0xD250, 0xD255, 0xB54F, 0xD6A0, 0xADA2, 0x95B0, 0x4977,  // 1910
    0x497F, 0xA4B0, 0xB4B5, 0x6A50, 0x6D40, 0xAB54, 0x2B6F, 0x9570, 0x52F2, 0x4970,  // 1920
    0x6566, 0xD4A0, 0xEA50, 0x6A95, 0x5ADF, 0x2B60, 0x86E3, 0x92EF, 0xC8D7, 0xC95F,  // 1930
    0xD4A0, 0xD8A6, 0xB55F, 0x56A0, 0xA5B4, 0x25DF, 0x92D0, 0xD2B2, 0xA950, 0xB557,  // 1940
    0x6CA0, 0xB550, 0x5355, 0x4DAF, 0xA5B0, 0x4573, 0x52BF, 0xA9A8, 0xE950, 0x6AA0,  // 1950
    0xAEA6, 0xAB50, 0x4B60, 0xAAE4, 0xA570, 0x5260, 0xF263, 0xD950, 0x5B57, 0x56A0,  // 1960
    0x96D0, 0x4DD5, 0x4AD0, 0xA4D0, 0xD4D4, 0xD250, 0xD558, 0xB540, 0xB6A0, 0x95A6,  // 1970
    0x95BF, 0x49B0, 0xA974, 0xA4B0, 0xB27A, 0x6A50, 0x6D40, 0xAF46, 0xAB60, 0x9570,  // 1980
    0x4AF5, 0x4970, 0x64B0, 0x74A3, 0xEA50, 0x6B58, 0x5AC0, 0xAB60, 0x96D5, 0x92E0,  // 1990
    0xC960, 0xD954, 0xD4A0, 0xDA50, 0x7552, 0x56A0, 0xABB7, 0x25D0, 0x92D0, 0xCAB5,  // 2000
    0xA950, 0xB4A0, 0xBAA4, 0xAD50, 0x55D9, 0x4BA0, 0xA5B0, 0x5176, 0x52BF, 0xA930,  // 2010
    0x7954, 0x6AA0, 0xAD50, 0x5B52, 0x4B60, 0xA6E6, 0xA4E0, 0xD260, 0xEA65, 0xD530,  // 2020
    0x5AA0, 0x76A3, 0x96D0, 0x4AFB, 0x4AD0, 0xA4D0, 0xD0B6, 0xD25F, 0xD520, 0xDD45,  // 2030
    0xB5A0, 0x56D0, 0x55B2, 0x49B0, 0xA577, 0xA4B0, 0xAA50, 0xB255, 0x6D2F, 0xADA0,  // 2040
    0x4B63, 0x937F, 0x49F8, 0x4970, 0x64B0, 0x68A6, 0xEA5F, 0x6B20, 0xA6C4, 0xAAEF,  // 2050
    0x92E0, 0xD2E3, 0xC960, 0xD557, 0xD4A0, 0xDA50, 0x5D55, 0x56A0, 0xA6D0, 0x55D4,  // 2060
    0x52D0, 0xA9B8, 0xA950, 0xB4A0, 0xB6A6, 0xAD50, 0x55A0, 0xABA4, 0xA5B0, 0x52B0,  // 2070
    0xB273, 0x6930, 0x7337, 0x6AA0, 0xAD50, 0x4B55, 0x4B6F, 0xA570, 0x54E4, 0xD160,  // 2080
    0xE968, 0xD520, 0xDAA0, 0x6AA6, 0x56DF, 0x4AE0, 0xA9D4, 0xA2D0, 0xD150, 0xF252,  // 2090
    0xD520,                                                                          // 2100
};

constexpr bool InTable(int year) {
    return year >= kLunarFirstYear && year <= kLunarLastYear;
}

constexpr int LeapCode(int year) {
    return InTable(year) ? kYearInfo[year - kLunarFirstYear] & 0xF : 0;
}

constexpr int RegularMonthDays(int year, int month) {
    return (kYearInfo[year - kLunarFirstYear] >> (16 - month)) & 1 ? 30 : 29;
}

// Code 0xF is a marker in the year after a 30-day leap month, not a leap month of its own.
constexpr int LeapMonthOf(int year) {
    const int code = LeapCode(year);
    return code >= 1 && code <= 12 ? code : 0;
}

constexpr int LeapDaysOf(int year) {
    if (LeapMonthOf(year) == 0) return 0;
    return LeapCode(year + 1) == 0xF ? 30 : 29;
}

constexpr int YearDaysOf(int year) {
    int days = LeapDaysOf(year);
    for (int m = 1; m <= 12; ++m)
        days += RegularMonthDays(year, m);
    return days;
}

struct YearTables {
    int days[kYearCount] = {};
    // Days from lunar 1900-01-01 to the first day of each year; the last slot is the whole span.
    int start[kYearCount + 1] = {};
};

constexpr YearTables BuildYearTables() {
    YearTables t;
    for (int i = 0; i < kYearCount; ++i) {
        t.days[i] = YearDaysOf(kLunarFirstYear + i);
        t.start[i + 1] = t.start[i] + t.days[i];
    }
    return t;
}

constexpr YearTables kYears = BuildYearTables();
static_assert(kYears.start[kYearCount] == 73412, "the table spans 1900-01-31 .. 2101-01-28");

// Whole 25-year blocks for the solar-to-lunar year walk, latest first: the year and the days from
// 1900-01-31 to its first day.
struct SkipRow {
    int year;
    int offset;
};
constexpr SkipRow kSkipRows[] = {{2075, 63933}, {2050, 54779}, {2025, 45654}, {2000, 36529},
                                 {1975, 27404}, {1950, 18279}, {1925, 9124}};

// Serial of 1900-01-30: lunar day n of the table (1-based) falls on this plus n.
constexpr int kDayBeforeTableStart = 31;

PackedLunarDate Pack(int year, int month, int day, bool leap) {
    // Masked field by field: the out-of-table results (month 0 or 13, day 0 or below) must not
    // spill into the neighbouring fields.
    return (static_cast<uint32_t>(year) & 0xFFFF) | ((static_cast<uint32_t>(month) & 0xF) << 16) |
           ((static_cast<uint32_t>(day) & 0xFF) << 20) | (leap ? 1u << 28 : 0u);
}

// Names as GBK, converted once.
struct NameTables {
    std::string stems[10];
    std::string branches[12];
    std::string months[12];
    std::string days[40];
};

const NameTables& Names() {
    static const NameTables tables = [] {
        static const char* const kStems[] = {"甲", "乙", "丙", "丁", "戊", "己", "庚", "辛", "壬", "癸"};
        static const char* const kBranches[] = {"子", "丑", "寅", "卯", "辰", "巳",
                                                "午", "未", "申", "酉", "戌", "亥"};
        static const char* const kMonthNumerals[] = {"正", "二", "三", "四", "五", "六",
                                                     "七", "八", "九", "十", "冬", "腊"};
        static const char* const kDayUnits[] = {"日", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
        static const char* const kDayTens[] = {"初", "十", "廿", "卅"};
        NameTables t;
        for (int i = 0; i < 10; ++i)
            t.stems[i] = Gbk(kStems[i]);
        for (int i = 0; i < 12; ++i)
            t.branches[i] = Gbk(kBranches[i]);
        const std::string month = Gbk("月");
        for (int i = 0; i < 12; ++i)
            t.months[i] = Gbk(kMonthNumerals[i]) + month;
        // Round tens end in 十 after their tens character (廿十, 卅十, as the clock has always
        // printed them, not 二十 and 三十), except the tenth, which is 初十 rather than 十十.
        const std::string ten = Gbk("十");
        for (int d = 0; d < 40; ++d) {
            const bool roundTen = d % 10 == 0 && d > 0;
            const std::string tens = Gbk(kDayTens[d == 10 ? 0 : d / 10]);
            t.days[d] = tens + (roundTen ? ten : Gbk(kDayUnits[d % 10]));
        }
        return t;
    }();
    return tables;
}

int PositiveMod(int a, int b) {
    const int r = a % b;
    return r < 0 ? r + b : r;
}

}  // namespace

uint32_t LunarYearInfo(int year) {
    return InTable(year) ? kYearInfo[year - kLunarFirstYear] : 0;
}

int LunarYearDays(int year) {
    return InTable(year) ? kYears.days[year - kLunarFirstYear] : 0;
}

int LeapMonth(int year) {
    return LeapMonthOf(year);
}

int LeapMonthDays(int year) {
    return LeapDaysOf(year);
}

int LunarMonthDays(int year, int month) {
    if (!InTable(year)) return 0;
    if (month < 1 || month > 12) return -1;
    return RegularMonthDays(year, month);
}

int SolarMonthDays(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return -1;
    const bool leapYear = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leapYear ? 29 : kDays[month - 1];
}

std::string GanZhiYearName(int year) {
    // 1984 (甲子) starts a cycle; (year - 3) mod 10 and mod 12 count stem and branch from 1, with
    // 0 standing for the last one. A true modulo keeps years before 3 in range too.
    const int stem = PositiveMod(year - 4, 10);
    const int branch = PositiveMod(year - 4, 12);
    return Names().stems[stem] + Names().branches[branch];
}

std::string LunarMonthName(int month) {
    if (month < 1 || month > 12) return std::string();
    return Names().months[month - 1];
}

std::string LunarDayName(int day) {
    if (day < 0 || day >= 40) return std::string();
    return Names().days[day];
}

PackedLunarDate SolarToLunar(int year, int month, int day) {
    if (year < kLunarFirstYear || year > kLunarLastYear + 1) return 0;
    if (month < 0 || month > 12 || day < 0 || day > 31) return 0;

    // MakeDate gives a whole number of days here, so the cast is exact.
    int offset = static_cast<int>(MakeDate(year, month, day)) - (kDayBeforeTableStart + 1);

    int lunarYear = kLunarFirstYear;
    for (const SkipRow& row : kSkipRows) {
        if (row.offset <= offset) {
            lunarYear = row.year;
            offset -= row.offset;
            break;
        }
    }

    // Year walk: at most one block of 25 years. A date before the table leaves year 1899 with a
    // negative offset; one after it stays in 2100 with the offset running past the year's end.
    int last = 0;
    while (lunarYear < kLunarLastYear && offset >= 0) {
        last = kYears.days[lunarYear - kLunarFirstYear];
        offset -= last;
        ++lunarYear;
    }
    if (offset < 0) {
        offset += last;
        --lunarYear;
    }

    // Month walk in calendar order, the leap month walked right after the regular month it follows.
    const int leapMonth = LeapMonth(lunarYear);
    const int leapDays = LeapMonthDays(lunarYear);
    const uint32_t info = LunarYearInfo(lunarYear);
    bool inLeap = false;
    int m = 1;
    while (m < 13 && offset > 0) {
        if (leapMonth > 0 && m == leapMonth + 1 && !inLeap) {
            m = leapMonth;
            inLeap = true;
            last = leapDays;
        } else {
            last = (info >> (16 - m)) & 1 ? 30 : 29;
            if (m == leapMonth + 1 && inLeap) inLeap = false;
        }
        offset -= last;
        ++m;
    }
    // Landing exactly on a month boundary after month L: the walk cannot tell by itself whether
    // the new month is the leap month or the regular month L + 1.
    if (offset == 0 && leapMonth > 0 && m == leapMonth + 1) {
        if (inLeap) {
            inLeap = false;
        } else {
            inLeap = true;
            m = leapMonth;
        }
    }
    if (offset < 0) {
        offset += last;
        --m;
    }
    return Pack(lunarYear, m, offset + 1, inLeap);
}

DateValue LunarToSolar(int year, int month, int day, bool leap) {
    if (!InTable(year) || month < 1 || month > 12) return 0;
    const int leapMonth = LeapMonth(year);
    if (leap && month != leapMonth) return 0;
    const int size = leap ? LeapMonthDays(year) : LunarMonthDays(year, month);
    if (day > size) return 0;

    int n = kYears.start[year - kLunarFirstYear];
    for (int i = 1; i < month; ++i)
        n += RegularMonthDays(year, i);
    if (leapMonth > 0 && leapMonth <= month - 1) n += LeapMonthDays(year);
    if (leap) n += RegularMonthDays(year, month);
    return static_cast<double>(static_cast<int64_t>(kDayBeforeTableStart) + n + day);
}
