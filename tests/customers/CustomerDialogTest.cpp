// The customer dialog through the UI seam: a new customer with its duplicate check, editing
// with a rename that carries the new name into the customer's money records in the same
// transaction as the customer, the deletion that leaves the records, and modal results.
#include "BookRows.h"
#include "CustomerFields.h"
#include "FormCustomer.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlCipherEngine.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

// The ten fields as a user types them, in the order of the dialog's table.
const QStringList Typed = {
    QStringLiteral("O'Neil's 商行"), QStringLiteral("浙江"), QStringLiteral("0571-1234"),
    QStringLiteral("0571-5678"), QStringLiteral("王 五"), QStringLiteral("13900000000"),
    QStringLiteral("a@b.cn"), QStringLiteral("12345"), QStringLiteral("  杭州'路 1 号  "),
    QStringLiteral("")};

class CustomerDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormCustomer, &dialog);
        Session::SetUser(QStringLiteral("出纳"));
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    int show(qint64 index, ScriptedUi::Script script)
    {
        dialog.DialogCustomerIndex = index;
        ui.OnModal(QStringLiteral("FormCustomer"), std::move(script));
        return Ui::ShowModal(&dialog);
    }

    static QLineEdit *field(QDialog *d, int i)
    {
        const QString name = CustomerFields()[i].control;
        if (auto *combo = d->findChild<QComboBox *>(name))
            return combo->lineEdit();
        return d->findChild<QLineEdit *>(name);
    }
    static void typeAll(QDialog *d, const QStringList &texts)
    {
        for (int i = 0; i < CustomerFieldCount; ++i)
            field(d, i)->setText(texts[i]);
    }
    static void click(QDialog *d, const char *button)
    {
        if (auto *b = d->findChild<QPushButton *>(QLatin1String(button)))
            b->click();
        else
            d->findChild<QToolButton *>(QLatin1String(button))->click();
    }

    QString customerName(qint64 id)
    {
        return BookRows::Text(db(), QStringLiteral("Select * From Customer Where CustomerIndex"
                                                   " = %1").arg(id),
                              QStringLiteral("CustomerName"));
    }
    int recordsOf(const QString &name)
    {
        return BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneyUser = '%1'")
                                         .arg(QString(name).replace(QLatin1Char('\''),
                                                                    QStringLiteral("''"))));
    }

    TestDatabase data;
    ScriptedUi ui;
    TFormCustomer dialog;
};

TEST_F(CustomerDialog, ANewCustomerIsStoredExactlyAsTypedAndOwnedByTheUser)
{
    Session::SetUser(QStringLiteral("王五"));
    bool deleteShown = true;
    EXPECT_EQ(show(0, [&](QDialog *d) {
                  deleteShown = d->findChild<QToolButton *>(QStringLiteral("ButtonDelete"))
                                    ->isVisible();
                  typeAll(d, Typed);
                  click(d, "ButtonYes");
              }),
              TFormCustomer::Written);
    EXPECT_FALSE(deleteShown);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("客户　O'Neil's 商行　新增成功")});
    DbQuery q(db());
    q.SetSQL(QStringLiteral("Select * From Customer Where CustomerIndex > 1"));
    ASSERT_TRUE(q.Open());
    ASSERT_EQ(q.RecordCount(), 1);
    for (int i = 0; i < CustomerFieldCount; ++i)
        EXPECT_EQ(q.FieldByName(CustomerFields()[i].column).AsString(), Typed[i]) << i;
    EXPECT_EQ(q.FieldByName(QStringLiteral("CustomerPower")).AsString(), QStringLiteral("王五"));

    // Shown again for a new customer, every field starts empty.
    QStringList again;
    show(0, [&](QDialog *d) {
        for (int i = 0; i < CustomerFieldCount; ++i)
            again << field(d, i)->text();
    });
    EXPECT_EQ(again, QStringList(CustomerFieldCount, QString()));
}

struct RefusalCase
{
    const char *existing;
    const char *typed;
    const char *message;
};

class NewCustomerRefused : public CustomerDialog,
                           public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(NewCustomerRefused, SaysWhyAndStaysOpen)
{
    const RefusalCase c = GetParam();
    BookRows::Customer(db(), QString::fromUtf8(c.existing));
    bool open = false;
    EXPECT_EQ(show(0, [&](QDialog *d) {
                  field(d, 0)->setText(QString::fromUtf8(c.typed));
                  click(d, "ButtonYes");
                  open = d->isVisible();
              }),
              TFormCustomer::NothingWritten);
    EXPECT_TRUE(open);
    EXPECT_EQ(ui.Messages(), QStringList{QString::fromUtf8(c.message)});
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From Customer Where CustomerIndex > 1")), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, NewCustomerRefused, ::testing::Values(
    RefusalCase{"甲", "", "客户名称不得为空"},
    RefusalCase{"甲", "甲", "该客户名称已经存在，请重新操作"},
    RefusalCase{"Acme", "ACME", "该客户名称已经存在，请重新操作"},
    RefusalCase{"O'Neil", "o'neil", "该客户名称已经存在，请重新操作"}));

TEST_F(CustomerDialog, EditModeLoadsTheFieldsAndOffersEveryRegion)
{
    BookRows::Customer(db(), QStringLiteral("别人的"), QStringLiteral("西藏"),
                       QStringLiteral("李四"));
    const qint64 id = BookRows::Customer(db(), QStringLiteral("甲"), QStringLiteral("北京"));
    QStringList shown, regions;
    bool deleteShown = false;
    EXPECT_EQ(show(id, [&](QDialog *d) {
                  for (int i = 0; i < CustomerFieldCount; ++i)
                      shown << field(d, i)->text();
                  auto *combo = d->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
                  for (int i = 0; i < combo->count(); ++i)
                      regions << combo->itemText(i);
                  deleteShown = d->findChild<QToolButton *>(QStringLiteral("ButtonDelete"))
                                    ->isVisible();
                  click(d, "ButtonNo");
              }),
              TFormCustomer::NothingWritten);
    EXPECT_EQ(shown[0], QStringLiteral("甲"));
    EXPECT_EQ(shown[1], QStringLiteral("北京"));
    EXPECT_TRUE(deleteShown);
    // The reserved row's empty region, another user's region and the customer's own.
    EXPECT_EQ(regions, (QStringList{QString(), QStringLiteral("西藏"), QStringLiteral("北京")}));
    EXPECT_TRUE(ui.Messages().isEmpty());
}

TEST_F(CustomerDialog, EditModeOfACustomerThatIsGoneSaysSoAndEndsAsCancelled)
{
    EXPECT_EQ(show(4711, [](QDialog *d) { EXPECT_FALSE(d->isVisible()); }),
              TFormCustomer::NothingWritten);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("找不到要修改的记录")});
}

TEST_F(CustomerDialog, CancelAndTheCloseBoxWriteNothing)
{
    const qint64 id = BookRows::Customer(db(), QStringLiteral("甲"));
    EXPECT_EQ(show(id, [](QDialog *d) {
                  field(d, 0)->setText(QStringLiteral("乙"));
                  click(d, "ButtonNo");
              }),
              TFormCustomer::NothingWritten);
    EXPECT_EQ(show(id, [](QDialog *d) {
                  field(d, 0)->setText(QStringLiteral("乙"));
                  d->reject();
              }),
              TFormCustomer::NothingWritten);
    EXPECT_EQ(customerName(id), QStringLiteral("甲"));
}

// Saving without a new name writes the customer row and nothing of MoneyTable.
TEST_F(CustomerDialog, SavingWithTheSameNameLeavesTheRecordsAlone)
{
    const qint64 id = BookRows::Customer(db(), QStringLiteral("甲"));
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"));
    BookRows::Records(db(), account, 3, QDate(2024, 6, 1), 5, QStringLiteral("甲"));
    const int before = sqlite3_total_changes(SqlCipherHandle(*db()));
    EXPECT_EQ(show(id, [](QDialog *d) {
                  field(d, 2)->setText(QStringLiteral("新电话"));
                  click(d, "ButtonYes");
              }),
              TFormCustomer::Written);
    EXPECT_EQ(sqlite3_total_changes(SqlCipherHandle(*db())) - before, 1);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("客户资料修改成功")});
    EXPECT_EQ(BookRows::Text(db(), QStringLiteral("Select * From Customer Where CustomerIndex"
                                                  " = %1").arg(id),
                             QStringLiteral("CustomerPhone")),
              QStringLiteral("新电话"));
}

TEST_F(CustomerDialog, ARenameMovesExactlyTheRecordsOfTheOldName)
{
    const qint64 a = BookRows::Customer(db(), QStringLiteral("A'1"), QString(),
                                        QStringLiteral("李四"));
    BookRows::Customer(db(), QStringLiteral("C"));
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"));
    BookRows::Records(db(), account, 4, QDate(2024, 6, 1), 5, QStringLiteral("A'1"));
    BookRows::Records(db(), account, 2, QDate(2024, 6, 1), 5, QStringLiteral("C"));
    BookRows::Records(db(), account, 1, QDate(2024, 6, 1), 5, QStringLiteral("A'12"));
    EXPECT_EQ(show(a, [](QDialog *d) {
                  field(d, 0)->setText(QStringLiteral("B'2"));
                  field(d, 1)->setText(QStringLiteral("江苏"));
                  click(d, "ButtonYes");
              }),
              TFormCustomer::Written);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("客户资料修改成功")});
    EXPECT_EQ(customerName(a), QStringLiteral("B'2"));
    EXPECT_EQ(recordsOf(QStringLiteral("A'1")), 0);
    EXPECT_EQ(recordsOf(QStringLiteral("B'2")), 4);
    EXPECT_EQ(recordsOf(QStringLiteral("C")), 2);
    EXPECT_EQ(recordsOf(QStringLiteral("A'12")), 1);
    // Editing never changes who owns the customer.
    EXPECT_EQ(BookRows::Text(db(), QStringLiteral("Select * From Customer Where CustomerIndex"
                                                  " = %1").arg(a),
                             QStringLiteral("CustomerPower")),
              QStringLiteral("李四"));
}

struct RenameRefusal
{
    const char *from;
    const char *to;
};

class RenameRefused : public CustomerDialog, public ::testing::WithParamInterface<RenameRefusal>
{};

// Another customer's name is refused, and so is a change of letter case only: the
// database, comparing without regard to case, finds the customer itself.
TEST_P(RenameRefused, ByAnExistingName)
{
    const RenameRefusal c = GetParam();
    const qint64 id = BookRows::Customer(db(), QString::fromUtf8(c.from));
    BookRows::Customer(db(), QStringLiteral("Other"));
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"));
    BookRows::Records(db(), account, 2, QDate(2024, 6, 1), 5, QString::fromUtf8(c.from));
    bool open = false;
    show(id, [&](QDialog *d) {
        field(d, 0)->setText(QString::fromUtf8(c.to));
        click(d, "ButtonYes");
        open = d->isVisible();
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("该客户名称已经存在，请重新操作")});
    EXPECT_EQ(customerName(id), QString::fromUtf8(c.from));
    EXPECT_EQ(BookRows::Text(db(), QStringLiteral("Select * From MoneyTable"),
                             QStringLiteral("MoneyUser")),
              QString::fromUtf8(c.from));
}

INSTANTIATE_TEST_SUITE_P(Table, RenameRefused, ::testing::Values(
    RenameRefusal{"Mine", "Other"}, RenameRefusal{"Mine", "OTHER"},
    RenameRefusal{"Mine", "MINE"}));

struct FaultCase
{
    const char *table;   // where the write fails
    const char *when;
};

class RenameFault : public CustomerDialog, public ::testing::WithParamInterface<FaultCase> {};

// A rename that fails part-way leaves every record and the customer under the old name.
TEST_P(RenameFault, LeavesRecordsAndCustomerUnderOneName)
{
    const FaultCase c = GetParam();
    const qint64 id = BookRows::Customer(db(), QStringLiteral("A"));
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"));
    BookRows::Records(db(), account, 6, QDate(2024, 6, 1), 5, QStringLiteral("A"));
    BookRows::Exec(db(), QStringLiteral("CREATE TEMP TRIGGER Stop BEFORE UPDATE ON %1 WHEN %2 "
                                        "BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                             .arg(QLatin1String(c.table), QLatin1String(c.when)));
    bool open = false;
    show(id, [&](QDialog *d) {
        field(d, 0)->setText(QStringLiteral("B"));
        click(d, "ButtonYes");
        open = d->isVisible();
    });
    EXPECT_TRUE(open);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages()[0].startsWith(
        QStringLiteral("客户资料修改失败，客户和它的记录都没有改动")));
    EXPECT_EQ(customerName(id), QStringLiteral("A"));
    EXPECT_EQ(recordsOf(QStringLiteral("A")), 6);
    EXPECT_EQ(recordsOf(QStringLiteral("B")), 0);

    BookRows::Exec(db(), QStringLiteral("DROP TRIGGER temp.Stop"));
    ui.Clear();
    EXPECT_EQ(show(id, [](QDialog *d) {
                  field(d, 0)->setText(QStringLiteral("B"));
                  click(d, "ButtonYes");
              }),
              TFormCustomer::Written);
    EXPECT_EQ(customerName(id), QStringLiteral("B"));
    EXPECT_EQ(recordsOf(QStringLiteral("B")), 6);
}

INSTANTIATE_TEST_SUITE_P(Table, RenameFault, ::testing::Values(
    FaultCase{"MoneyTable", "old.MoneyIndex = 4"}, FaultCase{"Customer", "1"}));

struct DeleteCase
{
    bool yes;
};

class DeleteCustomer : public CustomerDialog, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteCustomer, LeavesItsRecordsUnderTheOldName)
{
    const bool yes = GetParam().yes;
    const qint64 id = BookRows::Customer(db(), QStringLiteral("甲"));
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"));
    BookRows::Records(db(), account, 3, QDate(2024, 6, 1), 5, QStringLiteral("甲"));
    ui.answers << yes;
    bool open = false;
    const int result = show(id, [&](QDialog *d) {
        click(d, "ButtonDelete");
        open = d->isVisible();
    });
    EXPECT_EQ(ui.Questions(), QStringList{QStringLiteral("确实要删除该客户吗？")});
    EXPECT_EQ(ui.log.last().title, QStringLiteral("删除警告"));
    EXPECT_EQ(open, !yes);
    EXPECT_EQ(result, yes ? TFormCustomer::Written : TFormCustomer::NothingWritten);
    EXPECT_EQ(customerName(id), yes ? QString() : QStringLiteral("甲"));
    EXPECT_EQ(recordsOf(QStringLiteral("甲")), 3);
}

INSTANTIATE_TEST_SUITE_P(Table, DeleteCustomer, ::testing::Values(DeleteCase{true},
                                                                  DeleteCase{false}));

} // namespace
