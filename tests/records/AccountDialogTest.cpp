// The account dialog through the UI seam: new and edit mode, the checks of 确定 with the
// amount as a number, the picture of the current book, and the deletion of an account with
// all its records as one transaction.
#include "BookRows.h"
#include "FormAccount.h"
#include "Look.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using Script = ScriptedUi::Script;

class AccountDialog : public ::testing::Test
{
protected:
    void SetUp() override { RegisterWindow(FormAccount, &dialog); }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    // Shows the dialog for index and runs script in it; the modal result.
    int show(qint64 index, Script script)
    {
        dialog.DialogAccountIndex = index;
        ui.OnModal(QStringLiteral("FormAccount"), std::move(script));
        return Ui::ShowModal(&dialog);
    }

    static void type(QDialog *d, const QString &name, const QString &amount)
    {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(name);
        d->findChild<QLineEdit *>(QStringLiteral("Edit2"))->setText(amount);
    }
    static void click(QDialog *d, const char *button)
    {
        d->findChild<QPushButton *>(QLatin1String(button))->click();
    }

    int records(qint64 account)
    {
        return BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneyAccount = %1")
                                         .arg(account));
    }
    int accounts(qint64 account)
    {
        return BookRows::Count(db(), QStringLiteral("From Account Where AccountIndex = %1")
                                         .arg(account));
    }

    TestDatabase data;
    ScriptedUi ui;
    TFormAccount dialog;
};

TEST_F(AccountDialog, NewModeStartsEmptyWithZeroAndReturnsWhatWasTyped)
{
    dialog.DialogAccountName = QStringLiteral("上次的");
    dialog.DialogAccountBase = 99;
    bool deleteShown = true;
    QString name, amount, title;
    EXPECT_EQ(show(0, [&](QDialog *d) {
                  title = d->windowTitle();
                  name = d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->text();
                  amount = d->findChild<QLineEdit *>(QStringLiteral("Edit2"))->text();
                  deleteShown = d->findChild<QPushButton *>(QStringLiteral("SpeedButton3"))
                                    ->isVisible();
                  type(d, QStringLiteral("工行"), amount);
                  click(d, "SpeedButton1");
              }),
              QDialog::Accepted);
    EXPECT_EQ(title, QStringLiteral("新增帐户"));
    EXPECT_EQ(name, QString());
    EXPECT_EQ(amount, QStringLiteral("0"));
    EXPECT_FALSE(deleteShown);
    EXPECT_EQ(dialog.DialogAccountName, QStringLiteral("工行"));
    EXPECT_EQ(dialog.DialogAccountBase, 0.0);
    EXPECT_TRUE(ui.Messages().isEmpty());
    // The dialog itself writes nothing.
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From Account Where AccountIndex > 1")), 0);
}

struct ConfirmCase
{
    const char *name;
    const char *amount;
    const char *message;   // empty: accepted
    double base;
};

class ConfirmChecks : public AccountDialog, public ::testing::WithParamInterface<ConfirmCase> {};

TEST_P(ConfirmChecks, RefusedInputKeepsTheDialogOpen)
{
    const ConfirmCase c = GetParam();
    bool open = false;
    const int result = show(0, [&](QDialog *d) {
        type(d, QString::fromUtf8(c.name), QString::fromUtf8(c.amount));
        click(d, "SpeedButton1");
        open = d->isVisible();
    });
    const QString message = QString::fromUtf8(c.message);
    if (message.isEmpty()) {
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_FALSE(open);
        EXPECT_TRUE(ui.Messages().isEmpty());
        EXPECT_DOUBLE_EQ(dialog.DialogAccountBase, c.base);
        EXPECT_EQ(dialog.DialogAccountName, QString::fromUtf8(c.name));
        return;
    }
    EXPECT_TRUE(open);
    EXPECT_EQ(result, QDialog::Rejected);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages()[0].startsWith(message)) << ui.Messages()[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, ConfirmChecks, ::testing::Values(
    ConfirmCase{"", "100", "帐户名称不得为空", 0},
    ConfirmCase{"现金", "", "起初金额不得为空", 0},
    ConfirmCase{"现金", "1.2.3", "起初金额“1.2.3”不是有效的金额", 0},
    ConfirmCase{"现金", "abc", "起初金额“abc”不是有效的金额", 0},
    ConfirmCase{"现金", "1,000", "起初金额“1,000”不是有效的金额", 0},
    ConfirmCase{"现金", "1e5", "起初金额“1e5”不是有效的金额", 0},
    ConfirmCase{"现金", "-", "起初金额“-”不是有效的金额", 0},
    ConfirmCase{"现金", "1000000000000000", "起初金额“1000000000000000”不是有效的金额", 0},
    ConfirmCase{"现金", "   ", "起初金额“   ”不是有效的金额", 0},
    ConfirmCase{"现金", "0", "", 0},
    ConfirmCase{"现金", " -250.5 ", "", -250.5},
    ConfirmCase{"现金", "+4.", "", 4},
    ConfirmCase{"现金", "１２３．５", "", 123.5},
    ConfirmCase{" 带空格 ", ".75", "", 0.75}));

TEST_F(AccountDialog, EditModeLoadsTheRowAndShowsThePictureOfTheCurrentBook)
{
    const qint64 id = BookRows::Account(db(), QStringLiteral("O'Brien's 应收"),
                                        QStringLiteral("应收帐"), 12.5);
    Session::SetBook(QStringLiteral("应付帐"));
    QString title, name, amount;
    bool deleteShown = false;
    QImage picture;
    EXPECT_EQ(show(id, [&](QDialog *d) {
                  title = d->windowTitle();
                  name = d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->text();
                  amount = d->findChild<QLineEdit *>(QStringLiteral("Edit2"))->text();
                  deleteShown = d->findChild<QPushButton *>(QStringLiteral("SpeedButton3"))
                                    ->isVisible();
                  picture = d->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap().toImage();
                  click(d, "SpeedButton2");
              }),
              QDialog::Rejected);
    EXPECT_EQ(title, QStringLiteral("修改帐户"));
    EXPECT_EQ(name, QStringLiteral("O'Brien's 应收"));
    EXPECT_EQ(amount, QStringLiteral("12.5"));
    EXPECT_TRUE(deleteShown);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture, LoadPicture(QStringLiteral("Res/AccountPay.bmp")).toImage());
    EXPECT_NE(picture, LoadPicture(QStringLiteral("Res/AccountGet.bmp")).toImage());
}

TEST_F(AccountDialog, EditModeOfAnAccountThatIsGoneSaysSoAndCloses)
{
    EXPECT_EQ(show(4711, [](QDialog *d) { EXPECT_FALSE(d->isVisible()); }), QDialog::Rejected);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("找不到要修改的帐户，它可能已被删除")});
}

struct DeleteCase
{
    bool yes;
    bool renamedFirst;   // the name box changed before 删除
};

class DeleteAccount : public AccountDialog, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteAccount, GoesWithAllItsRecordsAndNoneOfAnotherAccount)
{
    const DeleteCase c = GetParam();
    const qint64 doomed = BookRows::Account(db(), QStringLiteral("要删的'帐户"));
    const qint64 other = BookRows::Account(db(), QStringLiteral("别的帐户"));
    BookRows::Records(db(), doomed, 500, QDate(2024, 6, 1), 10);
    BookRows::Records(db(), other, 7, QDate(2024, 6, 1), 10);
    ui.answers << c.yes;
    bool open = false;
    const int result = show(doomed, [&](QDialog *d) {
        if (c.renamedFirst)
            type(d, QStringLiteral("改过的名字"), QStringLiteral("1"));
        click(d, "SpeedButton3");
        open = d->isVisible();
    });
    EXPECT_EQ(ui.Questions(),
              QStringList{QStringLiteral("删除帐户将删除该帐户下所有记录，确实要删除吗？")});
    EXPECT_EQ(ui.log.last().title, QStringLiteral("删除警告"));
    EXPECT_EQ(open, !c.yes);
    EXPECT_EQ(result, c.yes ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(accounts(doomed), c.yes ? 0 : 1);
    EXPECT_EQ(records(doomed), c.yes ? 0 : 500);
    EXPECT_EQ(accounts(other), 1);
    EXPECT_EQ(records(other), 7);
    // After a deletion the dialog still names the account that went.
    EXPECT_EQ(dialog.DialogAccountName, QStringLiteral("要删的'帐户"));
}

INSTANTIATE_TEST_SUITE_P(Table, DeleteAccount, ::testing::Values(
    DeleteCase{true, false}, DeleteCase{true, true}, DeleteCase{false, false}));

// A deletion that fails half-way leaves the account and every one of its records: the
// records of a deleted account must never stay behind, nor an account lose half its records.
TEST_F(AccountDialog, ADeletionThatFailsHalfWayChangesNothing)
{
    const qint64 doomed = BookRows::Account(db(), QStringLiteral("半途"));
    BookRows::Records(db(), doomed, 500, QDate(2024, 6, 1), 10);
    const qint64 middle = BookRows::Count(db(), QStringLiteral("From MoneyTable")) / 2 + 1;
    BookRows::Exec(db(), QStringLiteral("CREATE TEMP TRIGGER Stop BEFORE DELETE ON "
                                        "main.MoneyTable WHEN old.MoneyIndex = %1 BEGIN "
                                        "SELECT RAISE(ABORT, 'disk full'); END")
                             .arg(middle));
    ui.answers << true;
    bool open = false;
    EXPECT_EQ(show(doomed, [&](QDialog *d) {
                  click(d, "SpeedButton3");
                  open = d->isVisible();
              }),
              QDialog::Rejected);
    EXPECT_TRUE(open);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages()[0].startsWith(QStringLiteral("删除帐户时出错，帐户和它的记录都没有删除")));
    EXPECT_EQ(accounts(doomed), 1);
    EXPECT_EQ(records(doomed), 500);

    // Nothing was left half-open: once the fault is gone the same deletion goes through.
    BookRows::Exec(db(), QStringLiteral("DROP TRIGGER temp.Stop"));
    ui.answers << true;
    EXPECT_EQ(show(doomed, [&](QDialog *d) { click(d, "SpeedButton3"); }), QDialog::Accepted);
    EXPECT_EQ(accounts(doomed), 0);
    EXPECT_EQ(records(doomed), 0);
}

} // namespace
