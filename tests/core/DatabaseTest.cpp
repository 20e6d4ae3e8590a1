// The prepared database and the query layer: reserved rows, the statements' dialect,
// changes through a recordset, and the refusals that keep data safe.
#include "Database.h"
#include "DatabaseKey.h"
#include "ScriptedUi.h"
#include "ShareDM.h"
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

} // namespace
