// Writes the generated book straight through the engine: one transaction, prepared inserts,
// the indexes dropped while the rows go in and made again afterwards (faster than keeping
// them up to date row by row). A fixed seed makes every run the same book.
#include "BookMaker.h"

#include "BookKind.h"
#include "DatabaseKey.h"

#include <QFile>
#include <QMap>
#include <QStringList>

#include <sqlite3.h>

#include <random>
#include <vector>

namespace {

const char *const Regions[] = {"北京", "上海", "广东", "江苏", "浙江", "四川", "湖北", "山东"};
const char *const Reasons[] = {"销售收入", "其他收入", "采购支出", "费用支出"};
const char *const Kinds[] = {"货款", "预收款", "预付款", "费用"};
const char *const Tokens[] = {"现金", "支票", "转帐", "发票"};
const char *const Salesmen[] = {"张伟", "王芳", "李娜", "刘洋"};

class Db
{
public:
    ~Db() { sqlite3_close(m_db); }
    bool open(const QString &path, bool create)
    {
        const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
        if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr) != SQLITE_OK)
            return false;
        return sqlite3_key(m_db, DatabasePassword, int(sizeof DatabasePassword - 1)) == SQLITE_OK;
    }
    bool exec(const QString &sql)
    {
        char *err = nullptr;
        if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err) == SQLITE_OK)
            return true;
        m_error = QString::fromUtf8(err ? err : sqlite3_errmsg(m_db)) + QStringLiteral(": ") + sql;
        sqlite3_free(err);
        return false;
    }
    qint64 count(const char *sql)
    {
        sqlite3_stmt *st = nullptr;
        qint64 n = -1;
        if (sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            n = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return n;
    }
    sqlite3 *handle() const { return m_db; }
    QString error() const { return m_error.isEmpty() ? QString::fromUtf8(sqlite3_errmsg(m_db))
                                                     : m_error; }

private:
    sqlite3 *m_db = nullptr;
    QString m_error;
};

// An insert statement with its values bound by position, run once per row.
class Insert
{
public:
    Insert(sqlite3 *db, const char *sql)
    {
        sqlite3_prepare_v2(db, sql, -1, &m_st, nullptr);
    }
    ~Insert() { sqlite3_finalize(m_st); }
    bool ok() const { return m_st != nullptr; }
    void text(int pos, const QByteArray &value)
    {
        sqlite3_bind_text(m_st, pos, value.constData(), value.size(), SQLITE_TRANSIENT);
    }
    void text(int pos, const char *value)
    {
        sqlite3_bind_text(m_st, pos, value, -1, SQLITE_STATIC);
    }
    void number(int pos, double value) { sqlite3_bind_double(m_st, pos, value); }
    void integer(int pos, qint64 value) { sqlite3_bind_int64(m_st, pos, value); }
    bool run()
    {
        const bool done = sqlite3_step(m_st) == SQLITE_DONE;
        sqlite3_reset(m_st);
        return done;
    }

private:
    sqlite3_stmt *m_st = nullptr;
};

template <size_t N>
const char *pick(const char *const (&list)[N], std::mt19937 &random)
{
    return list[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

QString columnText(sqlite3_stmt *st, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, column)));
}

QByteArray customerName(int i)
{
    return QStringLiteral("客户%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8();
}

} // namespace

bool BookMaker::Make(const QString &prepared, const QString &database, const BookSize &size,
                     QString *error)
{
    if (QFile::exists(database)) {
        *error = QStringLiteral("%1 exists already").arg(database);
        return false;
    }
    if (!QFile::copy(prepared, database)) {
        *error = QStringLiteral("cannot copy %1 to %2").arg(prepared, database);
        return false;
    }
    auto fail = [&](const QString &why) {
        *error = why;
        QFile::remove(database);
        return false;
    };
    Db db;
    if (!db.open(database, false))
        return fail(QStringLiteral("cannot open the copy: ") + db.error());
    // Nothing else reads the file while it is made: no journal, no syncing.
    if (!db.exec(QStringLiteral("PRAGMA journal_mode = OFF"))
        || !db.exec(QStringLiteral("PRAGMA synchronous = OFF"))
        || !db.exec(QStringLiteral("PRAGMA cache_size = -65536")))
        return fail(db.error());

    // The schema's own indexes, whatever they are, are made again after the rows.
    QStringList indexes, dropped;
    {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db.handle(),
                           "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND "
                           "sql IS NOT NULL AND tbl_name IN ('Account','Customer','MoneyTable')",
                           -1, &st, nullptr);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            dropped << columnText(st, 0);
            indexes << columnText(st, 1);
        }
        sqlite3_finalize(st);
    }
    if (!db.exec(QStringLiteral("BEGIN")))
        return fail(db.error());
    for (const QString &name : dropped)
        if (!db.exec(QStringLiteral("DROP INDEX %1").arg(name)))
            return fail(db.error());

    std::mt19937 random(20240614);
    const int accounts = 3 * size.accountsPerBook;
    {
        Insert in(db.handle(), "INSERT INTO Account (AccountIndex, AccountName, AccountBase, "
                               "AccountType, AccountPower) VALUES (?, ?, ?, ?, '出纳')");
        if (!in.ok())
            return fail(db.error());
        std::uniform_int_distribution<int> base(0, 1000000);
        for (int i = 0; i < accounts; ++i) {
            const QString &book = BookKinds().at(i % 3).name;
            in.integer(1, i + 2);
            in.text(2,
                    QStringLiteral("%1户%2")
                        .arg(book.left(2))
                        .arg(i / 3 + 1, 3, 10, QLatin1Char('0'))
                        .toUtf8());
            in.number(3, base(random) / 100.0);
            in.text(4, book.toUtf8());
            if (!in.run())
                return fail(db.error());
        }
    }
    {
        Insert in(db.handle(),
                  "INSERT INTO Customer (CustomerIndex, CustomerName, CustomerRegion, "
                  "CustomerPhone, CustomerContact, CustomerAddress, CustomerPower) "
                  "VALUES (?, ?, ?, ?, ?, ?, '出纳')");
        if (!in.ok())
            return fail(db.error());
        std::uniform_int_distribution<int> phone(10000000, 99999999);
        for (int i = 0; i < size.customers; ++i) {
            in.integer(1, i + 2);
            in.text(2, customerName(i + 1));
            in.text(3, pick(Regions, random));
            in.text(4, QByteArray("021-") + QByteArray::number(phone(random)));
            in.text(5, pick(Salesmen, random));
            in.text(6, QStringLiteral("人民路%1号").arg(i + 1).toUtf8());
            if (!in.run())
                return fail(db.error());
        }
    }
    {
        Insert in(db.handle(),
                  "INSERT INTO MoneyTable (MoneyAccount, MoneyRecordTime, MoneyCreateTime, "
                  "MoneyUser, MoneyReason, MoneyIn, MoneyOut, MoneySum, MoneyType, MoneyToken, "
                  "MoneyRemark, MoneySerial, MoneyMan, MoneyPower) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '出纳')");
        if (!in.ok())
            return fail(db.error());
        const qint64 days = First().daysTo(Last()) + 1;
        std::uniform_int_distribution<int> account(2, accounts + 1);
        std::uniform_int_distribution<int> customer(1, qMax(1, size.customers));
        std::uniform_int_distribution<int> cents(100, 2000000);
        std::uniform_int_distribution<int> percent(0, 99);
        qint64 serial[3] = {0, 0, 0};
        QByteArray day;
        qint64 dayOf = -1;
        for (int i = 0; i < size.records; ++i) {
            const qint64 d = qint64(i) * days / size.records;
            if (d != dayOf) {
                dayOf = d;
                day = First().addDays(d).toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
            }
            const int a = account(random);
            const double amount = cents(random) / 100.0;
            const bool income = percent(random) < 55;
            in.integer(1, a);
            in.text(2, day);
            in.text(3, day);
            in.text(4, customerName(customer(random)));
            in.text(5, pick(Reasons, random));
            in.number(6, income ? amount : 0.0);
            in.number(7, income ? 0.0 : amount);
            in.number(8, income ? amount : -amount);
            in.text(9, pick(Kinds, random));
            in.text(10, pick(Tokens, random));
            in.text(11, percent(random) < 30 ? QByteArray("月结对帐") : QByteArray());
            in.text(12, QByteArray("NO") + QByteArray::number(++serial[(a - 2) % 3])
                                               .rightJustified(7, '0'));
            in.text(13, pick(Salesmen, random));
            if (!in.run())
                return fail(db.error());
        }
    }
    for (const QString &sql : indexes)
        if (!db.exec(sql))
            return fail(db.error());
    // No ANALYZE: a user's book has no statistics either, and the plans should be his.
    if (!db.exec(QStringLiteral("COMMIT")))
        return fail(db.error());
    return true;
}

bool BookMaker::Holds(const QString &database, const BookSize &size)
{
    if (!QFile::exists(database))
        return false;
    Db db;
    if (!db.open(database, false))
        return false;
    return db.count("SELECT count(*) FROM Account WHERE AccountIndex > 1")
               == 3 * size.accountsPerBook
        && db.count("SELECT count(*) FROM Customer WHERE CustomerIndex > 1") == size.customers
        && db.count("SELECT count(*) FROM MoneyTable") == size.records;
}

bool BookMaker::UseAccountDateIndex(const QString &database, const QString &prepared,
                                    QString *error)
{
    auto indexSql = [](Db &db) {
        sqlite3_stmt *st = nullptr;
        QString sql;
        if (sqlite3_prepare_v2(db.handle(), "SELECT sql FROM sqlite_master WHERE type = 'index' "
                               "AND name = 'MoneyByAccountDate'", -1, &st, nullptr) == SQLITE_OK
            && sqlite3_step(st) == SQLITE_ROW)
            sql = columnText(st, 0);
        sqlite3_finalize(st);
        return sql.simplified();
    };
    Db schema;
    if (!schema.open(prepared, false)) {
        *error = QStringLiteral("cannot open %1").arg(prepared);
        return false;
    }
    const QString wanted = indexSql(schema);
    Db db;
    if (!db.open(database, false)) {
        *error = QStringLiteral("cannot open %1").arg(database);
        return false;
    }
    if (indexSql(db) != wanted.simplified()
        && (!db.exec(QStringLiteral("BEGIN"))
            || !db.exec(QStringLiteral("DROP INDEX IF EXISTS MoneyByAccountDate"))
            || (!wanted.isEmpty() && !db.exec(wanted)) || !db.exec(QStringLiteral("COMMIT")))) {
        *error = db.error();
        return false;
    }
    // Indexes the schema gained since the book was made (the chart's by kind) are added.
    auto names = [](Db &from) {
        QMap<QString, QString> found;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(from.handle(), "SELECT name, sql FROM sqlite_master WHERE type = "
                               "'index' AND sql IS NOT NULL", -1, &st, nullptr) == SQLITE_OK)
            while (sqlite3_step(st) == SQLITE_ROW)
                found.insert(columnText(st, 0), columnText(st, 1));
        sqlite3_finalize(st);
        return found;
    };
    const QMap<QString, QString> have = names(db);
    const QMap<QString, QString> schemaIndexes = names(schema);
    for (auto it = schemaIndexes.begin(); it != schemaIndexes.end(); ++it)
        if (!have.contains(it.key()) && !db.exec(it.value())) {
            *error = db.error();
            return false;
        }
    return true;
}
