// Copies of a whole book between engines, row by row: the file book moved onto a server,
// a server book backed up into a book file, and a backup file restored onto a server. The
// rows go into the target in one transaction, checked before it commits: the same number
// of rows in every table, the same sums of its numbers and the same length of its texts.
// A copy that fails or is cancelled leaves the target as it was.
#pragma once

#include "DbBackup.h"

#include <QString>

#include <atomic>
#include <functional>

class DbConnection;
class DbEngine;

// Asked between batches of rows; true ends the copy (nothing of it stays in the target).
using DbCopyCancel = std::function<bool()>;

// Set by the window that shows a long copy when the user cancels it: a copy given no
// cancel test of its own reads it between batches. The window clears it before each copy.
inline std::atomic<bool> &BookCopyCancelRequested()
{
    static std::atomic<bool> requested{false};
    return requested;
}

// Every row of every table of the book open on from into the book open on to, whose rows
// are replaced. Progress counts rows.
DbCopyResult CopyBook(DbEngine &from, DbEngine &to, const DbCopyProgress &progress = {},
                      const DbCopyCancel &cancel = {});

// Whether the book open on the engine holds nothing but what a new book holds: no money
// record, no account or customer beyond the reserved ones. A move refuses any other target.
bool BookIsNew(DbEngine &book, QString *why);

// Moves the file book open on from onto the new server book at address: copied, checked,
// committed. from stays open and unchanged; the caller then stores the address.
// A server book into a new book file at target, keyed with password: made under a temporary
// name beside target, filled, checked, and only then put in target's place, so any backup
// opens in the program as a book file does. On failure target is left as it was.
DbCopyResult BackupServerBook(DbConnection &server, const QString &target,
                              const QString &password, const DbCopyProgress &progress = {});

// The book file open on source onto the server book at address (opened with the server
// password), replacing every row in one transaction: the server keeps its rows when the
// copy fails.
DbCopyResult RestoreServerBook(DbConnection &source, const QString &address,
                               const QString &serverPassword,
                               const DbCopyProgress &progress = {});

DbCopyResult MoveBookToServer(DbConnection &from, const QString &address,
                              const QString &password, const DbCopyProgress &progress = {},
                              const DbCopyCancel &cancel = {});
