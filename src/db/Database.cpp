#include "Database.h"

#include "DbLayerAccess.h"
#include "SqlText.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const char RowIdColumn[] = "qm_rowid__";

QString (*BackupFolderSource)() = nullptr;

QString backupFolder()
{
    return BackupFolderSource ? QDir::toNativeSeparators(BackupFolderSource())
                              : QStringLiteral("（数据库备份）");
}

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

} // namespace

void SetBackupFolderSource(QString (*folder)())
{
    BackupFolderSource = folder;
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
            .arg(backupFolder());
    case DbFault::ReadOnly:
        return QStringLiteral("数据库文件不能写入：文件或它所在的文件夹是只读的。"
                              "请让系统管理员给当前用户写入权限后再试。");
    case DbFault::DiskFull:
        return QStringLiteral("磁盘已满，数据库无法写入。请腾出磁盘空间后再试。");
    case DbFault::Io:
        return QStringLiteral("读写数据库文件时出错（磁盘或网络连接故障）。"
                              "请检查磁盘和网络连接后再试。");
    case DbFault::Refused:
        return QStringLiteral("数据库服务器拒绝了用户名或密码，或者这个用户没有做这项操作的权限。"
                              "请检查数据库地址中的用户名和密码，或请数据库管理员授予权限后再试。");
    case DbFault::ConnectionLost:
        return QStringLiteral("与数据库服务器的连接断开了，刚才的操作没有完成，服务器已撤销它未完成的"
                              "修改，已录入的内容仍在窗口中。请检查网络和数据库服务器，"
                              "然后再试一次：程序会自动重新连接。");
    }
    return QString();
}

// ---------------------------------------------------------------- DbConnection

int DbConnection::BusyTimeoutMs = 5000;

namespace {

DbConnection::OpenFailure openFailureOf(DbOpenFailure failure)
{
    using F = DbConnection::OpenFailure;
    switch (failure) {
    case DbOpenFailure::None: return F::None;
    case DbOpenFailure::Missing: return F::Missing;
    case DbOpenFailure::NotOurs: return F::NotOurs;
    case DbOpenFailure::Busy: return F::Busy;
    case DbOpenFailure::Corrupt: return F::Corrupt;
    case DbOpenFailure::ReadOnly: return F::ReadOnly;
    case DbOpenFailure::Unreachable: return F::Unreachable;
    case DbOpenFailure::Refused: return F::Refused;
    case DbOpenFailure::Other: break;
    }
    return F::Other;
}

} // namespace

DbConnection::~DbConnection()
{
    Close();
}

bool DbConnection::Open(const QString &address, const QString &password)
{
    Close();
    m_error.clear();
    m_failure = OpenFailure::None;
    m_fault = DbFault::None;
    m_engine = MakeEngine(address);
    if (!m_engine) {
        m_error = QStringLiteral("无法打开数据库服务器上的账本 %1：这一版程序不能连接数据库服务器。"
                                 "请在“数据库设置”中改用本机或共享文件夹中的数据库文件。")
                      .arg(address);
        m_failure = OpenFailure::Other;
        return false;
    }
    if (!m_engine->Open(address, password)) {
        m_error = m_engine->LastError();
        m_failure = openFailureOf(m_engine->OpenFailure());
        return false;
    }
    m_path = address;
    return true;
}

bool DbConnection::Close()
{
    if (!m_engine || m_engine->Close())
        return true;
    m_error = m_engine->LastError();
    return false;
}

bool DbConnection::Connected() const
{
    return m_engine && m_engine->Connected();
}

qint64 DbConnection::BusyWaits() const
{
    return m_engine ? m_engine->BusyWaits() : 0;
}

bool DbConnection::refuseClosed()
{
    m_fault = DbFault::None;
    if (Connected())
        return false;
    m_error = QStringLiteral("没有打开的数据库");
    return true;
}

bool DbConnection::engineResult(bool ok)
{
    if (!ok) {
        m_error = m_engine->LastError();
        m_fault = m_engine->Fault();
    }
    return ok;
}

bool DbConnection::InTransaction() const
{
    return Connected() && m_engine->InTransaction();
}

bool DbConnection::BeginTrans()
{
    if (refuseClosed())
        return false;
    if (InTransaction()) {
        m_error = QStringLiteral("事务已经开始");
        return false;
    }
    return engineResult(m_engine->Begin());
}

bool DbConnection::CommitTrans()
{
    if (!InTransaction()) {
        m_error = QStringLiteral("没有已开始的事务");
        return false;
    }
    m_fault = DbFault::None;
    return engineResult(m_engine->Commit());
}

bool DbConnection::RollbackTrans()
{
    if (!InTransaction()) {
        m_error = QStringLiteral("没有已开始的事务");
        return false;
    }
    m_fault = DbFault::None;
    return engineResult(m_engine->Rollback());
}

bool DbConnection::ExecuteScript(const QString &sql)
{
    if (refuseClosed())
        return false;
    m_error.clear();
    return engineResult(m_engine->Execute(sql));
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

DbEngine *DbQuery::engine() const
{
    return m_conn ? DbLayerAccess::Engine(*m_conn) : nullptr;
}

bool DbQuery::Open()
{
    Close();
    m_fault = DbFault::None;
    if (!m_conn || !m_conn->Connected()) {
        m_error = QStringLiteral("数据库没有连接");
        return false;
    }
    DbEngine *db = engine();
    const QString sql = db->Translate(m_sql);
    // Checked before the engine prepares anything: some statements act while they are
    // being prepared (a key change locks the user out of his own data).
    if (!IsSingleSelect(sql, &m_error))
        return false;
    SingleTable single;
    const QString key = parseSingleTable(sql, &single) ? db->KeyColumn(single.table) : QString();
    const bool updatable = !key.isEmpty();
    QString text = updatable
        ? QStringLiteral("SELECT %1 AS %2, %3 FROM %4 %5")
              .arg(key, QLatin1String(RowIdColumn), single.list, single.from, single.rest)
        : sql;
    // The file gives a table's rows in the order they were added; a server in whatever
    // order it finds them, which changes as rows are edited. A pick list or a user list
    // keeps its order on the server too.
    static const QRegularExpression ordered(QStringLiteral("\\b(order\\s+by|limit|offset)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (updatable && m_conn->IsServer() && !ordered.match(MaskQuotedTexts(single.rest)).hasMatch())
        text += QStringLiteral(" ORDER BY ") + key;
    const std::unique_ptr<DbEngineStatement> st = db->Prepare(text);
    if (!st) {
        m_error = db->LastError();
        m_fault = db->Fault();
        return false;
    }
    if (!st->ReadsOnly()) {
        m_error = QStringLiteral("只能执行查询语句");
        return false;
    }
    const int first = updatable ? 1 : 0;
    const int cols = st->ColumnCount();
    for (int c = first; c < cols; ++c) {
        const QString name = st->ColumnName(c);
        m_names << name;
        const QString lower = name.toLower();
        if (!m_index.contains(lower))
            m_index.insert(lower, c - first);
    }
    DbEngineStatement::Step step;
    while ((step = st->Next()) == DbEngineStatement::Step::Row) {
        QVector<QVariant> row;
        row.reserve(cols - first);
        for (int c = first; c < cols; ++c)
            row << st->Column(c);
        m_rows.push_back(std::move(row));
        if (updatable)
            m_keys.push_back(st->Column(0).toLongLong());
    }
    if (step == DbEngineStatement::Step::Failed) {
        m_error = db->LastError();
        m_fault = db->Fault();
        Close();
        return false;
    }
    if (updatable) {
        m_table = single.table;
        m_key = key;
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
    m_keys.clear();
    m_table.clear();
    m_key.clear();
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
        DbEngine *db = engine();
        m_tableColumns = db->TableColumns(m_table);
        if (m_tableColumns.isEmpty() && !db->LastError().isEmpty()) {
            m_error = db->LastError();
            m_fault = db->Fault();
            return false;
        }
    }
    *columns = m_tableColumns;
    return true;
}

bool DbQuery::reloadRow(qint64 key, QVector<QVariant> *row)
{
    DbEngine *db = engine();
    const std::unique_ptr<DbEngineStatement> st =
        db->Prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?").arg(m_list, m_from, m_key));
    if (!st || !st->Bind(1, QVariant(qlonglong(key)))
        || st->Next() != DbEngineStatement::Step::Row) {
        m_error = db->LastError();
        m_fault = db->Fault();
        return false;
    }
    QVector<QVariant> values;
    for (int c = 0; c < st->ColumnCount(); ++c)
        values << st->Column(c);
    *row = values;
    return true;
}

// Runs one change with its values bound in order and, when key is not negative, the row's
// key bound last. Nothing runs unless every value was bound.
bool DbQuery::write(const QString &sql, const QVector<QVariant> &values, qint64 key)
{
    // Half of a character outside the basic plane (pasted from a damaged text) has no
    // UTF-8 form: stored, it would come back as another character. It is refused instead.
    for (const QVariant &v : values)
        if (v.typeId() == QMetaType::QString && !QStringView(v.toString()).isValidUtf16()) {
            m_error = BrokenTextMessage();
            return false;
        }
    DbEngine *db = engine();
    const auto failed = [&] {
        m_error = db->LastError();
        m_fault = db->Fault();
        return false;
    };
    const std::unique_ptr<DbEngineStatement> st = db->Prepare(sql);
    if (!st)
        return failed();
    int pos = 1;
    for (const QVariant &v : values)
        if (!st->Bind(pos++, v))
            return failed();
    if (key >= 0 && !st->Bind(pos, QVariant(qlonglong(key))))
        return failed();
    // An engine may answer a change with the row's key as a row of its own.
    DbEngineStatement::Step step;
    while ((step = st->Next()) == DbEngineStatement::Step::Row) {
    }
    return step == DbEngineStatement::Step::Done || failed();
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
    qint64 key = -1;
    if (insert) {
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(m_table, quotedNames.join(QLatin1Char(',')),
                       QStringList(names.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        if (!write(sql, values, -1))
            return false;
        key = engine()->LastInsertKey();
    } else {
        key = m_keys[size_t(m_editRow)];
        if (!names.isEmpty()) {
            const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                    .arg(m_table,
                                         quotedNames.join(QStringLiteral(" = ?, "))
                                             + QStringLiteral(" = ?"),
                                         m_key);
            if (!write(sql, values, key))
                return false;
        }
    }
    // The row as stored; should it not read back, the cache shows what was written.
    QVector<QVariant> row;
    if (!reloadRow(key, &row)) {
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
        m_keys.push_back(key);
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
    if (!write(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_table, m_key), {},
               m_keys[size_t(m_pos)]))
        return false;
    m_rows.erase(m_rows.begin() + m_pos);
    m_keys.erase(m_keys.begin() + m_pos);
    return true;
}
