#include "ServerBookAdapter.h"

#include "Database.h"

BookOpenFailure OpenFailureOf(const DbConnection &connection)
{
    switch (connection.Failure()) {
    case DbConnection::OpenFailure::None:
        return BookOpenFailure::None;
    case DbConnection::OpenFailure::Missing:
        return BookOpenFailure::Missing;
    case DbConnection::OpenFailure::NotOurs:
        return BookOpenFailure::NotOurs;
    case DbConnection::OpenFailure::Busy:
        return BookOpenFailure::Busy;
    case DbConnection::OpenFailure::Corrupt:
        return BookOpenFailure::Corrupt;
    case DbConnection::OpenFailure::ReadOnly:
        return BookOpenFailure::ReadOnly;
    // MERGE: Unreachable and Refused go here, each to its own BookOpenFailure.
    case DbConnection::OpenFailure::Other:
        break;
    }
    return BookOpenFailure::Other;
}

BookOpenFailure OpenBookAt(DbConnection &connection, const QString &address,
                         const QString &password)
{
    if (connection.Open(address, password))
        return BookOpenFailure::None;
    return OpenFailureOf(connection);
}
