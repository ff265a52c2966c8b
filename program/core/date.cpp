#include "core/date.h"

#include <ctime>

Date Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool IsValidDate(const Date& date) {
    if (date.year < 100 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int days = kDays[date.month - 1];
    bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    if (date.month == 2 && leap)
        days = 29;
    return date.day <= days;
}
