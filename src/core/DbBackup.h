// Whole-database copies through the engine's online backup: a backup taken while the
// program (or another computer) has the database open is still one consistent state of it,
// and a restore replaces a database's contents in one transaction of the engine.
#pragma once

#include <QString>

#include <functional>

class DbConnection;

// What a copy came to: on failure, the engine's (or the file system's) error code and its
// text.
struct DbCopyResult
{
    bool ok = false;
    int code = 0;
    QString text;
};

// Told after every step: pages copied so far, pages in all.
using DbCopyProgress = std::function<void(int done, int total)>;

// Copies the database open on source into the file target, encrypted with password: the
// engine encrypts every page again with the key the target is given, so the program's
// database password makes the copy open as the database does. The copy is written beside
// target under a temporary name, checked to open with the password as one of our
// databases, and only then put in target's place; on failure target is left as it was
// and the temporary file removed.
DbCopyResult BackupDatabase(DbConnection &source, const QString &target,
                            const QString &password, const DbCopyProgress &progress = {});

// Replaces every page of the database open on target by the pages of the database open on
// source. The engine writes them in one transaction of target's: when the copy fails
// target keeps its data, and the pages it writes are encrypted with target's key.
DbCopyResult RestoreDatabase(DbConnection &source, DbConnection &target,
                             const DbCopyProgress &progress = {});

// The same file on disk (links and relative paths resolved), for refusing to copy a
// database onto itself.
bool SameFile(const QString &a, const QString &b);
