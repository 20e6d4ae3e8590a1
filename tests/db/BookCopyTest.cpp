// A book moved from its file onto a server (fixture pgserver), and the same statements then
// read on both: the windows' statement forms give the same rows on either engine. Backups of
// the server book are book files; a restore replaces the server's rows whole or not at all.
#include "BookCopy.h"
#include "BookRows.h"
#include "Database.h"
#include "DatabaseKey.h"
#include "ServerBook.h"
#include "pg/PgEngine.h"
#include "TestFolder.h"

#include <QDate>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

const QString Password = QString::fromLatin1(DatabasePassword);

// Every row of a statement, each as its values in the file's column order; rows sorted
// unless the statement orders them.
QStringList Rows(DbConnection *db, const QString &sql, const QStringList &names)
{
    DbQuery q(db);
    q.SetSQL(sql);
    EXPECT_TRUE(q.Open()) << sql.toStdString() << ": " << q.LastError().toStdString();
    QStringList rows;
    for (q.First(); !q.Eof(); q.Next()) {
        QStringList row;
        for (const QString &n : names)
            row << (q.FieldByName(n).IsNull() ? QStringLiteral("NULL") : q.FieldByName(n).AsString());
        rows << row.join(QLatin1Char('|'));
    }
    if (!sql.contains(QLatin1String("Order By"), Qt::CaseInsensitive))
        rows.sort();
    return rows;
}

QStringList Names(DbConnection *db, const QString &sql)
{
    DbQuery q(db);
    q.SetSQL(sql);
    return q.Open() ? q.FieldNames() : QStringList();
}

class MovedBook : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new TestFolder;
        file = new DbConnection;
        ASSERT_TRUE(file->Open(folder->Database(), Password)) << file->LastError().toStdString();
        const qint64 cash = BookRows::Account(file, QStringLiteral("Cash Ltd 现金"), QStringLiteral("现金帐"), 100.5);
        const qint64 owed = BookRows::Account(file, QStringLiteral("bank"), QStringLiteral("应收帐"));
        for (const QString &name : {QStringLiteral("甲公司"), QStringLiteral("乙商店"),
                                    QStringLiteral("O'Brien & Co"), QStringLiteral("Ärger GmbH")})
            BookRows::Customer(file, name, QStringLiteral("广东"));
        BookRows::Record(file, cash, QDate(2008, 2, 1), 30.25, QStringLiteral("甲公司"));
        BookRows::Record(file, cash, QDate(2008, 2, 15), 0.1, QStringLiteral("甲公司"));
        BookRows::Record(file, cash, QDate(2008, 2, 15), 0.2, QStringLiteral("O'Brien & Co"));
        BookRows::Record(file, owed, QDate(2008, 3, 1), -20.25, QStringLiteral("乙商店"));
        BookRows::Record(file, owed, QDate(2008, 3, 2), 7, QStringLiteral("Ärger GmbH"));
        BookRows::Records(file, cash, 130, QDate(2008, 4, 1), 1.01, QStringLiteral("乙商店"));
        server = new ServerBook;
        ASSERT_EQ(server->Error().toStdString(), "");
        int lastDone = -1, lastTotal = -1;
        const DbCopyResult moved = MoveBookToServer(*file, server->Address(), QString(),
                                                    [&](int done, int total) {
                                                        lastDone = done;
                                                        lastTotal = total;
                                                    });
        ASSERT_TRUE(moved.ok) << moved.text.toStdString();
        EXPECT_EQ(lastDone, lastTotal);
        EXPECT_GT(lastTotal, 21000);   // the scratch rows as well
        onServer = new DbConnection;
        ASSERT_TRUE(onServer->Open(server->Address(), QString())) << onServer->LastError().toStdString();
    }
    static void TearDownTestSuite()
    {
        delete onServer;
        delete server;
        delete file;
        delete folder;
    }
    static TestFolder *folder;
    static DbConnection *file;
    static ServerBook *server;
    static DbConnection *onServer;
};
TestFolder *MovedBook::folder = nullptr;
DbConnection *MovedBook::file = nullptr;
ServerBook *MovedBook::server = nullptr;
DbConnection *MovedBook::onServer = nullptr;

class SameOnBothEngines : public MovedBook, public ::testing::WithParamInterface<const char *> {};

// The forms the windows send (the dialect's own table first), with names that differ in
// the case of Latin letters, quotes and amounts that do not add up exactly in binary.
TEST_P(SameOnBothEngines, StatementGivesTheSameRows)
{
    const QString sql = QString::fromUtf8(GetParam());
    const QStringList names = Names(file, sql);
    ASSERT_FALSE(names.isEmpty()) << GetParam();
    for (const QString &n : names)   // the server book may have keys the file has not
        EXPECT_TRUE(Names(onServer, sql).contains(n)) << GetParam() << ": " << n.toStdString();
    EXPECT_EQ(Rows(onServer, sql, names), Rows(file, sql, names)) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Forms, SameOnBothEngines, ::testing::Values(
    "Select ROUND(Sum(MoneySum),2) As TotalMoney From MoneyTable Where (MoneyAccount = 2) And (MoneyCreateTime <= #2008-02-16#)",
    "select round(sum(MoneySum),2) as TotalMoney from MoneyTable where MoneyAccount = 999",
    "Select * From MoneyTable Where MoneyCreateTime Between #2008-02-15# And #2008-02-15#",
    "Select ABS(MoneySum) As MSum,* From MoneyTable Where MoneySum < 0",
    "Select AccountName,MoneySum From Account,MoneyTable Where (AccountIndex = MoneyAccount) And (AccountType = '应收帐')",
    "Select Count(MoneyIndex) As TotalCount, ROUND(SUM(MoneySum),2) As TotalSum From MoneyTable Where MoneyUser = '甲公司'",
    "Select Round(Sum(AccountBase),2) As TotalSum From Account Where AccountIndex > 1",
    "Select ABS(ROUND(Sum(MoneySum),2)) As TotalPay From MoneyTable Where MoneySum < 0",
    "Select Distinct CustomerRegion From Customer Where (CustomerIndex > 1)",
    "Select * From Customer Where InStr(CustomerName,'商')",
    "Select * From Customer Where (CustomerIndex > 1) And (InStr(CustomerName,'o''b'))",
    "Select * From MoneyTable Where MoneyUser In ('甲公司','丙') Order By MoneySum Desc,MoneyCreateTime,MoneyIndex",
    "Select * From PrintTable Where PrintEnable = False And PrintIndex <= 5",
    "Select * From Account Where AccountName = 'cash ltd 现金' And AccountType = '现金帐'",
    "Select * From Account Where InStr(AccountName,'CASH')",
    "Select * From Customer Where CustomerName = 'Ärger GMBH'",
    "Select * From Power Where PowerKey = 'ADMIN'",
    "Select * From Parameter Where ParameterType = 1",
    "Select * From Setting Where SettingIndex = 1",
    "Select Count(*) As CardCount From (Select * From Customer Where (CustomerIndex > 1))",
    "Select * From Customer Where (CustomerIndex > 1) Order By CustomerName Limit 2 Offset 1",
    "Select MoneyIndex,MoneySerial,MoneyCreateTime,AccountName,MoneyUser,MoneySum From Account,MoneyTable Where (AccountIndex = MoneyAccount) And (MoneyUser = '乙商店') Order By MoneyCreateTime,MoneyIndex"));

// A second move would overwrite a book in use: refused, and the server keeps its rows.
TEST_F(MovedBook, MoveOntoABookInUseIsRefused)
{
    const int before = BookRows::Count(onServer, QStringLiteral("From MoneyTable"));
    const DbCopyResult again = MoveBookToServer(*file, server->Address(), QString());
    EXPECT_FALSE(again.ok);
    EXPECT_TRUE(again.text.contains(QStringLiteral("收支记录"))) << again.text.toStdString();
    EXPECT_EQ(BookRows::Count(onServer, QStringLiteral("From MoneyTable")), before);
}

// Backup of the server book is a book file; a restore puts its rows back, new keys follow
// the restored ones, and a restore that fails half-way leaves the server as it was.
TEST_F(MovedBook, BackupOpensAsAFileAndRestoresWholeOrNotAtAll)
{
    const QString backup = folder->Path() + QStringLiteral("服务器备份.mdb");
    const DbCopyResult saved = BackupDatabase(*onServer, backup, Password);
    ASSERT_TRUE(saved.ok) << saved.text.toStdString();
    DbConnection copy;
    ASSERT_TRUE(copy.Open(backup, Password)) << copy.LastError().toStdString();
    const QString total = QStringLiteral("Select ROUND(Sum(MoneySum),2) As T From MoneyTable");
    EXPECT_EQ(BookRows::Text(&copy, total, QStringLiteral("T")),
              BookRows::Text(onServer, total, QStringLiteral("T")));

    const qint64 last = BookRows::Text(onServer, QStringLiteral("Select Max(MoneyIndex) As M From MoneyTable"),
                                       QStringLiteral("M")).toLongLong();
    BookRows::Exec(onServer, QStringLiteral("Delete From MoneyTable Where MoneySum > 1"));
    const DbCopyResult restored = RestoreDatabase(copy, server->Address(), QString());
    ASSERT_TRUE(restored.ok) << restored.text.toStdString();
    EXPECT_EQ(BookRows::Text(onServer, total, QStringLiteral("T")),
              BookRows::Text(&copy, total, QStringLiteral("T")));
    EXPECT_GT(BookRows::Record(onServer, 2, QDate(2009, 1, 1), 5), last);

    // A value the server's column cannot take, in the last table copied: nothing changes.
    const QString before = BookRows::Text(onServer, total, QStringLiteral("T"));
    BookRows::Exec(&copy, QStringLiteral("Update PrintReport Set ReportEnable = 'x' Where ReportIndex = 20000"));
    const DbCopyResult broken = RestoreDatabase(copy, server->Address(), QString());
    EXPECT_FALSE(broken.ok);
    EXPECT_EQ(BookRows::Text(onServer, total, QStringLiteral("T")), before);
    EXPECT_EQ(BookRows::Count(onServer, QStringLiteral("From MoneyTable Where MoneyCreateTime = '2009-01-01'")), 1);
}

TEST(ServerMove, CancelledLeavesTheServerBookNew)
{
    TestFolder folder;
    DbConnection file;
    ASSERT_TRUE(file.Open(folder.Database(), Password));
    BookRows::Records(&file, BookRows::Account(&file, QStringLiteral("现金")), 300, QDate(2008, 1, 1), 2);
    ServerBook server;
    ASSERT_EQ(server.Error().toStdString(), "");
    BookCopyCancelRequested() = true;
    const DbCopyResult moved = MoveBookToServer(file, server.Address(), QString());
    BookCopyCancelRequested() = false;
    EXPECT_FALSE(moved.ok);
    DbConnection target;
    ASSERT_TRUE(target.Open(server.Address(), QString()));
    EXPECT_EQ(BookRows::Count(&target, QStringLiteral("From MoneyTable")), 0);
    EXPECT_EQ(BookRows::Count(&target, QStringLiteral("From PrintTable")), 1000);
}

// The server stopped in the middle of a save, as a crash or a power cut stops it: the save
// fails with the lost-connection message, nothing of it is there once the server is back,
// and the next statement connects again by itself. A server of the test's own, so that the
// tests beside it keep theirs.
TEST(ServerStopped, InTheMiddleOfASaveLeavesNothingHalfDone)
{
    TestFolder folder(false);
    const QString dir = folder.Path() + QStringLiteral("server");
    const auto server = [&](const char *verb) {
        return QProcess::execute(QStringLiteral("bash"),
                                 {QStringLiteral(QM_SOURCE_DIR "/tests/server/pgserver.sh"),
                                  QLatin1String(verb), dir}) == 0;
    };
    struct Stop { std::function<void()> f; ~Stop() { f(); } } stop{[&] { server("stop"); }};
    ASSERT_TRUE(server("start"));
    QFile file(dir + QStringLiteral("/pgaddress"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString address = QString::fromUtf8(file.readAll()).trimmed();
    QString error;
    ASSERT_TRUE(MakeServerBook(address, QString(), BookSchema(true), &error)) << error.toStdString();
    DbConnection db;
    ASSERT_TRUE(db.Open(address, QString())) << db.LastError().toStdString();
    // The test server does not wait for the disk at a commit: the new book is put there.
    ASSERT_TRUE(db.ExecuteScript(QStringLiteral("CHECKPOINT")));

    ASSERT_TRUE(db.BeginTrans());
    DbQuery number(&db);
    number.SetSQL(QStringLiteral("Select * From Setting Where SettingIndex = 1"));
    ASSERT_TRUE(number.Open() && number.Edit());
    number.SetField(QStringLiteral("SettingValue"), QStringLiteral("XJ0001"));
    ASSERT_TRUE(number.Post()) << number.LastError().toStdString();
    BookRows::Record(&db, 1, QDate(2009, 1, 1), 5);
    ASSERT_TRUE(server("halt"));
    EXPECT_FALSE(db.CommitTrans());
    EXPECT_EQ(db.Fault(), DbFault::ConnectionLost);
    EXPECT_TRUE(db.LastError().contains(QStringLiteral("连接断开"))) << db.LastError().toStdString();
    db.RollbackTrans();

    ASSERT_TRUE(server("resume"));
    EXPECT_EQ(BookRows::Count(&db, QStringLiteral("From MoneyTable")), 0);
    EXPECT_EQ(BookRows::Text(&db, QStringLiteral("Select * From Setting Where SettingIndex = 1"),
                             QStringLiteral("SettingValue")), QString());
    EXPECT_GT(BookRows::Record(&db, 1, QDate(2009, 1, 2), 6), 0);
}

// A server that cannot be reached is said so, in Chinese, and nothing works on it.
TEST(ServerMove, UnreachableServerIsNamed)
{
    DbConnection c;
    EXPECT_FALSE(c.Open(QStringLiteral("postgresql:///book?host=/nonexistent-qm-socket"), QString()));
    EXPECT_EQ(c.Failure(), DbConnection::OpenFailure::Unreachable);
    EXPECT_TRUE(c.LastError().contains(QStringLiteral("服务器"))) << c.LastError().toStdString();
    EXPECT_FALSE(c.Connected());
    EXPECT_FALSE(c.BeginTrans());
}

} // namespace
