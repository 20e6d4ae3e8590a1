// The server book's side of the benchmark: the statements the program sends to the server
// engine, recorded while an operation runs, and the floor: the same statements (with the
// same values) run again alone through libpq on a connection of their own. Also the
// server the server rows use: one given by address, or a throwaway one started here.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;
struct pg_conn;

class PgStatementLog
{
public:
    PgStatementLog() = default;
    ~PgStatementLog();
    PgStatementLog(const PgStatementLog &) = delete;
    PgStatementLog &operator=(const PgStatementLog &) = delete;

    // Records every command the server engine of the connection sends, until Detach.
    void Attach(DbConnection &connection);
    void Detach();
    QStringList Statements() const;

    // Runs every recorded command once on a connection of its own to address (opened on
    // the first replay): sent, every row read, the result freed. The milliseconds the whole
    // took; each command's own time goes to times when given. Commands the server refuses
    // are counted in failures.
    double Replay(const QString &address, QList<double> *times = nullptr, int *failures = nullptr);

private:
    struct Command
    {
        QByteArray sql;
        QList<QByteArray> values;
    };
    DbConnection *m_connection = nullptr;
    QList<Command> m_commands;
    pg_conn *m_replay = nullptr;
};

namespace BenchServer {

// The address of a new, empty database called name on the server at address (its
// database replaced by name), made afresh: a database of that name is dropped first.
// Empty with *error when the server refuses.
QString FreshDatabase(const QString &address, const QString &name, QString *error);
// Every table of the book at from streamed into the book at to (made by makedb's schema,
// emptied first) by COPY … TO STDOUT and COPY … FROM STDIN in one transaction, then
// VACUUM (ANALYZE): the server's own work of a move, the move's floor.
bool StreamBook(const QString &from, const QString &to, QString *error);
// Runs a script of ours on the book at address; false with *error.
bool Run(const QString &address, const QString &sql, QString *error);

} // namespace BenchServer
