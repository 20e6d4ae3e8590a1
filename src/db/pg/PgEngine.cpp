#include "PgEngine.h"

#include "BookTables.h"
#include "Database.h"
#include "DbLayerAccess.h"
#include "SqlText.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

#include <cstdlib>
#include <deque>
#include <utility>
#include <vector>

namespace {

struct ResultDeleter
{
    void operator()(PGresult *r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// Type numbers of the server's built-in types (pg_type.oid), fixed since long ago.
enum : Oid { BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26,
             Float4Oid = 700, Float8Oid = 701, NumericOid = 1700 };

// What a fault comes to for the user of a server book: the connection's own words where
// they fit a server as well as a file, the server's where the file's speak of a file.
QString FaultText(DbFault fault)
{
    switch (fault) {
    case DbFault::Corrupt:
        return QStringLiteral("数据库服务器报告帐本的数据已损坏。请不要继续录入，"
                              "并请服务器管理员检查服务器、从备份恢复。");
    case DbFault::ReadOnly:
        return QStringLiteral("数据库服务器只允许读取，不能写入（只读模式或备用服务器）。"
                              "请连接到可以写入的服务器后再试。");
    case DbFault::DiskFull:
        return QStringLiteral("数据库服务器的磁盘已满，无法写入。"
                              "请服务器管理员腾出磁盘空间后再试。");
    case DbFault::Io:
        return QStringLiteral("数据库服务器读写磁盘时出错。请服务器管理员检查服务器后再试。");
    default:
        return DbFaultText(fault);
    }
}

DbFault FaultOfState(const QByteArray &state)
{
    if (state == "55P03" || state == "40P01" || state == "40001")
        return DbFault::Busy;
    if (state.startsWith("28") || state == "42501")
        return DbFault::Refused;
    if (state == "53100")
        return DbFault::DiskFull;
    if (state == "25006")
        return DbFault::ReadOnly;
    if (state == "XX001" || state == "XX002")
        return DbFault::Corrupt;
    if (state == "58030")
        return DbFault::Io;
    if (state.startsWith("08") || state == "57P01" || state == "57P02" || state == "57P03")
        return DbFault::ConnectionLost;
    return DbFault::None;
}

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The words of SQL after which a derived table has no alias yet.
bool EndsFromItem(const QString &word)
{
    static const QStringList words = {
        QStringLiteral("where"), QStringLiteral("order"), QStringLiteral("group"),
        QStringLiteral("having"), QStringLiteral("limit"), QStringLiteral("offset"),
        QStringLiteral("union"), QStringLiteral("except"), QStringLiteral("intersect"),
        QStringLiteral("join"), QStringLiteral("inner"), QStringLiteral("left"),
        QStringLiteral("right"), QStringLiteral("full"), QStringLiteral("cross"),
        QStringLiteral("natural"), QStringLiteral("on"), QStringLiteral("window")};
    return words.contains(word.toLower());
}

// The ')' that closes the '(' at open in a mask of quoted texts; -1 when none does.
int ClosingParen(const QString &mask, int open)
{
    int depth = 0;
    for (int i = open; i >= 0 && i < mask.size(); ++i) {
        if (mask.at(i) == QLatin1Char('('))
            ++depth;
        else if (mask.at(i) == QLatin1Char(')') && --depth == 0)
            return i;
    }
    return -1;
}

// '?' numbered $1…$n outside quoted texts; *count gets n.
QString NumberParameters(const QString &sql, int *count)
{
    const QString mask = MaskQuotedTexts(sql);
    QString out;
    out.reserve(sql.size() + 8);
    int n = 0;
    for (int i = 0; i < sql.size(); ++i) {
        if (mask.at(i) == QLatin1Char('?'))
            out += QLatin1Char('$') + QString::number(++n);
        else
            out += sql.at(i);
    }
    if (count)
        *count = n;
    return out;
}

// A name for every derived table the statement leaves unnamed: "From (Select …)" is
// "From (Select …) As qmsub1" on the server.
QString NameDerivedTables(const QString &sql)
{
    QString out = sql;
    int added = 0;
    for (;;) {
        const QString mask = MaskQuotedTexts(out);
        static const QRegularExpression opener(
            QStringLiteral("\\b(from|join)\\s*\\(\\s*(select|with)\\b"),
            QRegularExpression::CaseInsensitiveOption);
        bool changed = false;
        auto it = opener.globalMatch(mask);
        while (it.hasNext()) {
            const auto m = it.next();
            const int close = ClosingParen(mask, int(mask.indexOf(QLatin1Char('('), m.capturedStart())));
            if (close < 0)
                break;
            int j = close + 1;
            while (j < mask.size() && mask.at(j).isSpace())
                ++j;
            int k = j;
            while (k < mask.size() && IsWordChar(mask.at(k)))
                ++k;
            const QString word = mask.mid(j, k - j);
            if (!word.isEmpty() && !EndsFromItem(word))
                continue;  // named already (As x, or x)
            out.insert(close + 1, QStringLiteral(" As qmsub%1").arg(++added));
            changed = true;
            break;  // positions moved: scan again
        }
        if (!changed)
            return out;
    }
}

// The word or sign next to position i in the mask, going back (step -1) or forward (1),
// in lower case; empty at either end of the statement.
QString NeighbourToken(const QString &mask, int i, int step)
{
    while (i >= 0 && i < mask.size() && mask.at(i).isSpace())
        i += step;
    if (i < 0 || i >= mask.size())
        return QString();
    if (!IsWordChar(mask.at(i)))
        return mask.at(i);
    int j = i;
    while (j + step >= 0 && j + step < mask.size() && IsWordChar(mask.at(j + step)))
        j += step;
    return mask.mid(std::min(i, j), std::abs(j - i) + 1).toLower();
}

// The windows write "Where InStr(Name,'x')" and "And (InStr(Name,'x'))", taking a number
// for a condition as their desktop database did; the server wants a truth value there.
// A call standing alone as a condition becomes "(InStrNoCase(…) > 0)"; one compared or
// selected is left as it is.
QString InStrConditions(const QString &sql)
{
    static const QRegularExpression call(QStringLiteral("\\b%1\\s*\\(").arg(QLatin1String(InStrFunction)),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QStringList before = {QStringLiteral("where"), QStringLiteral("and"),
                                       QStringLiteral("or"), QStringLiteral("not"),
                                       QStringLiteral("(")};
    static const QStringList after = {QString(), QStringLiteral("and"), QStringLiteral("or"),
                                      QStringLiteral(")"), QStringLiteral("order"),
                                      QStringLiteral("group"), QStringLiteral("limit"),
                                      QStringLiteral("having"), QStringLiteral(";")};
    QString out = sql;
    int from = 0;
    for (;;) {
        const QString mask = MaskQuotedTexts(out);
        const auto m = call.match(mask, from);
        if (!m.hasMatch())
            return out;
        const int close = ClosingParen(mask, int(m.capturedEnd()) - 1);
        if (close < 0)
            return out;
        from = close + 1;
        if (!before.contains(NeighbourToken(mask, m.capturedStart() - 1, -1))
            || !after.contains(NeighbourToken(mask, close + 1, 1)))
            continue;
        out.insert(close + 1, QStringLiteral(" > 0)"));
        out.insert(m.capturedStart(), QLatin1Char('('));
        from = close + 7;
    }
}

// A value as the server reads it from text: yes/no as 1/0, amounts in the shortest form
// that reads back the same, a day as 'yyyy-MM-dd', a date and time (a midnight as the day).
QByteArray ValueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QByteArray("1") : QByteArray("0");
    case QMetaType::LongLong:
        return QByteArray::number(value.toLongLong());
    case QMetaType::Int:
        return QByteArray::number(value.toInt());
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest).toLatin1();
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    case QMetaType::QDateTime: {
        const QDateTime t = value.toDateTime();
        return (t.time() == QTime(0, 0) ? t.date().toString(QStringLiteral("yyyy-MM-dd"))
                                        : t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
            .toUtf8();
    }
    default:
        return value.toString().toUtf8();
    }
}

// A value in COPY's text format: NULL as \N, the backslash, tab, newline and return
// escaped.
void AppendCopyValue(QByteArray *line, const QVariant &value)
{
    if (value.isNull() || !value.isValid()) {
        line->append("\\N", 2);
        return;
    }
    const QByteArray text = ValueText(value);
    for (const char c : text) {
        switch (c) {
        case '\\': line->append("\\\\", 2); break;
        case '\t': line->append("\\t", 2); break;
        case '\n': line->append("\\n", 2); break;
        case '\r': line->append("\\r", 2); break;
        default: line->append(c);
        }
    }
}

QString FirstWord(const QString &mask)
{
    int i = 0;
    while (i < mask.size() && (mask.at(i).isSpace() || mask.at(i) == QLatin1Char('(')))
        ++i;
    int j = i;
    while (j < mask.size() && IsWordChar(mask.at(j)))
        ++j;
    return mask.mid(i, j - i).toLower();
}

}  // namespace

// ---------------------------------------------------------------------------------------

class PgStatement : public DbEngineStatement
{
public:
    PgStatement(PgEngine *engine, const QString &sql) : m_engine(engine), m_sql(sql) {}
    ~PgStatement() override;

    bool prepare();
    bool Bind(int position, const QVariant &value) override;
    Step Next() override;
    void Reset() override;
    bool ReadsOnly() const override { return m_readsOnly; }
    int ColumnCount() const override { return m_returnsKey ? 0 : int(m_types.size()); }
    QString ColumnName(int column) const override { return m_names.value(column); }
    QVariant Column(int column) const override;
    DbRaw RawColumn(int column) const override;

    // Reads the rows still coming into the buffer (another command needs the connection).
    void drain();
    void detach() { m_engine = nullptr; }

private:
    friend class PgEngine;
    enum class State { Idle, Streaming, Finished };
    bool start();
    Step fetch();
    void finishStreaming();
    // Reads, without waiting, the results that have arrived; true when all have.
    bool restArrived();
    void abandon();
    const char *value(int column) const;

    PgEngine *m_engine;
    QString m_sql;  // numbered, RETURNING added
    QByteArray m_name;
    int m_generation = -1;
    int m_parameters = 0;
    std::vector<QByteArray> m_values;
    std::vector<bool> m_null;
    std::vector<Oid> m_types;
    QStringList m_names;
    bool m_readsOnly = false;
    bool m_returnsKey = false;
    State m_state = State::Idle;
    std::deque<Result> m_buffer;
    Result m_row;
    Result m_error;  // a failure met while draining, reported by the next Next()
    bool m_lostWhileDraining = false;
};

PgStatement::~PgStatement()
{
    if (!m_engine)
        return;
    abandon();
    if (m_generation == m_engine->m_generation && !m_name.isEmpty())
        m_engine->m_stale.append(m_name);
    m_engine->m_statements.remove(this);
    if (m_engine->m_closePending && m_engine->m_statements.isEmpty())
        m_engine->Close();
}

bool PgStatement::prepare()
{
    PGconn *conn = m_engine->m_conn;
    m_name = "qm" + QByteArray::number(++m_engine->m_nextName);
    Result prepared(PQprepare(conn, m_name.constData(), m_sql.toUtf8().constData(), 0, nullptr));
    if (!prepared || PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) {
        m_engine->fail(prepared.get());
        m_name.clear();
        return false;
    }
    Result described(PQdescribePrepared(conn, m_name.constData()));
    if (!described || PQresultStatus(described.get()) != PGRES_COMMAND_OK) {
        m_engine->fail(described.get());
        return false;
    }
    m_generation = m_engine->m_generation;
    m_parameters = PQnparams(described.get());
    m_values.resize(size_t(m_parameters));
    m_null.resize(size_t(m_parameters), true);
    const int columns = PQnfields(described.get());
    m_types.resize(size_t(columns));
    m_names.clear();
    // Aliases the statement declares, in its own spelling.
    QHash<QString, QString> aliases;
    static const QRegularExpression alias(QStringLiteral("\\bas\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    auto it = alias.globalMatch(MaskQuotedTexts(m_sql));
    while (it.hasNext()) {
        const QString name = it.next().captured(1);
        aliases.insert(name.toLower(), name);
    }
    for (int c = 0; c < columns; ++c) {
        m_types[size_t(c)] = PQftype(described.get(), c);
        const QString lower = QString::fromUtf8(PQfname(described.get(), c));
        m_names.append(aliases.value(lower, m_engine->spelled(lower)));
    }
    return true;
}

bool PgStatement::Bind(int position, const QVariant &value)
{
    if (!m_engine) {
        return false;
    }
    if (position < 1 || position > m_parameters) {
        m_engine->failWith(DbFault::None,
                           QStringLiteral("参数 %1 超出范围（语句有 %2 个参数）")
                               .arg(position).arg(m_parameters));
        return false;
    }
    Reset();
    const size_t i = size_t(position - 1);
    m_null[i] = value.isNull() || !value.isValid();
    m_values[i] = ValueText(value);
    return true;
}

bool PgStatement::start()
{
    PgEngine *e = m_engine;
    e->quiesce();
    e->clearError();
    for (int attempt = 0;; ++attempt) {
        if (!e->ensureConnected())
            return false;
        bool ok = m_generation == e->m_generation || prepare();
        if (ok) {
            std::vector<const char *> values(static_cast<size_t>(m_parameters));
            for (size_t i = 0; i < values.size(); ++i)
                values[i] = m_null[i] ? nullptr : m_values[i].constData();
            if (e->m_trace) {
                QList<QByteArray> shown;
                for (size_t i = 0; i < values.size(); ++i)
                    shown << (m_null[i] ? QByteArray() : m_values[i]);
                e->traced(m_sql.toUtf8(), shown);
            }
            ok = PQsendQueryPrepared(e->m_conn, m_name.constData(), m_parameters, values.data(),
                                     nullptr, nullptr, 0) == 1;
            if (ok) {
                PQsetSingleRowMode(e->m_conn);
                m_state = State::Streaming;
                e->m_streaming = this;
                return true;
            }
            e->fail(nullptr);
        }
        // Nothing ran on a connection that was gone: once more on a new one.
        if (attempt > 0 || !e->reconnectAfterFailure())
            return false;
    }
}

void PgStatement::finishStreaming()
{
    if (m_engine && m_engine->m_streaming == this)
        m_engine->m_streaming = nullptr;
    m_state = State::Finished;
}

void PgStatement::drain()
{
    PGconn *conn = m_engine->m_conn;
    if (m_generation != m_engine->m_generation)
        finishStreaming();  // its connection was replaced: nothing more comes
    while (m_state == State::Streaming) {
        Result r(PQgetResult(conn));
        if (!r) {
            finishStreaming();
            break;
        }
        const ExecStatusType status = PQresultStatus(r.get());
        if (status == PGRES_SINGLE_TUPLE)
            m_buffer.push_back(std::move(r));
        else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && !m_error) {
            m_error = std::move(r);
            m_lostWhileDraining = PQstatus(conn) == CONNECTION_BAD;
        }
    }
}

bool PgStatement::restArrived()
{
    PGconn *conn = m_engine->m_conn;
    if (m_generation != m_engine->m_generation)
        return true;
    while (m_state == State::Streaming) {
        if (!PQconsumeInput(conn) || PQisBusy(conn))
            return false;
        Result r(PQgetResult(conn));
        if (!r) {
            finishStreaming();
            break;
        }
        const ExecStatusType status = PQresultStatus(r.get());
        if (status != PGRES_SINGLE_TUPLE && status != PGRES_TUPLES_OK
            && status != PGRES_COMMAND_OK && !m_error) {
            m_error = std::move(r);
            m_lostWhileDraining = PQstatus(conn) == CONNECTION_BAD;
        }
    }
    return true;
}

void PgStatement::abandon()
{
    if (m_state == State::Streaming) {
        // Outside a transaction the rest is not wanted: the server stops sending it. Inside
        // one a cancel would end the transaction, so the rest is read and dropped. A cancel
        // costs the server a new process; a statement whose rows have all arrived (a row
        // by key, a page) is only read to its end.
        if (!m_engine->m_inTransaction && !restArrived()) {
            if (PGcancel *cancel = PQgetCancel(m_engine->m_conn)) {
                char buffer[256];
                PQcancel(cancel, buffer, sizeof buffer);
                PQfreeCancel(cancel);
            }
        }
        drain();
    }
    m_buffer.clear();
    m_row.reset();
    m_error.reset();
    m_state = State::Idle;
}

void PgStatement::Reset()
{
    if (m_engine)
        abandon();
}

DbEngineStatement::Step PgStatement::fetch()
{
    for (;;) {
        if (!m_buffer.empty()) {
            m_row = std::move(m_buffer.front());
            m_buffer.pop_front();
            return Step::Row;
        }
        m_row.reset();
        if (m_state != State::Streaming) {
            if (m_error) {
                Result error = std::move(m_error);
                m_engine->fail(error.get());
                if (m_lostWhileDraining)
                    m_engine->failWith(DbFault::ConnectionLost,
                                       FaultText(DbFault::ConnectionLost));
                return Step::Failed;
            }
            return Step::Done;
        }
        Result r(m_generation == m_engine->m_generation ? PQgetResult(m_engine->m_conn)
                                                        : nullptr);
        if (!r) {
            finishStreaming();
            continue;
        }
        const ExecStatusType status = PQresultStatus(r.get());
        if (status == PGRES_SINGLE_TUPLE) {
            m_row = std::move(r);
            return Step::Row;
        }
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            m_error = std::move(r);
            m_lostWhileDraining = PQstatus(m_engine->m_conn) == CONNECTION_BAD;
        }
    }
}

DbEngineStatement::Step PgStatement::Next()
{
    if (!m_engine)
        return Step::Failed;
    if (m_state == State::Idle) {
        if (!start())
            return Step::Failed;
    }
    Step step = fetch();
    if (m_returnsKey && step == Step::Row) {
        m_engine->m_lastInsertKey = std::strtoll(PQgetvalue(m_row.get(), 0, 0), nullptr, 10);
        step = fetch();
        while (step == Step::Row)
            step = fetch();
    }
    return step;
}

const char *PgStatement::value(int column) const
{
    if (!m_row || column < 0 || column >= PQnfields(m_row.get()) || PQgetisnull(m_row.get(), 0, column))
        return nullptr;
    return PQgetvalue(m_row.get(), 0, column);
}

QVariant PgStatement::Column(int column) const
{
    const char *v = value(column);
    if (!v)
        return QVariant();
    switch (m_types[size_t(column)]) {
    case Int8Oid: case Int2Oid: case Int4Oid: case OidOid:
        return qlonglong(std::strtoll(v, nullptr, 10));
    case Float4Oid: case Float8Oid: case NumericOid:
        return std::strtod(v, nullptr);
    case BoolOid:
        return qlonglong(v[0] == 't' ? 1 : 0);
    default:
        return QString::fromUtf8(v, PQgetlength(m_row.get(), 0, column));
    }
}

DbRaw PgStatement::RawColumn(int column) const
{
    DbRaw raw;
    const char *v = value(column);
    if (!v)
        return raw;
    switch (m_types[size_t(column)]) {
    case Int8Oid: case Int2Oid: case Int4Oid: case OidOid:
        raw.kind = DbRaw::Integer;
        raw.number = double(std::strtoll(v, nullptr, 10));
        break;
    case Float4Oid: case Float8Oid: case NumericOid:
        raw.kind = DbRaw::Float;
        raw.number = std::strtod(v, nullptr);
        break;
    case BoolOid:
        raw.kind = DbRaw::Integer;
        raw.number = v[0] == 't' ? 1 : 0;
        break;
    default:
        raw.kind = DbRaw::Text;
        raw.text = v;
        raw.bytes = PQgetlength(m_row.get(), 0, column);
    }
    return raw;
}

// ---------------------------------------------------------------------------------------

PgEngine::PgEngine()
{
    for (const BookTable &t : BookTables) {
        m_spelling.insert(QString::fromLatin1(t.table).toLower(), QString::fromLatin1(t.table));
        for (const char *c : t.columns)
            m_spelling.insert(QString::fromLatin1(c).toLower(), QString::fromLatin1(c));
    }
    m_spelling.insert(QString::fromLatin1(ServerParameterKey).toLower(),
                      QString::fromLatin1(ServerParameterKey));
}

PgEngine::~PgEngine()
{
    for (PgStatement *s : std::as_const(m_statements))
        s->detach();
    m_statements.clear();
    if (m_conn)
        PQfinish(m_conn);
}

QString PgEngine::KindName() const
{
    return QStringLiteral("服务器");
}

QString PgEngine::SafeAddress(const QString &address)
{
    QUrl url(address);
    if (!url.isValid() || url.scheme().isEmpty())
        return QStringLiteral("（地址）");
    QUrlQuery query(url);
    query.removeAllQueryItems(QStringLiteral("password"));
    url.setQuery(query);
    return url.toString(QUrl::RemovePassword);
}

QString PgEngine::spelled(const QString &lowerName) const
{
    return m_spelling.value(lowerName, lowerName);
}

void PgEngine::clearError()
{
    m_fault = DbFault::None;
    m_lastError.clear();
}

void PgEngine::failWith(DbFault fault, const QString &text)
{
    m_fault = fault;
    m_lastError = text;
}

void PgEngine::fail(const void *result, const QString &fallback)
{
    const PGresult *r = static_cast<const PGresult *>(result);
    const QByteArray state = r ? QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) : QByteArray();
    DbFault fault = FaultOfState(state);
    // An error of libpq's own, with no state from the server, is the connection failing
    // ("server closed the connection unexpectedly"): libpq may not have marked the
    // connection bad yet when a server that stopped at once cut it.
    if (!m_conn || PQstatus(m_conn) == CONNECTION_BAD || !r || state.isEmpty())
        fault = DbFault::ConnectionLost;
    if (fault != DbFault::None) {
        failWith(fault, FaultText(fault));
        return;
    }
    QString text = r ? QString::fromUtf8(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY))
                     : QString();
    if (text.isEmpty() && m_conn)
        text = QString::fromUtf8(PQerrorMessage(m_conn)).trimmed();
    failWith(DbFault::None, text.isEmpty() ? fallback : text);
}

bool PgEngine::Connected() const
{
    return m_conn && !m_closePending;
}

void PgEngine::quiesce()
{
    if (m_streaming) {
        PgStatement *s = m_streaming;
        s->drain();
        m_streaming = nullptr;
    }
}

bool PgEngine::ensureConnected()
{
    if (!m_conn) {
        failWith(DbFault::None, QStringLiteral("没有打开的数据库"));
        return false;
    }
    if (PQstatus(m_conn) == CONNECTION_OK)
        return true;
    if (m_inTransaction) {
        // The server rolled the transaction back; the layer ends it before going on.
        failWith(DbFault::ConnectionLost, FaultText(DbFault::ConnectionLost));
        return false;
    }
    PQreset(m_conn);
    ++m_generation;
    m_stale.clear();
    m_streaming = nullptr;
    if (PQstatus(m_conn) != CONNECTION_OK) {
        failWith(DbFault::ConnectionLost, FaultText(DbFault::ConnectionLost));
        return false;
    }
    useSessionSettings();
    return true;
}

bool PgEngine::reconnectAfterFailure()
{
    if (m_inTransaction || !m_conn || PQstatus(m_conn) != CONNECTION_BAD)
        return false;
    return ensureConnected();
}

void PgEngine::useSessionSettings()
{
    Result r(PQexec(m_conn, SessionSettings));
}

bool PgEngine::exec(const char *sql)
{
    traced(QByteArray(sql));
    Result r(PQexec(m_conn, sql));
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return true;
    fail(r.get());
    return false;
}

void PgEngine::traced(const QByteArray &sql, const QList<QByteArray> &values) const
{
    if (m_trace)
        m_trace(sql, values);
}

// COPY sends its rows in chunks of about this size.
constexpr int CopyChunk = 1 << 20;

bool PgEngine::BeginCopy(const QString &table, const QStringList &columns, bool frozen)
{
    quiesce();
    clearError();
    if (!m_inTransaction || !m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        failWith(DbFault::None, QStringLiteral("批量写入只能在事务中进行"));
        return false;
    }
    if (frozen) {
        // A new table's indexes are made faster from all its rows at once than row by row:
        // dropped here and made again by EndCopy, in the same write step.
        m_rebuild.clear();
        Result found(PQexec(m_conn, ("SELECT c.relname, pg_get_indexdef(i.indexrelid) FROM "
                                     "pg_index i JOIN pg_class c ON c.oid = i.indexrelid "
                                     "WHERE i.indrelid = '" + table.toLower().toUtf8()
                                     + "'::regclass AND NOT i.indisprimary AND NOT i.indisunique")
                                        .constData()));
        if (!found || PQresultStatus(found.get()) != PGRES_TUPLES_OK) {
            fail(found.get());
            return false;
        }
        for (int row = 0; row < PQntuples(found.get()); ++row) {
            if (!exec((QByteArray("DROP INDEX ") + PQgetvalue(found.get(), row, 0)).constData()))
                return false;
            m_rebuild.append(QByteArray(PQgetvalue(found.get(), row, 1)));
        }
    }
    const QByteArray sql = "COPY " + table.toLower().toUtf8() + " ("
        + columns.join(QLatin1Char(',')).toLower().toUtf8() + ") FROM STDIN"
        + (frozen ? " (FREEZE)" : "");
    traced(sql);
    Result r(PQexec(m_conn, sql.constData()));
    if (!r || PQresultStatus(r.get()) != PGRES_COPY_IN) {
        fail(r.get());
        return false;
    }
    m_copying = true;
    m_copyBuffer.clear();
    m_copyBuffer.reserve(CopyChunk + 4096);
    return true;
}

bool PgEngine::flushCopy()
{
    if (m_copyBuffer.isEmpty())
        return true;
    if (PQputCopyData(m_conn, m_copyBuffer.constData(), int(m_copyBuffer.size())) != 1) {
        fail(nullptr);
        return false;
    }
    m_copyBuffer.clear();
    return true;
}

bool PgEngine::CopyRow(const QVector<QVariant> &values)
{
    if (!m_copying)
        return false;
    for (int i = 0; i < values.size(); ++i) {
        if (i > 0)
            m_copyBuffer.append('\t');
        AppendCopyValue(&m_copyBuffer, values[i]);
    }
    m_copyBuffer.append('\n');
    return m_copyBuffer.size() < CopyChunk || flushCopy();
}

void PgEngine::AbandonCopy()
{
    if (!m_copying)
        return;
    m_copying = false;
    m_rebuild.clear();
    m_copyBuffer.clear();
    if (PQputCopyEnd(m_conn, "the copy was given up") == 1)
        while (Result r{PQgetResult(m_conn)}) {
        }
}

bool PgEngine::EndCopy()
{
    if (!m_copying)
        return false;
    m_copying = false;
    const bool sent = flushCopy();
    if (PQputCopyEnd(m_conn, sent ? nullptr : "the copy was given up") != 1) {
        fail(nullptr);
        return false;
    }
    bool ok = sent;
    while (Result r{PQgetResult(m_conn)}) {
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
            if (ok)
                fail(r.get());
            ok = false;
        }
    }
    const QList<QByteArray> rebuild = std::exchange(m_rebuild, {});
    for (const QByteArray &index : rebuild)
        ok = ok && exec(index.constData());
    return ok;
}

void PgEngine::deallocateStale()
{
    if (m_stale.isEmpty() || PQtransactionStatus(m_conn) == PQTRANS_INERROR)
        return;
    QByteArray sql;
    for (const QByteArray &name : std::as_const(m_stale))
        sql += "DEALLOCATE " + name + ";";
    m_stale.clear();
    Result r(PQexec(m_conn, sql.constData()));
}

QString PgEngine::Translate(const QString &sql) const
{
    return InStrConditions(NameDerivedTables(NumberParameters(TranslateDialect(sql), nullptr)));
}

std::unique_ptr<DbEngineStatement> PgEngine::Prepare(const QString &sql)
{
    quiesce();
    clearError();
    QString text = NumberParameters(sql, nullptr).trimmed();
    while (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    const QString mask = MaskQuotedTexts(text);
    if (mask.contains(QLatin1Char(';'))) {
        failWith(DbFault::None, QStringLiteral("一次只能准备一条语句"));
        return nullptr;
    }
    auto statement = std::make_unique<PgStatement>(this, text);
    const QString first = FirstWord(mask);
    statement->m_readsOnly = first == QLatin1String("select") || first == QLatin1String("values");
    // A new row's key comes back with the INSERT itself.
    static const QRegularExpression insert(QStringLiteral("^\\s*insert\\s+into\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto m = insert.match(mask);
    if (m.hasMatch() && !mask.contains(QLatin1String("returning"), Qt::CaseInsensitive)) {
        const QString key = KeyColumn(m.captured(1));
        if (!key.isEmpty()) {
            statement->m_sql = text + QStringLiteral(" RETURNING ") + key;
            statement->m_returnsKey = true;
        }
    }
    for (int attempt = 0;; ++attempt) {
        if (!ensureConnected())
            return nullptr;
        deallocateStale();
        if (statement->prepare())
            break;
        if (attempt > 0 || !reconnectAfterFailure())
            return nullptr;
    }
    m_statements.insert(statement.get());
    return statement;
}

bool PgEngine::Execute(const QString &sql)
{
    quiesce();
    clearError();
    const QByteArray text = sql.toUtf8();
    for (int attempt = 0;; ++attempt) {
        if (!ensureConnected())
            return false;
        if (exec(text.constData()))
            return true;
        if (attempt > 0 || !reconnectAfterFailure())
            return false;
    }
}

bool PgEngine::Begin()
{
    quiesce();
    clearError();
    if (m_inTransaction) {
        failWith(DbFault::None, QStringLiteral("已经在一个事务中"));
        return false;
    }
    for (int attempt = 0;; ++attempt) {
        if (!ensureConnected())
            return false;
        if (exec("BEGIN"))
            break;
        if (attempt > 0 || !reconnectAfterFailure())
            return false;
    }
    m_inTransaction = true;
    const QByteArray key = QByteArray::number(WriteLockKey);
    const QByteArray timeout = QByteArray::number(qMax(1, BusyTimeout()));
    const QByteArray lock = "SET LOCAL lock_timeout = " + timeout
        + "; SELECT pg_try_advisory_xact_lock(" + key + ")";
    traced(lock);
    Result tried(PQexec(m_conn, lock.constData()));
    bool ok = tried && PQresultStatus(tried.get()) == PGRES_TUPLES_OK;
    if (ok && PQgetvalue(tried.get(), 0, 0)[0] != 't') {
        ++m_busyWaits;  // another writer holds the book: wait for it, up to the timeout
        ok = exec(("SELECT pg_advisory_xact_lock(" + key + ")").constData());
    } else if (!ok) {
        fail(tried.get());
    }
    if (!ok) {
        const DbFault fault = m_fault;
        const QString error = m_lastError;
        if (PQstatus(m_conn) == CONNECTION_OK)
            exec("ROLLBACK");
        m_inTransaction = false;
        failWith(fault, error);
        return false;
    }
    return true;
}

bool PgEngine::Commit()
{
    quiesce();
    clearError();
    if (!m_inTransaction) {
        failWith(DbFault::None, QStringLiteral("没有进行中的事务"));
        return false;
    }
    m_inTransaction = false;
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        failWith(DbFault::ConnectionLost, FaultText(DbFault::ConnectionLost));
        return false;
    }
    traced("COMMIT");
    Result r(PQexec(m_conn, "COMMIT"));
    if (!r || PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
        fail(r.get());
        return false;
    }
    // A transaction a failed statement spoiled ends in a rollback, not a commit.
    if (qstrcmp(PQcmdStatus(r.get()), "COMMIT") != 0) {
        failWith(DbFault::None, QStringLiteral("事务中有语句失败，修改已全部撤销"));
        return false;
    }
    return true;
}

bool PgEngine::Rollback()
{
    quiesce();
    clearError();
    const bool was = m_inTransaction;
    m_inTransaction = false;
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK)
        return true;  // the server rolled back what it held when the connection went
    if (!was && PQtransactionStatus(m_conn) == PQTRANS_IDLE)
        return true;
    return exec("ROLLBACK");
}

int PgEngine::BusyTimeout() const
{
    return m_busyTimeoutMs >= 0 ? m_busyTimeoutMs : DbConnection::BusyTimeoutMs;
}

QString PgEngine::KeyColumn(const QString &table)
{
    for (const BookTable &t : BookTables) {
        if (table.compare(QLatin1String(t.table), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(t.key ? t.key : ServerParameterKey);
    }
    return QString();
}

// The key's sequence set past the largest key in the table (the next key is one more).
bool PgEngine::ContinueKeysAfterCopy(const QString &table)
{
    const QString key = KeyColumn(table);
    if (key.isEmpty())
        return true;
    return Execute(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2'), "
                                  "coalesce((SELECT max(%2) FROM %1), 0) + 1, false)")
                       .arg(table.toLower(), key.toLower()));
}

QStringList PgEngine::TableColumns(const QString &table)
{
    QStringList columns;
    auto statement = Prepare(QStringLiteral(
        "SELECT column_name::text FROM information_schema.columns "
        "WHERE table_schema = current_schema() AND table_name = lower(?) "
        "ORDER BY ordinal_position"));
    if (!statement || !statement->Bind(1, table))
        return columns;
    DbEngineStatement::Step step;
    while ((step = statement->Next()) == DbEngineStatement::Step::Row)
        columns.append(statement->Column(0).toString());
    if (step == DbEngineStatement::Step::Failed)
        columns.clear();
    else
        clearError();
    return columns;
}

bool PgEngine::checkOurs()
{
    for (const BookTable &t : BookTables) {
        const QStringList have = TableColumns(QString::fromLatin1(t.table));
        if (m_fault != DbFault::None || !m_lastError.isEmpty())
            return false;
        for (const char *c : t.columns) {
            if (!have.contains(QString::fromLatin1(c), Qt::CaseInsensitive)) {
                m_openFailure = DbOpenFailure::NotOurs;
                failWith(DbFault::None,
                         QStringLiteral("服务器上的数据库 %1 不是本软件的帐本（没有表 %2 或它的列 %3）。"
                                        "请检查数据库地址是否写错；新的帐本请先用 makedb 建立。")
                             .arg(m_shownAddress, QString::fromLatin1(t.table),
                                  QString::fromLatin1(c)));
                return false;
            }
        }
    }
    return true;
}

namespace {

// Connects with the address and the password, the password passed to libpq only.
PGconn *Connect(const QString &address, const QString &password, const char *database = nullptr)
{
    const QByteArray uri = address.toUtf8();
    const QByteArray pass = password.toUtf8();
    std::vector<const char *> keys = {"dbname", "connect_timeout", "client_encoding",
                                      "application_name"};
    std::vector<const char *> values = {uri.constData(), "10", "UTF8", "quillmark"};
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(pass.constData());
    }
    if (database) {
        keys.push_back("dbname");
        values.push_back(database);
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    return PQconnectdbParams(keys.data(), values.data(), 1);
}

// Why a connection failed, and what to tell the user.
DbOpenFailure ClassifyFailure(PGconn *conn, const QString &address, const QString &password,
                              const QString &shown, QString *text)
{
    const QString detail = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    const QByteArray uri = address.toUtf8();
    const char *keys[] = {"dbname", "connect_timeout", nullptr};
    const char *values[] = {uri.constData(), "10", nullptr};
    const PGPing ping = PQpingParams(keys, values, 1);
    if (ping == PQPING_NO_ATTEMPT) {
        *text = QStringLiteral("数据库地址 %1 写得不对：%2").arg(shown, detail);
        return DbOpenFailure::Other;
    }
    if (ping == PQPING_NO_RESPONSE) {
        *text = QStringLiteral("无法连接到数据库服务器 %1。请检查服务器是否已启动、"
                               "地址和端口是否正确、网络是否通畅。（%2）")
                    .arg(shown, detail);
        return DbOpenFailure::Unreachable;
    }
    const QString user = QString::fromUtf8(PQuser(conn));
    const QString refused =
        QStringLiteral("数据库服务器拒绝了用户 %1 的登录：密码不对，或服务器不允许这个用户"
                       "连接。请检查密码（或密码文件 ~/.pgpass），或请服务器管理员允许这个用户。"
                       "（%2）")
            .arg(user, detail);
    if (PQconnectionNeedsPassword(conn)) {
        *text = refused;
        return DbOpenFailure::Refused;
    }
    // Reached and let in to the server's own database: the book's database is missing.
    PGconn *probe = Connect(address, password, "postgres");
    const bool reached = PQstatus(probe) == CONNECTION_OK;
    PQfinish(probe);
    if (reached || detail.contains(QLatin1String("does not exist"))) {
        *text = QStringLiteral("数据库服务器上没有数据库 %1（或这个用户无权使用它）。"
                               "请检查地址中的数据库名；新的帐本请先用 makedb 建立。")
                    .arg(QString::fromUtf8(PQdb(conn)));
        return DbOpenFailure::Missing;
    }
    *text = refused;
    return DbOpenFailure::Refused;
}

}  // namespace

bool PgEngine::Open(const QString &address, const QString &password)
{
    if (m_conn) {
        for (PgStatement *s : std::as_const(m_statements))
            s->detach();
        m_statements.clear();
        PQfinish(m_conn);
        m_conn = nullptr;
    }
    clearError();
    m_inTransaction = false;
    m_closePending = false;
    m_streaming = nullptr;
    m_stale.clear();
    m_openFailure = DbOpenFailure::None;
    m_shownAddress = SafeAddress(address);
    PGconn *conn = Connect(address, password);
    if (PQstatus(conn) != CONNECTION_OK) {
        QString text;
        m_openFailure = ClassifyFailure(conn, address, password, m_shownAddress, &text);
        PQfinish(conn);
        failWith(m_openFailure == DbOpenFailure::Refused ? DbFault::Refused : DbFault::None, text);
        return false;
    }
    m_conn = conn;
    ++m_generation;
    useSessionSettings();
    if (!checkOurs()) {
        if (m_openFailure == DbOpenFailure::None)
            m_openFailure = DbOpenFailure::Other;
        const QString error = m_lastError;
        const DbFault fault = m_fault;
        PQfinish(m_conn);
        m_conn = nullptr;
        failWith(fault, error);
        return false;
    }
    return true;
}

bool PgEngine::Close()
{
    if (!m_conn)
        return true;
    Rollback();
    if (!m_statements.isEmpty()) {
        m_closePending = true;
        return false;
    }
    PQfinish(m_conn);
    m_conn = nullptr;
    m_closePending = false;
    return true;
}

std::unique_ptr<DbEngine> MakePgEngine()
{
    return std::make_unique<PgEngine>();
}

PgEngine *ServerEngineOf(DbConnection &connection)
{
    auto *engine = dynamic_cast<PgEngine *>(DbLayerAccess::Engine(connection));
    return engine && engine->Connected() ? engine : nullptr;
}

bool MakeServerBook(const QString &address, const QString &password, const QString &schemaSql,
                    QString *error)
{
    const QString shown = PgEngine::SafeAddress(address);
    PGconn *conn = Connect(address, password);
    auto done = [&](bool ok, const QString &text) {
        if (error)
            *error = text;
        PQfinish(conn);
        return ok;
    };
    if (PQstatus(conn) != CONNECTION_OK) {
        QString text;
        ClassifyFailure(conn, address, password, shown, &text);
        return done(false, text);
    }
    QByteArray names;
    for (const BookTable &t : BookTables)
        names += (names.isEmpty() ? "'" : ",'") + QByteArray(t.table).toLower() + "'";
    Result found(PQexec(conn, "SELECT count(*) FROM information_schema.tables "
                              "WHERE table_schema = current_schema() AND table_name IN ("
                              + names + ")"));
    if (!found || PQresultStatus(found.get()) != PGRES_TUPLES_OK)
        return done(false, QString::fromUtf8(PQerrorMessage(conn)).trimmed());
    if (std::atoi(PQgetvalue(found.get(), 0, 0)) > 0)
        return done(false, QStringLiteral("服务器上的数据库 %1 里已经有帐本的表，没有改动它。"
                                          "请换一个空的数据库，或先在服务器上删除旧的表。")
                               .arg(shown));
    Result begin(PQexec(conn, "BEGIN"));
    Result schema(PQexec(conn, schemaSql.toUtf8().constData()));
    if (!schema || (PQresultStatus(schema.get()) != PGRES_COMMAND_OK
                    && PQresultStatus(schema.get()) != PGRES_TUPLES_OK)) {
        const QString why = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        Result rollback(PQexec(conn, "ROLLBACK"));
        return done(false, QStringLiteral("在服务器上建立帐本失败，没有留下任何改动：%1").arg(why));
    }
    Result commit(PQexec(conn, "COMMIT"));
    if (!commit || PQresultStatus(commit.get()) != PGRES_COMMAND_OK)
        return done(false, QStringLiteral("在服务器上建立帐本失败，没有留下任何改动：%1")
                               .arg(QString::fromUtf8(PQerrorMessage(conn)).trimmed()));
    return done(true, QString());
}
