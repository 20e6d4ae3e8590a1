// The file engine: a book kept in one encrypted file (SQLCipher).
//
// Only the query layer makes one (MakeEngine). Nothing outside src/db includes this header
// but the layer's own tests (fault injection, counting the engine's statements) and
// tools/bench (the floor rows, which time the engine alone).
#pragma once

#include "DbEngine.h"

#include <memory>

struct sqlite3;
class DbConnection;

class SqlCipherEngine : public DbEngine
{
public:
    SqlCipherEngine();
    ~SqlCipherEngine() override;
    SqlCipherEngine(const SqlCipherEngine &) = delete;
    SqlCipherEngine &operator=(const SqlCipherEngine &) = delete;

    QString KindName() const override;
    // See DbConnection::Open: the checks of a file, its journal and syncing.
    bool Open(const QString &path, const QString &password) override;
    DbOpenFailure OpenFailure() const override { return m_failure; }
    bool Close() override;
    bool Connected() const override;

    QString Translate(const QString &sql) const override;
    std::unique_ptr<DbEngineStatement> Prepare(const QString &sql) override;
    bool Execute(const QString &sql) override;

    // BEGIN IMMEDIATE: the file's write lock, taken at once.
    bool Begin() override;
    bool Commit() override;
    bool Rollback() override;
    bool InTransaction() const override;

    // "rowid": the INTEGER PRIMARY KEY where the table has one, the engine's row number
    // otherwise (Parameter).
    QString KeyColumn(const QString &table) override;
    qint64 LastInsertKey() const override;
    QStringList TableColumns(const QString &table) override;

    QString LastError() const override;
    DbFault Fault() const override;
    qint64 BusyWaits() const override;

    // The open file's handle, for the copies of the book; null when closed.
    sqlite3 *Handle() const;
    QString Path() const { return m_path; }

    struct State;

private:
    bool run(const char *sql);

    std::shared_ptr<State> m_state;
    QString m_path;
    DbOpenFailure m_failure = DbOpenFailure::None;
};

// The file engine behind the connection, or null when it has no file book open.
SqlCipherEngine *FileEngineOf(DbConnection &connection);
// The handle of the file book open on the connection; null when there is none. For the
// layer's tests and tools/bench only.
sqlite3 *SqlCipherHandle(DbConnection &connection);
