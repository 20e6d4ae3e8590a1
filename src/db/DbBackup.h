// Whole-database copies through the engine, and the making of a new book: a backup taken
// while the program (or another computer) has the database open is still one committed
// state of it, and a restore replaces a database's contents in one transaction of the
// engine.
#pragma once

#include <QString>

#include <functional>

class DbConnection;

// What a copy came to: on failure, the engine's or the operating system's error code, which
// of the two it is, and its text. The two kinds of code overlap (5 is a busy database to
// the engine, an input/output error to the system).
struct DbCopyResult
{
    enum class Origin { None, System, Engine };
    bool ok = false;
    int code = 0;
    QString text;
    Origin origin = Origin::None;
    // The code with its kind, for the user: "系统错误码 5" or "数据库引擎错误码 5".
    QString CodeText() const;
};

// Told after every step: how much is copied so far, of how much in all.
using DbCopyProgress = std::function<void(int done, int total)>;

// Copies the database open on source into the file target: one committed state of it, even
// while this or another program writes. With a rollback journal (the program's way) the
// file is copied as it is under the shared lock of a read transaction, so it keeps the
// database's encryption; otherwise the engine's backup copies it page by page into a file
// keyed with password. Either way the copy is written beside target under a temporary
// name, checked to open with password as one of our databases, and only then put in
// target's place; on failure target is left as it was and the temporary file removed.
DbCopyResult BackupDatabase(DbConnection &source, const QString &target,
                            const QString &password, const DbCopyProgress &progress = {});

// Replaces every page of the database file target (keyed with password) by the pages of
// the database open on source, through a connection of its own, as another computer
// would: connections that have target open see the new data once it is in, and none of
// them is used while the engine writes. The engine writes in one transaction: when the
// copy fails target keeps its data.
DbCopyResult RestoreDatabase(DbConnection &source, const QString &target,
                             const QString &password, const DbCopyProgress &progress = {});

// The same file on disk (links and relative paths resolved), for refusing to copy a
// database onto itself.
bool SameFile(const QString &a, const QString &b);

// Makes a new book file at path (never over an existing file) from the schema's statements,
// keyed with password: in one transaction, under a temporary name, renamed when complete.
DbCopyResult MakeFileBook(const QString &path, const QString &schemaSql,
                          const QString &password);

// The statements that make an empty book with its reserved rows: for the file, or for a
// server (empty when this build holds no server schema).
QString BookSchema(bool server);
