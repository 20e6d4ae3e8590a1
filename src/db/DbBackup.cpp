#include "DbBackup.h"

#include "BookCopy.h"

#include "Database.h"
#include "EngineValue.h"
#include "SqlCipherEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// Pages copied per step, about 40 ms of work on 1 KB pages. The source is read-locked only
// during a step, so a writer on another computer waits at most one step; between steps the
// caller's window repaints.
constexpr int PagesPerStep = 1024;
// A step that finds the file locked has already waited the connection's busy timeout.
constexpr int BusyRetries = 3;
// Bytes copied between two reports of a whole-file copy.
constexpr qint64 ChunkBytes = 4 << 20;

// An engine's result code.
DbCopyResult failure(int code, const QString &text)
{
    return DbCopyResult{false, code, text, DbCopyResult::Origin::Engine};
}

// An errno value.
DbCopyResult systemFailure(int error, const QString &text)
{
    return DbCopyResult{false, error, text, DbCopyResult::Origin::System};
}

DbCopyResult fileFailure(int error, const QString &what)
{
    return systemFailure(
        error, what + QStringLiteral("：") + QString::fromLocal8Bit(std::strerror(error)));
}

QString engineText(sqlite3 *db, int code)
{
    if (db && sqlite3_errcode(db) != SQLITE_OK)
        return QString::fromUtf8(sqlite3_errmsg(db));
    return QString::fromUtf8(sqlite3_errstr(code));
}

// Every page of from's main database onto to's, in steps. The engine keeps to's write
// transaction open from the first step to the last and rolls it back when the copy ends
// early, so to has either all of from or what it had.
DbCopyResult copyPages(sqlite3 *to, sqlite3 *from, const DbCopyProgress &progress)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        const int code = sqlite3_extended_errcode(to);
        return failure(code, engineText(to, code));
    }
    int rc = SQLITE_OK;
    int busy = 0;
    for (;;) {
        rc = sqlite3_backup_step(backup, PagesPerStep);
        if (progress) {
            const int total = sqlite3_backup_pagecount(backup);
            progress(total - sqlite3_backup_remaining(backup), total);
        }
        if (rc == SQLITE_OK)
            continue;
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++busy <= BusyRetries)
            continue;
        break;
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc == SQLITE_DONE && finished == SQLITE_OK)
        return DbCopyResult{true, 0, QString()};
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return failure(rc, QStringLiteral("数据库正被其他程序使用，暂时无法复制"));
    const int code = rc != SQLITE_DONE ? rc : finished;
    return failure(code, engineText(to, code));
}

// Takes the shared lock of a read transaction on db: reading the schema does (and first
// rolls back what a writer that died left in a journal); it stays until the transaction
// ends. False, with the reason, when the lock cannot be had.
DbCopyResult beginRead(sqlite3 *db)
{
    const int rc = sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_master;", nullptr,
                                nullptr, nullptr);
    if (rc == SQLITE_OK)
        return DbCopyResult{true, 0, QString()};
    const DbCopyResult result = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED
        ? failure(rc, QStringLiteral("数据库正被其他程序使用，暂时无法复制"))
        : failure(rc, engineText(db, rc));
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return result;
}

// Ends the read transaction of beginRead. A COMMIT that fails would keep the shared lock,
// and with it every other computer from writing: it is rolled back instead, and only a
// transaction that is still open then is a failure.
DbCopyResult endRead(sqlite3 *db)
{
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK || sqlite3_get_autocommit(db))
        return DbCopyResult{true, 0, QString()};
    const QString text = engineText(db, rc);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (sqlite3_get_autocommit(db))
        return DbCopyResult{true, 0, QString()};
    return failure(rc, QStringLiteral("数据库的读锁无法释放：") + text);
}

// With a rollback journal the database file holds committed pages only, and nobody may
// write to it while any connection holds the shared lock of a read transaction: a copy of
// the file taken under that lock is one committed state. (A write-ahead log keeps newer
// pages beside the file; such a database goes through the engine's backup instead.) The
// journal mode is only known for sure once the read transaction has looked at the file.
bool rollbackJournal(sqlite3 *db)
{
    const QString mode = EngineFirstText(db, "PRAGMA journal_mode").toLower();
    return mode == QLatin1String("delete") || mode == QLatin1String("truncate")
        || mode == QLatin1String("persist");
}

// The database file of source, byte for byte, into part, under the read transaction the
// caller began on source, which this ends. The copy keeps the file's encryption as it is;
// the engine's own page-by-page backup would decrypt and encrypt every page again, ten
// times the time of the copy on a large book.
DbCopyResult copyFileUnderReadLock(SqlCipherEngine &source, const QString &part,
                                   const DbCopyProgress &progress)
{
    sqlite3 *db = source.Handle();
    // Whatever runs while the window repaints between chunks cannot write meanwhile.
    int rc = sqlite3_exec(db, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);

    DbCopyResult result{true, 0, QString()};
    QFile in(source.Path());
    QFile out(part);
    if (rc != SQLITE_OK) {
        result = failure(rc, engineText(db, rc));
    } else if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        result = systemFailure(EIO, QStringLiteral("数据库文件无法读取：") + in.errorString());
    } else if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        result = systemFailure(EIO, QStringLiteral("备份文件无法写入：") + out.errorString());
    } else {
        const qint64 total = in.size();
        qint64 done = 0;
        bool inKernel = true;   // copy_file_range, where the file system allows it
        while (result.ok && done < total) {
            const qint64 want = qMin(ChunkBytes, total - done);
            qint64 copied = -1;
            errno = 0;
            if (inKernel) {
                loff_t from = done;
                loff_t to = done;
                copied = ::copy_file_range(in.handle(), &from, out.handle(), &to, size_t(want),
                                           0);
                if (copied < 0 && errno != EIO && errno != ENOSPC && errno != EBADF)
                    inKernel = false;
            }
            if (!inKernel) {
                QByteArray chunk;
                if (in.seek(done))
                    chunk = in.read(want);
                copied = !chunk.isEmpty() && out.seek(done) && out.write(chunk) == chunk.size()
                    ? chunk.size()
                    : -1;
            }
            if (copied <= 0) {
                result = fileFailure(errno ? errno : EIO, QStringLiteral("数据库文件复制失败"));
                break;
            }
            done += copied;
            if (progress)
                progress(int(done / 1024), int(total / 1024));
        }
        // A backup is on the disk before it is called one.
        if (result.ok && (!out.flush() || ::fsync(out.handle()) != 0))
            result = fileFailure(errno ? errno : EIO, QStringLiteral("备份文件无法写入"));
    }
    out.close();
    rc = sqlite3_exec(db, "PRAGMA query_only = 0", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && result.ok)
        result = failure(rc, QStringLiteral("数据库无法恢复写入：") + engineText(db, rc));
    const DbCopyResult ended = endRead(db);
    if (!ended.ok && result.ok)
        result = ended;
    // Only now: closing a second descriptor of the database file gives up every lock this
    // process holds on it, the shared lock above included.
    in.close();
    return result;
}

// The database open on source into the file, page by page through the engine's backup,
// keyed with password: the engine replaces the file's pages in one transaction.
DbCopyResult engineCopyInto(const QString &part, SqlCipherEngine &source,
                            const QString &password, const DbCopyProgress &progress)
{
    int rc = SQLITE_OK;
    sqlite3 *dest = OpenEngineFile(part, password, SQLITE_OPEN_READWRITE, &rc);
    if (!dest)
        return failure(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    DbCopyResult result = copyPages(dest, source.Handle(), progress);
    rc = CloseEngineHandle(dest);
    if (result.ok && rc != SQLITE_OK)
        result = failure(rc, QString::fromUtf8(sqlite3_errstr(rc)));
    return result;
}

} // namespace

QString DbCopyResult::CodeText() const
{
    return (origin == Origin::System ? QStringLiteral("系统错误码 %1")
                                     : QStringLiteral("数据库引擎错误码 %1"))
        .arg(code);
}

bool SameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    std::error_code error;
    const bool same = std::filesystem::equivalent(QFile::encodeName(a).constData(),
                                                  QFile::encodeName(b).constData(), error);
    return !error && same;
}

DbCopyResult BackupDatabase(DbConnection &connection, const QString &target,
                            const QString &password, const DbCopyProgress &progress)
{
    if (!connection.Connected())
        return failure(SQLITE_MISUSE, QStringLiteral("没有打开的数据库"));
    SqlCipherEngine *engine = FileEngineOf(connection);
    if (!engine)   // a server book: copied row by row into a new book file
        return BackupServerBook(connection, target, password, progress);
    SqlCipherEngine &source = *engine;
    if (SameFile(source.Path(), target))
        return failure(SQLITE_MISUSE, QStringLiteral("不能把数据库备份到它自己的文件上"));

    // The copy grows under a name of its own beside the target, so that a failed backup
    // never leaves a torn file where an earlier good backup of that name stood.
    const QFileInfo where(target);
    QTemporaryFile reserve(where.absolutePath() + QStringLiteral("/.quillmark-backup-XXXXXX"));
    reserve.setAutoRemove(false);
    if (!reserve.open())
        return fileFailure(errno ? errno : EACCES,
                           QStringLiteral("无法在 %1 中写入备份文件").arg(where.absolutePath()));
    const QString part = reserve.fileName();
    reserve.close();
    // The copy may be read by whoever may read the database (a shared program folder).
    QFile::setPermissions(part, QFileInfo(source.Path()).permissions());
    auto discard = [&part] {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
    };

    // A change of the program's own still pending belongs to a transaction already open;
    // such a state, and a write-ahead log, are left to the engine's backup.
    sqlite3 *db = source.Handle();
    bool wholeFile = false;
    if (sqlite3_get_autocommit(db)) {
        const DbCopyResult locked = beginRead(db);
        if (!locked.ok) {
            discard();
            return locked;
        }
        wholeFile = rollbackJournal(db);
        if (!wholeFile) {
            const DbCopyResult ended = endRead(db);
            if (!ended.ok) {
                discard();
                return ended;
            }
        }
    }
    const DbCopyResult result = wholeFile ? copyFileUnderReadLock(source, part, progress)
                                          : engineCopyInto(part, source, password, progress);
    if (!result.ok) {
        discard();
        return result;
    }

    // Only a copy that opens with the password as one of our databases counts as a backup.
    {
        DbConnection check;
        if (!check.Open(part, password)) {
            discard();
            return failure(SQLITE_CORRUPT,
                           QStringLiteral("备份文件检查未通过：") + check.LastError());
        }
    }
    if (std::rename(QFile::encodeName(part).constData(),
                    QFile::encodeName(where.absoluteFilePath()).constData()) != 0) {
        const int error = errno;
        discard();
        return fileFailure(error, QStringLiteral("备份文件无法保存为 %1")
                                      .arg(QDir::toNativeSeparators(where.absoluteFilePath())));
    }
    return result;
}

DbCopyResult RestoreDatabase(DbConnection &connection, const QString &target,
                             const QString &password, const DbCopyProgress &progress)
{
    if (!connection.Connected())
        return failure(SQLITE_MISUSE, QStringLiteral("没有打开的数据库"));
    SqlCipherEngine *engine = FileEngineOf(connection);
    if (!engine)
        return failure(SQLITE_MISUSE, QStringLiteral("只能从备份文件恢复"));
    if (IsServerAddress(target))   // a server book: its rows replaced in one transaction
        return RestoreServerBook(connection, target, password, progress);
    SqlCipherEngine &source = *engine;
    if (SameFile(source.Path(), target))
        return failure(SQLITE_MISUSE, QStringLiteral("所选文件就是正在使用的数据库"));
    if (!QFileInfo(target).isFile())
        return failure(SQLITE_CANTOPEN, QStringLiteral("数据库文件不存在：%1")
                                            .arg(QDir::toNativeSeparators(target)));
    return engineCopyInto(target, source, password, progress);
}

DbCopyResult MakeFileBook(const QString &path, const QString &schemaSql,
                          const QString &password)
{
    if (QFileInfo::exists(path))
        return systemFailure(EEXIST, QStringLiteral("文件已存在，不会覆盖：%1")
                                         .arg(QDir::toNativeSeparators(path)));
    // Made under a name of its own and renamed when complete: an interrupted run never
    // leaves a half-made book where a book is expected.
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    QFile::remove(part + QStringLiteral("-journal"));
    int rc = SQLITE_OK;
    sqlite3 *db = OpenEngineFile(part, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &rc);
    DbCopyResult result{true, 0, QString()};
    if (!db) {
        result = failure(rc, QStringLiteral("无法新建 %1：%2")
                                 .arg(part, QString::fromUtf8(sqlite3_errstr(rc))));
    } else {
        const QByteArray script =
            (QStringLiteral("BEGIN;\n") + schemaSql + QStringLiteral("\nCOMMIT;\n")).toUtf8();
        char *err = nullptr;
        rc = sqlite3_exec(db, script.constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK)
            result = failure(rc, QStringLiteral("数据库结构无法写入：")
                                     + QString::fromUtf8(err ? err : sqlite3_errstr(rc)));
        sqlite3_free(err);
        rc = CloseEngineHandle(db);
        if (result.ok && rc != SQLITE_OK)
            result = failure(rc, QStringLiteral("无法关闭 %1").arg(part));
    }
    if (result.ok && std::rename(QFile::encodeName(part).constData(),
                                 QFile::encodeName(path).constData()) != 0)
        result = fileFailure(errno, QStringLiteral("无法把 %1 改名为 %2").arg(part, path));
    if (!result.ok) {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
    }
    return result;
}

QString BookSchema(bool server)
{
    Q_INIT_RESOURCE(schema);
    QFile file(server ? QStringLiteral(":/schema/schema-pg.sql")
                      : QStringLiteral(":/schema/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}
