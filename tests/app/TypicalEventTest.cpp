// Whole user actions through the program's own windows, as TProgram creates and connects
// them: the cashier's cash income for a customer with its receivable 出帐, from the
// customer card to the refreshed main window; an account card's month in the report page;
// 生成报表 filling the report grid, and the chart and the export following it.
#include "BookRows.h"
#include "CardPage.h"
#include "DailyPage.h"
#include "DatabaseKey.h"
#include "FormAccount2.h"
#include "FormCake.h"
#include "FormCustomer2.h"
#include "FormGetPay.h"
#include "FormGetPay2.h"
#include "FormMain.h"
#include "FormMakeReport.h"
#include "Globals.h"
#include "Program.h"
#include "RecordGrid.h"
#include "ShareDM.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "ServerBook.h"
#include "Session.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QDate Day(2024, 6, 14);
const QString Customer = QStringLiteral("北方贸易");

class Flow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The book before the program opens it: a cash account with 1000, the customer
        // owing 500, and a record of the cash account earlier in the month.
        DbConnection db;
        ASSERT_TRUE(db.Open(folder.Database(), QString::fromLatin1(DatabasePassword)));
        cash = BookRows::Account(&db, QStringLiteral("现金"), QStringLiteral("现金帐"), 1000);
        BookRows::Account(&db, QStringLiteral("银行"), QStringLiteral("现金帐"), 0);
        owed = BookRows::Account(&db, QStringLiteral("甲应收"), QStringLiteral("应收帐"));
        BookRows::Customer(&db, Customer);
        BookRows::Customer(&db, QStringLiteral("南方商行"));
        BookRows::Record(&db, owed, QDate(2024, 5, 2), 500, Customer);
        BookRows::Record(&db, cash, QDate(2024, 6, 3), -40, QStringLiteral("南方商行"));
        BookRows::Record(&db, cash, QDate(2024, 5, 3), 70, QStringLiteral("南方商行"));
        db.Close();
        if (engine() == BookEngine::Server) {
            // The same book moved onto a server, which a build with network mode opens.
            server = std::make_unique<ServerBook>(folder.Database());
            ASSERT_TRUE(server->Error().isEmpty()) << server->Error().toStdString();
            ASSERT_TRUE(PointSettingsAt(folder.Path(), server->Address()));
        }

        ScriptSignIn(ui, QStringLiteral("出纳"));
        ScriptBook(ui, -1);
        program = std::make_unique<TProgram>();
        NetworkModeSwitch = NetworkModeSwitch || server;
        ASSERT_EQ(program->Start(), TProgram::Running);
        if (server)
            ASSERT_EQ(ShareDataModule->ADOConnection1.Path(), server->Address());
        FormMain->DateTimePicker1->setDate(Day);
    }

    void TearDown() override
    {
        if (FormMain)
            FormMain->Closing = true;
        program.reset();
    }

    virtual BookEngine engine() const { return BookEngine::File; }

    static const TCard *card(const TCardPage &page, const QString &name)
    {
        for (const TCard &c : page.Cards)
            if (!c.Panel->isHidden() && c.NameValue->text() == name)
                return &c;
        ADD_FAILURE() << "no card " << name.toStdString();
        return nullptr;
    }

    // A click on a card's name, as the user makes it.
    static void click(const TCard *card)
    {
        QWidget *w = card->NameValue;
        for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(t, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                          t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(w, &e);
        }
    }

    static QStringList column(const TRecordGrid *grid, const QString &field)
    {
        QStringList out;
        const int c = grid->ColumnOf(field);
        for (int row = 0; row < grid->Model()->rowCount(); ++row)
            out << grid->Model()->index(row, c).data().toString();
        return out;
    }

    TestFolder folder;
    ScriptedUi ui;
    std::unique_ptr<ServerBook> server;
    std::unique_ptr<TProgram> program;
    qint64 cash = 0, owed = 0;
};

// The cashier clicks the customer's card, records a cash income of 300 through 财务收入,
// answers Yes to the write-off question, saves the receivable 出帐 it offers and closes
// the detail window: the cards and the journal show the new sums. On a book file and on
// a server book alike.
class TypicalEvent : public Flow, public ::testing::WithParamInterface<BookEngine>
{
protected:
    BookEngine engine() const override { return GetParam(); }
};

TEST_P(TypicalEvent, OnEitherEngine)
{
    TFormMain &main = *FormMain;
    const TCard *customerCard = card(main.CustomerPage, Customer);
    ASSERT_NE(customerCard, nullptr);
    EXPECT_EQ(customerCard->SecondValue->text(), QStringLiteral("500 元"));
    EXPECT_EQ(card(main.AccountPage, QStringLiteral("现金"))->SecondValue->text(),
              QStringLiteral("1030 元"));

    QStringList before, after;
    ui.OnModal(QStringLiteral("FormCustomer2"), [&](QDialog *d) {
        auto *detail = static_cast<TFormCustomer2 *>(d);
        before = {detail->LabelGet->text(), detail->LabelMoney->text()};
        detail->ButtonMoneyIn->click();
        after = {detail->LabelGet->text(), detail->LabelMoney->text()};
        detail->ButtonCancel->click();
    });
    QString entryCustomer, entryAccount;
    ui.OnModal(QStringLiteral("FormGetPay"), [&](QDialog *d) {
        auto *entry = static_cast<TFormGetPay *>(d);
        entryCustomer = entry->ComboBox5->currentText();
        entryAccount = entry->ComboBox1->currentText();
        entry->Edit2->setText(QStringLiteral("300"));
        entry->BitBtn1->click();
    });
    ui.answers << true;
    QString followAmount, followCustomer, followAccount;
    QDate followDate;
    ui.OnModal(QStringLiteral("FormGetPay2"), [&](QDialog *d) {
        auto *entry = static_cast<TFormGetPay *>(d);
        followAmount = entry->Edit2->text();
        followCustomer = entry->ComboBox5->currentText();
        followAccount = entry->ComboBox1->currentText();
        followDate = entry->DateTimePicker1->date();
        entry->BitBtn1->click();
    });
    click(customerCard);

    EXPECT_EQ(ui.Shows(), (QStringList{"FormWelcome", "FormLogin", "FormChose", "FormCustomer2",
                                       "FormGetPay", "FormGetPay2"}));
    EXPECT_EQ(ui.Messages(), (QStringList{"记录新增成功", "记录新增成功"}));
    EXPECT_EQ(ui.Questions(),
              QStringList{"财务收入已新增成功，是否需要进行相应的应收出帐操作？"});
    EXPECT_EQ(entryCustomer, Customer);
    EXPECT_EQ(entryAccount, QStringLiteral("现金"));
    EXPECT_EQ(followAmount, QStringLiteral("300"));
    EXPECT_EQ(followCustomer, Customer);
    EXPECT_EQ(followAccount, QStringLiteral("甲应收"));
    EXPECT_EQ(followDate, Day);
    EXPECT_EQ(before, (QStringList{"500 元", "0 元"}));
    EXPECT_EQ(after, (QStringList{"200 元", "300 元"}));

    // The main window refreshed everything once the detail window closed.
    EXPECT_FALSE(DataChanged);
    EXPECT_EQ(card(main.CustomerPage, Customer)->SecondValue->text(), QStringLiteral("200 元"));
    EXPECT_EQ(card(main.AccountPage, QStringLiteral("现金"))->SecondValue->text(),
              QStringLiteral("1330 元"));
    EXPECT_EQ(card(main.AccountPage, QStringLiteral("现金"))->ThirdValue->text(),
              QStringLiteral("260 元"));
    EXPECT_EQ(main.Daily->Label8->text(), QStringLiteral("本日结余：1330 元"));
    EXPECT_EQ(main.Daily->Label11->text(), QStringLiteral("共 1 笔～300 元"));
    EXPECT_EQ(column(main.Daily->DBGridEh1, QStringLiteral("MoneyUser")), QStringList{Customer});
}

INSTANTIATE_TEST_SUITE_P(, TypicalEvent, ::testing::Values(BookEngine::File, BookEngine::Server),
                         [](const auto &info) { return EngineName(info.param); });

// An account card's 当月记录 shows the account's month in the report page.
TEST_F(Flow, AnAccountsMonthInTheReportPage)
{
    TFormMain &main = *FormMain;
    ui.OnModal(QStringLiteral("FormAccount2"), [](QDialog *d) {
        static_cast<TFormAccount2 *>(d)->ButtonMonth->click();
    });
    click(card(main.AccountPage, QStringLiteral("现金")));
    EXPECT_EQ(main.PageControl1->currentIndex(), int(TFormMain::PageReport));
    EXPECT_EQ(column(main.Daily->DBGridEh2, QStringLiteral("MoneySum")), QStringList{"-40"});
    EXPECT_EQ(main.Daily->DBGridEh2->FooterText(0), QStringLiteral("1条"));
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
}

// 生成报表: the builder's condition fills the report grid; a cancelled builder leaves the
// grid as it was.
TEST_F(Flow, MakeReportFillsTheReportGrid)
{
    TFormMain &main = *FormMain;
    main.PageControl1->setCurrentIndex(TFormMain::PageReport);
    ui.OnModal(QStringLiteral("FormMakeReport"), [](QDialog *d) {
        auto *b = static_cast<TFormMakeReport *>(d);
        b->ComboBox6->setEditText(QStringLiteral("南方"));
        b->BitBtn1->click();
    });
    main.Daily->ButtonMakeReport->click();
    EXPECT_EQ(column(main.Daily->DBGridEh2, QStringLiteral("MoneySum")),
              (QStringList{"70", "-40"}));
    ui.OnModal(QStringLiteral("FormMakeReport"), [](QDialog *d) {
        static_cast<TFormMakeReport *>(d)->BitBtn2->click();
    });
    BookRows::Record(&ShareDataModule->ADOConnection1, cash, Day, 5, QStringLiteral("南方商行"));
    main.Daily->ButtonMakeReport->click();
    EXPECT_EQ(column(main.Daily->DBGridEh2, QStringLiteral("MoneySum")),
              (QStringList{"70", "-40"}));
}

// 图形分析 takes the report's condition; 导出EXCEL writes the report grid, and nothing
// before the grid was ever filled.
TEST_F(Flow, ChartAndExportFollowTheReport)
{
    TFormMain &main = *FormMain;
    main.PageControl1->setCurrentIndex(TFormMain::PageReport);
    main.Daily->ButtonToExcel->click();
    ui.OnModal(QStringLiteral("FormMakeReport"), [](QDialog *d) {
        auto *b = static_cast<TFormMakeReport *>(d);
        b->ComboBox6->setEditText(QStringLiteral("南方"));
        b->BitBtn1->click();
    });
    main.Daily->ButtonMakeReport->click();
    ui.OnModal(QStringLiteral("FormCake"), [](QDialog *d) {
        auto *cake = static_cast<TFormCake *>(d);
        EXPECT_EQ(cake->ChartCondition, ReportCondition);
        ASSERT_EQ(cake->Slices().size(), 1);
        EXPECT_EQ(cake->Slices().at(0).label, QStringLiteral("现金"));
        EXPECT_EQ(cake->Slices().at(0).total, 30.0);
        cake->ButtonClose->click();
    });
    main.Daily->ButtonCake->click();
    const QString book = folder.Path() + QStringLiteral("报表.xlsx");
    ui.files << book;
    main.Daily->ButtonToExcel->click();
    EXPECT_EQ(ui.Opened(), QStringList{book});
    EXPECT_GT(QFileInfo(book).size(), 0);
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
}

} // namespace
