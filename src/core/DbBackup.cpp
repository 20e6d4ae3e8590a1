#include "DbBackup.h"

#include "Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// Pages copied per step. The source is read-locked only during a step, so a writer on
// another computer waits at most one step; between steps the caller's window repaints.
constexpr int PagesPerStep = 4096;
// A step that finds the file locked has already waited the connection's busy timeout.
constexpr int BusyRetries = 3;

DbCopyResult failure(int code, const QString &text)
{
    return DbCopyResult{false, code, text};
}

DbCopyResult fileFailure(int error, const QString &what)
{
    return failure(error, what + QStringLiteral("：") + QString::fromLocal8Bit(std::strerror(error)));
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

} // namespace

bool SameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    std::error_code error;
    const bool same = std::filesystem::equivalent(QFile::encodeName(a).constData(),
                                                  QFile::encodeName(b).constData(), error);
    return !error && same;
}

DbCopyResult BackupDatabase(DbConnection &source, const QString &target,
                            const QString &password, const DbCopyProgress &progress)
{
    if (!source.Connected())
        return failure(SQLITE_MISUSE, QStringLiteral("没有打开的数据库"));
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

    sqlite3 *dest = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(part).constData(), &dest, SQLITE_OPEN_READWRITE,
                             nullptr);
    if (rc != SQLITE_OK) {
        const DbCopyResult result = failure(rc, engineText(dest, rc));
        sqlite3_close(dest);
        discard();
        return result;
    }
    const QByteArray key = password.toUtf8();
    sqlite3_key(dest, key.constData(), key.size());
    sqlite3_busy_timeout(dest, DbConnection::BusyTimeoutMs);
    DbCopyResult result = copyPages(dest, source.Handle(), progress);
    rc = sqlite3_close(dest);
    if (result.ok && rc != SQLITE_OK)
        result = failure(rc, QString::fromUtf8(sqlite3_errstr(rc)));
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

DbCopyResult RestoreDatabase(DbConnection &source, DbConnection &target,
                             const DbCopyProgress &progress)
{
    if (!source.Connected() || !target.Connected())
        return failure(SQLITE_MISUSE, QStringLiteral("没有打开的数据库"));
    if (SameFile(source.Path(), target.Path()))
        return failure(SQLITE_MISUSE, QStringLiteral("所选文件就是正在使用的数据库"));
    return copyPages(target.Handle(), source.Handle(), progress);
}
