// The statements the program sends to the engine, recorded while an operation runs, and
// the floor: the same statements run again alone on the same connection.
#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

class StatementLog
{
public:
    StatementLog() = default;
    ~StatementLog();
    StatementLog(const StatementLog &) = delete;
    StatementLog &operator=(const StatementLog &) = delete;

    // Records every statement the connection starts, with its bound values written in,
    // until Detach.
    void Attach(sqlite3 *db);
    void Detach();
    void Clear() { m_statements.clear(); }
    QStringList Statements() const { return m_statements; }

    // Runs every recorded statement once on db: prepare, step to the end, finalise. The
    // milliseconds the whole took; each statement's own time goes to times when given.
    // Statements the engine refuses now are counted in failures.
    double Replay(sqlite3 *db, QList<double> *times = nullptr, int *failures = nullptr) const;

private:
    static int traced(unsigned type, void *context, void *statement, void *text);

    sqlite3 *m_db = nullptr;
    QStringList m_statements;
};
