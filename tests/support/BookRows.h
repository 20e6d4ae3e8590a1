// Rows a test puts into the database before it works the windows: accounts, customers,
// money records and users, through the query layer on the shared connection.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class DbConnection;

namespace BookRows {

// Each returns the new row's key, or -1 (with a test failure) when it could not be added.
qint64 Account(DbConnection *db, const QString &name, const QString &type = QStringLiteral("现金帐"),
               double base = 0, const QString &owner = QStringLiteral("出纳"));
qint64 Customer(DbConnection *db, const QString &name, const QString &region = QString(),
                const QString &owner = QStringLiteral("出纳"));
// A record of amount (income above zero, expense below) in an account on a day.
qint64 Record(DbConnection *db, qint64 account, const QDate &day, double amount,
              const QString &customer = QString(), const QString &owner = QStringLiteral("出纳"));
// Many records at once, in one transaction.
void Records(DbConnection *db, qint64 account, int count, const QDate &day, double amount,
             const QString &customer = QString());
void User(DbConnection *db, const QString &name, const QString &password = QString());

// How many rows the statement's table holds that match: Count(*) of a Select.
int Count(DbConnection *db, const QString &fromWhere);
// One text field of the first row of a statement; empty when there is none.
QString Text(DbConnection *db, const QString &statement, const QString &field);
// That field of every row of the statement, in the statement's order.
QStringList Column(DbConnection *db, const QString &statement, const QString &field);
// Runs SQL straight on the engine (triggers that make a write fail, and the like).
void Exec(DbConnection *db, const QString &sql);

} // namespace BookRows
