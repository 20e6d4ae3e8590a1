// The month around a day, as the detail windows, the record lists and the date range
// chooser count it: from its first day to its last, both included.
#pragma once

#include <QDate>

struct MonthRange
{
    QDate first;   // day 1 of the day's month
    QDate last;    // the first day advanced by one calendar month, less one day
};

// The month of day; both ends invalid for an invalid day.
MonthRange MonthOf(const QDate &day);
