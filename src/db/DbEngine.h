// The seam between the query layer and a database engine. The connection, the recordset,
// the cursor, transactions and backup talk to a book only through this interface; the
// encrypted book file (SQLCipher) and the server book (PostgreSQL) are its two engines.
// Nothing outside the query layer sees an engine.
//
// Statements reach an engine already checked (one Select from the windows, or the layer's
// own changes) and already translated into its dialect by Translate(). Parameters are
// written '?' in either dialect; the engine numbers them as it needs.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

// What went wrong when the fault lies with the book's store or the way to it rather than
// with a statement: the user is told about these in words of his own (DbFaultText),
// whichever window met them.
enum class DbFault {
    None,
    Busy,           // another computer or program held the book longer than it may wait
    Corrupt,        // a page of the file is damaged: found when that page is read
    ReadOnly,       // the file or its folder cannot be written
    DiskFull,
    Io,             // the disk or the network connection to the file failed
    Refused,        // the server refused the user name or the password, or a right
    ConnectionLost  // the server went away; the transaction it held is rolled back there
};

// Why opening a book failed.
enum class DbOpenFailure {
    None,
    Missing,      // no such file, or no such database on the server
    NotOurs,      // opens, but is not one of our books (or the file's password is wrong)
    Busy,
    Corrupt,
    ReadOnly,
    Unreachable,  // the server cannot be reached
    Refused,      // the server refused the user or the password
    Other
};

// A column of the current row as the engine holds it, for an export streaming many rows:
// a number, or UTF-8 text ending in a zero byte, valid until the statement moves.
struct DbRaw
{
    enum Kind { Null, Integer, Float, Text } kind = Null;
    double number = 0;
    const char *text = nullptr;
    int bytes = 0;
};

// One prepared statement of an engine. It runs at the first Next() after Prepare, Bind or
// Reset; each further Next() gives the next row. Rows are streamed, never read whole.
class DbEngineStatement
{
public:
    virtual ~DbEngineStatement() = default;

    enum class Step { Row, Done, Failed };

    // Binds a value to the 1-based parameter: integers and yes/no as integers, amounts as
    // doubles, a day as 'yyyy-MM-dd', a date and time as 'yyyy-MM-dd HH:mm:ss' (a midnight
    // as the day alone), anything else as text, an invalid or null value as NULL. False,
    // with the engine's LastError(), when the engine refuses it.
    virtual bool Bind(int position, const QVariant &value) = 0;
    // The next row; Failed with the engine's LastError() and Fault().
    virtual Step Next() = 0;
    // Back to the start, to run again; the bound values stay.
    virtual void Reset() = 0;
    // Whether the statement can change nothing in the book.
    virtual bool ReadsOnly() const = 0;

    virtual int ColumnCount() const = 0;
    // The column's name as the statement spells it (MoneyIn, TotalSum), whatever case the
    // engine keeps names in.
    virtual QString ColumnName(int column) const = 0;
    // The column of the current row: qlonglong, double or QString; NULL as an invalid
    // QVariant.
    virtual QVariant Column(int column) const = 0;
    virtual DbRaw RawColumn(int column) const = 0;
};

class DbEngine
{
public:
    virtual ~DbEngine() = default;

    // "文件" or "服务器": how the book is kept, for messages.
    virtual QString KindName() const = 0;

    // Opens an existing book: a file path with the file's password, or a server address
    // (postgresql://user@host:port/database?sslmode=…) with the server password (empty:
    // the user's password file, or none). Checks that it is one of our books and changes
    // nothing in one it refuses. False with LastError() and OpenFailure().
    virtual bool Open(const QString &address, const QString &password) = 0;
    virtual DbOpenFailure OpenFailure() const = 0;
    // Rolls back what is pending and closes. False when the engine keeps the book open a
    // little longer (a statement still open); it closes when that statement goes.
    virtual bool Close() = 0;
    virtual bool Connected() const = 0;

    // The windows' statement in this engine's dialect.
    virtual QString Translate(const QString &sql) const = 0;
    // Prepares one statement of this engine's dialect; null with LastError() when the
    // engine refuses it or it is more than one statement.
    virtual std::unique_ptr<DbEngineStatement> Prepare(const QString &sql) = 0;
    // Runs the layer's own statements (several, separated by ';'), with no rows.
    virtual bool Execute(const QString &sql) = 0;

    // A write step that excludes every other writer of the book until Commit or Rollback:
    // two computers taking the next document number never take the same one.
    virtual bool Begin() = 0;
    virtual bool Commit() = 0;
    virtual bool Rollback() = 0;
    virtual bool InTransaction() const = 0;

    // The column that finds one row of the table, and the key of the row the last INSERT
    // of this connection added.
    virtual QString KeyColumn(const QString &table) = 0;
    virtual qint64 LastInsertKey() const = 0;
    // The table's columns as the engine names them, in their order; empty when there is no
    // such table (LastError() tells a failure apart).
    virtual QStringList TableColumns(const QString &table) = 0;
    // After rows were copied into the table with their keys: keys of new rows continue
    // past the largest one copied. The file engine does so by itself.
    virtual bool ContinueKeysAfterCopy(const QString &table)
    {
        Q_UNUSED(table);
        return true;
    }

    virtual QString LastError() const = 0;
    virtual DbFault Fault() const = 0;
    // How many statements found the book held by another writer and waited.
    virtual qint64 BusyWaits() const { return 0; }
};

// Whether an address names a server book rather than a file.
bool IsServerAddress(const QString &address);
// A new, closed engine for the address: the server engine for a server address, the file
// engine otherwise.
std::unique_ptr<DbEngine> MakeEngine(const QString &address);
