// The connection to a book (an encrypted file, or a database on a server) and the
// recordset the windows work with. Both reach the book only through its engine
// (DbEngine.h), which the connection makes for the address it opens.
//
// A DbQuery reads its whole result when opened, so RecordCount is known at once, and is
// walked with First/Next/Eof. Fields are read by name, without regard to case, with the
// NULL conventions of the data: NULL reads as 0, as an empty text, as false, or as the
// zero date 1899-12-30. Only one Select ever reaches the engine: anything else is refused
// before it is prepared. A query whose statement selects from one table (with or without
// an alias) can be changed: Append or Edit, SetField, Post, or Delete; these become
// INSERT, UPDATE and DELETE with bound values on the row's key (DbEngine::KeyColumn). A
// pending change is posted to its own row when the cursor moves, and a move whose post
// fails is refused.
// Any other query (a join, an aggregate, Distinct, grouping) is read-only and refuses
// changes with a message in LastError().
#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

#include "DbEngine.h"

// The message for a fault, in Chinese, saying what the user can do; empty for None.
QString DbFaultText(DbFault fault);

// Where the damaged-book message sends the user for his backups: the program sets this at
// start-up to its routine that names the backup folder. Without it the message names none.
void SetBackupFolderSource(QString (*folder)());

// The message for a text that cannot be stored as it is: it holds half of a character
// outside the basic plane (a lone surrogate), which has no UTF-8 form.
QString BrokenTextMessage();

class DbConnection
{
public:
    // Why the last Open failed.
    using OpenFailure = DbOpenFailure;
    // How long a statement waits for a book that another program holds.
    static int BusyTimeoutMs;

    DbConnection() = default;
    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Opens an existing book and checks that it is one of ours: the eight tables with every
    // column the program uses, in a store the program can write. The address is a file
    // path (with the file's password) or a server address postgresql://… (with the server
    // password; empty for the user's password file). Never creates a book and changes
    // nothing in one it refuses. On failure returns false with a reason in LastError() and
    // the kind in Failure().
    //
    // A file book uses a rollback journal that is deleted at commit, with the engine's
    // "extra" syncing: the journal is on disk before the file is changed, and its deletion
    // (the commit itself) is on disk before a save is reported, so a power cut leaves
    // either the old or the new state. No write-ahead log: it needs memory shared between
    // the programs, which a book on a shared network folder cannot have, and it keeps
    // committed data in a second file that a user copying the book would leave behind.
    bool Open(const QString &address, const QString &password);
    OpenFailure Failure() const { return m_failure; }
    // Rolls back what is pending and closes. False, with the reason in LastError(), when
    // a statement of the connection is still open: the book is then let go when the last
    // statement is.
    bool Close();
    bool Connected() const;
    // The address the connection was opened with: a file path or a server address.
    QString Path() const { return m_path; }
    // Whether the book is on a server.
    bool IsServer() const { return IsServerAddress(m_path); }
    QString LastError() const { return m_error; }

    // Multi-step changes that must not half-happen.
    bool BeginTrans();
    bool CommitTrans();
    bool RollbackTrans();
    bool InTransaction() const;
    // The fault behind the last failed BeginTrans, CommitTrans, RollbackTrans or
    // ExecuteScript.
    DbFault Fault() const { return m_fault; }

    // How many times since Open a statement found the book held by another connection
    // and waited for it (whether or not the wait ended in time).
    qint64 BusyWaits() const;

    // Runs statements of the layer's own kind, in the engine's dialect, several separated
    // by ';', with no rows: for the tools that make and fill books and for tests. Never for
    // the windows' statements, which go through DbQuery and DbCursor and their checks.
    bool ExecuteScript(const QString &sql);

private:
    friend class DbLayerAccess;
    bool refuseClosed();
    // The engine call's outcome: on failure its error and fault become the connection's.
    bool engineResult(bool ok);

    std::unique_ptr<DbEngine> m_engine;
    QString m_path;
    QString m_error;
    OpenFailure m_failure = OpenFailure::None;
    DbFault m_fault = DbFault::None;
};

// One field of the current row, read in the type the caller wants.
class DbField
{
public:
    explicit DbField(QVariant value = {}, bool exists = true)
        : m_value(std::move(value)), m_exists(exists) {}
    bool Exists() const { return m_exists; }
    bool IsNull() const { return m_value.isNull(); }
    QString AsString() const;
    double AsFloat() const;
    qint64 AsInteger() const;
    QDateTime AsDateTime() const;
    QDate AsDate() const { return AsDateTime().date(); }
    bool AsBoolean() const;
    QVariant Value() const { return m_value; }

private:
    QVariant m_value;
    bool m_exists;
};

class DbQuery
{
public:
    explicit DbQuery(DbConnection *connection = nullptr) : m_conn(connection) {}

    void SetConnection(DbConnection *connection) { Close(); m_conn = connection; }
    DbConnection *Connection() const { return m_conn; }

    void SetSQL(const QString &sql) { Close(); m_sql = sql; }
    QString SQL() const { return m_sql; }
    // Runs the statement and reads every row. False, with LastError(), when the engine
    // rejects it or there is no open connection.
    bool Open();
    void Close();
    bool Active() const { return m_active; }

    int RecordCount() const { return static_cast<int>(m_rows.size()); }
    int RecNo() const { return m_pos; }   // zero-based; RecordCount() when past the end
    // Moves post a pending change first; when that fails the cursor stays where it is and
    // the move returns false.
    bool First() { return MoveTo(0); }
    bool Next() { return MoveTo(m_pos < RecordCount() ? m_pos + 1 : m_pos); }
    bool Prior() { return MoveTo(m_pos > 0 ? m_pos - 1 : 0); }
    bool Last() { return MoveTo(RecordCount() > 0 ? RecordCount() - 1 : 0); }
    bool MoveTo(int row);
    bool Eof() const { return m_pos >= RecordCount(); }
    bool IsEmpty() const { return m_rows.empty(); }

    QStringList FieldNames() const { return m_names; }
    bool HasField(const QString &name) const;
    DbField FieldByName(const QString &name) const;

    // Changing rows through a single-table query.
    bool CanModify() const { return m_active && !m_table.isEmpty(); }
    QString TableName() const { return m_table; }
    bool Append();
    bool Edit();
    // Only while appending or editing; false otherwise.
    bool SetField(const QString &name, const QVariant &value);
    // Writes the pending change. On failure nothing is written, the cached row stays as
    // it was and the change stays pending.
    bool Post();
    void Cancel();
    // Deletes the current row (a pending append is only cancelled); the cursor then
    // stands on the row that followed it.
    bool Delete();
    bool Editing() const { return m_state != State::Browse; }

    QString LastError() const { return m_error; }
    // The fault behind the last failure, when the book or the way to it was the cause; then
    // LastError() is DbFaultText of it.
    DbFault Fault() const { return m_fault; }

private:
    enum class State { Browse, Edit, Insert };
    int columnOf(const QString &name) const;
    bool refuseChange(const char *what);
    bool tableColumns(QStringList *columns);
    bool reloadRow(qint64 key, QVector<QVariant> *row);
    bool write(const QString &sql, const QVector<QVariant> &values, qint64 key);
    DbEngine *engine() const;

    DbConnection *m_conn = nullptr;
    QString m_sql;
    bool m_active = false;
    QStringList m_names;
    QHash<QString, int> m_index;          // lower-case name -> column
    std::vector<QVector<QVariant>> m_rows;
    std::vector<qint64> m_keys;           // only for a single-table query
    QString m_table;
    QString m_key;                        // the table's key column (KeyColumn)
    QString m_from;                       // the table with its alias, as written
    QString m_list;                       // the select list, as written
    QStringList m_tableColumns;
    int m_pos = 0;
    int m_editRow = -1;                   // the row an Edit started on
    State m_state = State::Browse;
    QVector<QPair<QString, QVariant>> m_pending;
    QString m_error;
    DbFault m_fault = DbFault::None;
};
