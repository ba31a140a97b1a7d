// The local wall clock of Windows as the clock's DateTime.
#pragma once

#include <windows.h>

#include "clock/core/date_value.h"

inline DateTime LocalDateTimeNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    DateTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}
