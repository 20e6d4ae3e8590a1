// Inside the file engine only: values between Qt and SQLCipher, the engine's result codes
// and the small routines the engine and the copies of a file book share.
#pragma once

#include "DbEngine.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// Binds value to the 1-based parameter as DbEngineStatement::Bind says. Returns the
// engine's result code.
int BindEngineValue(sqlite3_stmt *statement, int position, const QVariant &value);

// The column of the current row in its stored type; NULL as an invalid QVariant.
QVariant EngineColumnValue(sqlite3_stmt *statement, int column);

// The fault behind an engine result code (busy, damaged file, …); None for a mistake in a
// statement.
DbFault FaultOfEngineCode(int code);

// What the connection's last failed call comes to for the user: DbFaultText of its fault,
// or the engine's own text when the statement was at fault; *fault says which.
QString EngineFailure(sqlite3 *db, DbFault *fault);

// Closes an engine handle (null is fine) and returns the engine's result. With a statement
// still open the engine keeps the handle, and so the file's locks, until that statement
// goes: the handle is then handed over to close itself when it does, never leaked.
int CloseEngineHandle(sqlite3 *db);

// The first column of the first row of a statement of the program's own (a PRAGMA, a
// count), as text; empty when it gives no row.
QString EngineFirstText(sqlite3 *db, const char *sql);

// Opens the file with the password for the copies of a book: a handle of its own that
// waits as long as a connection does and syncs as every connection does. Null, with the
// engine's result code in *code, on failure.
sqlite3 *OpenEngineFile(const QString &path, const QString &password, int flags, int *code);
