// Every row of our eight tables as text, to compare two databases (a backup with the
// database it was taken from, a restored database with its backup).
#pragma once

#include <QStringList>

class DbConnection;

// One line per row, "Table|value|value…", tables and rows in the engine's order. Empty
// when a table cannot be read.
QStringList DumpDatabase(DbConnection &connection);

// The same for a file opened with the database password; empty when it does not open.
QStringList DumpDatabaseFile(const QString &path);
