// The server engine: a book kept in a PostgreSQL database (libpq). Statements stream their
// rows (single-row mode); a write step holds the book's advisory lock; a lost connection
// fails the current action, and the next one outside a transaction reconnects.
#pragma once

#include "DbEngine.h"

#include <QHash>
#include <QSet>

#include <functional>
#include <memory>

struct pg_conn;
class PgStatement;

class PgEngine : public DbEngine
{
public:
    PgEngine();
    ~PgEngine() override;

    QString KindName() const override;
    bool Open(const QString &address, const QString &password) override;
    DbOpenFailure OpenFailure() const override { return m_openFailure; }
    bool Close() override;
    bool Connected() const override;

    // The shared dialect, '?' numbered $1…$n, and an alias for a derived table without one.
    QString Translate(const QString &sql) const override;
    std::unique_ptr<DbEngineStatement> Prepare(const QString &sql) override;
    bool Execute(const QString &sql) override;

    bool Begin() override;
    bool Commit() override;
    bool Rollback() override;
    bool InTransaction() const override { return m_inTransaction; }

    QString KeyColumn(const QString &table) override;
    bool ContinueKeysAfterCopy(const QString &table) override;
    qint64 LastInsertKey() const override { return m_lastInsertKey; }
    QStringList TableColumns(const QString &table) override;

    QString LastError() const override { return m_lastError; }
    DbFault Fault() const override { return m_fault; }
    qint64 BusyWaits() const override { return m_busyWaits; }

    // How long Begin waits for another writer before it gives up with DbFault::Busy.
    // How long Begin waits for another writer: the connection's wait unless set here.
    void SetBusyTimeout(int ms) { m_busyTimeoutMs = ms; }
    int BusyTimeout() const;

    // Rows into a table through COPY … FROM STDIN, for the copies of a whole book: far
    // fewer round trips and less parsing than INSERTs. BeginCopy, then CopyRow for each row
    // (values in the columns' order, converted as Bind converts them), then EndCopy, which
    // tells whether the server took them all. Inside a write step of the caller's; nothing
    // else may run on the engine in between. frozen, for a table emptied by TRUNCATE in the
    // same write step: the rows are written visible to all, so the server need not visit
    // them again before its sums read the indexes alone.
    bool BeginCopy(const QString &table, const QStringList &columns, bool frozen = false);
    bool CopyRow(const QVector<QVariant> &values);
    bool EndCopy();
    // Ends a copy that failed or was cancelled: the server drops its rows and the write
    // step is left for the caller to roll back.
    void AbandonCopy();

    // Each command the engine sends, as sent: the statement (parameters $1…$n) and its
    // values (a null QByteArray for NULL); the engine's own commands (BEGIN, the write
    // lock, COMMIT) with no values. For tools/bench, which runs them again alone.
    using Trace = std::function<void(const QByteArray &sql, const QList<QByteArray> &values)>;
    void SetTrace(Trace trace) { m_trace = std::move(trace); }

    // What every connection of the engine sets first. The book's statements are short and
    // many computers share the server: the workers a statement would start for a parallel
    // scan cost more than they save (on two cores the report grid's sums took 230 ms with
    // them, 90 ms without).
    static constexpr const char *SessionSettings = "SET max_parallel_workers_per_gather = 0";

    // The address with any password taken out: what messages and logs may show.
    static QString SafeAddress(const QString &address);
    // The advisory lock every write step of a book holds.
    static constexpr qint64 WriteLockKey = 0x716d626f6f6bLL;

private:
    friend class PgStatement;

    // Sets the error and fault of a failed libpq call (result may be null).
    void fail(const void *result, const QString &fallback = QString());
    void failWith(DbFault fault, const QString &text);
    void clearError();
    // Makes the connection free for a new command: the statement still streaming reads its
    // remaining rows into its own buffer.
    void quiesce();
    // Outside a transaction, reconnects a connection known to be gone. False (with the
    // error set) when it stays gone.
    bool ensureConnected();
    // Whether a call that just failed may be tried once more on a new connection.
    bool reconnectAfterFailure();
    bool exec(const char *sql);
    void useSessionSettings();
    void traced(const QByteArray &sql, const QList<QByteArray> &values = {}) const;
    bool flushCopy();
    void deallocateStale();
    bool checkOurs();
    QString spelled(const QString &lowerName) const;

    pg_conn *m_conn = nullptr;
    QString m_shownAddress;
    int m_generation = 0;
    bool m_inTransaction = false;
    bool m_closePending = false;
    int m_busyTimeoutMs = -1;
    qint64 m_busyWaits = 0;
    qint64 m_lastInsertKey = 0;
    int m_nextName = 0;
    PgStatement *m_streaming = nullptr;
    QSet<PgStatement *> m_statements;
    QList<QByteArray> m_stale;  // prepared statements to deallocate, of m_generation
    QHash<QString, QString> m_spelling;  // lower-case name → the book's spelling
    DbOpenFailure m_openFailure = DbOpenFailure::None;
    DbFault m_fault = DbFault::None;
    QString m_lastError;
    Trace m_trace;
    QByteArray m_copyBuffer;
    bool m_copying = false;
    QList<QByteArray> m_rebuild;  // indexes BeginCopy dropped, for EndCopy to make again
};

std::unique_ptr<DbEngine> MakePgEngine();

class DbConnection;
// The server engine behind the connection, or null when it has no server book open. For
// the layer, its tests and tools/bench.
PgEngine *ServerEngineOf(DbConnection &connection);

// Prepares an empty server database as a book: runs the schema (schema-pg.sql) in one
// transaction. Refuses, changing nothing, a database that already holds our tables. False
// with the reason in Chinese in *error.
bool MakeServerBook(const QString &address, const QString &password, const QString &schemaSql,
                    QString *error);
