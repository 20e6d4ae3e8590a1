// Opening the book at an address, a file path or a server address, for the start-up, the
// address window and the maintenance page.
#pragma once

#include "DbEngine.h"

#include <QString>

class DbConnection;

// Why opening a book failed.
using BookOpenFailure = DbOpenFailure;

// Why the connection's last Open failed.
BookOpenFailure OpenFailureOf(const DbConnection &connection);

// Opens the book at address (a file path or a server address) with password on
// connection: None when it opened, otherwise why it did not.
BookOpenFailure OpenBookAt(DbConnection &connection, const QString &address,
                           const QString &password);
