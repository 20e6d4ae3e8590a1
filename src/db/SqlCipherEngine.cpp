#include "SqlCipherEngine.h"

#include "BookTables.h"
#include "Database.h"
#include "DbLayerAccess.h"
#include "EngineValue.h"
#include "SqlText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <iterator>
#include <thread>

// What the engine and its statements share: the handle, the last failure, the busy count.
// A statement may outlive the engine (a cursor kept after its connection closed); the
// handle then closes when the statement goes, and the busy handler still has its counter.
struct SqlCipherEngine::State
{
    sqlite3 *db = nullptr;
    QString error;
    DbFault fault = DbFault::None;
    qint64 busyWaits = 0;

    void Failed(sqlite3 *handle) { error = EngineFailure(handle, &fault); }
    void Clear()
    {
        error.clear();
        fault = DbFault::None;
    }
};

namespace {

bool isBusy(int code)
{
    code &= 0xff;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

QString storedDateTime(const QDateTime &dt)
{
    if (dt.time() == QTime(0, 0))
        return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

int bindText(sqlite3_stmt *st, int pos, const QString &text)
{
    const QByteArray t = text.toUtf8();
    return sqlite3_bind_text(st, pos, t.constData(), t.size(), SQLITE_TRANSIENT);
}

// The engine's own waiting grows from a millisecond to a tenth of a second between tries;
// this is the same, and counts the statements that had to wait at all.
int waitForFile(void *state, int attempt)
{
    static const int delays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    constexpr int steps = int(std::size(delays));
    const int timeout = DbConnection::BusyTimeoutMs;
    int waited = 0;
    for (int i = 0; i < attempt; ++i)
        waited += delays[std::min(i, steps - 1)];
    if (waited >= timeout)
        return 0;
    if (attempt == 0)
        ++static_cast<SqlCipherEngine::State *>(state)->busyWaits;
    const int delay = std::min(delays[std::min(attempt, steps - 1)], timeout - waited);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    return 1;
}

// InStr as the windows use it: the position of the second text in the first, counted in
// characters from 1, 0 when absent, NULL when either is NULL; Latin letters match without
// regard to case, every other character only itself.
void inStrNoCase(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return;
    const auto *hay = sqlite3_value_text(argv[0]);
    const int hayBytes = sqlite3_value_bytes(argv[0]);
    const auto *needle = sqlite3_value_text(argv[1]);
    const int needleBytes = sqlite3_value_bytes(argv[1]);
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : int(c); };
    int position = 1;
    for (int i = 0; i + needleBytes <= hayBytes; ++i) {
        if ((hay[i] & 0xC0) == 0x80)
            continue;   // inside a character
        int k = 0;
        while (k < needleBytes && fold(hay[i + k]) == fold(needle[k]))
            ++k;
        if (k == needleBytes) {
            sqlite3_result_int(ctx, position);
            return;
        }
        ++position;
    }
    sqlite3_result_int(ctx, 0);
}

// Whether new files can be made in the folder: the journal of every change is one. A probe
// file is the only sure test (permissions, read-only mounts and shared folders all differ).
bool folderTakesNewFiles(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/.quillmark-probe-XXXXXX"));
    return probe.open();
}

// Prepares exactly one statement: anything after it other than blanks and ';' is refused.
// Null with *error (and *code, *fault) on failure.
sqlite3_stmt *prepareOne(sqlite3 *db, const QString &sql, QString *error, int *code,
                         DbFault *fault)
{
    *fault = DbFault::None;
    const QByteArray text = sql.toUtf8();
    const char *tail = nullptr;
    sqlite3_stmt *st = nullptr;
    *code = sqlite3_prepare_v2(db, text.constData(), int(text.size()) + 1, &st, &tail);
    if (*code != SQLITE_OK) {
        *error = EngineFailure(db, fault);
        return nullptr;
    }
    for (; tail && *tail; ++tail) {
        if (*tail != ';' && !isspace(static_cast<unsigned char>(*tail))) {
            *error = QStringLiteral("一次只能执行一条语句");
            sqlite3_finalize(st);
            return nullptr;
        }
    }
    if (!st)
        *error = QStringLiteral("空语句");
    return st;
}

// The table's columns; false with *error and *code when they cannot be read.
bool columnsOf(sqlite3 *db, const QString &table, QStringList *columns, QString *error,
               int *code)
{
    DbFault fault;
    sqlite3_stmt *st = prepareOne(db, QStringLiteral("PRAGMA table_info(%1)").arg(table), error,
                                  code, &fault);
    if (!st)
        return false;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        *columns << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) {
        *code = rc;
        *error = QString::fromUtf8(sqlite3_errmsg(db));
        return false;
    }
    return true;
}

// Every table and column of ours present: true. A read that fails sets *code.
bool hasOurTables(sqlite3 *db, QString *error, int *code)
{
    for (const BookTable &t : BookTables) {
        QStringList found;
        if (!columnsOf(db, QLatin1String(t.table), &found, error, code))
            return false;
        for (const char *column : t.columns)
            if (!found.contains(QLatin1String(column), Qt::CaseInsensitive)) {
                *error = QStringLiteral("数据表 %1 中缺少字段 %2")
                             .arg(QLatin1String(t.table), QLatin1String(column));
                return false;
            }
    }
    return true;
}

class SqlCipherStatement : public DbEngineStatement
{
public:
    SqlCipherStatement(std::shared_ptr<SqlCipherEngine::State> state, sqlite3_stmt *st)
        : m_state(std::move(state)), m_st(st) {}
    ~SqlCipherStatement() override { sqlite3_finalize(m_st); }

    bool Bind(int position, const QVariant &value) override
    {
        sqlite3_reset(m_st);
        m_finished = false;
        if (BindEngineValue(m_st, position, value) != SQLITE_OK) {
            m_state->Failed(sqlite3_db_handle(m_st));
            return false;
        }
        return true;
    }

    Step Next() override
    {
        if (m_finished)
            return Step::Done;
        const int rc = sqlite3_step(m_st);
        if (rc == SQLITE_ROW)
            return Step::Row;
        if (rc != SQLITE_DONE)
            m_state->Failed(sqlite3_db_handle(m_st));
        // Done with the rows, or failed: the statement is reset at once so that it holds
        // no read lock while its caller still keeps it.
        sqlite3_reset(m_st);
        m_finished = true;
        return rc == SQLITE_DONE ? Step::Done : Step::Failed;
    }

    void Reset() override
    {
        sqlite3_reset(m_st);
        m_finished = false;
    }

    bool ReadsOnly() const override { return sqlite3_stmt_readonly(m_st) != 0; }
    int ColumnCount() const override { return sqlite3_column_count(m_st); }
    QString ColumnName(int column) const override
    {
        return QString::fromUtf8(sqlite3_column_name(m_st, column));
    }
    QVariant Column(int column) const override { return EngineColumnValue(m_st, column); }

    DbRaw RawColumn(int column) const override
    {
        DbRaw raw;
        switch (sqlite3_column_type(m_st, column)) {
        case SQLITE_INTEGER:
            raw.kind = DbRaw::Integer;
            raw.number = double(sqlite3_column_int64(m_st, column));
            break;
        case SQLITE_FLOAT:
            raw.kind = DbRaw::Float;
            raw.number = sqlite3_column_double(m_st, column);
            break;
        case SQLITE_TEXT:
            raw.kind = DbRaw::Text;
            raw.text = reinterpret_cast<const char *>(sqlite3_column_text(m_st, column));
            raw.bytes = sqlite3_column_bytes(m_st, column);
            break;
        default:
            break;
        }
        return raw;
    }

private:
    std::shared_ptr<SqlCipherEngine::State> m_state;
    sqlite3_stmt *m_st;
    bool m_finished = false;
};

} // namespace

// ---------------------------------------------------------------- engine values

DbFault FaultOfEngineCode(int code)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DbFault::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return DbFault::Corrupt;
    case SQLITE_READONLY:
        return DbFault::ReadOnly;
    case SQLITE_FULL:
        return DbFault::DiskFull;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PROTOCOL:
        return DbFault::Io;
    default:
        return DbFault::None;
    }
}

QString EngineFailure(sqlite3 *db, DbFault *fault)
{
    if (!db) {
        *fault = DbFault::None;
        return QStringLiteral("没有打开的数据库");
    }
    *fault = FaultOfEngineCode(sqlite3_errcode(db));
    if (*fault == DbFault::None)
        return QString::fromUtf8(sqlite3_errmsg(db));
    const QString text = DbFaultText(*fault);
    // The engine's own code tells the support line which disk fault it was.
    if (*fault == DbFault::Corrupt || *fault == DbFault::Io)
        return text + QStringLiteral("（错误代码 %1）").arg(sqlite3_extended_errcode(db));
    return text;
}

int CloseEngineHandle(sqlite3 *db)
{
    const int rc = sqlite3_close(db);
    if (rc != SQLITE_OK)
        sqlite3_close_v2(db);
    return rc;
}

QString EngineFirstText(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *st = nullptr;
    QString value;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return value;
}

int BindEngineValue(sqlite3_stmt *st, int pos, const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return sqlite3_bind_null(st, pos);
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(st, pos, v.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return sqlite3_bind_int64(st, pos, v.toLongLong());
    case QMetaType::Bool:
        return sqlite3_bind_int(st, pos, v.toBool() ? 1 : 0);
    case QMetaType::QDate:
        return bindText(st, pos, v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
    case QMetaType::QDateTime:
        return bindText(st, pos, storedDateTime(v.toDateTime()));
    default:
        return bindText(st, pos, v.toString());
    }
}

QVariant EngineColumnValue(sqlite3_stmt *st, int col)
{
    switch (sqlite3_column_type(st, col)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, col)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, col));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(st, col)),
            sqlite3_column_bytes(st, col)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, col)),
                                   sqlite3_column_bytes(st, col)));
    default:
        return QVariant();
    }
}

sqlite3 *OpenEngineFile(const QString &path, const QString &password, int flags, int *code)
{
    sqlite3 *db = nullptr;
    *code = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    if (*code == SQLITE_OK) {
        const QByteArray key = password.toUtf8();
        *code = sqlite3_key(db, key.constData(), int(key.size()));
    }
    if (*code != SQLITE_OK) {
        CloseEngineHandle(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, DbConnection::BusyTimeoutMs);
    // As every connection of the program: what is written is on disk once it is reported.
    sqlite3_exec(db, "PRAGMA synchronous = EXTRA", nullptr, nullptr, nullptr);
    return db;
}

// ---------------------------------------------------------------- SqlCipherEngine

SqlCipherEngine::SqlCipherEngine() : m_state(std::make_shared<State>()) {}

SqlCipherEngine::~SqlCipherEngine()
{
    Close();
}

QString SqlCipherEngine::KindName() const
{
    return QStringLiteral("文件");
}

sqlite3 *SqlCipherEngine::Handle() const
{
    return m_state->db;
}

bool SqlCipherEngine::Connected() const
{
    return m_state->db != nullptr;
}

bool SqlCipherEngine::Open(const QString &path, const QString &password)
{
    Close();
    m_state = std::make_shared<State>();
    m_failure = DbOpenFailure::None;
    QString &error = m_state->error;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        error = QStringLiteral("数据库文件不存在：%1").arg(path);
        m_failure = DbOpenFailure::Missing;
        return false;
    }
    sqlite3 *db = nullptr;
    int code = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (code != SQLITE_OK) {
        error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
        m_failure = isBusy(code) ? DbOpenFailure::Busy : DbOpenFailure::Other;
        CloseEngineHandle(db);
        return false;
    }
    const auto refuse = [&](DbOpenFailure failure) {
        m_failure = failure;
        CloseEngineHandle(db);
        return false;
    };
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_busy_handler(db, &waitForFile, m_state.get());
    // A grid's count, its footer sums and its first keys read the same stretch of index;
    // with the engine's default 2 MB cache every page of it would be decrypted twice.
    sqlite3_exec(db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, InStrFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               inStrNoCase, nullptr, nullptr, nullptr);

    // A wrong password or a file that is no database shows at the first read; a file
    // that another program holds locked shows as busy, and is not called foreign; a
    // damaged file or a read-only one is called what it is. Reading changes nothing,
    // except that a change a program left half-written when it died is rolled back.
    code = SQLITE_OK;
    if (!hasOurTables(db, &error, &code)) {
        switch (FaultOfEngineCode(code)) {
        case DbFault::Busy: return refuse(DbOpenFailure::Busy);
        case DbFault::ReadOnly: return refuse(DbOpenFailure::ReadOnly);
        case DbFault::Corrupt:
            // The engine says "not a database" for a wrong password as well.
            return refuse((code & 0xff) == SQLITE_CORRUPT ? DbOpenFailure::Corrupt
                                                          : DbOpenFailure::NotOurs);
        default: return refuse(DbOpenFailure::NotOurs);
        }
    }
    // The engine opens a file it may not write for reading only, and the journal needs
    // new files beside the database: either way no save could ever succeed.
    if (sqlite3_db_readonly(db, "main") != 0 || !folderTakesNewFiles(info.absolutePath())) {
        error = QStringLiteral("数据库文件或它所在的文件夹不能写入");
        return refuse(DbOpenFailure::ReadOnly);
    }
    // See DbConnection::Open: a rollback journal, deleted at commit, synced with the folder.
    const QString mode = EngineFirstText(db, "PRAGMA journal_mode = DELETE");
    if (mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        error = QStringLiteral("数据库文件的日志方式（%1）无法改为本软件使用的方式，"
                               "可能正被其他程序以这种方式使用")
                    .arg(mode);
        return refuse(isBusy(sqlite3_errcode(db)) ? DbOpenFailure::Busy : DbOpenFailure::Other);
    }
    if (sqlite3_exec(db, "PRAGMA synchronous = EXTRA", nullptr, nullptr, nullptr) != SQLITE_OK
        || EngineFirstText(db, "PRAGMA synchronous") != QLatin1String("3")) {
        error = QStringLiteral("无法设置数据库的写盘方式：%1")
                    .arg(QString::fromUtf8(sqlite3_errmsg(db)));
        return refuse(DbOpenFailure::Other);
    }
    m_state->db = db;
    m_path = path;
    return true;
}

bool SqlCipherEngine::Close()
{
    sqlite3 *db = m_state->db;
    if (!db)
        return true;
    m_state->db = nullptr;
    if (!sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (CloseEngineHandle(db) != SQLITE_OK) {
        m_state->error = QStringLiteral("数据库没有马上关闭：还有未结束的查询，查询结束后才关闭");
        return false;
    }
    return true;
}

QString SqlCipherEngine::Translate(const QString &sql) const
{
    return TranslateDialect(sql);
}

std::unique_ptr<DbEngineStatement> SqlCipherEngine::Prepare(const QString &sql)
{
    m_state->Clear();
    if (!m_state->db) {
        m_state->error = QStringLiteral("没有打开的数据库");
        return nullptr;
    }
    int code = SQLITE_OK;
    sqlite3_stmt *st = prepareOne(m_state->db, sql, &m_state->error, &code, &m_state->fault);
    if (!st)
        return nullptr;
    return std::make_unique<SqlCipherStatement>(m_state, st);
}

bool SqlCipherEngine::run(const char *sql)
{
    m_state->Clear();
    if (!m_state->db) {
        m_state->error = QStringLiteral("没有打开的数据库");
        return false;
    }
    char *err = nullptr;
    const int rc = sqlite3_exec(m_state->db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        m_state->fault = FaultOfEngineCode(rc);
        m_state->error = m_state->fault != DbFault::None ? DbFaultText(m_state->fault)
                                                         : QString::fromUtf8(err ? err : "?");
        sqlite3_free(err);
        return false;
    }
    return true;
}

bool SqlCipherEngine::Execute(const QString &sql)
{
    return run(sql.toUtf8().constData());
}

bool SqlCipherEngine::Begin()
{
    return run("BEGIN IMMEDIATE");
}

bool SqlCipherEngine::Commit()
{
    return run("COMMIT");
}

bool SqlCipherEngine::Rollback()
{
    return run("ROLLBACK");
}

// The engine itself says whether a transaction is open: a failed COMMIT leaves it open,
// some errors end it.
bool SqlCipherEngine::InTransaction() const
{
    return m_state->db && !sqlite3_get_autocommit(m_state->db);
}

QString SqlCipherEngine::KeyColumn(const QString &)
{
    return QStringLiteral("rowid");
}

qint64 SqlCipherEngine::LastInsertKey() const
{
    return m_state->db ? sqlite3_last_insert_rowid(m_state->db) : -1;
}

QStringList SqlCipherEngine::TableColumns(const QString &table)
{
    m_state->Clear();
    QStringList columns;
    if (!m_state->db) {
        m_state->error = QStringLiteral("没有打开的数据库");
        return columns;
    }
    int code = SQLITE_OK;
    if (!columnsOf(m_state->db, table, &columns, &m_state->error, &code)) {
        m_state->fault = FaultOfEngineCode(code);
        columns.clear();
    }
    return columns;
}

QString SqlCipherEngine::LastError() const
{
    return m_state->error;
}

DbFault SqlCipherEngine::Fault() const
{
    return m_state->fault;
}

qint64 SqlCipherEngine::BusyWaits() const
{
    return m_state->busyWaits;
}

SqlCipherEngine *FileEngineOf(DbConnection &connection)
{
    auto *engine = dynamic_cast<SqlCipherEngine *>(DbLayerAccess::Engine(connection));
    return engine && engine->Connected() ? engine : nullptr;
}

sqlite3 *SqlCipherHandle(DbConnection &connection)
{
    SqlCipherEngine *engine = FileEngineOf(connection);
    return engine ? engine->Handle() : nullptr;
}
