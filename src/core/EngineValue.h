// Values between Qt and the engine, shared by the recordset and the cursor (inside core
// only): how a QVariant is bound to a statement and how a column is read back.
#pragma once

#include "Database.h"

#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// Binds value to the 1-based parameter: integers and yes/no as integers, amounts as
// doubles, a day as 'yyyy-MM-dd', a date and time as 'yyyy-MM-dd HH:mm:ss' (a midnight as
// the day alone), anything else as UTF-8 text, an invalid or null value as NULL. Returns
// the engine's result code.
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
