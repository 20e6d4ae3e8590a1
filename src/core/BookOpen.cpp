#include "BookOpen.h"

#include "Database.h"

BookOpenFailure OpenFailureOf(const DbConnection &connection)
{
    return connection.Failure();
}

BookOpenFailure OpenBookAt(DbConnection &connection, const QString &address,
                           const QString &password)
{
    if (connection.Open(address, password))
        return BookOpenFailure::None;
    return connection.Failure();
}
