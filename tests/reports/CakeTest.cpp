// The pie-chart window on a known book: the slices of both analyses with and without a date
// range (zero totals, other books and kinds outside pick list 1 left out, negative totals
// marked), a failing statement, 存成图片 and 退出.
#include "BookRows.h"
#include "FormCake.h"
#include "Globals.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString June = QStringLiteral(" And (MoneyCreateTime Between #2024-06-01# And #2024-06-30#)");

struct Case
{
    int analysis;
    QString condition;
    QStringList legend;   // label, negative mark, share of the drawn sizes
    QList<double> totals;
};

class Cake : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormCake, &cake);
        AccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
        const qint64 a = BookRows::Account(db(), QStringLiteral("甲帐户"));
        const qint64 b = BookRows::Account(db(), QStringLiteral("乙帐户"));
        const qint64 zero = BookRows::Account(db(), QStringLiteral("丙帐户"));
        const qint64 owed = BookRows::Account(db(), QStringLiteral("丁应收"), QStringLiteral("应收帐"));
        add(a, QDate(2024, 6, 1), 150, "销售收入");
        add(a, QDate(2024, 7, 1), 100, "其他收入");
        add(b, QDate(2024, 6, 10), -300, "采购支出");
        add(b, QDate(2024, 6, 11), 20, "不在列表");
        add(zero, QDate(2024, 5, 1), 50, "销售收入");
        add(zero, QDate(2024, 5, 1), -50, "费用支出");
        add(owed, QDate(2024, 6, 1), 999, "销售收入");
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    void add(qint64 account, const QDate &day, double amount, const char *kind)
    {
        const qint64 key = BookRows::Record(db(), account, day, amount);
        BookRows::Exec(db(), QStringLiteral("UPDATE MoneyTable SET MoneyReason = '%1' WHERE "
                                            "MoneyIndex = %2")
                                 .arg(QString::fromUtf8(kind))
                                 .arg(key));
    }

    // Shows the window with the condition, lets act work in it; the modal result.
    int show(const QString &condition, const std::function<void()> &act)
    {
        cake.ChartCondition = condition;
        ui.OnModal(QStringLiteral("FormCake"), [act](QDialog *) { act(); });
        return Ui::ShowModal(&cake);
    }

    TestDatabase data;
    ScriptedUi ui;
    TFormCake cake;
};

TEST_P(Cake, Slices)
{
    const Case &c = GetParam();
    cake.ComboBox1->setCurrentIndex(c.analysis);
    show(c.condition, [&] {
        QList<double> totals;
        for (const TFormCake::Slice &s : cake.Slices())
            totals << s.total;
        EXPECT_EQ(totals, c.totals);
        EXPECT_EQ(cake.LegendTexts(), c.legend);
        // What is drawn: the sizes, and the sign in the label at the slice.
        const auto *series = static_cast<QPieSeries *>(cake.Chart1->chart()->series().at(0));
        ASSERT_EQ(series->count(), c.totals.size());
        for (int i = 0; i < series->count(); ++i) {
            EXPECT_DOUBLE_EQ(series->slices().at(i)->value(), std::abs(c.totals.at(i)));
            EXPECT_EQ(series->slices().at(i)->label().contains(QStringLiteral("（负）")),
                      c.totals.at(i) < 0);
        }
    });
    EXPECT_TRUE(ui.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Book, Cake,
    ::testing::Values(
        Case{TFormCake::ByAccount, QString(), {"甲帐户  47.2%", "乙帐户（负）  52.8%"}, {250, -280}},
        Case{TFormCake::ByAccount, June, {"甲帐户  34.9%", "乙帐户（负）  65.1%"}, {150, -280}},
        Case{TFormCake::ByKind, QString(),
             {"销售收入  30.8%", "其他收入  15.4%", "采购支出（负）  46.2%", "费用支出（负）  7.7%"},
             {200, 100, -300, -50}},
        Case{TFormCake::ByKind, June, {"销售收入  33.3%", "采购支出（负）  66.7%"}, {150, -300}},
        Case{TFormCake::ByKind, QStringLiteral(" And (MoneySum > 5000)"), {}, {}}));

TEST_F(Cake, SwitchKeepsConditionFailureSaveAndExit)
{
    const int result = show(June, [&] {
        cake.ComboBox1->setCurrentIndex(TFormCake::ByKind);
        emit cake.ComboBox1->activated(TFormCake::ByKind);
        EXPECT_EQ(cake.Slices().size(), 2);
        ui.externalResult = false;
        cake.ButtonToBmp->click();
        cake.ButtonClose->click();
    });
    EXPECT_EQ(result, TFormCake::Closed);
    EXPECT_EQ(ui.Opened(), QStringList{TFormCake::PictureFile()});
    EXPECT_FALSE(QImage(TFormCake::PictureFile(), "BMP").isNull());
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().at(0).contains(TFormCake::PictureFile()));

    // The choice stays for the next showing; a statement that fails is said once.
    ui.Clear();
    show(QStringLiteral(" And (NoSuchColumn = 1)"), [&] {
        EXPECT_EQ(cake.ComboBox1->currentIndex(), TFormCake::ByKind);
        EXPECT_TRUE(cake.Slices().isEmpty());
    });
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().at(0).startsWith(QStringLiteral("数据库打开失败")));
}

} // namespace
