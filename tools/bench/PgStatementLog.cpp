#include "PgStatementLog.h"

#include "BookTables.h"
#include "pg/PgEngine.h"

#include <QElapsedTimer>

#include <libpq-fe.h>

#include <vector>

namespace {

PGconn *connect(const QString &address, const char *database = nullptr)
{
    const QByteArray uri = address.toUtf8();
    const char *keys[] = {"dbname", database ? "dbname" : nullptr, nullptr};
    const char *values[] = {uri.constData(), database, nullptr};
    return PQconnectdbParams(keys, values, 1);
}

bool ran(PGresult *r)
{
    const ExecStatusType s = PQresultStatus(r);
    PQclear(r);
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_SINGLE_TUPLE;
}

} // namespace

PgStatementLog::~PgStatementLog()
{
    Detach();
    if (m_replay)
        PQfinish(m_replay);
}

void PgStatementLog::Attach(DbConnection &connection)
{
    Detach();
    PgEngine *engine = ServerEngineOf(connection);
    if (!engine)
        return;
    m_connection = &connection;
    engine->SetTrace([this](const QByteArray &sql, const QList<QByteArray> &values) {
        m_commands.append(Command{sql, values});
    });
}

void PgStatementLog::Detach()
{
    if (m_connection)
        if (PgEngine *engine = ServerEngineOf(*m_connection))
            engine->SetTrace({});
    m_connection = nullptr;
}

QStringList PgStatementLog::Statements() const
{
    QStringList list;
    for (const Command &c : m_commands) {
        QString text = QString::fromUtf8(c.sql);
        for (int i = c.values.size(); i >= 1; --i)
            text.replace(QStringLiteral("$%1").arg(i),
                         c.values[i - 1].isNull()
                             ? QStringLiteral("NULL")
                             : QLatin1Char('\'') + QString::fromUtf8(c.values[i - 1]) + QLatin1Char('\''));
        list << text;
    }
    return list;
}

double PgStatementLog::Replay(const QString &address, QList<double> *times, int *failures)
{
    if (times)
        times->clear();
    if (failures)
        *failures = 0;
    if (!m_replay) {
        m_replay = connect(address);
        PQclear(PQexec(m_replay, PgEngine::SessionSettings));
    }
    QElapsedTimer whole;
    whole.start();
    for (const Command &c : m_commands) {
        QElapsedTimer one;
        one.start();
        bool ok = true;
        if (c.values.isEmpty()) {
            ok = PQsendQuery(m_replay, c.sql.constData()) == 1;
        } else {
            std::vector<const char *> values;
            for (const QByteArray &v : c.values)
                values.push_back(v.isNull() ? nullptr : v.constData());
            ok = PQsendQueryParams(m_replay, c.sql.constData(), int(values.size()), nullptr,
                                   values.data(), nullptr, nullptr, 0) == 1;
        }
        // Rows one at a time, as the program reads them.
        if (ok)
            PQsetSingleRowMode(m_replay);
        while (PGresult *r = PQgetResult(m_replay))
            ok = ran(r) && ok;
        if (!ok && failures)
            ++*failures;
        if (times)
            times->append(one.nsecsElapsed() / 1e6);
    }
    return whole.nsecsElapsed() / 1e6;
}

namespace BenchServer {

QString FreshDatabase(const QString &address, const QString &name, QString *error)
{
    PGconn *conn = connect(address, "postgres");
    bool ok = PQstatus(conn) == CONNECTION_OK;
    const QByteArray quoted = '"' + name.toUtf8() + '"';
    ok = ok && ran(PQexec(conn, "DROP DATABASE IF EXISTS " + quoted + " WITH (FORCE)"));
    ok = ok && ran(PQexec(conn, "CREATE DATABASE " + quoted));
    if (!ok)
        *error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    PQfinish(conn);
    if (!ok)
        return QString();
    // postgresql://user@host:port/database?… with the database replaced.
    const int authority = address.indexOf(QStringLiteral("://"));
    const int path = address.indexOf(QLatin1Char('/'), authority + 3);
    int query = address.indexOf(QLatin1Char('?'));
    if (query < 0)
        query = int(address.size());
    const int from = path >= 0 && path < query ? path : query;
    return address.left(from) + QLatin1Char('/') + name + address.mid(query);
}

bool Run(const QString &address, const QString &sql, QString *error)
{
    PGconn *conn = connect(address);
    const bool ok = PQstatus(conn) == CONNECTION_OK
        && ran(PQexec(conn, sql.toUtf8().constData()));
    if (!ok)
        *error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    PQfinish(conn);
    return ok;
}

bool StreamBook(const QString &from, const QString &to, QString *error)
{
    PGconn *source = connect(from);
    PGconn *target = connect(to);
    bool ok = PQstatus(source) == CONNECTION_OK && PQstatus(target) == CONNECTION_OK
        && ran(PQexec(target, "BEGIN"));
    for (const BookTable &t : BookTables) {
        if (!ok)
            break;
        QStringList names;
        for (const char *c : t.columns)
            names << QString::fromLatin1(c).toLower();
        const QByteArray table = QByteArray(t.table).toLower();
        const QByteArray list = names.join(QLatin1Char(',')).toUtf8();
        // As the move does: emptied by TRUNCATE, written frozen, its indexes made afterwards.
        ok = ran(PQexec(target, "TRUNCATE " + table));
        QList<QByteArray> rebuild;
        PGresult *found = PQexec(target, "SELECT c.relname, pg_get_indexdef(i.indexrelid) FROM "
                                         "pg_index i JOIN pg_class c ON c.oid = i.indexrelid "
                                         "WHERE i.indrelid = '" + table + "'::regclass AND NOT "
                                         "i.indisprimary AND NOT i.indisunique");
        for (int row = 0; ok && row < PQntuples(found); ++row) {
            ok = ran(PQexec(target, QByteArray("DROP INDEX ") + PQgetvalue(found, row, 0)));
            rebuild << PQgetvalue(found, row, 1);
        }
        PQclear(found);
        PGresult *out = ok ? PQexec(source, "COPY " + table + " (" + list + ") TO STDOUT") : nullptr;
        PGresult *in = ok ? PQexec(target, "COPY " + table + " (" + list + ") FROM STDIN (FREEZE)")
                          : nullptr;
        ok = ok && PQresultStatus(out) == PGRES_COPY_OUT && PQresultStatus(in) == PGRES_COPY_IN;
        PQclear(out);
        PQclear(in);
        char *buffer = nullptr;
        int bytes = 0;
        while (ok && (bytes = PQgetCopyData(source, &buffer, 0)) > 0) {
            ok = PQputCopyData(target, buffer, bytes) == 1;
            PQfreemem(buffer);
        }
        while (PGresult *r = PQgetResult(source))
            ok = ran(r) && ok;
        ok = PQputCopyEnd(target, ok ? nullptr : "failed") == 1 && ok;
        while (PGresult *r = PQgetResult(target))
            ok = ran(r) && ok;
        for (const QByteArray &index : rebuild)
            ok = ok && ran(PQexec(target, index.constData()));
    }
    ok = ok && ran(PQexec(target, "COMMIT"));
    if (ok) {
        QStringList tables;
        for (const BookTable &t : BookTables)
            tables << QString::fromLatin1(t.table).toLower();
        ok = ran(PQexec(target, ("VACUUM (ANALYZE) " + tables.join(QLatin1Char(','))).toUtf8()));
    }
    if (!ok)
        *error = QString::fromUtf8(PQerrorMessage(target)).trimmed()
            + QString::fromUtf8(PQerrorMessage(source)).trimmed();
    PQfinish(source);
    PQfinish(target);
    return ok;
}

} // namespace BenchServer
