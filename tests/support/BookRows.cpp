#include "BookRows.h"

#include "BookTables.h"
#include "Database.h"
#include "DbTransaction.h"


#include <gtest/gtest.h>

namespace {

qint64 append(DbConnection *db, const QString &table,
              const QList<QPair<QString, QVariant>> &values)
{
    DbQuery q(db);
    q.SetSQL(QStringLiteral("Select * From %1 Where 1 = 0").arg(table));
    if (!q.Open() || !q.Append()) {
        ADD_FAILURE() << "cannot append to " << table.toStdString() << ": "
                      << q.LastError().toStdString();
        return -1;
    }
    for (const auto &v : values)
        q.SetField(v.first, v.second);
    if (!q.Post()) {
        ADD_FAILURE() << "cannot post to " << table.toStdString() << ": "
                      << q.LastError().toStdString();
        return -1;
    }
    // The posted row is the current one, read back from the book with its new key.
    for (const BookTable &t : BookTables)
        if (table == QLatin1String(t.table) && t.key)
            return q.FieldByName(QLatin1String(t.key)).AsInteger();
    ADD_FAILURE() << table.toStdString() << " has no key";
    return -1;
}

} // namespace

namespace BookRows {

qint64 Account(DbConnection *db, const QString &name, const QString &type, double base,
               const QString &owner)
{
    return append(db, QStringLiteral("Account"),
                  {{QStringLiteral("AccountName"), name},
                   {QStringLiteral("AccountType"), type},
                   {QStringLiteral("AccountBase"), base},
                   {QStringLiteral("AccountPower"), owner}});
}

qint64 Customer(DbConnection *db, const QString &name, const QString &region,
                const QString &owner)
{
    QList<QPair<QString, QVariant>> values = {{QStringLiteral("CustomerName"), name},
                                              {QStringLiteral("CustomerPower"), owner}};
    if (!region.isNull())
        values.append({QStringLiteral("CustomerRegion"), region});
    return append(db, QStringLiteral("Customer"), values);
}

qint64 Record(DbConnection *db, qint64 account, const QDate &day, double amount,
              const QString &customer, const QString &owner)
{
    return append(db, QStringLiteral("MoneyTable"),
                  {{QStringLiteral("MoneyAccount"), account},
                   {QStringLiteral("MoneyCreateTime"), day},
                   {QStringLiteral("MoneyRecordTime"), day},
                   {QStringLiteral("MoneyUser"), customer},
                   {QStringLiteral("MoneyIn"), amount > 0 ? amount : 0.0},
                   {QStringLiteral("MoneyOut"), amount < 0 ? -amount : 0.0},
                   {QStringLiteral("MoneySum"), amount},
                   {QStringLiteral("MoneyPower"), owner}});
}

void Records(DbConnection *db, qint64 account, int count, const QDate &day, double amount,
             const QString &customer)
{
    DbTransaction trans(db);
    ASSERT_TRUE(trans.Active());
    for (int i = 0; i < count; ++i)
        ASSERT_GT(Record(db, account, day, amount, customer), 0);
    ASSERT_TRUE(trans.Commit());
}

void User(DbConnection *db, const QString &name, const QString &password)
{
    append(db, QStringLiteral("Power"),
           {{QStringLiteral("PowerName"), name}, {QStringLiteral("PowerKey"), password}});
}

int Count(DbConnection *db, const QString &fromWhere)
{
    DbQuery q(db);
    q.SetSQL(QStringLiteral("Select Count(*) As N ") + fromWhere);
    if (!q.Open()) {
        ADD_FAILURE() << q.LastError().toStdString();
        return -1;
    }
    return int(q.FieldByName(QStringLiteral("N")).AsInteger());
}

QString Text(DbConnection *db, const QString &statement, const QString &field)
{
    DbQuery q(db);
    q.SetSQL(statement);
    if (!q.Open()) {
        ADD_FAILURE() << q.LastError().toStdString();
        return QString();
    }
    return q.IsEmpty() ? QString() : q.FieldByName(field).AsString();
}

QStringList Column(DbConnection *db, const QString &statement, const QString &field)
{
    DbQuery q(db);
    q.SetSQL(statement);
    QStringList out;
    if (!q.Open()) {
        ADD_FAILURE() << q.LastError().toStdString();
        return out;
    }
    for (q.First(); !q.Eof(); q.Next())
        out << q.FieldByName(field).AsString();
    return out;
}

void Exec(DbConnection *db, const QString &sql)
{
    if (!db->ExecuteScript(sql))
        ADD_FAILURE() << db->LastError().toStdString() << ": " << sql.toStdString();
}

} // namespace BookRows
