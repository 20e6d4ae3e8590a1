// The cursor that grids and printouts walk, and the transaction that bulk rewrites run in:
// rows and fields as the recordset reads them, refusals before the engine sees a statement,
// no statement left open, and a rewrite that either happens whole or not at all.
#include "DbCursor.h"
#include "DbTransaction.h"
#include "DatabaseKey.h"
#include "ShareDM.h"
#include "SqlCipherEngine.h"
#include "TestFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

int countOf(DbConnection *c, const QString &sql)
{
    DbQuery q(c);
    q.SetSQL(sql);
    return q.Open() ? q.RecordCount() : -1;
}

bool openStatements(DbConnection *c)
{
    return sqlite3_next_stmt(SqlCipherHandle(*c), nullptr) != nullptr;
}

class Cursor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        const struct { const char *user; const char *day; double sum; const char *remark; }
        rows[] = {{"甲", "2008-02-15", 50.5, "首笔"}, {"乙", "2008-02-16", -20.25, nullptr},
                  {"丙", "2008-03-01", 7, "O'Brien; Drop"}};
        for (const auto &r : rows) {
            ASSERT_TRUE(q.Append());
            q.SetField(QStringLiteral("MoneyUser"), QString::fromUtf8(r.user));
            q.SetField(QStringLiteral("MoneyCreateTime"), QString::fromLatin1(r.day));
            q.SetField(QStringLiteral("MoneySum"), r.sum);
            q.SetField(QStringLiteral("MoneyRemark"),
                       r.remark ? QVariant(QString::fromUtf8(r.remark)) : QVariant());
            ASSERT_TRUE(q.Post()) << q.LastError().toStdString();
        }
    }
    DbConnection *conn() { return &t.dm->ADOConnection1; }
    TestDatabase t;
};

TEST_F(Cursor, WalksTheRowsAndReadsFieldsByName)
{
    DbCursor c(conn());
    ASSERT_TRUE(c.Open(QStringLiteral("Select MoneyIndex, MoneyUser, MoneySum As Amount, "
                                      "MoneyRemark, MoneyCreateTime From MoneyTable "
                                      "Where MoneyCreateTime <= #2008-02-29# Or MoneySum > 0 "
                                      "Order By MoneyIndex")));
    QStringList users, remarks;
    QList<double> sums;
    QList<QDate> days;
    QList<qint64> keys;
    for (; !c.Eof(); c.Next()) {
        keys << c.FieldByName(QStringLiteral("MONEYINDEX")).AsInteger();
        EXPECT_TRUE(c.FieldByName(QStringLiteral("Amount")).AsBoolean());
        users << c.FieldByName(QStringLiteral("moneyuser")).AsString();
        sums << c.FieldByName(QStringLiteral("AMOUNT")).AsFloat();
        remarks << c.FieldByName(QStringLiteral("MoneyRemark")).AsString();
        days << c.FieldByName(QStringLiteral("MoneyCreateTime")).AsDate();
        EXPECT_EQ(c.FieldByName(QStringLiteral("MoneyRemark")).IsNull(), users.size() == 2);
    }
    EXPECT_FALSE(c.Failed());
    EXPECT_EQ(keys, (QList<qint64>{1, 2, 3}));
    EXPECT_EQ(users, (QStringList{"甲", "乙", "丙"}));
    EXPECT_EQ(sums, (QList<double>{50.5, -20.25, 7}));
    EXPECT_EQ(remarks, (QStringList{"首笔", "", "O'Brien; Drop"}));
    EXPECT_EQ(days, (QList<QDate>{QDate(2008, 2, 15), QDate(2008, 2, 16), QDate(2008, 3, 1)}));
    EXPECT_EQ(c.FieldNames(), (QStringList{"MoneyIndex", "MoneyUser", "Amount", "MoneyRemark",
                                           "MoneyCreateTime"}));
    // Past the end and for unknown names: NULL fields, which still say whether they exist.
    EXPECT_TRUE(c.FieldByName(QStringLiteral("MoneyUser")).IsNull());
    EXPECT_TRUE(c.FieldByName(QStringLiteral("MoneyUser")).Exists());
    EXPECT_FALSE(c.FieldByName(QStringLiteral("NoSuchField")).Exists());
    EXPECT_FALSE(c.Next());
}

TEST_F(Cursor, RunsAPreparedStatementForEachBoundValue)
{
    DbCursor c(conn());
    ASSERT_TRUE(c.Prepare(QStringLiteral("Select MoneyUser From MoneyTable "
                                         "Where MoneyCreateTime = ? Or MoneySum = ?")));
    const struct { QVariant day; QVariant sum; const char *user; } cases[] = {
        {QDate(2008, 2, 16), QVariant(), "乙"},
        {QStringLiteral("2008-03-01"), QVariant(), "丙"},
        {QVariant(), 50.5, "甲"},
        {QVariant(), qint64(7), "丙"},
        {QStringLiteral("1999-01-01"), 0.0, nullptr}};
    for (const auto &k : cases) {
        ASSERT_TRUE(c.Bind(1, k.day));
        ASSERT_TRUE(c.Bind(2, k.sum));
        ASSERT_TRUE(c.Execute()) << c.LastError().toStdString();
        if (!k.user) {
            EXPECT_TRUE(c.Eof());
            continue;
        }
        ASSERT_FALSE(c.Eof());
        EXPECT_EQ(c.FieldByName(QStringLiteral("MoneyUser")).AsString(),
                  QString::fromUtf8(k.user));
        EXPECT_FALSE(c.Next());
    }
    EXPECT_FALSE(c.Bind(3, 1));
    EXPECT_FALSE(c.LastError().isEmpty());
}

TEST_F(Cursor, LeavesNoStatementOpen)
{
    {
        DbCursor c(conn());
        ASSERT_TRUE(c.Open(QStringLiteral("Select * From PrintReport")));
        EXPECT_TRUE(openStatements(conn()));
        // Walked to the end, it no longer holds the file, though the cursor lives on.
        while (c.Next()) {
        }
        EXPECT_EQ(sqlite3_stmt_busy(sqlite3_next_stmt(SqlCipherHandle(*conn()), nullptr)), 0);
        c.Close();
        EXPECT_FALSE(openStatements(conn()));
        ASSERT_TRUE(c.Open(QStringLiteral("Select * From PrintReport")));
    }
    EXPECT_FALSE(openStatements(conn()));
}

TEST_F(Cursor, AFailingStepIsNotTheEnd)
{
    DbCursor c(conn());
    EXPECT_FALSE(c.Open(QStringLiteral("Select abs(-9223372036854775807 - 1) As x")));
    EXPECT_TRUE(c.Failed());
    EXPECT_TRUE(c.LastError().contains(QStringLiteral("overflow"))) << c.LastError().toStdString();

    ASSERT_TRUE(c.Open(QStringLiteral("Select abs(x) As y From (Select 1 As x Union All "
                                      "Select -9223372036854775807 - 1)")));
    EXPECT_EQ(c.FieldByName(QStringLiteral("y")).AsInteger(), 1);
    EXPECT_FALSE(c.Next());
    EXPECT_TRUE(c.Eof());
    EXPECT_TRUE(c.Failed());
    EXPECT_FALSE(c.LastError().isEmpty());
    c.Close();
    EXPECT_FALSE(openStatements(conn()));
}

struct Refused { const char *sql; };
void PrintTo(const Refused &r, std::ostream *os) { *os << r.sql; }

class CursorRefuses : public Cursor, public ::testing::WithParamInterface<Refused> {};

// Nothing but one Select reaches the engine: the password stays, no transaction is left
// running, no row changes, and the reason is given.
TEST_P(CursorRefuses, AnythingButOneSelect)
{
    const QString sql = QString::fromUtf8(GetParam().sql);
    DbCursor c(conn());
    EXPECT_FALSE(c.Open(sql)) << GetParam().sql;
    EXPECT_FALSE(c.LastError().isEmpty());
    EXPECT_FALSE(c.Active());
    EXPECT_NE(sqlite3_get_autocommit(SqlCipherHandle(*conn())), 0) << GetParam().sql;
    EXPECT_EQ(countOf(conn(), QStringLiteral("Select * From MoneyTable")), 3);
    EXPECT_EQ(countOf(conn(), QStringLiteral("Select * From Customer")), 1);
    conn()->Close();
    ASSERT_TRUE(conn()->Open(t.folder.Database(), QString::fromLatin1(DatabasePassword)))
        << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(Table, CursorRefuses, ::testing::Values(
    Refused{"PRAGMA rekey = 'stolen'"},
    Refused{"PRAGMA key = 'other'"},
    Refused{"Begin"},
    Refused{"ATTACH DATABASE 'x.db' AS x"},
    Refused{"Delete From MoneyTable"},
    Refused{"  /* a comment */ Update MoneyTable Set MoneySum = 0"},
    Refused{"Select * From MoneyTable; Delete From MoneyTable"},
    Refused{"Select 1; PRAGMA rekey = 'stolen'"},
    Refused{"Select 'it''s;' As a; Drop Table Customer"},
    Refused{"Selection From MoneyTable"},
    Refused{"Insert Into Customer (CustomerName) Select 'x'"},
    Refused{"Select 1 As x -- ; Drop Table Customer"},
    Refused{"/* x */ Select 1 As x"},
    Refused{"Select 'unclosed As x"},
    Refused{""}));

TEST_F(Cursor, AcceptsOneSelectWithQuotedSemicolonsAndCommentMarks)
{
    DbCursor c(conn());
    for (const char *sql : {"Select 'a;b' As t;", "  select 'a;b' As t ; ;",
                            "SELECT 'a;b' As t, '-- /*' As u", "Select \"a;b\" As t"}) {
        ASSERT_TRUE(c.Open(QString::fromUtf8(sql))) << sql << c.LastError().toStdString();
        EXPECT_EQ(c.FieldByName(QStringLiteral("t")).AsString(), QStringLiteral("a;b")) << sql;
    }
}

TEST(CursorWithoutDatabase, RefusesToOpen)
{
    DbConnection closed;
    DbCursor c(&closed);
    EXPECT_FALSE(c.Open(QStringLiteral("Select 1")));
    EXPECT_FALSE(c.LastError().isEmpty());
    DbCursor none;
    EXPECT_FALSE(none.Open(QStringLiteral("Select 1")));
}

// The printouts overwrite the scratch rows in place; the whole rewrite runs in one
// transaction.
class Rewrite : public ::testing::Test
{
protected:
    DbConnection *conn() { return &t.dm->ADOConnection1; }

    // Sets every PrintReport row's columns through the recordset, stopping after stopAfter
    // rows when it is not negative. The number of rows written.
    int rewrite(const QString &mark, int stopAfter = -1)
    {
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From PrintReport Order By ReportIndex"));
        if (!q.Open())
            return -1;
        int n = 0;
        for (q.First(); !q.Eof() && n != stopAfter; q.Next(), ++n) {
            if (!q.Edit())
                return -1;
            q.SetField(QStringLiteral("ReportEnable"), true);
            for (int g = 1; g <= 8; ++g)
                q.SetField(QStringLiteral("ReportGrid%1").arg(g),
                           QStringLiteral("%1-%2-%3").arg(mark).arg(n).arg(g));
            if (!q.Post())
                return -1;
        }
        return n;
    }

    int enabledRows()
    {
        return countOf(conn(),
                       QStringLiteral("Select * From PrintReport Where ReportEnable = True"));
    }

    TestDatabase t;
};

TEST_F(Rewrite, AllScratchRowsInOneTransaction)
{
    {
        DbTransaction trans(conn());
        ASSERT_TRUE(trans.Active()) << trans.LastError().toStdString();
        EXPECT_EQ(rewrite(QStringLiteral("新")), 20000);
        ASSERT_TRUE(trans.Commit()) << trans.LastError().toStdString();
    }
    EXPECT_FALSE(conn()->InTransaction());
    EXPECT_EQ(enabledRows(), 20000);
    DbCursor c(conn());
    ASSERT_TRUE(c.Open(QStringLiteral("Select * From PrintReport Where ReportIndex = 20000")));
    EXPECT_EQ(c.FieldByName(QStringLiteral("ReportGrid8")).AsString(),
              QStringLiteral("新-19999-8"));
}

TEST_F(Rewrite, AnUnfinishedRewriteLeavesNoTrace)
{
    {
        DbTransaction trans(conn());
        ASSERT_TRUE(trans.Active());
        EXPECT_EQ(rewrite(QStringLiteral("半"), 1500), 1500);
        // A second rewrite cannot start inside the first, and ending it touches nothing.
        {
            DbTransaction nested(conn());
            EXPECT_FALSE(nested.Active());
            EXPECT_FALSE(nested.LastError().isEmpty());
            EXPECT_FALSE(nested.Commit());
        }
        EXPECT_TRUE(conn()->InTransaction());
        // Leaving the scope without a commit, as a failing printout does.
    }
    EXPECT_FALSE(conn()->InTransaction());
    EXPECT_EQ(enabledRows(), 0);
    EXPECT_EQ(countOf(conn(), QStringLiteral("Select * From PrintReport Where ReportGrid1 <> ''")),
              0);

    DbTransaction undone(conn());
    ASSERT_TRUE(undone.Active());
    EXPECT_EQ(rewrite(QStringLiteral("撤"), 10), 10);
    EXPECT_TRUE(undone.Rollback());
    EXPECT_FALSE(undone.Commit());
    EXPECT_EQ(enabledRows(), 0);
}

TEST(RewriteWithoutDatabase, DoesNotBegin)
{
    DbConnection closed;
    DbTransaction trans(&closed);
    EXPECT_FALSE(trans.Active());
    EXPECT_FALSE(trans.LastError().isEmpty());
    EXPECT_FALSE(trans.Commit());
}

} // namespace
