#include "StatementLog.h"

#include <QElapsedTimer>

#include <sqlite3.h>

StatementLog::~StatementLog()
{
    Detach();
}

void StatementLog::Attach(sqlite3 *db)
{
    Detach();
    m_db = db;
    if (m_db)
        sqlite3_trace_v2(m_db, SQLITE_TRACE_STMT, &StatementLog::traced, this);
}

void StatementLog::Detach()
{
    if (m_db)
        sqlite3_trace_v2(m_db, 0, nullptr, nullptr);
    m_db = nullptr;
}

int StatementLog::traced(unsigned type, void *context, void *statement, void *text)
{
    if (type != SQLITE_TRACE_STMT)
        return 0;
    const char *sql = static_cast<const char *>(text);
    // Lines of triggers come as comments; they run again with their statement.
    if (sql && sql[0] == '-' && sql[1] == '-')
        return 0;
    char *expanded = sqlite3_expanded_sql(static_cast<sqlite3_stmt *>(statement));
    static_cast<StatementLog *>(context)->m_statements
        << QString::fromUtf8(expanded ? expanded : sql);
    sqlite3_free(expanded);
    return 0;
}

double StatementLog::Replay(sqlite3 *db, QList<double> *times, int *failures) const
{
    if (times)
        times->clear();
    if (failures)
        *failures = 0;
    QElapsedTimer whole;
    whole.start();
    for (const QString &sql : m_statements) {
        QElapsedTimer one;
        one.start();
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt *st = nullptr;
        int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()) + 1, &st, nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            }
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_OK && rc != SQLITE_DONE && failures)
            ++*failures;
        if (times)
            times->append(one.nsecsElapsed() / 1e6);
    }
    return whole.nsecsElapsed() / 1e6;
}
