// The server engine against the throwaway PostgreSQL server (fixture pgserver): the schema
// in step with the file's, the windows' statement forms, values, keys, streaming, the
// write lock and a lost connection.
#include "BookTables.h"
#include "pg/PgEngine.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <thread>

namespace {

QString ReadText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString ServerAddress(const QString &database)
{
    QString address = ReadText(QStringLiteral(QM_PG_ADDRESS_FILE)).trimmed();
    return address.replace(QStringLiteral(":///qmtest?"), QStringLiteral(":///%1?").arg(database));
}

bool Psql(const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("/usr/lib/postgresql/15/bin/psql"),
            {ServerAddress(QStringLiteral("qmtest")), QStringLiteral("-qv"),
             QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"), sql});
    return p.waitForFinished(30000) && p.exitCode() == 0;
}

const QString Book = QStringLiteral("qmbook%1").arg(QCoreApplication::applicationPid());

// Every value of every row: "a|b;c|d", NULL for a null.
QString Rows(DbEngineStatement *s)
{
    QStringList rows;
    while (s->Next() == DbEngineStatement::Step::Row) {
        QStringList row;
        for (int c = 0; c < s->ColumnCount(); ++c)
            row << (s->Column(c).isValid() ? s->Column(c).toString() : QStringLiteral("NULL"));
        rows << row.join(QLatin1Char('|'));
    }
    return rows.join(QLatin1Char(';'));
}

class PgBook : public ::testing::Test
{
public:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(Psql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(Book)));
        ASSERT_TRUE(Psql(QStringLiteral("CREATE DATABASE %1").arg(Book)));
        QString error;
        ASSERT_TRUE(MakeServerBook(ServerAddress(Book), QString(),
                                   ReadText(QStringLiteral(QM_SOURCE_DIR "/resources/schema-pg.sql")),
                                   &error)) << error.toStdString();
        PgEngine e;
        ASSERT_TRUE(e.Open(ServerAddress(Book), QString())) << e.LastError().toStdString();
        ASSERT_TRUE(e.Execute(QStringLiteral(
            "INSERT INTO Account (AccountName, AccountBase, AccountType, AccountPower) VALUES "
            "('Cash', 100.5, '现金帐', '管理员'), ('bank', 0, '现金帐', '出纳');"
            "INSERT INTO Customer (CustomerName, CustomerRegion) VALUES "
            "('Alpha Trading', 'North'), ('beta shop', 'north'), ('张三', '南');"
            "INSERT INTO MoneyTable (MoneyAccount, MoneyCreateTime, MoneyUser, MoneyReason, "
            "MoneyIn, MoneyOut, MoneySum) VALUES "
            "(2, '2008-02-01', 'Alpha Trading', '销售收入', 1.1, 0, 1.1),"
            "(2, '2008-02-15', 'beta shop', '销售收入', 2.2, 0, 2.2),"
            "(3, '2008-03-01', 'alpha trading', '费用支出', 0, 0.333, -0.333)")))
            << e.LastError().toStdString();
    }
    static void TearDownTestSuite()
    {
        Psql(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(Book));
    }

protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.Open(ServerAddress(Book), QString())) << engine.LastError().toStdString();
    }
    std::unique_ptr<DbEngineStatement> Run(const QString &sql, const QVariantList &binds = {})
    {
        auto s = engine.Prepare(engine.Translate(sql));
        EXPECT_TRUE(s) << sql.toStdString() << ": " << engine.LastError().toStdString();
        for (int i = 0; s && i < binds.size(); ++i)
            EXPECT_TRUE(s->Bind(i + 1, binds[i]));
        return s;
    }
    PgEngine engine;
};

// --- The schema of the server book keeps step with the file's. -------------------------

TEST_F(PgBook, SchemasHaveTheSameTablesColumnsAndIndexes)
{
    const QString file = ReadText(QStringLiteral(QM_SOURCE_DIR "/resources/schema.sql"));
    const QString server = ReadText(QStringLiteral(QM_SOURCE_DIR "/resources/schema-pg.sql"));
    static const QRegularExpression table(QStringLiteral("CREATE TABLE (\\w+) \\((.*?)\\n\\);"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QStringList fileTables;
    for (auto it = table.globalMatch(file); it.hasNext();) {
        const auto m = it.next();
        fileTables << m.captured(1);
        QStringList columns;
        for (const QString &item : m.captured(2).split(QLatin1Char(',')))
            columns << item.trimmed().section(QLatin1Char(' '), 0, 0);
        const auto book = std::find_if(std::begin(BookTables), std::end(BookTables),
            [&](const BookTable &t) { return m.captured(1) == QLatin1String(t.table); });
        ASSERT_NE(book, std::end(BookTables)) << m.captured(1).toStdString();
        QStringList listed, onServer;
        for (const char *c : book->columns)
            listed << QString::fromLatin1(c);
        EXPECT_EQ(columns, listed) << book->table;
        for (const QString &c : listed)
            onServer << c.toLower();
        if (!book->key)
            onServer << QString::fromLatin1(ServerParameterKey).toLower();
        EXPECT_EQ(engine.TableColumns(m.captured(1)), onServer) << book->table;
    }
    EXPECT_EQ(fileTables.size(), int(std::size(BookTables)));
    static const QRegularExpression index(QStringLiteral("CREATE INDEX (\\w+) ON (\\w+) \\(([^)]*)\\)"));
    // The server has two more, for the first page of the report grid's orders.
    const QStringList serverOnly = {QStringLiteral("AccountByTypeName"), QStringLiteral("MoneyByAmount")};
    const auto indexes = [&](const QString &text) {
        QStringList found;
        for (auto it = index.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            if (!serverOnly.contains(m.captured(1)))
                found << m.captured(0).simplified();
        }
        return found;
    };
    EXPECT_EQ(indexes(file), indexes(server));
}

struct ReservedCase { const char *table; int rows; const char *sum; };
class PgReserved : public PgBook, public ::testing::WithParamInterface<ReservedCase> {};

TEST_P(PgReserved, ReservedRowsAreThere)
{
    const ReservedCase c = GetParam();
    const QString key = engine.KeyColumn(QString::fromLatin1(c.table));
    auto s = Run(QStringLiteral("Select Count(*), Max(%1) From %2 Where %1 <= %3")
                     .arg(key, QString::fromLatin1(c.table)).arg(c.rows));
    EXPECT_EQ(Rows(s.get()), QStringLiteral("%1|%2").arg(c.rows).arg(QString::fromLatin1(c.sum)));
}

INSTANTIATE_TEST_SUITE_P(Table, PgReserved, ::testing::Values(
    ReservedCase{"Account", 1, "1"}, ReservedCase{"Customer", 1, "1"},
    ReservedCase{"Setting", 3, "3"}, ReservedCase{"Power", 4, "4"},
    ReservedCase{"Parameter", 12, "12"}, ReservedCase{"PrintTable", 1000, "1000"},
    ReservedCase{"PrintReport", 20000, "20000"}));

// --- The windows' statement forms, as the file book answers them. -----------------------

struct FormCase { const char *sql; const char *rows; QVariantList binds = {}; };
class PgForms : public PgBook, public ::testing::WithParamInterface<FormCase> {};

TEST_P(PgForms, RunAsOnTheFile)
{
    auto s = Run(QString::fromUtf8(GetParam().sql), GetParam().binds);
    ASSERT_TRUE(s);
    EXPECT_EQ(Rows(s.get()), QString::fromUtf8(GetParam().rows)) << engine.LastError().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, PgForms, ::testing::Values(
    FormCase{"Select Round(Sum(MoneySum),2) As TotalSum From MoneyTable", "2.97"},
    FormCase{"Select ABS(ROUND(Sum(MoneySum),2)) As TotalMoney From MoneyTable Where MoneyAccount = 3", "0.33"},
    FormCase{"Select Round(Sum(MoneySum),2) As TotalSum From MoneyTable Where MoneyAccount = 99", "NULL"},
    FormCase{"Select Round(Sum(AccountBase),2) As TotalSum From Account Where AccountType = '现金帐'", "100.5"},
    FormCase{"Select CustomerName From Customer Where InStr(CustomerName,'ALPHA') > 0", "Alpha Trading"},
    FormCase{"Select Count(*) As TotalCount From MoneyTable Where MoneyCreateTime Between #2008-02-01# And #2008-02-29#", "2"},
    FormCase{"Select MoneyCreateTime From MoneyTable Where MoneyCreateTime <= #2008-02-15# Order By MoneyCreateTime Desc", "2008-02-15;2008-02-01"},
    FormCase{"Select Count(*) As N From PrintTable Where PrintEnable = False", "1000"},
    FormCase{"Select Count(*) As N From PrintTable Where PrintEnable = True", "0"},
    FormCase{"Select Count(*) As CardCount From (Select * From MoneyTable Where MoneyAccount = 2)", "2"},
    FormCase{"Select Count(*) As N From (Select Distinct CustomerRegion From Customer Where CustomerIndex > 1)", "2"},
    FormCase{"Select ABS(MoneySum) As MSum,* From MoneyTable Where MoneyIndex = 3",
             "0.333|3|3|NULL|2008-03-01|alpha trading|费用支出|0|0.333|-0.333|NULL|NULL|NULL|NULL|NULL|NULL"},
    FormCase{"Select AccountName,MoneySum From Account,MoneyTable Where (AccountIndex = MoneyAccount) And MoneyUser = 'ALPHA TRADING' Order By MoneyIndex", "Cash|1.1;bank|-0.333"},
    FormCase{"Select CustomerName From Customer Where CustomerIndex > 1 Order By CustomerName", "Alpha Trading;beta shop;张三"},
    FormCase{"Select CustomerName From Customer Order By CustomerIndex Limit 1 Offset 2", "beta shop"},
    FormCase{"Select * From Account Where AccountName = 'CASH'", "2|Cash|100.5|现金帐|管理员"},
    FormCase{"Select Count(*) As N From Customer Where CustomerName <> 'a?b #2008-01-01# True' And CustomerIndex > 1", "3"},
    FormCase{"Select Count(*) As N From MoneyTable Where MoneyAccount = ? And MoneyUser = ?", "1",
             {2, QStringLiteral("alpha TRADING")}},
    FormCase{"Select Count(*) As N From MoneyTable Where MoneySum > ? And MoneyCreateTime >= ?", "1",
             {1.5, QDate(2008, 2, 2)}}));

struct NameCase { const char *sql; int column; const char *name; QMetaType::Type type; };
class PgNames : public PgBook, public ::testing::WithParamInterface<NameCase> {};

TEST_P(PgNames, ColumnsComeBackInTheCallersSpellingAndType)
{
    const NameCase c = GetParam();
    auto s = Run(QString::fromUtf8(c.sql));
    ASSERT_TRUE(s);
    ASSERT_EQ(s->Next(), DbEngineStatement::Step::Row);
    EXPECT_EQ(s->ColumnName(c.column), QString::fromLatin1(c.name));
    EXPECT_EQ(s->Column(c.column).typeId(), int(c.type));
}

INSTANTIATE_TEST_SUITE_P(Table, PgNames, ::testing::Values(
    NameCase{"Select ABS(MoneySum) As MSum,* From MoneyTable", 0, "MSum", QMetaType::Double},
    NameCase{"Select ABS(MoneySum) As MSum,* From MoneyTable", 1, "MoneyIndex", QMetaType::LongLong},
    NameCase{"Select ABS(MoneySum) As MSum,* From MoneyTable", 4, "MoneyCreateTime", QMetaType::QString},
    NameCase{"select count(*) as CardCount from MoneyTable", 0, "CardCount", QMetaType::LongLong},
    NameCase{"Select (1 = 1) As Yes", 0, "Yes", QMetaType::LongLong},
    NameCase{"Select MoneyRecordTime From MoneyTable", 0, "MoneyRecordTime", QMetaType::UnknownType}));

// --- Keys, streaming, the write lock, a lost connection, opening. ------------------------

struct KeyCase { const char *table; const char *values; qint64 above; };
class PgKeys : public PgBook, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(PgKeys, ANewRowsKeyFindsIt)
{
    const KeyCase c = GetParam();
    const QString table = QString::fromLatin1(c.table);
    ASSERT_TRUE(engine.Begin());
    auto insert = Run(QStringLiteral("INSERT INTO %1 %2").arg(table, QString::fromUtf8(c.values)));
    ASSERT_EQ(insert->Next(), DbEngineStatement::Step::Done) << engine.LastError().toStdString();
    EXPECT_GT(engine.LastInsertKey(), c.above);
    auto find = Run(QStringLiteral("Select Count(*) From %1 Where %2 = ?").arg(table, engine.KeyColumn(table)),
                    {engine.LastInsertKey()});
    EXPECT_EQ(Rows(find.get()), QStringLiteral("1"));
    EXPECT_TRUE(engine.Rollback());
}

INSTANTIATE_TEST_SUITE_P(Table, PgKeys, ::testing::Values(
    KeyCase{"Account", "(AccountName) VALUES ('x')", 3}, KeyCase{"Parameter", "(ParameterType) VALUES (1)", 12},
    KeyCase{"Power", "(PowerName) VALUES ('y')", 4}, KeyCase{"PrintTable", "DEFAULT VALUES", 1000},
    KeyCase{"PrintReport", "DEFAULT VALUES", 20000}));

TEST_F(PgBook, AStatementRunInTheMiddleOfAnotherLeavesItsRowsWhole)
{
    auto all = Run(QStringLiteral("Select PrintIndex From PrintTable Order By PrintIndex"));
    ASSERT_EQ(all->Next(), DbEngineStatement::Step::Row);
    EXPECT_EQ(Rows(Run(QStringLiteral("Select Count(*) From Customer")).get()), QStringLiteral("4"));
    qlonglong sum = all->Column(0).toLongLong(), n = 1;
    for (; all->Next() == DbEngineStatement::Step::Row; ++n)
        sum += all->Column(0).toLongLong();
    EXPECT_EQ(n, 1000);
    EXPECT_EQ(sum, 500500);
}

TEST_F(PgBook, ALostConnectionRollsBackAndTheNextCallReconnects)
{
    PgEngine other;
    ASSERT_TRUE(other.Open(ServerAddress(Book), QString()));
    const QString pid = Rows(Run(QStringLiteral("Select pg_backend_pid()")).get());
    ASSERT_TRUE(engine.Begin());
    ASSERT_EQ(Run(QStringLiteral("INSERT INTO Account (AccountName) VALUES ('lost')"))->Next(),
              DbEngineStatement::Step::Done);
    ASSERT_TRUE(other.Execute(QStringLiteral("Select pg_terminate_backend(%1)").arg(pid)));
    auto after = engine.Prepare(QStringLiteral("Select 1"));
    EXPECT_TRUE(!after || after->Next() == DbEngineStatement::Step::Failed);
    EXPECT_EQ(engine.Fault(), DbFault::ConnectionLost);
    EXPECT_TRUE(engine.LastError().contains(QStringLiteral("连接断开")));
    EXPECT_TRUE(engine.Rollback());
    EXPECT_EQ(Rows(Run(QStringLiteral("Select Count(*) From Account Where AccountName = 'lost'")).get()),
              QStringLiteral("0"));
    // Lost between two actions: the next one does not notice.
    const QString pid2 = Rows(Run(QStringLiteral("Select pg_backend_pid()")).get());
    ASSERT_TRUE(other.Execute(QStringLiteral("Select pg_terminate_backend(%1)").arg(pid2)));
    EXPECT_EQ(Rows(Run(QStringLiteral("Select Count(*) From Power")).get()), QStringLiteral("4"));
}

TEST_F(PgBook, TwoWritersExcludeEachOther)
{
    PgEngine second;
    ASSERT_TRUE(second.Open(ServerAddress(Book), QString()));
    second.SetBusyTimeout(300);
    ASSERT_TRUE(engine.Begin());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(second.Begin());
    EXPECT_GE(timer.elapsed(), 250);
    EXPECT_EQ(second.Fault(), DbFault::Busy);
    EXPECT_FALSE(second.InTransaction());
    // With time enough the second waits for the first to finish.
    second.SetBusyTimeout(10000);
    bool began = false;
    std::thread waiter([&] { began = second.Begin(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(engine.Commit());
    waiter.join();
    EXPECT_TRUE(began);
    EXPECT_EQ(second.BusyWaits(), 2);
    EXPECT_TRUE(second.Rollback());
}

struct OpenCase { const char *database; const char *options; DbOpenFailure failure; };
class PgOpen : public ::testing::TestWithParam<OpenCase> {};

TEST_P(PgOpen, RefusesWithAReasonAndNoPassword)
{
    ASSERT_TRUE(Psql(QStringLiteral("DROP ROLE IF EXISTS qmnologin; CREATE ROLE qmnologin NOLOGIN")));
    const OpenCase c = GetParam();
    QString address = ServerAddress(QString::fromLatin1(c.database)) + QString::fromLatin1(c.options);
    if (address.contains(QLatin1String("host=/nowhere")))
        address.replace(QRegularExpression(QStringLiteral("host=[^&]*&")), QString());
    PgEngine e;
    EXPECT_FALSE(e.Open(address, QStringLiteral("Pw-s3cret")));
    EXPECT_EQ(e.OpenFailure(), c.failure) << e.LastError().toStdString();
    EXPECT_FALSE(e.LastError().isEmpty());
    EXPECT_FALSE(e.LastError().contains(QLatin1String("Pw-s3cret")));
    EXPECT_FALSE(e.Connected());
}

INSTANTIATE_TEST_SUITE_P(Table, PgOpen, ::testing::Values(
    OpenCase{"qmtest", "&host=/nowhere", DbOpenFailure::Unreachable},
    OpenCase{"nosuchbook", "", DbOpenFailure::Missing},
    OpenCase{"qmtest", "", DbOpenFailure::NotOurs},
    OpenCase{"qmtest", "&user=qmnologin", DbOpenFailure::Refused}));

TEST_F(PgBook, MakingABookOverOneLeavesItAlone)
{
    QString error;
    EXPECT_FALSE(MakeServerBook(ServerAddress(Book), QString(), QStringLiteral("DROP TABLE Account"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("已经有")));
    EXPECT_EQ(engine.TableColumns(QStringLiteral("Account")).size(), 5);
}

// A statement given up after its first row, whether its rest had all arrived (read to the
// end) or was still coming (cancelled), runs again whole, and so does the next one.
class PgGivenUp : public PgBook, public ::testing::WithParamInterface<int> {};

TEST_P(PgGivenUp, RunsAgainWholeAndTheNextStatementToo)
{
    auto s = Run(QStringLiteral("Select Count(*) Over (), g From generate_series(1, ?) g"), {GetParam()});
    for (int turn = 0; turn < 3; ++turn) {
        ASSERT_EQ(s->Next(), DbEngineStatement::Step::Row) << engine.LastError().toStdString();
        EXPECT_EQ(s->Column(0).toInt(), GetParam());
        s->Reset();
        EXPECT_EQ(Rows(Run(QStringLiteral("Select Count(*) From Customer")).get()), QStringLiteral("4"));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PgGivenUp, ::testing::Values(1, 100, 20000));

// --- Rows by COPY, as a book is moved or restored onto the server. ----------------------

class PgCopy : public PgBook, public ::testing::WithParamInterface<bool> {};

TEST_P(PgCopy, KeepsEveryValueAndTheIndexes)
{
    const bool frozen = GetParam();  // a moved book's table: emptied by TRUNCATE, written frozen
    const QString indexes = QStringLiteral("Select indexname From pg_indexes Where tablename = "
                                           "'moneytable' Order By 1");
    const QString before = Rows(Run(indexes).get());
    ASSERT_TRUE(engine.Begin());
    ASSERT_TRUE(engine.Execute(frozen ? QStringLiteral("Truncate MoneyTable")
                                      : QStringLiteral("Delete From MoneyTable")));
    ASSERT_TRUE(engine.BeginCopy(QStringLiteral("MoneyTable"),
                                 {QStringLiteral("MoneyIndex"), QStringLiteral("MoneyRemark"),
                                  QStringLiteral("MoneySum")}, frozen))
        << engine.LastError().toStdString();
    const QVariantList remarks = {QStringLiteral("tab\there"), QStringLiteral("two\nlines\r"),
                                  QStringLiteral("back\\slash"), QStringLiteral("\\N"),
                                  QVariant(), QStringLiteral("汉字 ")};
    for (int i = 0; i < remarks.size(); ++i)
        ASSERT_TRUE(engine.CopyRow({qlonglong(i + 1), remarks[i], -0.1 * i}));
    ASSERT_TRUE(engine.EndCopy()) << engine.LastError().toStdString();
    auto read = Run(QStringLiteral("Select MoneyRemark, MoneySum From MoneyTable Order By MoneyIndex"));
    for (int i = 0; i < remarks.size(); ++i) {
        ASSERT_EQ(read->Next(), DbEngineStatement::Step::Row);
        EXPECT_EQ(read->Column(0), remarks[i]) << i;
        EXPECT_EQ(read->Column(1).toDouble(), -0.1 * i) << i;
    }
    read.reset();
    EXPECT_EQ(Rows(Run(indexes).get()), before);
    EXPECT_TRUE(engine.Rollback());
}

INSTANTIATE_TEST_SUITE_P(Table, PgCopy, ::testing::Bool());

}  // namespace
