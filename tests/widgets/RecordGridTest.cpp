// The record grid as a user and its window see it: columns built anew from each statement,
// the footer's texts and sums (and no statement sent to repaint them), the remembered
// widths, the current row, the keyboard, double clicks and title clicks.
#include "DbTransaction.h"
#include "PublicFunction.h"
#include "RecordGrid.h"
#include "ShareDM.h"
#include "SqlCipherEngine.h"
#include "TestFolder.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

constexpr int Rows = 60;
const QString SelectList = QStringLiteral(
    "MoneyIndex,MoneySerial,MoneyCreateTime,AccountName,MoneyUser,MoneyIn,MoneyOut,MoneySum,"
    "MoneyMan,MoneyReason,MoneyType,MoneyToken,MoneyRemark");
const QString Journal =
    QStringLiteral("From Account,MoneyTable Where (AccountIndex = MoneyAccount)");

class Grid : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DbTransaction trans(conn());
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From Account Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        q.Append();
        q.SetField(QStringLiteral("AccountName"), QStringLiteral("现金"));
        q.SetField(QStringLiteral("AccountType"), QStringLiteral("现金帐"));
        ASSERT_TRUE(q.Post());
        const qint64 account = q.FieldByName(QStringLiteral("AccountIndex")).AsInteger();
        q.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        for (int i = 0; i < Rows; ++i) {
            const double sum = (i % 3 == 0 ? -1 : 1) * (10.25 + i);
            q.Append();
            q.SetField(QStringLiteral("MoneyAccount"), account);
            q.SetField(QStringLiteral("MoneyCreateTime"), QDate(2024, 5, 1).addDays(i % 7));
            q.SetField(QStringLiteral("MoneyUser"), QStringLiteral("客户%1").arg(i));
            q.SetField(QStringLiteral("MoneyIn"), sum > 0 ? sum : 0.0);
            q.SetField(QStringLiteral("MoneyOut"), sum < 0 ? -sum : 0.0);
            q.SetField(QStringLiteral("MoneySum"), sum);
            q.SetField(QStringLiteral("MoneyRemark"), QString(i % 9 + 1, QLatin1Char('W')));
            ASSERT_TRUE(q.Post());
            in += sum > 0 ? sum : 0.0;
            out += sum < 0 ? -sum : 0.0;
        }
        ASSERT_TRUE(trans.Commit());
    }

    DbConnection *conn() { return &t.dm->ADOConnection1; }

    static TRecordGridModel::Statement statement(const QString &select = SelectList)
    {
        TRecordGridModel::Statement s;
        s.select = select;
        s.from = Journal;
        s.orderBy = QStringLiteral("Order By MoneyCreateTime,MoneyIndex");
        return s;
    }

    // Statements the engine prepared while f ran.
    int statementsDuring(const std::function<void()> &f)
    {
        int count = 0;
        sqlite3_trace_v2(SqlCipherHandle(*conn()), SQLITE_TRACE_STMT,
                         [](unsigned, void *c, void *, void *) {
                             ++*static_cast<int *>(c);
                             return 0;
                         },
                         &count);
        f();
        sqlite3_trace_v2(SqlCipherHandle(*conn()), 0, nullptr, nullptr);
        return count;
    }

    static void key(QWidget *w, int k)
    {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent e(type, k, Qt::NoModifier);
            QCoreApplication::sendEvent(w, &e);
        }
    }

    TestDatabase t;
    double in = 0;
    double out = 0;
};

TEST_F(Grid, ColumnsAreBuiltAnewFromEachStatement)
{
    TRecordGrid grid(conn());
    grid.resize(1400, 300);
    grid.show();
    ASSERT_TRUE(grid.Open(statement()));
    ASSERT_EQ(grid.ColumnCount(), 13);
    const int remark = grid.ColumnOf(QStringLiteral("moneyremark"));
    EXPECT_EQ(grid.FieldOf(remark), QStringLiteral("MoneyRemark"));
    const int defaultWidth = grid.ColumnWidth(remark);
    grid.SetColumnTitle(remark, QStringLiteral("备注"));
    grid.SetColumnWidth(remark, defaultWidth + 57);
    grid.SetColumnCentred(remark, true);
    grid.SetFooterText(remark, QStringLiteral("合计"), Qt::red);
    grid.grab();
    EXPECT_GT(grid.RememberedWidth(remark), 0);
    EXPECT_EQ(grid.View()->model()->headerData(remark, Qt::Horizontal).toString(),
              QStringLiteral("备注"));

    // Another statement: its fields in its order, each with the grid's defaults.
    ASSERT_TRUE(grid.Open(statement(QStringLiteral("MoneyRemark,MoneyIndex,MoneySum"))));
    ASSERT_EQ(grid.ColumnCount(), 3);
    EXPECT_EQ(grid.FieldOf(0), QStringLiteral("MoneyRemark"));
    EXPECT_EQ(grid.FieldOf(1), QStringLiteral("MoneyIndex"));
    EXPECT_EQ(grid.FieldOf(2), QStringLiteral("MoneySum"));
    EXPECT_EQ(grid.ColumnTitle(0), QStringLiteral("MoneyRemark"));
    EXPECT_EQ(grid.ColumnWidth(0), defaultWidth);
    EXPECT_FALSE(grid.ColumnCentred(0));
    EXPECT_EQ(grid.FooterText(0), QString());
    EXPECT_EQ(grid.RememberedWidth(0), 0);
    const QVariant align = grid.Model()->data(grid.Model()->index(0, 0), Qt::TextAlignmentRole);
    EXPECT_FALSE(Qt::Alignment(align.toInt()) & Qt::AlignHCenter);

    grid.Close();
    EXPECT_FALSE(grid.Active());
    EXPECT_EQ(grid.ColumnCount(), 0);
    EXPECT_EQ(grid.CurrentRow(), -1);
}

// Sums come from the model's aggregate over every row, not only the rows fetched, and
// painting the footer again asks the engine nothing.
TEST_F(Grid, FooterShowsTextsAndSumsWithoutAskingAgain)
{
    TRecordGrid grid(conn());
    grid.Model()->SetPageSize(10);
    grid.resize(900, 200);
    grid.show();
    ASSERT_TRUE(grid.Open(statement()));
    const int index = grid.ColumnOf(QStringLiteral("MoneyIndex"));
    const int moneyIn = grid.ColumnOf(QStringLiteral("MoneyIn"));
    const int moneyOut = grid.ColumnOf(QStringLiteral("MoneyOut"));
    const int total = grid.ColumnOf(QStringLiteral("MoneySum"));
    grid.SetFooterText(index, QString::number(grid.Model()->RecordCount()) + QStringLiteral("条"));
    grid.SetFooterSum(moneyIn);
    grid.SetFooterSum(moneyOut, Qt::red);
    grid.SetFooterSum(total);
    grid.grab();
    EXPECT_EQ(grid.FooterText(index), QStringLiteral("60条"));
    EXPECT_EQ(grid.FooterText(moneyIn), AmountText(in));
    EXPECT_EQ(grid.FooterText(moneyOut), AmountText(out));
    EXPECT_EQ(grid.FooterText(total), AmountText(in - out));
    EXPECT_EQ(grid.FooterColour(moneyOut), QColor(Qt::red));
    EXPECT_FALSE(grid.FooterColour(moneyIn).isValid());
    EXPECT_EQ(grid.FooterText(grid.ColumnOf(QStringLiteral("MoneyUser"))), QString());
    EXPECT_EQ(statementsDuring([&grid] {
                  for (int i = 0; i < 3; ++i)
                      grid.grab();
              }),
              0);
}

// The widest text drawn in a column, plus 20 pixels, whatever order it was drawn in.
TEST_F(Grid, RemembersTheWidestTextDrawn)
{
    TRecordGrid grid(conn());
    grid.resize(1400, 2000);
    grid.show();
    ASSERT_TRUE(grid.Open(statement()));
    const int remark = grid.ColumnOf(QStringLiteral("MoneyRemark"));
    EXPECT_EQ(grid.RememberedWidth(remark), 0);
    grid.grab();
    const QFontMetrics metrics(grid.View()->font());
    EXPECT_EQ(grid.RememberedWidth(remark),
              metrics.horizontalAdvance(QString(9, QLatin1Char('W'))) + 20);
}

struct Move
{
    const char *what;
    QList<int> keys;
    int row;   // -1: the last row
};
void PrintTo(const Move &m, std::ostream *os) { *os << m.what; }

class GridKeys : public Grid, public ::testing::WithParamInterface<Move> {};

TEST_P(GridKeys, MoveTheCurrentRow)
{
    const Move m = GetParam();
    TRecordGrid grid(conn());
    grid.Model()->SetPageSize(8);
    grid.resize(700, 200);
    grid.show();
    ASSERT_TRUE(grid.Open(statement()));
    EXPECT_EQ(grid.CurrentRow(), 0);
    for (int k : m.keys)
        key(grid.View(), k);
    const int expected = m.row < 0 ? Rows - 1 : m.row;
    EXPECT_EQ(grid.CurrentRow(), expected);
    EXPECT_EQ(grid.CurrentKey(), grid.Model()->KeyOfRow(expected));
    EXPECT_EQ(grid.CurrentField(QStringLiteral("MoneyIndex")).AsInteger(), grid.CurrentKey());
    // Whole rows are selected, and nothing is edited in place.
    const QModelIndexList selected = grid.View()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().row(), expected);
    EXPECT_EQ(grid.View()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

INSTANTIATE_TEST_SUITE_P(Table, GridKeys, ::testing::Values(
    Move{"down twice", {Qt::Key_Down, Qt::Key_Down}, 2},
    Move{"up at the top", {Qt::Key_Up}, 0},
    Move{"end", {Qt::Key_End}, -1},
    Move{"end, then up", {Qt::Key_End, Qt::Key_Up}, Rows - 2},
    Move{"end, then home", {Qt::Key_End, Qt::Key_Home}, 0},
    Move{"right stays on the row", {Qt::Key_Down, Qt::Key_Right, Qt::Key_Right}, 1},
    Move{"page down, page up", {Qt::Key_PageDown, Qt::Key_PageUp}, 0},
    Move{"down at the bottom", {Qt::Key_End, Qt::Key_Down}, -1}));

TEST_F(Grid, TheProgramMovesTheCurrentRow)
{
    TRecordGrid grid(conn());
    grid.Model()->SetPageSize(8);
    grid.resize(700, 200);
    grid.show();
    ASSERT_TRUE(grid.Open(statement()));
    EXPECT_TRUE(grid.SetCurrentRow(45));
    EXPECT_EQ(grid.CurrentRow(), 45);
    EXPECT_EQ(grid.CurrentKey(), grid.Model()->KeyOfRow(45));
    EXPECT_FALSE(grid.SetCurrentRow(Rows));
    EXPECT_FALSE(grid.SetCurrentRow(-1));
    EXPECT_EQ(grid.CurrentRow(), 45);
}

// Enter and a double click ask for the current row to be edited, an empty grid included
// (its owner then says there is nothing to edit); a title click names its column.
TEST_F(Grid, EnterDoubleClickAndTitleClickReachTheOwner)
{
    TRecordGrid grid(conn());
    grid.resize(700, 300);
    grid.show();
    int activated = 0;
    QList<int> titles;
    QObject::connect(&grid, &TRecordGrid::RowActivated, [&activated] { ++activated; });
    QObject::connect(&grid, &TRecordGrid::TitleClicked, [&titles](int c) { titles << c; });
    ASSERT_TRUE(grid.Open(statement()));
    key(grid.View(), Qt::Key_Return);
    EXPECT_EQ(activated, 1);
    QWidget *rows = grid.View()->viewport();
    const QPoint inRow = grid.View()->visualRect(grid.Model()->index(2, 1)).center();
    QMouseEvent press(QEvent::MouseButtonPress, inRow, rows->mapToGlobal(inRow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rows, &press);
    QMouseEvent twice(QEvent::MouseButtonDblClick, inRow, rows->mapToGlobal(inRow),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rows, &twice);
    EXPECT_EQ(activated, 2);
    EXPECT_EQ(grid.CurrentRow(), 2);

    QHeaderView *header = grid.View()->horizontalHeader();
    const int column = grid.ColumnOf(QStringLiteral("MoneyUser"));
    const QPoint onTitle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                         header->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, onTitle, header->viewport()->mapToGlobal(onTitle), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(header->viewport(), &e);
    }
    EXPECT_EQ(titles, QList<int>{column});
    EXPECT_EQ(grid.CurrentRow(), 2);   // a title click neither sorts nor moves

    TRecordGridModel::Statement none = statement();
    none.from += QStringLiteral(" And (MoneySum > 1000000)");
    ASSERT_TRUE(grid.Open(none));
    EXPECT_EQ(grid.CurrentRow(), -1);
    EXPECT_TRUE(grid.CurrentField(QStringLiteral("MoneyIndex")).IsNull());
    const QPoint anywhere(20, 20);
    QMouseEvent empty(QEvent::MouseButtonDblClick, anywhere, rows->mapToGlobal(anywhere),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(rows, &empty);
    EXPECT_EQ(activated, 3);
}

// The footer and the scroll bar under it follow the columns when the grid scrolls sideways.
TEST_F(Grid, TheScrollBarUnderTheFooterScrollsTheRows)
{
    TRecordGrid grid(conn());
    grid.resize(300, 300);
    grid.show();
    ASSERT_TRUE(grid.Open(statement()));
    grid.grab();
    auto *bar = grid.findChild<QScrollBar *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_GT(bar->maximum(), 0);
    bar->setValue(bar->maximum());
    EXPECT_EQ(grid.View()->horizontalScrollBar()->value(), bar->maximum());
    EXPECT_LT(grid.View()->horizontalHeader()->sectionViewportPosition(0), 0);
}

} // namespace
