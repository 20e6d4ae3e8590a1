// Whole-database copies through the engine: a backup taken while another connection is
// writing is the committed state, encrypted with the same password; a copy that cannot be
// made leaves the target as it was; a restore replaces a database in one transaction.
#include "Database.h"
#include "DatabaseDump.h"
#include "DatabaseKey.h"
#include "DbBackup.h"
#include "ShareDM.h"
#include "SqlCipherEngine.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <memory>

namespace {

const QString Password = QString::fromLatin1(DatabasePassword);

// A second connection to a database file, as another computer would hold it.
class OtherConnection
{
public:
    explicit OtherConnection(const QString &path)
    {
        sqlite3_open(path.toUtf8().constData(), &m_db);
        sqlite3_key(m_db, DatabasePassword, int(std::strlen(DatabasePassword)));
    }
    ~OtherConnection() { sqlite3_close(m_db); }
    int Run(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }

private:
    sqlite3 *m_db = nullptr;
};

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The program's rollback journal, and a write-ahead log, which the copy leaves to the
// engine's page-by-page backup.
class BackupWhileWriting : public ::testing::TestWithParam<const char *> {};

TEST_P(BackupWhileWriting, CopiesTheCommittedStateOnly)
{
    const bool wal = QLatin1String(GetParam()) == QLatin1String("wal");
    TestDatabase t;
    DbConnection &db = t.dm->ADOConnection1;
    OtherConnection other(t.folder.Database());
    if (wal) {
        ASSERT_EQ(other.Run("PRAGMA journal_mode = WAL"), SQLITE_OK);
    }
    ASSERT_EQ(other.Run("INSERT INTO Parameter VALUES (4, '已提交的业务员')"), SQLITE_OK);
    ASSERT_EQ(other.Run("BEGIN IMMEDIATE"), SQLITE_OK);
    ASSERT_EQ(other.Run("INSERT INTO Parameter VALUES (4, '未提交的业务员')"), SQLITE_OK);

    const QString target = t.folder.Path() + QStringLiteral("备份.mdb");
    int calls = 0;
    int lastDone = -1;
    int lastTotal = 0;
    int commitDuringCopy = SQLITE_OK;
    const DbCopyResult result = BackupDatabase(db, target, Password, [&](int done, int total) {
        // The other computer would finish its write now; with a rollback journal it has
        // to wait until the copy is done.
        if (++calls == 1 && !wal)
            commitDuringCopy = other.Run("COMMIT");
        EXPECT_GE(done, lastDone);
        lastDone = done;
        lastTotal = total;
    });
    ASSERT_TRUE(result.ok) << result.text.toStdString();
    EXPECT_GE(calls, 1);
    EXPECT_EQ(lastDone, lastTotal);
    EXPECT_GT(lastTotal, 0);
    if (!wal) {
        EXPECT_EQ(commitDuringCopy & 0xff, SQLITE_BUSY);
    }

    const QStringList copy = DumpDatabaseFile(target);
    EXPECT_FALSE(copy.isEmpty()) << "the backup opens with the database password";
    EXPECT_TRUE(copy.contains(QStringLiteral("Parameter|4|已提交的业务员")));
    EXPECT_FALSE(copy.join(QLatin1Char('\n')).contains(QStringLiteral("未提交")));
    ASSERT_EQ(other.Run("ROLLBACK"), SQLITE_OK);
    EXPECT_EQ(copy, DumpDatabase(db));

    // Encrypted: no plain database header, and another password does not open it.
    EXPECT_FALSE(bytesOf(target).startsWith("SQLite format 3"));
    DbConnection wrong;
    EXPECT_FALSE(wrong.Open(target, QStringLiteral("OtherPassword")));
    // Nothing is left of the copy's own temporary file.
    EXPECT_EQ(QDir(t.folder.Path()).entryList({QStringLiteral(".quillmark-backup-*")},
                                              QDir::Files | QDir::Hidden),
              QStringList());
}

INSTANTIATE_TEST_SUITE_P(JournalModes, BackupWhileWriting, ::testing::Values("delete", "wal"));

enum class Target { MissingFolder, TheDatabaseItself, LockedByAnother };

class BackupRefused : public ::testing::TestWithParam<Target> {};

TEST_P(BackupRefused, LeavesTheTargetAndTheDatabaseAsTheyWere)
{
    TestDatabase t;
    DbConnection &db = t.dm->ADOConnection1;
    const QStringList before = DumpDatabase(db);
    const QByteArray earlier("an earlier backup of this name");
    QString target;
    std::unique_ptr<OtherConnection> writer;
    switch (GetParam()) {
    case Target::MissingFolder:
        target = t.folder.Path() + QStringLiteral("没有的文件夹/备份.mdb");
        break;
    case Target::TheDatabaseItself:
        target = t.folder.Database();
        break;
    case Target::LockedByAnother: {
        // Another computer is in the middle of writing: the copy cannot be read, and the
        // earlier file of that name must survive the attempt.
        target = t.folder.Path() + QStringLiteral("备份.mdb");
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(earlier);
        writer = std::make_unique<OtherConnection>(t.folder.Database());
        ASSERT_EQ(writer->Run("BEGIN EXCLUSIVE"), SQLITE_OK);
        sqlite3_busy_timeout(SqlCipherHandle(db), 20);
        break;
    }
    }
    const DbCopyResult result = BackupDatabase(db, target, Password);
    writer.reset();
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.code, 0);
    EXPECT_FALSE(result.text.isEmpty());
    if (GetParam() == Target::LockedByAnother) {
        EXPECT_EQ(bytesOf(target), earlier);
    }
    if (GetParam() == Target::MissingFolder) {
        EXPECT_FALSE(QFile::exists(target));
    }
    EXPECT_EQ(DumpDatabase(db), before);
    EXPECT_EQ(DumpDatabaseFile(t.folder.Database()), before);
}

INSTANTIATE_TEST_SUITE_P(Table, BackupRefused,
                         ::testing::Values(Target::MissingFolder, Target::TheDatabaseItself,
                                           Target::LockedByAnother));

TEST(DbBackup, RestoreReplacesEveryRowOrNone)
{
    TestDatabase t;
    DbConnection &db = t.dm->ADOConnection1;
    const QString backup = t.folder.Path() + QStringLiteral("备份.mdb");
    ASSERT_TRUE(BackupDatabase(db, backup, Password).ok);
    const QStringList backedUp = DumpDatabase(db);
    {
        OtherConnection other(t.folder.Database());
        ASSERT_EQ(other.Run("DELETE FROM Parameter"), SQLITE_OK);
        ASSERT_EQ(other.Run("UPDATE Power SET PowerKey = 'changed'"), SQLITE_OK);
    }
    const QStringList changed = DumpDatabase(db);
    ASSERT_NE(changed, backedUp);

    DbConnection source;
    ASSERT_TRUE(source.Open(backup, Password));
    // While another connection reads the database, the engine cannot finish writing it:
    // the restore fails and the database keeps every row it had.
    const int busy = DbConnection::BusyTimeoutMs;
    DbConnection::BusyTimeoutMs = 20;
    {
        OtherConnection reader(t.folder.Database());
        ASSERT_EQ(reader.Run("BEGIN"), SQLITE_OK);
        ASSERT_EQ(reader.Run("SELECT count(*) FROM Power"), SQLITE_OK);
        const DbCopyResult failed = RestoreDatabase(source, t.folder.Database(), Password);
        EXPECT_FALSE(failed.ok);
        EXPECT_EQ(DumpDatabase(db), changed);
        reader.Run("ROLLBACK");
    }
    DbConnection::BusyTimeoutMs = busy;
    EXPECT_EQ(DumpDatabaseFile(t.folder.Database()), changed);

    // The program's own connection sees the restored rows without opening again.
    const DbCopyResult restored = RestoreDatabase(source, t.folder.Database(), Password);
    ASSERT_TRUE(restored.ok) << restored.text.toStdString();
    EXPECT_EQ(DumpDatabase(db), backedUp);
    EXPECT_EQ(DumpDatabaseFile(t.folder.Database()), backedUp);
    EXPECT_FALSE(RestoreDatabase(db, t.folder.Database(), Password).ok)
        << "a database is not restored onto itself";
}

} // namespace
