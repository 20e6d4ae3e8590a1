#include "Database.h"

#include "EngineValue.h"
#include "SqlText.h"

#include "Globals.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <iterator>
#include <thread>

namespace {

// The tables of our database and every column the program reads or writes in them. A file
// that opens with our password but lacks any of them is not one of ours.
struct TableColumns
{
    const char *table;
    std::initializer_list<const char *> columns;
};

const TableColumns OurTables[] = {
    {"Account", {"AccountIndex", "AccountName", "AccountBase", "AccountType", "AccountPower"}},
    {"Customer", {"CustomerIndex", "CustomerName", "CustomerRegion", "CustomerPhone",
                  "CustomerFax", "CustomerContact", "CustomerHandPhone", "CustomerEmail",
                  "CustomerQQ", "CustomerAddress", "CustomerRemark", "CustomerPower"}},
    {"MoneyTable", {"MoneyIndex", "MoneyAccount", "MoneyRecordTime", "MoneyCreateTime",
                    "MoneyUser", "MoneyReason", "MoneyIn", "MoneyOut", "MoneySum", "MoneyType",
                    "MoneyToken", "MoneyRemark", "MoneySerial", "MoneyMan", "MoneyPower"}},
    {"Parameter", {"ParameterType", "ParameterValue"}},
    {"Setting", {"SettingIndex", "SettingValue"}},
    {"Power", {"PowerIndex", "PowerName", "PowerKey"}},
    {"PrintTable", {"PrintIndex", "PrintEnable", "PrintValue1", "PrintValue2", "PrintValue3",
                    "PrintValue4", "PrintValue5", "PrintValue6", "PrintValue7", "PrintValue8",
                    "PrintValue9", "PrintValue10"}},
    {"PrintReport", {"ReportEnable", "ReportGrid1", "ReportGrid2", "ReportGrid3",
                     "ReportGrid4", "ReportGrid5", "ReportGrid6", "ReportGrid7",
                     "ReportGrid8"}},
};
const char RowIdColumn[] = "qm_rowid__";

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

} // namespace

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

QString BrokenTextMessage()
{
    return QStringLiteral("输入的文字中有无法保存的残缺字符（可能是从别处粘贴来的），"
                          "请删除它后重新输入。");
}

QString DbFaultText(DbFault fault)
{
    switch (fault) {
    case DbFault::None:
        break;
    case DbFault::Busy:
        return QStringLiteral("数据库正忙：另一台电脑（或另一个程序）正在使用数据库，"
                              "等了 %1 秒仍未轮到。请稍后再试一次。")
            .arg((DbConnection::BusyTimeoutMs + 999) / 1000);
    case DbFault::Corrupt:
        return QStringLiteral("数据库文件已损坏，有一部分数据无法读取。\n"
                              "请不要继续录入，以免损失更多数据；请管理员在“数据维护”页用"
                              "“数据恢复”从备份文件夹 %1 中恢复最近的备份。")
            .arg(QDir::toNativeSeparators(BackupFolder()));
    case DbFault::ReadOnly:
        return QStringLiteral("数据库文件不能写入：文件或它所在的文件夹是只读的。"
                              "请让系统管理员给当前用户写入权限后再试。");
    case DbFault::DiskFull:
        return QStringLiteral("磁盘已满，数据库无法写入。请腾出磁盘空间后再试。");
    case DbFault::Io:
        return QStringLiteral("读写数据库文件时出错（磁盘或网络连接故障）。"
                              "请检查磁盘和网络连接后再试。");
    }
    return QString();
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

namespace {

// A prepared statement that finalizes itself. Only the query layer's own statements and
// statements that passed IsSingleSelect come here.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql, QString *error)
    {
        const QByteArray text = sql.toUtf8();
        const char *tail = nullptr;
        m_code = sqlite3_prepare_v2(db, text.constData(), text.size() + 1, &m_st, &tail);
        if (m_code != SQLITE_OK) {
            *error = EngineFailure(db, &m_fault);
            m_st = nullptr;
            return;
        }
        // One statement only: anything after it other than blanks and a ';' is refused.
        for (; tail && *tail; ++tail) {
            if (*tail != ';' && !isspace(static_cast<unsigned char>(*tail))) {
                *error = QStringLiteral("一次只能执行一条语句");
                sqlite3_finalize(m_st);
                m_st = nullptr;
                return;
            }
        }
        if (!m_st)
            *error = QStringLiteral("空语句");
    }
    ~Statement() { sqlite3_finalize(m_st); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    sqlite3_stmt *get() const { return m_st; }
    explicit operator bool() const { return m_st != nullptr; }
    // Why preparing failed: the engine's code and the fault behind it.
    int code() const { return m_code; }
    DbFault fault() const { return m_fault; }

private:
    sqlite3_stmt *m_st = nullptr;
    int m_code = SQLITE_OK;
    DbFault m_fault = DbFault::None;
};

struct SingleTable
{
    QString list;   // the select list as written
    QString from;   // the table and its alias as written
    QString table;
    QString rest;   // Where / Order By part, possibly empty
};

// The statement with the contents of its quoted texts left out (the quotes stay), and for
// each character kept its position in the statement, then the statement's length.
QString withoutQuotedTexts(const QString &sql, std::vector<int> *positions)
{
    QString out;
    positions->clear();
    const int n = int(sql.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        out += c;
        positions->push_back(i);
        if (c != QLatin1Char('\'') && c != QLatin1Char('"'))
            continue;
        int j = i + 1;
        for (; j < n; ++j) {
            if (sql.at(j) != c)
                continue;
            if (j + 1 < n && sql.at(j + 1) == c) {
                ++j;
                continue;
            }
            break;
        }
        if (j >= n)
            break;   // left open: everything after the quote is inside it
        out += sql.at(j);
        positions->push_back(j);
        i = j;
    }
    positions->push_back(n);
    return out;
}

// Recognises "Select list From Table [[As] alias] [Where ...] [Order By ...]" over one
// table whose rows can be changed: no join, no Distinct, no aggregate, no grouping or
// union. The shape is matched on the statement without the contents of its quoted texts,
// so a customer called "Union Trading" is a name and not a keyword, and a remark of ten
// thousand characters costs the match nothing; the pieces are then taken from the
// statement itself.
bool parseSingleTable(const QString &sql, SingleTable *out)
{
    static const QRegularExpression shape(
        QStringLiteral(R"(^\s*select\s+(.+?)\s+from\s+(([A-Za-z_][A-Za-z0-9_]*))"
                       R"((?:\s+(?:as\s+)?(?!(?:where|order|limit)\b)[A-Za-z_][A-Za-z0-9_]*)?))"
                       R"(\s*((?:where|order\s+by|limit)\b.*)?$)"),
        QRegularExpression::CaseInsensitiveOption
            | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression aggregate(
        QStringLiteral(R"(^\s*distinct\b|\b(sum|count|avg|min|max|total|group_concat)\s*\()"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression grouping(
        QStringLiteral(R"(\b(group\s+by|having|union|intersect|except)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    std::vector<int> positions;
    const QString compact = withoutQuotedTexts(sql, &positions);
    qsizetype end = compact.size();
    while (end > 0 && (compact.at(end - 1).isSpace() || compact.at(end - 1) == QLatin1Char(';')))
        --end;
    const auto m = shape.match(compact.left(end));
    if (!m.hasMatch())
        return false;
    if (aggregate.match(m.captured(1)).hasMatch() || grouping.match(m.captured(4)).hasMatch())
        return false;
    auto piece = [&](int n) {
        if (m.capturedStart(n) < 0)
            return QString();
        const int from = positions[size_t(m.capturedStart(n))];
        const int to = positions[size_t(m.capturedEnd(n))];
        return sql.mid(from, to - from);
    };
    out->list = piece(1);
    out->from = piece(2);
    out->table = piece(3);
    out->rest = piece(4);
    return !out->table.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
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

// Every table and column of ours present: true. A read that fails sets *code.
bool hasOurTables(sqlite3 *db, QString *error, int *code)
{
    for (const TableColumns &t : OurTables) {
        Statement st(db, QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(t.table)),
                     error);
        if (!st) {
            *code = st.code();
            return false;
        }
        QStringList found;
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW)
            found << QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 1)));
        if (rc != SQLITE_DONE) {
            *code = rc;
            *error = QString::fromUtf8(sqlite3_errmsg(db));
            return false;
        }
        for (const char *column : t.columns)
            if (!found.contains(QLatin1String(column), Qt::CaseInsensitive)) {
                *error = QStringLiteral("数据表 %1 中缺少字段 %2")
                             .arg(QLatin1String(t.table), QLatin1String(column));
                return false;
            }
    }
    return true;
}

} // namespace

// ---------------------------------------------------------------- DbConnection

int DbConnection::BusyTimeoutMs = 5000;

DbConnection::~DbConnection()
{
    Close();
}

bool DbConnection::Open(const QString &path, const QString &password)
{
    Close();
    m_error.clear();
    m_failure = OpenFailure::None;
    m_fault = DbFault::None;
    m_busyWaits = 0;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        m_error = QStringLiteral("数据库文件不存在：%1").arg(path);
        m_failure = OpenFailure::Missing;
        return false;
    }
    sqlite3 *db = nullptr;
    int code = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (code != SQLITE_OK) {
        m_error = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
        m_failure = isBusy(code) ? OpenFailure::Busy : OpenFailure::Other;
        CloseEngineHandle(db);
        return false;
    }
    const auto refuse = [&](OpenFailure failure) {
        m_failure = failure;
        CloseEngineHandle(db);
        return false;
    };
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), key.size());
    sqlite3_busy_handler(db, &DbConnection::waitForFile, this);
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
    if (!hasOurTables(db, &m_error, &code)) {
        switch (FaultOfEngineCode(code)) {
        case DbFault::Busy: return refuse(OpenFailure::Busy);
        case DbFault::ReadOnly: return refuse(OpenFailure::ReadOnly);
        case DbFault::Corrupt:
            // The engine says "not a database" for a wrong password as well.
            return refuse((code & 0xff) == SQLITE_CORRUPT ? OpenFailure::Corrupt
                                                          : OpenFailure::NotOurs);
        default: return refuse(OpenFailure::NotOurs);
        }
    }
    // The engine opens a file it may not write for reading only, and the journal needs
    // new files beside the database: either way no save could ever succeed.
    if (sqlite3_db_readonly(db, "main") != 0 || !folderTakesNewFiles(info.absolutePath())) {
        m_error = QStringLiteral("数据库文件或它所在的文件夹不能写入");
        return refuse(OpenFailure::ReadOnly);
    }
    // See the header: a rollback journal, deleted at commit, synced with the folder.
    const QString mode = EngineFirstText(db, "PRAGMA journal_mode = DELETE");
    if (mode.compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0) {
        m_error = QStringLiteral("数据库文件的日志方式（%1）无法改为本软件使用的方式，"
                                 "可能正被其他程序以这种方式使用")
                      .arg(mode);
        return refuse(isBusy(sqlite3_errcode(db)) ? OpenFailure::Busy : OpenFailure::Other);
    }
    if (sqlite3_exec(db, "PRAGMA synchronous = EXTRA", nullptr, nullptr, nullptr) != SQLITE_OK
        || EngineFirstText(db, "PRAGMA synchronous") != QLatin1String("3")) {
        m_error = QStringLiteral("无法设置数据库的写盘方式：%1")
                      .arg(QString::fromUtf8(sqlite3_errmsg(db)));
        return refuse(OpenFailure::Other);
    }
    m_db = db;
    m_path = path;
    return true;
}

// The engine's own waiting grows from a millisecond to a tenth of a second between tries;
// this is the same, and counts the statements that had to wait at all.
int DbConnection::waitForFile(void *connection, int attempt)
{
    static const int delays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    constexpr int steps = int(std::size(delays));
    auto *self = static_cast<DbConnection *>(connection);
    int waited = 0;
    for (int i = 0; i < attempt; ++i)
        waited += delays[std::min(i, steps - 1)];
    if (waited >= BusyTimeoutMs)
        return 0;
    if (attempt == 0)
        ++self->m_busyWaits;
    const int delay = std::min(delays[std::min(attempt, steps - 1)], BusyTimeoutMs - waited);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    return 1;
}

bool DbConnection::Close()
{
    bool closed = true;
    if (m_db) {
        if (InTransaction())
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        if (CloseEngineHandle(m_db) != SQLITE_OK) {
            m_error = QStringLiteral("数据库没有马上关闭：还有未结束的查询，查询结束后才关闭");
            closed = false;
        }
    }
    m_db = nullptr;
    return closed;
}

bool DbConnection::execute(const char *sql)
{
    m_fault = DbFault::None;
    if (!m_db) {
        m_error = QStringLiteral("没有打开的数据库");
        return false;
    }
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        m_fault = FaultOfEngineCode(rc);
        m_error = m_fault != DbFault::None ? DbFaultText(m_fault)
                                           : QString::fromUtf8(err ? err : "?");
        sqlite3_free(err);
        return false;
    }
    return true;
}

// The engine itself says whether a transaction is open: a failed COMMIT leaves it open,
// some errors end it.
bool DbConnection::InTransaction() const
{
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool DbConnection::BeginTrans()
{
    if (InTransaction()) {
        m_error = QStringLiteral("事务已经开始");
        return false;
    }
    return execute("BEGIN IMMEDIATE");
}

bool DbConnection::CommitTrans()
{
    if (!InTransaction()) {
        m_error = QStringLiteral("没有已开始的事务");
        return false;
    }
    return execute("COMMIT");
}

bool DbConnection::RollbackTrans()
{
    if (!InTransaction()) {
        m_error = QStringLiteral("没有已开始的事务");
        return false;
    }
    return execute("ROLLBACK");
}

// ---------------------------------------------------------------- DbField

QString DbField::AsString() const
{
    switch (m_value.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::Double:
        return QString::number(m_value.toDouble(), 'g', 15);
    case QMetaType::QByteArray:
        return QString::fromUtf8(m_value.toByteArray());
    default:
        return m_value.toString();
    }
}

double DbField::AsFloat() const
{
    return m_value.isNull() ? 0.0 : m_value.toDouble();
}

qint64 DbField::AsInteger() const
{
    if (m_value.isNull())
        return 0;
    if (m_value.typeId() == QMetaType::Double)
        return qRound64(m_value.toDouble());
    return m_value.toLongLong();
}

QDateTime DbField::AsDateTime() const
{
    static const QDateTime zero(QDate(1899, 12, 30), QTime(0, 0));
    if (m_value.isNull())
        return zero;
    if (m_value.typeId() == QMetaType::Double || m_value.typeId() == QMetaType::LongLong) {
        const double days = m_value.toDouble();
        return zero.addMSecs(qRound64(days * 86400000.0));
    }
    const QString t = m_value.toString().trimmed();
    for (const char *f : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd", "yyyy-MM-ddTHH:mm:ss",
                          "yyyy-MM-dd HH:mm"}) {
        const QDateTime dt = QDateTime::fromString(t, QLatin1String(f));
        if (dt.isValid())
            return dt;
    }
    return zero;
}

bool DbField::AsBoolean() const
{
    if (m_value.isNull())
        return false;
    switch (m_value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Double:
        return m_value.toDouble() != 0.0;
    default: {
        const QString t = m_value.toString().trimmed().toLower();
        return t == QLatin1String("true") || t == QLatin1String("yes")
            || (!t.isEmpty() && t.toDouble() != 0.0);
    }
    }
}

// ---------------------------------------------------------------- DbQuery

bool DbQuery::Open()
{
    Close();
    m_fault = DbFault::None;
    if (!m_conn || !m_conn->Connected()) {
        m_error = QStringLiteral("数据库没有连接");
        return false;
    }
    const QString sql = TranslateDialect(m_sql);
    // Checked before the engine prepares anything: some statements act while they are
    // being prepared (a key change locks the user out of his own data).
    if (!IsSingleSelect(sql, &m_error))
        return false;
    SingleTable single;
    const bool updatable = parseSingleTable(sql, &single);
    const QString text = updatable
        ? QStringLiteral("SELECT rowid AS %1, %2 FROM %3 %4")
              .arg(QLatin1String(RowIdColumn), single.list, single.from, single.rest)
        : sql;
    QString err;
    Statement st(m_conn->Handle(), text, &err);
    if (!st) {
        m_error = err;
        m_fault = st.fault();
        return false;
    }
    if (!sqlite3_stmt_readonly(st.get())) {
        m_error = QStringLiteral("只能执行查询语句");
        return false;
    }
    const int first = updatable ? 1 : 0;
    const int cols = sqlite3_column_count(st.get());
    for (int c = first; c < cols; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(st.get(), c));
        m_names << name;
        const QString key = name.toLower();
        if (!m_index.contains(key))
            m_index.insert(key, c - first);
    }
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        QVector<QVariant> row;
        row.reserve(cols - first);
        for (int c = first; c < cols; ++c)
            row << EngineColumnValue(st.get(), c);
        m_rows.push_back(std::move(row));
        if (updatable)
            m_rowids.push_back(sqlite3_column_int64(st.get(), 0));
    }
    if (rc != SQLITE_DONE) {
        m_error = EngineFailure(m_conn->Handle(), &m_fault);
        Close();
        return false;
    }
    if (updatable) {
        m_table = single.table;
        m_from = single.from;
        m_list = single.list;
    }
    m_active = true;
    m_pos = 0;
    m_error.clear();
    return true;
}

void DbQuery::Close()
{
    m_active = false;
    m_names.clear();
    m_index.clear();
    m_rows.clear();
    m_rowids.clear();
    m_table.clear();
    m_from.clear();
    m_list.clear();
    m_tableColumns.clear();
    m_pos = 0;
    m_editRow = -1;
    m_state = State::Browse;
    m_pending.clear();
}

bool DbQuery::MoveTo(int row)
{
    if (row < 0 || row > RecordCount())
        return false;
    // As a dataset does: leaving a row posts its pending change, and a change that cannot
    // be written keeps the cursor on its row.
    if (m_state != State::Browse && row != m_pos && !Post())
        return false;
    m_pos = row;
    return true;
}

int DbQuery::columnOf(const QString &name) const
{
    return m_index.value(name.toLower(), -1);
}

bool DbQuery::HasField(const QString &name) const
{
    return columnOf(name) >= 0;
}

DbField DbQuery::FieldByName(const QString &name) const
{
    const int col = columnOf(name);
    if (m_state != State::Browse) {
        for (auto it = m_pending.crbegin(); it != m_pending.crend(); ++it)
            if (it->first.compare(name, Qt::CaseInsensitive) == 0)
                return DbField(it->second);
        if (m_state == State::Insert)
            return DbField(QVariant(), col >= 0);
    }
    if (col < 0 || Eof() || !m_active)
        return DbField(QVariant(), col >= 0);
    return DbField(m_rows[size_t(m_pos)][col]);
}

bool DbQuery::refuseChange(const char *what)
{
    if (!m_active) {
        m_error = QStringLiteral("查询没有打开，不能%1").arg(QString::fromUtf8(what));
        return false;
    }
    if (m_table.isEmpty()) {
        m_error = QStringLiteral("多表或统计查询的结果是只读的，不能%1")
                      .arg(QString::fromUtf8(what));
        return false;
    }
    return true;
}

bool DbQuery::Append()
{
    if (!refuseChange("新增记录"))
        return false;
    if (m_state != State::Browse && !Post())
        return false;
    m_pending.clear();
    m_state = State::Insert;
    return true;
}

bool DbQuery::Edit()
{
    if (!refuseChange("修改记录"))
        return false;
    if (m_state == State::Edit && m_editRow == m_pos)
        return true;   // already editing this row: keep what was set
    if (m_state != State::Browse && !Post())
        return false;
    if (Eof()) {
        m_error = QStringLiteral("没有当前记录，不能修改");
        return false;
    }
    m_pending.clear();
    m_state = State::Edit;
    m_editRow = m_pos;
    return true;
}

bool DbQuery::SetField(const QString &name, const QVariant &value)
{
    if (m_state == State::Browse) {
        m_error = QStringLiteral("没有开始新增或修改，不能设置字段 %1").arg(name);
        return false;
    }
    m_pending.append({name, value});
    return true;
}

void DbQuery::Cancel()
{
    m_pending.clear();
    m_state = State::Browse;
    m_editRow = -1;
}

bool DbQuery::tableColumns(QStringList *columns)
{
    if (m_tableColumns.isEmpty()) {
        QString err;
        Statement st(m_conn->Handle(),
                     QStringLiteral("PRAGMA table_info(%1)").arg(m_table), &err);
        if (!st) {
            m_error = err;
            m_fault = st.fault();
            return false;
        }
        while (sqlite3_step(st.get()) == SQLITE_ROW)
            m_tableColumns << QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(st.get(), 1)));
    }
    *columns = m_tableColumns;
    return true;
}

bool DbQuery::reloadRow(qint64 rowid, QVector<QVariant> *row)
{
    QString err;
    Statement st(m_conn->Handle(),
                 QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(m_list, m_from), &err);
    if (!st || sqlite3_bind_int64(st.get(), 1, rowid) != SQLITE_OK) {
        m_error = st ? EngineFailure(m_conn->Handle(), &m_fault) : err;
        return false;
    }
    if (sqlite3_step(st.get()) != SQLITE_ROW) {
        m_error = EngineFailure(m_conn->Handle(), &m_fault);
        return false;
    }
    QVector<QVariant> values;
    for (int c = 0; c < sqlite3_column_count(st.get()); ++c)
        values << EngineColumnValue(st.get(), c);
    *row = values;
    return true;
}

// Runs one change with its values bound in order and, when rowid is not negative, the
// row id bound last. Nothing is stepped unless every value was bound.
bool DbQuery::write(const QString &sql, const QVector<QVariant> &values, qint64 rowid)
{
    // Half of a character outside the basic plane (pasted from a damaged text) has no
    // UTF-8 form: stored, it would come back as another character. It is refused instead.
    for (const QVariant &v : values)
        if (v.typeId() == QMetaType::QString && !QStringView(v.toString()).isValidUtf16()) {
            m_error = BrokenTextMessage();
            return false;
        }
    QString err;
    Statement st(m_conn->Handle(), sql, &err);
    if (!st) {
        m_error = err;
        m_fault = st.fault();
        return false;
    }
    int pos = 1;
    for (const QVariant &v : values)
        if (BindEngineValue(st.get(), pos++, v) != SQLITE_OK) {
            m_error = EngineFailure(m_conn->Handle(), &m_fault);
            return false;
        }
    if (rowid >= 0 && sqlite3_bind_int64(st.get(), pos, rowid) != SQLITE_OK) {
        m_error = EngineFailure(m_conn->Handle(), &m_fault);
        return false;
    }
    if (sqlite3_step(st.get()) != SQLITE_DONE) {
        m_error = EngineFailure(m_conn->Handle(), &m_fault);
        return false;
    }
    return true;
}

bool DbQuery::Post()
{
    if (m_state == State::Browse)
        return true;
    m_fault = DbFault::None;
    QStringList columns;
    if (!tableColumns(&columns))
        return false;
    // Later settings of one field win; names are matched to the table without regard to case.
    QStringList names;
    QVector<QVariant> values;
    for (const auto &p : m_pending) {
        QString real;
        for (const QString &c : columns)
            if (c.compare(p.first, Qt::CaseInsensitive) == 0)
                real = c;
        if (real.isEmpty()) {
            m_error = QStringLiteral("数据表 %1 中没有字段 %2").arg(m_table, p.first);
            return false;
        }
        const int at = names.indexOf(real);
        if (at >= 0) {
            values[at] = p.second;
        } else {
            names << real;
            values << p.second;
        }
    }
    QStringList quotedNames;
    for (const QString &n : names)
        quotedNames << QLatin1Char('"') + n + QLatin1Char('"');
    const bool insert = m_state == State::Insert;
    qint64 rowid = -1;
    if (insert) {
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(m_table, quotedNames.join(QLatin1Char(',')),
                       QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        if (!write(sql, values, -1))
            return false;
        rowid = sqlite3_last_insert_rowid(m_conn->Handle());
    } else {
        rowid = m_rowids[size_t(m_editRow)];
        if (!names.isEmpty()) {
            const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                    .arg(m_table, quotedNames.join(QStringLiteral(" = ?, "))
                                                      + QStringLiteral(" = ?"));
            if (!write(sql, values, rowid))
                return false;
        }
    }
    // The row as stored; should it not read back, the cache shows what was written.
    QVector<QVariant> row;
    if (!reloadRow(rowid, &row)) {
        m_fault = DbFault::None;
        row = insert ? QVector<QVariant>(m_names.size()) : m_rows[size_t(m_editRow)];
        for (int i = 0; i < names.size(); ++i) {
            const int col = columnOf(names[i]);
            if (col >= 0)
                row[col] = values[i];
        }
    }
    if (insert) {
        m_rows.push_back(row);
        m_rowids.push_back(rowid);
        m_pos = RecordCount() - 1;
    } else {
        m_rows[size_t(m_editRow)] = row;
    }
    Cancel();
    return true;
}

bool DbQuery::Delete()
{
    m_fault = DbFault::None;
    if (!refuseChange("删除记录"))
        return false;
    if (m_state == State::Insert) {
        Cancel();
        return true;
    }
    Cancel();
    if (Eof()) {
        m_error = QStringLiteral("没有当前记录，不能删除");
        return false;
    }
    if (!write(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_table), {},
               m_rowids[size_t(m_pos)]))
        return false;
    m_rows.erase(m_rows.begin() + m_pos);
    m_rowids.erase(m_rowids.begin() + m_pos);
    return true;
}
