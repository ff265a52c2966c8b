#pragma once

#include <compare>

// A calendar date with day resolution, as the project file and the sheets use it.
struct Date {
    int year = 1899;
    int month = 12;
    int day = 30;

    auto operator<=>(const Date&) const = default;
};

// Today's date in the local time zone.
Date Today();

// True for a date that exists in the proleptic Gregorian calendar (years 100 to 9999).
bool IsValidDate(const Date& date);
