// The wall clocks of Windows as the clock's DateTime, and the way back (milliseconds 0).
#pragma once

#include <windows.h>

#include "clock/core/date_value.h"

inline DateTime DateTimeOf(const SYSTEMTIME& st) {
    DateTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}

inline SYSTEMTIME SystemTimeOf(const DateTime& t) {
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    return st;
}

inline DateTime LocalDateTimeNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return DateTimeOf(st);
}
