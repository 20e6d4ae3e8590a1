// A forward-only cursor over one Select on the shared connection, for grids, printouts and
// exports that must not hold a whole result in memory.
//
// It holds one prepared statement of the book's engine and the current row only (a server
// statement streams its rows). Fields are read by name,
// without regard to case, with the NULL conventions of DbField. The statement is finalised
// by Close() and by the destructor: a caller that reads what it needs and lets the cursor
// go leaves no statement open, so no read lock is kept on the database file between
// user actions.
#pragma once

#include "Database.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class DbCursor
{
public:
    explicit DbCursor(DbConnection *connection = nullptr) : m_conn(connection) {}
    ~DbCursor();
    DbCursor(const DbCursor &) = delete;
    DbCursor &operator=(const DbCursor &) = delete;

    void SetConnection(DbConnection *connection) { Close(); m_conn = connection; }

    // Prepares the statement, written in the windows' dialect, and runs it up to its first
    // row (Eof() when it has none). Only a single Select is accepted; anything else is
    // refused before the engine sees it. False, with LastError(), when refused or failed.
    bool Open(const QString &sql);
    // Prepares without running, for a statement with ? parameters that runs once for each
    // set of values: Bind, then Execute, as often as needed.
    bool Prepare(const QString &sql);
    // Binds the value (integer, float, text, date or NULL) to the 1-based parameter.
    bool Bind(int position, const QVariant &value);
    // Runs the prepared statement from its start with the values bound, up to its first row.
    bool Execute();
    // The next row. False at the end and when the engine fails, which Failed() tells apart.
    bool Next();
    bool Eof() const { return m_eof; }
    // A step failed: the rows read so far are not the whole result. LastError() says why.
    bool Failed() const { return m_failed; }
    void Close();
    bool Active() const { return m_st != nullptr; }

    QStringList FieldNames() const { return m_names; }
    int FieldCount() const { return int(m_names.size()); }
    // The column of a field, found without regard to case; -1 when there is none.
    int FieldIndex(const QString &name) const { return m_index.value(name.toLower(), -1); }
    bool HasField(const QString &name) const { return FieldIndex(name) >= 0; }
    // The field of the current row. Past the end, or for an unknown name, a NULL field
    // (which says whether the name exists).
    DbField FieldByName(const QString &name) const;
    DbField Field(int column) const;
    // The stored value of a column of the current row: integer, float, text or NULL.
    QVariant Value(int column) const;
    // The same without conversion, for an export that streams many rows: a number, or the
    // text as the engine holds it (UTF-8, ending in a zero byte), valid until the cursor
    // moves.
    using Raw = DbRaw;
    Raw RawValue(int column) const;

    QString LastError() const { return m_error; }
    // The fault behind the last failure when the book or the way to it was the cause.
    DbFault Fault() const { return m_fault; }

private:
    bool step();
    bool fail(const QString &why);
    bool engineFailed();

    DbConnection *m_conn = nullptr;
    std::unique_ptr<DbEngineStatement> m_st;
    QStringList m_names;
    QHash<QString, int> m_index;   // lower-case name -> column
    bool m_eof = true;
    bool m_failed = false;
    QString m_error;
    DbFault m_fault = DbFault::None;
};
