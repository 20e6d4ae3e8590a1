// The prepared database and the query layer: reserved rows, the statements' dialect,
// changes through a recordset, and the refusals that keep data safe.
#include "Database.h"
#include "DbCursor.h"
#include "DatabaseKey.h"
#include "ScriptedUi.h"
#include "ShareDM.h"
#include "SqlCipherEngine.h"
#include "SqlText.h"
#include "TestFolder.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

int countOf(DbQuery &q, const QString &sql)
{
    q.SetSQL(sql);
    if (!q.Open())
        return -1;
    return q.RecordCount();
}

TEST(PreparedDatabase, HoldsTablesAndReservedRows)
{
    TestDatabase t;
    DbQuery q(&t.dm->ADOConnection1);
    EXPECT_EQ(countOf(q, QStringLiteral("Select * From Account Where AccountIndex = 1")), 1);
    EXPECT_EQ(countOf(q, QStringLiteral("Select * From Account Where (AccountIndex > 1)")), 0);
    EXPECT_EQ(countOf(q, QStringLiteral("Select * From Customer Where CustomerIndex = 1")), 1);
    EXPECT_EQ(countOf(q, QStringLiteral("Select * From Customer Where (CustomerIndex > 1)")), 0);
    EXPECT_EQ(countOf(q, QStringLiteral("Select * From MoneyTable")), 0);
    EXPECT_EQ(countOf(q, QStringLiteral("Select * From Setting Where SettingIndex In (1,2,3)")), 3);
    EXPECT_GE(countOf(q, QStringLiteral("Select * From PrintTable")), 1000);
    EXPECT_EQ(countOf(q, QStringLiteral("Select * From PrintTable Where PrintIndex = 1")), 1);
    EXPECT_GE(countOf(q, QStringLiteral("Select * From PrintReport")), 20000);

    ASSERT_EQ(countOf(q, QStringLiteral("Select * From Power Order By PowerIndex")), 4);
    QStringList names;
    for (q.First(); !q.Eof(); q.Next())
        names << q.FieldByName(QStringLiteral("PowerName")).AsString();
    EXPECT_EQ(names, (QStringList{"管理员", "出纳", "查看", "修改"}));
    q.Last();
    EXPECT_EQ(q.FieldByName(QStringLiteral("PowerIndex")).AsInteger(), 4);
}

TEST(PreparedDatabase, IsUnreadableWithoutThePassword)
{
    TestFolder folder;
    DbConnection c;
    EXPECT_FALSE(c.Open(folder.Database(), QStringLiteral("wrong")));
    EXPECT_FALSE(c.Open(folder.Database(), QString()));
    EXPECT_FALSE(c.Connected());

    // Read as a plain database file, without any key.
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(folder.Database().toUtf8().constData(), &db, SQLITE_OPEN_READONLY,
                              nullptr), SQLITE_OK);
    EXPECT_NE(sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    const QByteArray raw = [&] {
        QFile f(folder.Database());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_FALSE(raw.contains("CREATE TABLE"));
    EXPECT_FALSE(raw.contains(QStringLiteral("管理员").toUtf8()));

    EXPECT_TRUE(c.Open(folder.Database(), QString::fromLatin1(DatabasePassword)));
}

// A small book: two accounts of different types, three records, two customers.
class Dialect : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbQuery &q = t.dm->ADOQueryTemp;
        ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Account Where AccountIndex = 0"),
                             QStringLiteral("x")));
        for (const auto &[name, type] : {std::pair{"银行", "现金帐"}, std::pair{"银行", "应收帐"}}) {
            ASSERT_TRUE(q.Append());
            q.SetField(QStringLiteral("AccountName"), QString::fromUtf8(name));
            q.SetField(QStringLiteral("AccountType"), QString::fromUtf8(type));
            q.SetField(QStringLiteral("AccountBase"), 100.0);
            q.SetField(QStringLiteral("AccountPower"), QStringLiteral("出纳"));
            ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
        }
        cash = q.FieldByName(QStringLiteral("AccountIndex")).AsInteger() - 1;
        ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From MoneyTable Where MoneyIndex = 0"),
                             QStringLiteral("x")));
        addRecord(q, cash, QDate(2008, 2, 15), QStringLiteral("甲公司"), 50.5);
        addRecord(q, cash, QDate(2008, 2, 16), QStringLiteral("乙商店"), -20.25);
        addRecord(q, cash + 1, QDate(2008, 3, 1), QStringLiteral("甲公司"), 7);
        ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Customer Where CustomerIndex = 0"),
                             QStringLiteral("x")));
        for (const char *name : {"甲公司", "乙商店"}) {
            ASSERT_TRUE(q.Append());
            q.SetField(QStringLiteral("CustomerName"), QString::fromUtf8(name));
            q.SetField(QStringLiteral("CustomerRegion"), QStringLiteral("广东"));
            q.SetField(QStringLiteral("CustomerEMail"), QStringLiteral("shop@example.cn"));
            ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
        }
    }

    static void addRecord(DbQuery &q, qint64 account, QDate day, const QString &user, double sum)
    {
        ASSERT_TRUE(q.Append());
        q.SetField(QStringLiteral("MoneyAccount"), account);
        q.SetField(QStringLiteral("MoneyCreateTime"), day);
        q.SetField(QStringLiteral("MoneyRecordTime"), QDateTime(QDate(2026, 12, 9), QTime(0, 0)));
        q.SetField(QStringLiteral("MoneyUser"), user);
        q.SetField(QStringLiteral("MoneyIn"), sum > 0 ? sum : 0.0);
        q.SetField(QStringLiteral("MoneyOut"), sum < 0 ? -sum : 0.0);
        q.SetField(QStringLiteral("MoneySum"), sum);
        q.SetField(QStringLiteral("MoneyPower"), QStringLiteral("出纳"));
        ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
    }

    TestDatabase t;
    qint64 cash = 0;
};

struct FormCase { const char *statement; int rows; const char *field; const char *value; };

class DialectForms : public Dialect, public ::testing::WithParamInterface<FormCase> {};

// Each form the windows send, with the row count and one value it must give.
TEST_P(DialectForms, RunsWithItsMeaning)
{
    const FormCase c = GetParam();
    const QString sql = QString::fromUtf8(c.statement).arg(cash);
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(RunQuery(q, sql, QStringLiteral("x"))) << sql.toStdString() << " "
                                                       << q.LastError().toStdString();
    EXPECT_EQ(q.RecordCount(), c.rows) << c.statement;
    if (c.field) {
        EXPECT_EQ(q.FieldByName(QString::fromUtf8(c.field)).AsString().toStdString(), c.value)
            << c.statement;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DialectForms, ::testing::Values(
    FormCase{"Select ROUND(Sum(MoneySum),2) As TotalMoney From MoneyTable Where (MoneyAccount = %1)"
             " And (MoneyCreateTime <= #2008-02-16#)", 1, "TotalMoney", "30.25"},
    FormCase{"select round(sum(MoneySum),2) as TotalMoney from MoneyTable where MoneyAccount = 999",
             1, "TotalMoney", ""},
    FormCase{"Select * From MoneyTable Where MoneyCreateTime = #2008-02-15#", 1, "MoneyUser", "甲公司"},
    FormCase{"Select * From MoneyTable Where MoneyCreateTime Between #2008-02-15# And #2008-02-15#",
             1, "MoneySum", "50.5"},
    FormCase{"Select * From MoneyTable Where (MoneyCreateTime Between #2008-02-01# And #2008-02-29#)",
             2, nullptr, nullptr},
    FormCase{"Select * From MoneyTable Where MoneyCreateTime < #2008-02-16#", 1, nullptr, nullptr},
    FormCase{"Select ABS(MoneySum) As MSum,* From MoneyTable Where MoneySum < 0", 1, "MSum", "20.25"},
    FormCase{"Select AccountName,MoneySum From Account,MoneyTable Where (AccountIndex = MoneyAccount)"
             " And (AccountType = '应收帐')", 1, "MoneySum", "7"},
    FormCase{"Select Count(MoneyIndex) As TotalCount From MoneyTable Where MoneyUser = '甲公司'",
             1, "TotalCount", "2"},
    FormCase{"Select Round(Sum(AccountBase),2) As TotalSum From Account Where AccountIndex > 1",
             1, "TotalSum", "200"},
    FormCase{"Select ABS(ROUND(Sum(MoneySum),2)) As TotalPay From MoneyTable Where MoneySum < 0",
             1, "TotalPay", "20.25"},
    FormCase{"Select Distinct CustomerRegion From Customer Where (CustomerIndex > 1)", 1,
             "CustomerRegion", "广东"},
    FormCase{"Select * From Customer Where CustomerEMail = 'shop@example.cn'", 2, "CustomerEmail",
             "shop@example.cn"},
    FormCase{"Select * From Customer Where InStr(CustomerName,'商')", 1, "CustomerName", "乙商店"},
    FormCase{"Select * From Customer Where (CustomerIndex > 1) And (InStr(CustomerName,'公司'))", 1,
             "CustomerName", "甲公司"},
    FormCase{"Select * From MoneyTable Where MoneyUser In ('甲公司','丙') Order By MoneySum Desc,"
             "MoneyCreateTime,MoneyIndex", 2, "MoneySum", "50.5"},
    FormCase{"Select * From MoneyTable Where MoneyUser <> '甲公司' Or MoneySum >= 7", 3, nullptr,
             nullptr},
    FormCase{"Select * From PrintTable Where PrintEnable = True", 0, nullptr, nullptr},
    FormCase{"Select * From PrintTable Where PrintEnable = False And PrintIndex <= 5", 5,
             "PrintEnable", "0"}));

TEST_F(Dialect, NullsReadAsZeroEmptyAndFalse)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select ROUND(Sum(MoneySum),2) As TotalMoney, "
                                           "Max(MoneyRemark) As R From MoneyTable Where 1 = 0"),
                         QStringLiteral("x")));
    const DbField sum = q.FieldByName(QStringLiteral("totalmoney"));
    EXPECT_TRUE(sum.IsNull());
    EXPECT_EQ(sum.AsFloat(), 0.0);
    EXPECT_EQ(sum.AsInteger(), 0);
    EXPECT_EQ(sum.AsString(), QString());
    EXPECT_FALSE(sum.AsBoolean());
    EXPECT_EQ(sum.AsDate(), QDate(1899, 12, 30));
    EXPECT_FALSE(q.FieldByName(QStringLiteral("NoSuchField")).Exists());
}

TEST_F(Dialect, EditAndDeleteThroughARecordset)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From MoneyTable Where MoneyUser = '甲公司' "
                                           "Order By MoneyIndex"), QStringLiteral("x")));
    ASSERT_EQ(q.RecordCount(), 2);
    ASSERT_TRUE(q.Edit());
    q.SetField(QStringLiteral("moneyuser"), QStringLiteral("丙工厂"));
    q.SetField(QStringLiteral("MoneyCreateTime"), QDate(2008, 2, 20));
    ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
    EXPECT_EQ(q.FieldByName(QStringLiteral("MoneyUser")).AsString(), QStringLiteral("丙工厂"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("MoneyCreateTime")).AsString(),
              QStringLiteral("2008-02-20"));
    q.Next();
    ASSERT_TRUE(q.Delete());
    EXPECT_EQ(q.RecordCount(), 1);

    DbQuery check(&t.dm->ADOConnection1);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable Where MoneyUser = '丙工厂' "
                                            "And MoneyCreateTime = #2008-02-20#")), 1);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable Where MoneyUser = '甲公司'")), 0);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable")), 2);
}

TEST_F(Dialect, JoinsAndTotalsAreReadOnly)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    DbQuery check(&t.dm->ADOConnection1);
    for (const char *sql :
         {"Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount)",
          "Select Count(MoneyIndex) As TotalCount From MoneyTable",
          "Select Distinct MoneyUser From MoneyTable"}) {
        ASSERT_TRUE(RunQuery(q, QString::fromUtf8(sql), QStringLiteral("x"))) << sql;
        EXPECT_FALSE(q.CanModify()) << sql;
        EXPECT_FALSE(q.Append()) << sql;
        EXPECT_FALSE(q.LastError().isEmpty()) << sql;
        EXPECT_FALSE(q.Edit()) << sql;
        EXPECT_FALSE(q.Delete()) << sql;
    }
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable")), 3);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From Account")), 3);
}

TEST_F(Dialect, RefusesStatementsThatChangeData)
{
    ScriptedUi ui;
    DbQuery &q = t.dm->ADOQueryTemp;
    for (const char *sql : {"Delete From MoneyTable", "Update Account Set AccountBase = 0",
                            "Select * From MoneyTable; Delete From MoneyTable",
                            "Drop Table Customer"})
        EXPECT_FALSE(RunQuery(q, QString::fromUtf8(sql), QStringLiteral("数据库打开失败"))) << sql;
    EXPECT_EQ(ui.Messages(), QStringList(4, QStringLiteral("数据库打开失败")));
    DbQuery check(&t.dm->ADOConnection1);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable")), 3);
}

TEST_F(Dialect, QuotedTextsAreStoredAndFoundIntact)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    const QStringList names{QStringLiteral("O'Brien"), QStringLiteral("x' Or '1'='1"),
                            QStringLiteral("''"), QStringLiteral("张三's #2008-01-01# True")};
    for (const QString &name : names) {
        ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Customer Where CustomerName = ")
                                    + Quoted(name), QStringLiteral("x")));
        EXPECT_EQ(q.RecordCount(), 0) << name.toStdString();
        ASSERT_TRUE(q.Append());
        q.SetField(QStringLiteral("CustomerName"), name);
        ASSERT_TRUE(q.Post());
    }
    for (const QString &name : names) {
        ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Customer Where CustomerName = ")
                                    + Quoted(name), QStringLiteral("x")));
        ASSERT_EQ(q.RecordCount(), 1) << name.toStdString();
        EXPECT_EQ(q.FieldByName(QStringLiteral("CustomerName")).AsString(), name);
    }
}

TEST_F(Dialect, RolledBackChangesLeaveNoTrace)
{
    DbConnection &c = t.dm->ADOConnection1;
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(c.BeginTrans());
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From MoneyTable"), QStringLiteral("x")));
    ASSERT_TRUE(q.Delete());
    ASSERT_TRUE(q.Append());
    q.SetField(QStringLiteral("MoneyUser"), QStringLiteral("临时"));
    ASSERT_TRUE(q.Post());
    ASSERT_TRUE(c.RollbackTrans());
    DbQuery check(&c);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable")), 3);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable Where MoneyUser = '临时'")), 0);

    ASSERT_TRUE(c.BeginTrans());
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From MoneyTable"), QStringLiteral("x")));
    ASSERT_TRUE(q.Delete());
    ASSERT_TRUE(c.CommitTrans());
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From MoneyTable")), 2);
}

// A statement still open keeps the engine's handle: Close says so, and the handle goes with
// the statement (the leak checker of the sanitizer build would see it stay).
TEST_F(Dialect, ClosingWithAStatementOpenSaysSo)
{
    DbConnection c;
    ASSERT_TRUE(c.Open(t.folder.Database(), QString::fromLatin1(DatabasePassword)));
    DbCursor cursor(&c);
    ASSERT_TRUE(cursor.Open(QStringLiteral("Select * From Power")));
    EXPECT_FALSE(c.Close());
    EXPECT_FALSE(c.LastError().isEmpty());
    EXPECT_FALSE(c.Connected());
    cursor.Close();
    EXPECT_TRUE(c.Close());
}

TEST_F(Dialect, PostingAnUnknownFieldChangesNothing)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Customer"), QStringLiteral("x")));
    ASSERT_TRUE(q.Append());
    q.SetField(QStringLiteral("CustomerName"), QStringLiteral("丁"));
    q.SetField(QStringLiteral("NoSuchColumn"), 1);
    EXPECT_FALSE(q.Post());
    EXPECT_TRUE(q.LastError().contains(QStringLiteral("NoSuchColumn")));
    q.Cancel();
    DbQuery check(&t.dm->ADOConnection1);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From Customer Where CustomerName = '丁'")), 0);
}

// Five customers 客户1 … 客户5, read in creation order.
class Recordset : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbQuery &q = t.dm->ADOQueryTemp;
        ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Customer Where 1 = 0"),
                             QStringLiteral("x")));
        for (int i = 1; i <= 5; ++i) {
            ASSERT_TRUE(q.Append());
            ASSERT_TRUE(q.SetField(QStringLiteral("CustomerName"), QStringLiteral("客户%1").arg(i)));
            ASSERT_TRUE(q.SetField(QStringLiteral("CustomerRegion"), QStringLiteral("原")));
            ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
        }
        openAll();
    }

    void openAll()
    {
        ASSERT_TRUE(RunQuery(t.dm->ADOQueryTemp,
                             QStringLiteral("Select * From Customer Where CustomerIndex > 1 "
                                            "Order By CustomerIndex"), QStringLiteral("x")));
        ASSERT_EQ(t.dm->ADOQueryTemp.RecordCount(), 5);
    }

    // Name and region of every customer as stored, in creation order.
    QStringList stored()
    {
        DbQuery check(&t.dm->ADOConnection1);
        check.SetSQL(QStringLiteral("Select * From Customer Where CustomerIndex > 1 "
                                    "Order By CustomerIndex"));
        EXPECT_TRUE(check.Open());
        QStringList rows;
        for (check.First(); !check.Eof(); check.Next())
            rows << check.FieldByName(QStringLiteral("CustomerName")).AsString() + QLatin1Char('/')
                    + check.FieldByName(QStringLiteral("CustomerRegion")).AsString();
        return rows;
    }

    TestDatabase t;
};

TEST_F(Recordset, EditsThePositionedRowOnly)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(q.MoveTo(2));
    ASSERT_TRUE(q.Edit());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerRegion"), QStringLiteral("三")));
    ASSERT_TRUE(q.Post());
    ASSERT_TRUE(q.Last());
    ASSERT_TRUE(q.Edit());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerRegion"), QStringLiteral("五")));
    ASSERT_TRUE(q.Post());
    EXPECT_EQ(stored(), (QStringList{"客户1/原", "客户2/原", "客户3/三", "客户4/原", "客户5/五"}));
    q.MoveTo(2);
    EXPECT_EQ(q.FieldByName(QStringLiteral("CustomerRegion")).AsString(), QStringLiteral("三"));
}

// Leaving a row with a pending change posts it to that row, as a dataset does; a change
// that cannot be written keeps the cursor on its row.
TEST_F(Recordset, PendingChangeGoesToItsOwnRowWhenTheCursorMoves)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(q.Next());
    ASSERT_TRUE(q.Edit());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerRegion"), QStringLiteral("二")));
    ASSERT_TRUE(q.Next());
    EXPECT_TRUE(q.Post());   // nothing left to post
    EXPECT_FALSE(q.Editing());
    EXPECT_EQ(q.RecNo(), 2);
    EXPECT_EQ(stored(), (QStringList{"客户1/原", "客户2/二", "客户3/原", "客户4/原", "客户5/原"}));

    // Edit in a walking loop without an explicit Post.
    for (q.First(); !q.Eof(); q.Next()) {
        ASSERT_TRUE(q.Edit());
        ASSERT_TRUE(q.SetField(QStringLiteral("CustomerRegion"),
                               q.FieldByName(QStringLiteral("CustomerName")).AsString()));
    }
    EXPECT_EQ(stored(), (QStringList{"客户1/客户1", "客户2/客户2", "客户3/客户3", "客户4/客户4",
                                     "客户5/客户5"}));

    ASSERT_TRUE(q.MoveTo(3));
    ASSERT_TRUE(q.Edit());
    ASSERT_TRUE(q.SetField(QStringLiteral("NoSuchColumn"), 1));
    EXPECT_FALSE(q.Next());
    EXPECT_EQ(q.RecNo(), 3);
    EXPECT_TRUE(q.Editing());
    q.Cancel();
    EXPECT_TRUE(q.Next());
}

TEST_F(Recordset, DeletesThePositionedRowsOneAfterAnother)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(q.MoveTo(1));
    ASSERT_TRUE(q.Delete());
    EXPECT_EQ(q.FieldByName(QStringLiteral("CustomerName")).AsString(), QStringLiteral("客户3"));
    ASSERT_TRUE(q.Delete());
    EXPECT_EQ(q.FieldByName(QStringLiteral("CustomerName")).AsString(), QStringLiteral("客户4"));
    ASSERT_TRUE(q.Last());
    ASSERT_TRUE(q.Delete());
    EXPECT_TRUE(q.Eof());
    EXPECT_FALSE(q.Delete());
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(stored(), (QStringList{"客户1/原", "客户4/原"}));

    // Deleting while appending only drops the new row.
    ASSERT_TRUE(q.First());
    ASSERT_TRUE(q.Append());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerName"), QStringLiteral("新")));
    ASSERT_TRUE(q.Delete());
    EXPECT_EQ(stored(), (QStringList{"客户1/原", "客户4/原"}));
}

TEST_F(Recordset, AppendThenEditTheNewRow)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(q.MoveTo(2));
    ASSERT_TRUE(q.Append());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerName"), QStringLiteral("客户6")));
    ASSERT_TRUE(q.Append());   // posts the first new row, starts another
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerName"), QStringLiteral("客户7")));
    ASSERT_TRUE(q.First());
    EXPECT_EQ(q.RecordCount(), 7);
    ASSERT_TRUE(q.Last());
    EXPECT_EQ(q.FieldByName(QStringLiteral("CustomerName")).AsString(), QStringLiteral("客户7"));
    EXPECT_GT(q.FieldByName(QStringLiteral("CustomerIndex")).AsInteger(), 6);
    ASSERT_TRUE(q.Edit());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerRegion"), QStringLiteral("七")));
    ASSERT_TRUE(q.Post());
    EXPECT_EQ(stored().mid(5), (QStringList{"客户6/", "客户7/七"}));
    EXPECT_FALSE(q.SetField(QStringLiteral("CustomerRegion"), QStringLiteral("未开始")));
    EXPECT_EQ(stored().mid(5), (QStringList{"客户6/", "客户7/七"}));
}

// A value the engine refuses to bind, or a row it refuses to take, leaves the stored row and
// the cached row as they were, and the change pending.
TEST_F(Recordset, FailedBindOrStepChangesNothing)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    sqlite3_limit(SqlCipherHandle(t.dm->ADOConnection1), SQLITE_LIMIT_LENGTH, 1000);
    ASSERT_TRUE(q.MoveTo(1));
    ASSERT_TRUE(q.Edit());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerRegion"), QString(2000, QLatin1Char('x'))));
    EXPECT_FALSE(q.Post());
    EXPECT_FALSE(q.LastError().isEmpty());
    EXPECT_TRUE(q.Editing());
    q.Cancel();
    EXPECT_EQ(q.FieldByName(QStringLiteral("CustomerRegion")).AsString(), QStringLiteral("原"));
    EXPECT_EQ(stored(), (QStringList{"客户1/原", "客户2/原", "客户3/原", "客户4/原", "客户5/原"}));

    DbQuery settings(&t.dm->ADOConnection1);
    settings.SetSQL(QStringLiteral("Select * From Setting Order By SettingIndex"));
    ASSERT_TRUE(settings.Open());
    ASSERT_TRUE(settings.Edit());
    ASSERT_TRUE(settings.SetField(QStringLiteral("SettingIndex"), 2));   // taken
    ASSERT_TRUE(settings.SetField(QStringLiteral("SettingValue"), QStringLiteral("NO1")));
    EXPECT_FALSE(settings.Post());
    settings.Cancel();
    EXPECT_EQ(settings.FieldByName(QStringLiteral("SettingIndex")).AsInteger(), 1);
    EXPECT_EQ(settings.FieldByName(QStringLiteral("SettingValue")).AsString(), QString());
}

// Words that are keywords elsewhere are only names inside quotes: the query stays updatable.
class KeywordNames : public Recordset, public ::testing::WithParamInterface<const char *> {};

TEST_P(KeywordNames, KeepTheQueryUpdatable)
{
    const QString name = QString::fromUtf8(GetParam());
    DbQuery &q = t.dm->ADOQueryTemp;
    const QString sql = QStringLiteral("Select * From Customer Where CustomerName = ")
        + Quoted(name) + QStringLiteral(" Order By CustomerIndex");
    ASSERT_TRUE(RunQuery(q, sql, QStringLiteral("x")));
    EXPECT_TRUE(q.CanModify()) << sql.toStdString();
    ASSERT_TRUE(q.Append()) << q.LastError().toStdString();
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerName"), name));
    ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
    ASSERT_TRUE(RunQuery(q, sql, QStringLiteral("x")));
    ASSERT_EQ(q.RecordCount(), 1);
    ASSERT_TRUE(q.Delete());
    ASSERT_TRUE(RunQuery(q, sql, QStringLiteral("x")));
    EXPECT_EQ(q.RecordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Table, KeywordNames, ::testing::Values(
    "Union Trading", "Having Fun Ltd", "Group By Co", "Distinct Sum(1) Count(2)",
    "x From Account, MoneyTable", "Intersect Except", "a'; Select 1 --"));

TEST_F(Recordset, AnAliasedTableIsUpdatable)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    for (const char *sql : {"Select * From Power p Where p.PowerName = '出纳'",
                            "Select p.* From Power As p Where PowerName = '出纳'",
                            "Select PowerKey From Power p Where PowerName = '出纳' Order By p.PowerIndex"}) {
        ASSERT_TRUE(RunQuery(q, QString::fromUtf8(sql), QStringLiteral("x"))) << sql;
        ASSERT_TRUE(q.CanModify()) << sql;
        ASSERT_EQ(q.RecordCount(), 1) << sql;
        ASSERT_TRUE(q.Edit());
        ASSERT_TRUE(q.SetField(QStringLiteral("PowerKey"), QString::fromUtf8(sql).left(20)));
        ASSERT_TRUE(q.Post()) << sql << " " << q.LastError().toStdString();
        EXPECT_EQ(q.FieldByName(QStringLiteral("PowerKey")).AsString(),
                  QString::fromUtf8(sql).left(20));
    }
    DbQuery check(&t.dm->ADOConnection1);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From Power Where PowerKey = 'Select PowerKey From'")), 1);
}

// Only a single Select reaches the engine: a key change, a transaction, an attached file or
// a second statement is refused before anything is prepared.
TEST_F(Recordset, RefusesAnythingButOneSelectBeforePreparing)
{
    ScriptedUi ui;
    DbQuery &q = t.dm->ADOQueryTemp;
    const QString attached = t.folder.Path() + QStringLiteral("x.db");
    const QStringList refused{
        QStringLiteral("PRAGMA rekey = 'Stolen'"), QStringLiteral("PRAGMA key = 'Stolen'"),
        QStringLiteral("BEGIN"), QStringLiteral("Begin Transaction"),
        QStringLiteral("ATTACH ") + Quoted(attached) + QStringLiteral(" AS x"),
        QStringLiteral("Select 1; PRAGMA rekey = 'Stolen'"),
        QStringLiteral("Select * From Power -- PRAGMA rekey = 'Stolen'")};
    for (const QString &sql : refused)
        EXPECT_FALSE(RunQuery(q, sql, QStringLiteral("数据库打开失败"))) << sql.toStdString();
    EXPECT_EQ(ui.Messages().size(), refused.size());
    EXPECT_FALSE(QFile::exists(attached));
    EXPECT_FALSE(t.dm->ADOConnection1.InTransaction());

    // A change made now is seen by another connection: no stray transaction holds it back.
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Customer Where 1 = 0"),
                         QStringLiteral("x")));
    ASSERT_TRUE(q.Append());
    ASSERT_TRUE(q.SetField(QStringLiteral("CustomerName"), QStringLiteral("客户6")));
    ASSERT_TRUE(q.Post());
    DbConnection other;
    ASSERT_TRUE(other.Open(t.folder.Database(), QString::fromLatin1(DatabasePassword)))
        << other.LastError().toStdString();
    DbQuery check(&other);
    EXPECT_EQ(countOf(check, QStringLiteral("Select * From Customer Where CustomerIndex > 1")), 6);
}

// Names compare without regard to the case of Latin letters, in =, In and InStr, in the
// shapes the windows send; passwords compare exactly.
struct CaseCase { const char *statement; int rows; };

class CaseBlind : public Dialect, public ::testing::WithParamInterface<CaseCase> {};

TEST_P(CaseBlind, NamesIgnoreTheCaseOfLatinLetters)
{
    DbQuery &q = t.dm->ADOQueryTemp;
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Account Where 1 = 0"), QStringLiteral("x")));
    ASSERT_TRUE(q.Append());
    q.SetField(QStringLiteral("AccountName"), QStringLiteral("Cash Ltd 现金"));
    q.SetField(QStringLiteral("AccountType"), QStringLiteral("现金帐"));
    ASSERT_TRUE(q.Post());
    ASSERT_TRUE(RunQuery(q, QStringLiteral("Select * From Customer Where 1 = 0"), QStringLiteral("x")));
    ASSERT_TRUE(q.Append());
    q.SetField(QStringLiteral("CustomerName"), QStringLiteral("Ärger GmbH"));
    ASSERT_TRUE(q.Post());
    ASSERT_TRUE(RunQuery(q, QString::fromUtf8(GetParam().statement), QStringLiteral("x")))
        << GetParam().statement;
    EXPECT_EQ(q.RecordCount(), GetParam().rows) << GetParam().statement;
}

INSTANTIATE_TEST_SUITE_P(Table, CaseBlind, ::testing::Values(
    CaseCase{"Select * From Account Where AccountName = 'cash ltd 现金' And AccountType = '现金帐'", 1},
    CaseCase{"Select * From Account Where (AccountName = 'CASH LTD 现金')", 1},
    CaseCase{"Select * From Account Where AccountName In ('x','cAsH lTd 现金')", 1},
    CaseCase{"Select * From Account Where InStr(AccountName,'cash')", 1},
    CaseCase{"Select * From Account Where (AccountIndex > 1) And (InStr(AccountName,'LTD 现'))", 1},
    CaseCase{"Select * From Account Where InStr(AccountName,'现金帐')", 0},
    CaseCase{"Select * From Account,MoneyTable Where (AccountIndex = MoneyAccount) And "
             "(MoneyUser = '甲公司') And InStr(AccountType,'现金')", 1},
    CaseCase{"Select * From Customer Where CustomerName = 'ärger gmbh'", 0},
    CaseCase{"Select * From Customer Where CustomerName = 'Ärger GMBH'", 1},
    CaseCase{"Select * From Customer Where InStr(CustomerName,'r gm')", 1},
    CaseCase{"Select InStr(CustomerName,'GMBH') As P From Customer Where CustomerName = 'ärger gmbh' "
             "Or InStr(CustomerName,'gmbh') = 7", 1},
    CaseCase{"Select * From MoneyTable Where MoneyUser = '甲公司' Order By MoneyIndex", 2},
    CaseCase{"Select * From Power Where PowerKey = 'ADMIN'", 0},
    CaseCase{"Select * From Power Where PowerKey = 'admin' And PowerName = '管理员'", 1}));

} // namespace
