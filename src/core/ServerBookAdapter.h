// MERGE ADAPTER (issue 19): what the windows need of the query layer for a server book
// before the layer itself has it. Repoint at the merge:
//  - BookOpenFailure: becomes `using BookOpenFailure = DbOpenFailure;` (src/db/DbEngine.h:
//    the same values; DbEngine.h cannot be included here before the layer moves, since
//    Database.h still defines DbFault itself).
//  - OpenFailureOf: map DbConnection::OpenFailure::Unreachable and ::Refused as well (or
//    return connection.Failure() directly once it is DbOpenFailure).
//  - BookCopyCancelRequested: move into src/db (QtCore only) beside MoveBookToServer, which
//    reads it between its steps and stops, rolling back, when it is set.
#pragma once

#include <QString>

#include <atomic>

class DbConnection;

// Why opening a book failed: DbOpenFailure of the engine seam.
enum class BookOpenFailure {
    None,
    Missing,      // no such file, or no such database on the server
    NotOurs,      // opens, but is not one of our books
    Busy,
    Corrupt,
    ReadOnly,
    Unreachable,  // the server cannot be reached
    Refused,      // the server refused the user or the password
    Other
};

// Why the connection's last Open failed.
BookOpenFailure OpenFailureOf(const DbConnection &connection);

// Opens the book at address (a file path or a server address) with password on
// connection: None when it opened, otherwise why it did not.
BookOpenFailure OpenBookAt(DbConnection &connection, const QString &address,
                         const QString &password);

// Set by the window that shows a long copy when the user cancels it; a copy that reads it
// stops between two steps and leaves the target as it found it. Cleared before each copy.
inline std::atomic<bool> &BookCopyCancelRequested()
{
    static std::atomic<bool> requested{false};
    return requested;
}
