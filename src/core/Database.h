// The connection to the encrypted database and the recordset the windows work with.
//
// A DbQuery reads its whole result when opened, so RecordCount is known at once, and is
// walked with First/Next/Eof. Fields are read by name, without regard to case, with the
// NULL conventions of the data: NULL reads as 0, as an empty text, as false, or as the
// zero date 1899-12-30. A query whose statement selects from one table can be changed:
// Append or Edit, SetField, Post, or Delete; these become INSERT, UPDATE and DELETE with
// bound values on that table's row id. Any other query (a join, an aggregate, Distinct)
// is read-only and refuses changes with a message in LastError().
#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <vector>

struct sqlite3;

class DbConnection
{
public:
    DbConnection() = default;
    ~DbConnection();
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;

    // Opens an existing database file with its password and checks that it is one of
    // ours. Never creates a file. On failure returns false with a reason in LastError().
    bool Open(const QString &path, const QString &password);
    void Close();
    bool Connected() const { return m_db != nullptr; }
    QString Path() const { return m_path; }
    QString LastError() const { return m_error; }

    // Multi-step changes that must not half-happen.
    bool BeginTrans();
    bool CommitTrans();
    bool RollbackTrans();
    bool InTransaction() const { return m_inTransaction; }

    sqlite3 *Handle() const { return m_db; }

private:
    bool execute(const char *sql);

    sqlite3 *m_db = nullptr;
    QString m_path;
    QString m_error;
    bool m_inTransaction = false;
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
    void First() { m_pos = 0; }
    void Next() { if (m_pos < RecordCount()) ++m_pos; }
    void Prior() { if (m_pos > 0) --m_pos; }
    void Last() { m_pos = RecordCount() > 0 ? RecordCount() - 1 : 0; }
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
    void SetField(const QString &name, const QVariant &value);
    bool Post();
    void Cancel();
    bool Delete();
    bool Editing() const { return m_state != State::Browse; }

    QString LastError() const { return m_error; }

private:
    enum class State { Browse, Edit, Insert };
    int columnOf(const QString &name) const;
    bool refuseChange(const char *what);
    bool tableColumns(QStringList *columns);
    bool reloadRow(qint64 rowid, QVector<QVariant> *row);

    DbConnection *m_conn = nullptr;
    QString m_sql;
    bool m_active = false;
    QStringList m_names;
    QHash<QString, int> m_index;          // lower-case name -> column
    std::vector<QVector<QVariant>> m_rows;
    std::vector<qint64> m_rowids;         // only for a single-table query
    QString m_table;
    QStringList m_tableColumns;
    int m_pos = 0;
    State m_state = State::Browse;
    QVector<QPair<QString, QVariant>> m_pending;
    QString m_error;
};
