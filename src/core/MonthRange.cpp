#include "MonthRange.h"

MonthRange MonthOf(const QDate &day)
{
    if (!day.isValid())
        return {};
    const QDate first(day.year(), day.month(), 1);
    return {first, first.addMonths(1).addDays(-1)};
}
