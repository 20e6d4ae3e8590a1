// The record grids' model on a small book, with pages of a few rows so that every path
// (first page, snapshot, later pages, the cache) runs: counts and sums, every row once in
// order, keys and rows, the cell hook, failures, and no statement left open.
#include "DbCursor.h"
#include "DbTransaction.h"
#include "RecordGridModel.h"
#include "ShareDM.h"
#include "SqlCipherEngine.h"
#include "TestFolder.h"

#include <QBrush>
#include <QCoreApplication>
#include <QFont>
#include <QTableView>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>

namespace {

const QString SelectList = QStringLiteral(
    "MoneyIndex,MoneySerial,MoneyCreateTime,AccountName,MoneyUser,MoneyIn,MoneyOut,MoneySum,"
    "MoneyMan,MoneyReason,MoneyType,MoneyToken,MoneyRemark");
const QString Journal =
    QStringLiteral("From Account,MoneyTable Where (AccountIndex = MoneyAccount)");
const QString CashBook = QStringLiteral(" And (AccountType = '现金帐')");

// Amounts with ties, zero, and the two sides of -0.5.
const double Sums[] = {100, -30, 0, 50.5, -0.4, -0.6, 100, 100, -30, 12.34};

class GridModel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbTransaction trans(conn());
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From Account Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        for (const auto &[name, type] : {std::pair{"银行", "现金帐"}, std::pair{"Cash", "现金帐"},
                                         std::pair{"甲应收", "应收帐"}}) {
            ASSERT_TRUE(q.Append());
            q.SetField(QStringLiteral("AccountName"), QString::fromUtf8(name));
            q.SetField(QStringLiteral("AccountType"), QString::fromUtf8(type));
            ASSERT_TRUE(q.Post());
            accounts << q.FieldByName(QStringLiteral("AccountIndex")).AsInteger();
        }
        q.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        for (int i = 0; i < 47; ++i) {
            const double sum = Sums[i % 10];
            ASSERT_TRUE(q.Append());
            q.SetField(QStringLiteral("MoneyAccount"), accounts[i % 3]);
            q.SetField(QStringLiteral("MoneyCreateTime"), QDate(2024, 6, 10).addDays(i * 7 % 5));
            q.SetField(QStringLiteral("MoneyUser"), QStringLiteral("客户%1").arg(i % 4));
            q.SetField(QStringLiteral("MoneyIn"), sum > 0 ? sum : 0.0);
            q.SetField(QStringLiteral("MoneyOut"), sum < 0 ? -sum : 0.0);
            q.SetField(QStringLiteral("MoneySum"), sum);
            q.SetField(QStringLiteral("MoneySerial"),
                       i % 5 ? QVariant(QStringLiteral("NO%1").arg(i)) : QVariant());
            q.SetField(QStringLiteral("MoneyRemark"), i == 3 ? QStringLiteral("Where 'x' Or")
                                                             : QString());
            ASSERT_TRUE(q.Post());
        }
        ASSERT_TRUE(trans.Commit());
    }

    DbConnection *conn() { return &t.dm->ADOConnection1; }

    TRecordGridModel::Statement statement(const QString &condition,
                                          const QString &order = QString()) const
    {
        TRecordGridModel::Statement s;
        s.select = SelectList;
        s.from = Journal + condition;
        s.orderBy = order;
        return s;
    }

    // The rows of the whole statement read at once, the straightforward way.
    struct Reference
    {
        QList<qint64> keys;
        QStringList users;
        double in = 0, out = 0, sum = 0;
    };
    Reference reference(const QString &condition, const QString &order)
    {
        Reference r;
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select ") + SelectList + QLatin1Char(' ') + Journal + condition
                 + (order.isEmpty() ? QStringLiteral(" Order By MoneyIndex")
                                    : QLatin1Char(' ') + order + QStringLiteral(",MoneyIndex")));
        EXPECT_TRUE(q.Open()) << q.LastError().toStdString();
        for (q.First(); !q.Eof(); q.Next()) {
            r.keys << q.FieldByName(QStringLiteral("MoneyIndex")).AsInteger();
            r.users << q.FieldByName(QStringLiteral("MoneyUser")).AsString();
            r.in += q.FieldByName(QStringLiteral("MoneyIn")).AsFloat();
            r.out += q.FieldByName(QStringLiteral("MoneyOut")).AsFloat();
            r.sum += q.FieldByName(QStringLiteral("MoneySum")).AsFloat();
        }
        return r;
    }

    bool statementsOpen()
    {
        return sqlite3_next_stmt(SqlCipherHandle(*conn()), nullptr) != nullptr;
    }

    TestDatabase t;
    QList<qint64> accounts;
};

struct Filter { const char *condition; };
void PrintTo(const Filter &f, std::ostream *os) { *os << f.condition; }

class GridFilters : public GridModel, public ::testing::WithParamInterface<Filter> {};

// The grids' conditions, an Or at the top level and quoted keywords among them: the footer
// figures and the rows are those of the statement run whole.
TEST_P(GridFilters, CountAndSumsAreThoseOfTheRows)
{
    const QString condition = QString::fromUtf8(GetParam().condition);
    TRecordGridModel model(conn());
    model.SetPageSize(4);
    ASSERT_TRUE(model.Open(statement(condition))) << model.LastError().toStdString();
    const Reference r = reference(condition, QString());
    EXPECT_EQ(model.RecordCount(), r.keys.size());
    EXPECT_EQ(model.rowCount(), r.keys.size());
    EXPECT_NEAR(model.FooterSum(QStringLiteral("MoneyIn")), r.in, 1e-9);
    EXPECT_NEAR(model.FooterSum(QStringLiteral("moneyout")), r.out, 1e-9);
    EXPECT_NEAR(model.FooterSum(QStringLiteral("MoneySum")), r.sum, 1e-9);
    EXPECT_EQ(model.FooterSum(QStringLiteral("MoneyUser")), 0.0);
    QList<qint64> keys;
    QStringList users;
    for (int row = 0; row < model.rowCount(); ++row) {
        keys << model.data(model.index(row, 4), TRecordGridModel::KeyRole).toLongLong();
        users << model.data(model.index(row, 4)).toString();
    }
    EXPECT_EQ(keys, r.keys);
    EXPECT_EQ(users, r.users);
}

INSTANTIATE_TEST_SUITE_P(Table, GridFilters, ::testing::Values(
    Filter{""},
    Filter{" And (AccountType = '现金帐')"},
    Filter{" And (AccountType = '现金帐') And (MoneyCreateTime = #2024-06-12#)"},
    Filter{" And (MoneyUser = '客户1') Or (AccountIndex = MoneyAccount) And (MoneySum = 100)"},
    Filter{" And ((MoneyRemark = 'Where ''x'' Or') Or (MoneyUser In ('客户2')))"},
    Filter{" And (InStr(MoneyUser,'3')) And (MoneyCreateTime Between #2024-06-10# And "
           "#2024-06-11#)"},
    Filter{" And (AccountType = '应付帐')"}));

struct Order { const char *orderBy; };
void PrintTo(const Order &o, std::ostream *os) { *os << o.orderBy; }

class GridOrders : public GridModel, public ::testing::WithParamInterface<Order> {};

// Down to the end and back up again, a page of four rows at a time with three pages kept:
// every row exactly once, in the statement's order, ties by record number.
TEST_P(GridOrders, ScrollingShowsEveryRowOnceInOrder)
{
    const QString order = QString::fromUtf8(GetParam().orderBy);
    TRecordGridModel model(conn());
    model.SetPageSize(4);
    model.SetCachePages(3);
    ASSERT_TRUE(model.Open(statement(CashBook, order)));
    const Reference r = reference(CashBook, order);
    ASSERT_EQ(model.rowCount(), r.keys.size());
    ASSERT_GT(r.keys.size(), 12);
    const int user = model.FieldIndex(QStringLiteral("MoneyUser"));
    const int key = model.FieldIndex(QStringLiteral("MoneyIndex"));
    QList<qint64> down, up;
    QStringList users;
    for (int row = 0; row < model.rowCount(); ++row) {
        down << model.data(model.index(row, key), TRecordGridModel::RawValueRole).toLongLong();
        users << model.data(model.index(row, user)).toString();
        EXPECT_LE(model.CachedPages(), 3);
    }
    for (int row = model.rowCount() - 1; row >= 0; --row)
        up.prepend(model.data(model.index(row, key), TRecordGridModel::RawValueRole).toLongLong());
    EXPECT_EQ(down, r.keys);
    EXPECT_EQ(up, r.keys);
    EXPECT_EQ(users, r.users);
    EXPECT_FALSE(statementsOpen());
}

INSTANTIATE_TEST_SUITE_P(Table, GridOrders, ::testing::Values(
    Order{""},
    Order{"Order By MoneyCreateTime,MoneyIndex"},
    Order{"Order By AccountName,MoneyCreateTime,MoneyIndex"},
    Order{"Order By MoneySum Desc,MoneyCreateTime,MoneyIndex"},
    Order{"order by MoneySum"},
    Order{"Order By MoneyUser Desc, MoneySum"}));

TEST_F(GridModel, KeysAndRowsGoBothWays)
{
    TRecordGridModel model(conn());
    model.SetPageSize(5);
    ASSERT_TRUE(model.Open(statement(CashBook, QStringLiteral("Order By MoneySum Desc"))));
    ASSERT_FALSE(model.HasSnapshot());
    // The last row's key is found before anything past the first page was shown.
    const Reference r = reference(CashBook, QStringLiteral("Order By MoneySum Desc"));
    EXPECT_EQ(model.RowOfKey(r.keys.last()), r.keys.size() - 1);
    for (int row = 0; row < model.rowCount(); ++row) {
        const qint64 key = model.KeyOfRow(row);
        EXPECT_EQ(key, r.keys[row]);
        EXPECT_EQ(model.RowOfKey(key), row);
        EXPECT_EQ(model.FieldAt(row, QStringLiteral("moneyindex")).AsInteger(), key);
    }
    // A record of another book, a key that does not exist, rows outside the grid.
    DbCursor other(conn());
    ASSERT_TRUE(other.Open(QStringLiteral("Select MoneyIndex From Account,MoneyTable Where "
                                          "(AccountIndex = MoneyAccount) And "
                                          "(AccountType = '应收帐')")));
    EXPECT_EQ(model.RowOfKey(other.Field(0).AsInteger()), -1);
    other.Close();
    EXPECT_EQ(model.RowOfKey(999999), -1);
    EXPECT_EQ(model.KeyOfRow(-1), -1);
    EXPECT_EQ(model.KeyOfRow(model.rowCount()), -1);
    EXPECT_TRUE(model.FieldAt(model.rowCount(), QStringLiteral("MoneyIndex")).IsNull());
    EXPECT_FALSE(model.FieldAt(0, QStringLiteral("NoSuchField")).Exists());
}

TEST_F(GridModel, TheCellHookColoursAndFontsCells)
{
    TRecordGridModel model(conn());
    model.SetPageSize(6);
    int asked = 0;
    // The day grid's rule: a sum that rounds to a whole number below 0 draws red.
    model.SetCellHook([&asked](TRecordGridModel::Cell &cell) {
        ++asked;
        if (cell.field == QLatin1String("MoneySum") && std::round(cell.value.AsFloat()) < 0)
            cell.colour = Qt::red;
        if (cell.field == QLatin1String("MoneyUser")
            && cell.value.AsString().endsWith(QLatin1Char('0'))) {
            cell.font.setBold(true);
            cell.fontSet = true;
        }
    });
    ASSERT_TRUE(model.Open(statement(QString())));
    const int sum = model.FieldIndex(QStringLiteral("MoneySum"));
    const int user = model.FieldIndex(QStringLiteral("MoneyUser"));
    int red = 0, bold = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        const double value = model.FieldAt(row, QStringLiteral("MoneySum")).AsFloat();
        const QVariant colour = model.data(model.index(row, sum), Qt::ForegroundRole);
        const bool isRed = colour.isValid() && colour.value<QBrush>().color() == Qt::red;
        EXPECT_EQ(isRed, value <= -0.6) << value;
        red += isRed;
        const QVariant font = model.data(model.index(row, user), Qt::FontRole);
        const bool isBold = font.isValid() && font.value<QFont>().bold();
        EXPECT_EQ(isBold, model.FieldAt(row, QStringLiteral("MoneyUser")).AsString()
                              == QStringLiteral("客户0"));
        bold += isBold;
        EXPECT_FALSE(model.data(model.index(row, 0), Qt::ForegroundRole).isValid());
    }
    EXPECT_GT(red, 0);
    EXPECT_GT(bold, 0);
    EXPECT_GT(asked, 0);
}

TEST_F(GridModel, ShowsDaysAmountsAndTitles)
{
    TRecordGridModel model(conn());
    model.SetTitle(QStringLiteral("moneysum"), QStringLiteral("合计"));
    ASSERT_TRUE(model.Open(statement(QStringLiteral(" And (MoneySum = 12.34 Or MoneySum = -0.4 "
                                                    "Or MoneySum = 100)"),
                                     QStringLiteral("Order By MoneyIndex"))));
    ASSERT_GE(model.rowCount(), 3);
    const int day = model.FieldIndex(QStringLiteral("MoneyCreateTime"));
    const int sum = model.FieldIndex(QStringLiteral("MoneySum"));
    const int serial = model.FieldIndex(QStringLiteral("MoneySerial"));
    EXPECT_EQ(model.data(model.index(0, day)).toString(), QStringLiteral("2024-06-10"));
    EXPECT_EQ(model.data(model.index(0, sum)).toString(), QStringLiteral("100"));
    EXPECT_EQ(model.data(model.index(0, sum), TRecordGridModel::RawValueRole).toDouble(), 100.0);
    // Row 0 is record 1, whose document number was left empty.
    EXPECT_EQ(model.data(model.index(0, serial)).toString(), QString());
    EXPECT_TRUE(model.data(model.index(0, serial), TRecordGridModel::RawValueRole).isNull());
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.data(model.index(row, sum)).toString();
    EXPECT_TRUE(shown.contains(QStringLiteral("12.34")));
    EXPECT_TRUE(shown.contains(QStringLiteral("-0.4")));
    EXPECT_EQ(model.headerData(sum, Qt::Horizontal).toString(), QStringLiteral("合计"));
    EXPECT_EQ(model.headerData(day, Qt::Horizontal).toString(), QStringLiteral("MoneyCreateTime"));
    EXPECT_TRUE(model.setHeaderData(day, Qt::Horizontal, QStringLiteral("录入时间")));
    ASSERT_TRUE(model.Refresh());
    EXPECT_EQ(model.headerData(day, Qt::Horizontal).toString(), QStringLiteral("录入时间"));
    EXPECT_EQ(model.FieldNames(), SelectList.split(QLatin1Char(',')));
}

struct Broken { const char *select; const char *from; const char *order; const char *error; };
void PrintTo(const Broken &b, std::ostream *os) { *os << b.select << " | " << b.from; }

class GridFailures : public GridModel, public ::testing::WithParamInterface<Broken> {};

// A statement that fails anywhere leaves the model empty, with the engine's own text, and
// changes nothing.
TEST_P(GridFailures, LeaveTheModelEmpty)
{
    const Broken b = GetParam();
    TRecordGridModel model(conn());
    model.SetPageSize(5);
    ASSERT_TRUE(model.Open(statement(QString())));
    ASSERT_GT(model.rowCount(), 0);
    TRecordGridModel::Statement s;
    s.select = QString::fromUtf8(b.select);
    s.from = QString::fromUtf8(b.from);
    s.orderBy = QString::fromUtf8(b.order);
    EXPECT_FALSE(model.Open(s));
    EXPECT_TRUE(model.LastError().contains(QString::fromUtf8(b.error)))
        << model.LastError().toStdString();
    EXPECT_FALSE(model.Active());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(model.RecordCount(), 0);
    EXPECT_EQ(model.KeyOfRow(0), -1);
    EXPECT_FALSE(statementsOpen());
    EXPECT_EQ(reference(QString(), QString()).keys.size(), 47);
}

INSTANTIATE_TEST_SUITE_P(Table, GridFailures, ::testing::Values(
    Broken{"MoneyIndex,NoSuchColumn", "From MoneyTable", "", "no such column: NoSuchColumn"},
    Broken{"MoneyIndex", "From NoSuchTable Where 1 = 1", "", "no such table: NoSuchTable"},
    Broken{"MoneyIndex", "From MoneyTable Where (MoneySum >", "", "syntax error"},
    Broken{"MoneyIndex", "From MoneyTable", "Order By NoSuchOrder", "no such column"},
    Broken{"MoneyIndex", "From MoneyTable; Delete From MoneyTable", "", "一次只能执行一条语句"},
    Broken{"MoneyIndex", "MoneyTable", "", "不完整"},
    Broken{"", "From MoneyTable", "", "不完整"}));

TEST_F(GridModel, NoStatementStaysOpenWhileAViewScrolls)
{
    TRecordGridModel model(conn());
    model.SetPageSize(3);
    ASSERT_TRUE(model.Open(statement(QString(), QStringLiteral("Order By MoneyCreateTime"))));
    EXPECT_FALSE(statementsOpen());
    QTableView view;
    view.setModel(&model);
    view.resize(600, 120);
    view.show();
    for (int row : {0, 20, model.rowCount() - 1, 10, 0}) {
        view.scrollTo(model.index(row, 0));
        view.grab();
        EXPECT_FALSE(statementsOpen()) << row;
        EXPECT_NE(model.data(model.index(row, 0)).toString(), QString()) << row;
    }
    EXPECT_NE(sqlite3_get_autocommit(SqlCipherHandle(*conn())), 0);
}

// The connection goes away under an open grid: the rows not yet fetched stay blank, the
// owner hears of it once, and nothing is asked of the engine again at every repaint.
TEST_F(GridModel, AFetchThatFailsLeavesBlankRowsAndSaysSo)
{
    TRecordGridModel model(conn());
    model.SetPageSize(4);
    ASSERT_TRUE(model.Open(statement(QString())));
    QStringList heard;
    QObject::connect(&model, &TRecordGridModel::FetchFailed,
                     [&heard](const QString &error) { heard << error; });
    const QString first = model.data(model.index(1, 4)).toString();
    conn()->Close();
    EXPECT_EQ(model.data(model.index(1, 4)).toString(), first);   // fetched before
    for (int pass = 0; pass < 3; ++pass)
        for (int row = 4; row < model.rowCount(); ++row)
            EXPECT_FALSE(model.data(model.index(row, 4)).isValid()) << row;
    EXPECT_EQ(model.KeyOfRow(model.rowCount() - 1), -1);
    QCoreApplication::processEvents();
    ASSERT_EQ(heard.size(), 1);
    EXPECT_FALSE(heard.first().isEmpty());
    EXPECT_EQ(model.rowCount(), 47);
}

// The book changes between opening and the first scroll past the first page (another
// computer of a shared book): the rows follow the snapshot, none is shown twice.
TEST_F(GridModel, RowsFollowTheSnapshotWhenTheBookChanged)
{
    TRecordGridModel model(conn());
    model.SetPageSize(5);
    ASSERT_TRUE(model.Open(statement(CashBook, QStringLiteral("Order By MoneyCreateTime"))));
    const int before = model.rowCount();
    {
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From MoneyTable Where MoneyIndex In (2, 4)"));
        ASSERT_TRUE(q.Open());
        ASSERT_TRUE(q.Delete());
        ASSERT_TRUE(q.Append());
        q.SetField(QStringLiteral("MoneyAccount"), accounts[0]);
        q.SetField(QStringLiteral("MoneyCreateTime"), QDate(2020, 1, 1));
        q.SetField(QStringLiteral("MoneyUser"), QStringLiteral("新客户"));
        ASSERT_TRUE(q.Post());
        ASSERT_TRUE(q.Append());
        q.SetField(QStringLiteral("MoneyAccount"), accounts[1]);
        q.SetField(QStringLiteral("MoneyCreateTime"), QDate(2030, 1, 1));
        ASSERT_TRUE(q.Post());
    }
    // Past the first page: the snapshot is read now, and the rows change once the event
    // loop runs.
    model.data(model.index(before - 1, 0));
    QCoreApplication::processEvents();
    const Reference r = reference(CashBook, QStringLiteral("Order By MoneyCreateTime"));
    ASSERT_EQ(r.keys.size(), before + 1);
    EXPECT_EQ(model.rowCount(), before + 1);
    QList<qint64> keys;
    for (int row = 0; row < model.rowCount(); ++row)
        keys << model.FieldAt(row, QStringLiteral("MoneyIndex")).AsInteger();
    EXPECT_EQ(keys, r.keys);
    EXPECT_EQ(model.FieldAt(0, QStringLiteral("MoneyUser")).AsString(), QStringLiteral("新客户"));
}

} // namespace
