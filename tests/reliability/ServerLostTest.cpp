// The server book's connection cut while the entry window saves (its server process
// ended, as a restarted server or a broken network ends it) or while the window waits for
// the user: the save fails with the message that says so, nothing of it stays on the
// server, what was typed stays in the window, and the next 保存 reconnects and saves.
#include "BookRows.h"
#include "DatabaseKey.h"
#include "FormGetPay.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "ServerBook.h"
#include "Session.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QThread>

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Cut
{
    const char *name;
    bool duringSave;   // else before it, while the window waits for 保存
};

class ServerLost : public ::testing::TestWithParam<Cut> {};

// Ends the server processes of the database that have written in their transaction and
// wait for a lock (or all of them but the caller's); true once one was ended.
bool endConnections(const QString &database, bool midWrite, int ms)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QString ended;
        if (ServerBook::Admin(QStringLiteral(
                "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1' "
                "AND pid <> pg_backend_pid() %2").arg(database, midWrite
                    ? QStringLiteral("AND wait_event_type = 'Lock' AND backend_xid IS NOT NULL")
                    : QString()), &ended)
            && ended.contains(QLatin1Char('t')))
            return true;
        QThread::msleep(20);
    } while (clock.elapsed() < ms);
    return false;
}

TEST_P(ServerLost, TheSaveFailsWholeKeepsTheTypingAndTheNextReconnects)
{
    TestFolder folder;
    {
        DbConnection file;
        ASSERT_TRUE(OpenBook(&file, folder.Database()));
        BookRows::Account(&file, QStringLiteral("现金"));
        BookRows::Exec(&file, QStringLiteral("UPDATE Setting SET SettingValue = 'NO0041' "
                                             "WHERE SettingIndex = 1"));
    }
    ServerBook book(folder.Database());
    ASSERT_TRUE(book.Error().isEmpty()) << book.Error().toStdString();
    ScriptedUi ui;
    TShareDataModule dm;
    Registration<TShareDataModule> dmSlot(ShareDataModule, &dm);
    ASSERT_TRUE(dm.ConnectDatabase(book.Address())) << ui.Messages().join(' ').toStdString();
    TFormGetPay pay;
    Registration<TFormGetPay> slot(FormGetPay, &pay);
    Session::SetUser(QStringLiteral("出纳"));
    pay.EntryMode = TFormGetPay::NewIncome;
    pay.EntryAccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
    pay.EntryAccountType = QStringLiteral("现金帐");
    pay.FormShow();
    pay.ComboBox1->setCurrentIndex(pay.ComboBox1->findText(QStringLiteral("现金")));
    pay.Edit2->setText(QStringLiteral("321"));
    pay.Edit3->setText(QStringLiteral("断线时录入"));
    ASSERT_EQ(pay.Edit4->text(), QStringLiteral("NO0042"));

    DbConnection other;   // another computer, and the test's eyes
    ASSERT_TRUE(OpenBook(&other, book.Address()));
    const auto stored = [&other] {
        return BookRows::Text(&other, QStringLiteral("Select * From Setting Where SettingIndex = 1"),
                              QStringLiteral("SettingValue"))
            + QLatin1Char('/')
            + BookRows::Text(&other, QStringLiteral("Select Count(*) As N From MoneyTable "
                                                    "Where MoneyRemark = '断线时录入'"),
                             QStringLiteral("N"));
    };
    const Cut cut = GetParam();
    if (cut.duringSave) {
        // The save writes the book's last number, then waits for the record's table, which
        // another program holds: its connection is cut in the middle of the save.
        const int patience = DbConnection::BusyTimeoutMs;
        DbConnection::BusyTimeoutMs = 30000;
        ASSERT_TRUE(other.ExecuteScript(QStringLiteral(
            "BEGIN; LOCK TABLE MoneyTable IN SHARE MODE")));
        bool ended = false;
        std::thread cutter([&] { ended = endConnections(book.Database(), true, 20000); });
        pay.BitBtn1Click();
        cutter.join();
        DbConnection::BusyTimeoutMs = patience;
        ASSERT_TRUE(ended);
        ASSERT_TRUE(other.ExecuteScript(QStringLiteral("ROLLBACK")));
        EXPECT_EQ(stored(), QStringLiteral("NO0041/0"));
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().at(0).startsWith(QStringLiteral(
            "记录没有保存：数据库写入失败。\n与数据库服务器的连接断开了")))
            << ui.Messages().at(0).toStdString();
        EXPECT_NE(pay.result(), int(QDialog::Accepted));
        EXPECT_EQ(pay.Edit2->text(), QStringLiteral("321"));
        EXPECT_EQ(pay.Edit3->text(), QStringLiteral("断线时录入"));
        EXPECT_EQ(pay.Edit4->text(), QStringLiteral("NO0042"));
        ui.Clear();
    } else {
        ASSERT_TRUE(endConnections(book.Database(), false, 5000));
        ASSERT_TRUE(OpenBook(&other, book.Address()));
    }

    pay.BitBtn1Click();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("记录新增成功")});
    EXPECT_EQ(pay.result(), int(QDialog::Accepted));
    EXPECT_EQ(stored(), QStringLiteral("NO0042/1"));
}

INSTANTIATE_TEST_SUITE_P(Cuts, ServerLost,
                         ::testing::Values(Cut{"DuringTheSave", true}, Cut{"BeforeTheSave", false}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
