// The generated book the benchmark runs on: accounts of the three books, customers and
// money records spread over four years, written into a copy of the prepared database.
#pragma once

#include <QDate>
#include <QString>

struct BookSize
{
    int accountsPerBook = 100;
    int customers = 20000;
    int records = 1000000;
};

class BookMaker
{
public:
    // The records run from First to Last, about the same number each day, in date order
    // as a book fills up day by day.
    static QDate First() { return QDate(2021, 1, 1); }
    static QDate Last() { return QDate(2024, 12, 31); }

    // Makes database (which must not exist) from a copy of prepared. False with a reason
    // in error when any step fails; a half-made file is removed.
    static bool Make(const QString &prepared, const QString &database, const BookSize &size,
                     QString *error);
    // True when database holds a generated book of exactly this size.
    static bool Holds(const QString &database, const BookSize &size);

    // Gives a kept book the prepared database's index on (account, day), which the journal's
    // sums and the grids' footers read, when an older schema left it another one, and the
    // indexes the schema gained since the book was made. False with a reason in error.
    static bool UseAccountDateIndex(const QString &database, const QString &prepared,
                                    QString *error);
};
