// The statements that read money records for the record grids and everything that prints,
// charts or exports what a grid shows. They are composed here, from their pieces, so that
// a printout reads exactly the rows of its grid, with the same visibility filters,
// condition and order.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// One statement in pieces, in the windows' dialect: "Select " + select + " From " + tables
// + " Where " + condition + " Order By " + order. key identifies a row and ends the order,
// so rows that tie come back in the same order at every reading.
struct RecordStatement
{
    QString select;
    QString tables;
    QString condition;
    QString order;       // empty: rows in key order, the order they were entered
    QString key = QStringLiteral("MoneyIndex");

    QString From() const;      // "From tables Where condition"
    QString OrderBy() const;   // "Order By …", always ending with the key
    QString Sql() const;       // the whole statement
};

// The thirteen record fields every record grid shows, in their order.
QStringList RecordFields();

// The report grid's three orders, in the order of its sort choice.
enum class RecordOrder { ByTime, ByAccount, ByAmount };

// The report grid: the book's visible records under ReportCondition, in the order chosen.
// Reads AccountFilter, MoneyFilter and ReportCondition as they are now.
RecordStatement ReportGridStatement(RecordOrder order);
// The day grid: the visible records of a day, in the order they were entered.
RecordStatement DayGridStatement(const QDate &day);
// The record list: one customer's records in accounts of one type, within the range
// (from is the no-range date 1981-01-01 for all dates), visible to the signed-in user.
RecordStatement RecordListStatement(const QString &accountType, const QString &customer,
                                    const QDate &from, const QDate &to);
