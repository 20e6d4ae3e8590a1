// Opening the database at start-up and the run-query helper's one message.
#include "DatabaseKey.h"
#include "Globals.h"
#include "ScriptedUi.h"
#include "Settings.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

TEST(RunQuery, ShowsTheCallersMessageOnceOnFailure)
{
    TestDatabase t;
    ScriptedUi ui;
    EXPECT_FALSE(RunQuery(t.dm->ADOQueryTemp, QStringLiteral("Select * From NoSuchTable"),
                          QStringLiteral("数据库打开失败")));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("数据库打开失败")});
    EXPECT_FALSE(t.dm->ADOQueryTemp.Active());

    ui.Clear();
    EXPECT_TRUE(RunQuery(t.dm->ADOQueryTemp, QStringLiteral("Select * From Power"),
                         QStringLiteral("数据库打开失败")));
    EXPECT_EQ(t.dm->ADOQueryTemp.RecordCount(), 4);
    EXPECT_TRUE(ui.Messages().isEmpty());
}

TEST(RunQuery, FailsWithoutAnOpenConnection)
{
    TestFolder folder;
    TShareDataModule dm;
    ScriptedUi ui;
    EXPECT_FALSE(RunQuery(dm.ADOQueryTemp, QStringLiteral("Select * From Power"),
                          QStringLiteral("参数读入失败")));
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("参数读入失败")});
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void makeDatabaseWithKey(const QString &path, const char *key)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_key(db, key, int(strlen(key)));
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE Account (AccountIndex INTEGER)", nullptr, nullptr,
                           nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// Our eight tables, with our password, but without the columns the program uses.
void makeLookAlike(const QString &path)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_key(db, DatabasePassword, int(strlen(DatabasePassword)));
    for (const char *t : {"Account", "Customer", "MoneyTable", "Parameter", "Setting", "Power",
                          "PrintTable", "PrintReport"})
        ASSERT_EQ(sqlite3_exec(db, QStringLiteral("CREATE TABLE %1 (Id INTEGER, Name TEXT)")
                                       .arg(QLatin1String(t)).toUtf8().constData(),
                               nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

enum class FileState { Good, Missing, Garbage, OtherPassword, OtherDatabase, LookAlike, Empty,
                       LowerCaseName };

struct OpenCase { FileState state; bool opens; const char *message; };

class OpenAtStart : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenAtStart, OpensOrSaysWhy)
{
    const OpenCase c = GetParam();
    TestFolder folder(c.state == FileState::Good);
    const QString path = folder.Database();
    switch (c.state) {
    case FileState::Garbage: writeFile(path, QByteArray(8192, '\x5a')); break;
    case FileState::Empty: writeFile(path, QByteArray()); break;
    case FileState::OtherPassword: makeDatabaseWithKey(path, "SomethingElse"); break;
    case FileState::OtherDatabase: makeDatabaseWithKey(path, DatabasePassword); break;
    case FileState::LookAlike: makeLookAlike(path); break;
    case FileState::LowerCaseName:
        ASSERT_TRUE(QFile::copy(TestFolder::PreparedDatabase(), folder.Path() + "quillmark.mdb"));
        break;
    default: break;
    }
    ScriptedUi ui;
    TShareDataModule dm;
    EXPECT_EQ(dm.OpenDatabase(), c.opens);
    EXPECT_EQ(dm.ADOConnection1.Connected(), c.opens);
    if (c.opens) {
        EXPECT_TRUE(ui.Messages().isEmpty());
    } else {
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().constFirst().startsWith(QString::fromUtf8(c.message)))
            << ui.Messages().constFirst().toStdString();
        EXPECT_FALSE(RunQuery(dm.ADOQueryTemp, QStringLiteral("Select * From Power"),
                              QStringLiteral("数据库打开失败")));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OpenAtStart, ::testing::Values(
    OpenCase{FileState::Good, true, ""},
    OpenCase{FileState::Missing, false, "数据库文件找不到，请联系澄衡软件有限公司 400-820-6618"},
    OpenCase{FileState::Garbage, false, "数据库无法打开"},
    OpenCase{FileState::Empty, false, "数据库无法打开"},
    OpenCase{FileState::OtherPassword, false, "数据库无法打开"},
    OpenCase{FileState::OtherDatabase, false, "数据库无法打开"},
    OpenCase{FileState::LookAlike, false, "数据库无法打开"},
    OpenCase{FileState::LowerCaseName, true, ""}));

// A file that another program holds locked is said to be in use, not to be foreign, and
// opens once the lock is gone.
TEST(OpenAtStart, ALockedFileIsInUseNotForeign)
{
    TestFolder folder;
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(folder.Database().toUtf8().constData(), &other), SQLITE_OK);
    sqlite3_key(other, DatabasePassword, int(strlen(DatabasePassword)));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const int wait = DbConnection::BusyTimeoutMs;
    DbConnection::BusyTimeoutMs = 100;
    ScriptedUi ui;
    TShareDataModule dm;
    EXPECT_FALSE(dm.OpenDatabase());
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().constFirst().startsWith(QStringLiteral("数据库正被其他程序使用")))
        << ui.Messages().constFirst().toStdString();
    ASSERT_EQ(sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_TRUE(dm.OpenDatabase());
    DbConnection::BusyTimeoutMs = wait;
}

TEST(OpenAtStart, NetworkModeUsesTheStoredAddress)
{
    TestFolder folder;
    NetworkModeSwitch = true;
    ScriptedUi ui;
    {
        // No address stored and no address window: a clear message, nothing opened.
        TShareDataModule dm;
        EXPECT_FALSE(dm.OpenDatabase());
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().constFirst().contains(QStringLiteral("找不到数据库文件")));
    }
    {
        // A wrong address goes to the address window, which decides.
        ASSERT_TRUE(WriteSetting(SettingKey::DatabaseSection, SettingKey::Address,
                                 folder.Path() + QStringLiteral("别处.MDB"), SettingsFile));
        TShareDataModule dm;
        int asked = 0;
        dm.AskDatabaseAddress = [&] { ++asked; return dm.ConnectDatabase(folder.Database()); };
        EXPECT_TRUE(dm.OpenDatabase());
        EXPECT_EQ(asked, 1);
    }
    {
        const QString elsewhere = folder.Path() + QStringLiteral("共享 数据.MDB");
        ASSERT_TRUE(QFile::copy(folder.Database(), elsewhere));
        ASSERT_TRUE(QFile::remove(folder.Database()));
        ASSERT_TRUE(WriteSetting(SettingKey::DatabaseSection, SettingKey::Address, elsewhere,
                                 SettingsFile));
        TShareDataModule dm;
        EXPECT_TRUE(dm.OpenDatabase());
        EXPECT_EQ(dm.ADOConnection1.Path(), elsewhere);
    }
    NetworkModeSwitch = false;
}

} // namespace
