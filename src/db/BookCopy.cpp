#include "BookCopy.h"

#include "BookTables.h"
#include "Database.h"
#include "DbEngine.h"
#include "DbLayerAccess.h"
#include "pg/PgEngine.h"

#include <QFile>
#include <QTemporaryFile>
#include <QVector>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Values bound in one INSERT: within what either engine takes in one statement (the file
// engine's limit is 999), and large enough that a million rows are a few thousand
// statements rather than a million round trips to a server.
constexpr int ValuesPerInsert = 900;
// Rows between two looks at the progress and the cancel when a server takes them by COPY.
constexpr int RowsPerStep = 5000;

DbCopyResult engineFailure(const DbEngine &engine, const QString &what)
{
    const QString detail = engine.Fault() != DbFault::None ? DbFaultText(engine.Fault())
                                                           : engine.LastError();
    return DbCopyResult{false, 0, what + QStringLiteral("：") + detail,
                        DbCopyResult::Origin::Engine};
}

DbCopyResult refusal(const QString &text)
{
    return DbCopyResult{false, 0, text, DbCopyResult::Origin::Engine};
}

QStringList columnNames(const BookTable &t)
{
    QStringList names;
    for (const char *c : t.columns)
        names << QLatin1String(c);
    return names;
}

// Every row of the table, in the order of its key.
std::unique_ptr<DbEngineStatement> readTable(DbEngine &from, const BookTable &t)
{
    return from.Prepare(from.Translate(QStringLiteral("Select %1 From %2 Order By %3")
                                           .arg(columnNames(t).join(QLatin1Char(',')),
                                                QLatin1String(t.table),
                                                from.KeyColumn(QLatin1String(t.table)))));
}

void tellProgress(const DbCopyProgress &progress, qint64 done, qint64 total)
{
    if (progress)
        progress(int(std::min<qint64>(done, INT_MAX)), int(std::min<qint64>(total, INT_MAX)));
}

// The caller's own cancel test, or else the window's cancel flag.
bool cancelled(const DbCopyCancel &cancel)
{
    return cancel ? cancel() : BookCopyCancelRequested().load();
}

// The first column of the first row of a statement of ours, as a number.
bool readNumbers(DbEngine &engine, const QString &sql, QVector<double> *values)
{
    auto st = engine.Prepare(engine.Translate(sql));
    if (!st || st->Next() != DbEngineStatement::Step::Row)
        return false;
    values->clear();
    for (int c = 0; c < st->ColumnCount(); ++c)
        values->append(st->Column(c).toDouble());
    return true;
}

// For each table: its row count, then for each column the sum of its numbers or the total
// length of its texts. Both engines read the same figures from the same rows.
QString checkStatement(const BookTable &t)
{
    const QStringList numeric = {QStringLiteral("AccountIndex"), QStringLiteral("AccountBase"),
                                 QStringLiteral("CustomerIndex"), QStringLiteral("MoneyIndex"),
                                 QStringLiteral("MoneyAccount"), QStringLiteral("MoneyIn"),
                                 QStringLiteral("MoneyOut"), QStringLiteral("MoneySum"),
                                 QStringLiteral("ParameterType"), QStringLiteral("SettingIndex"),
                                 QStringLiteral("PowerIndex"), QStringLiteral("PrintIndex"),
                                 QStringLiteral("PrintEnable"), QStringLiteral("ReportIndex"),
                                 QStringLiteral("ReportEnable")};
    QStringList parts{QStringLiteral("Count(*)")};
    for (const char *c : t.columns) {
        const QString name = QLatin1String(c);
        parts << (numeric.contains(name) ? QStringLiteral("Sum(%1)").arg(name)
                                         : QStringLiteral("Sum(Length(%1))").arg(name));
    }
    return QStringLiteral("Select ") + parts.join(QLatin1Char(','))
        + QStringLiteral(" From ") + QLatin1String(t.table);
}

bool sameFigures(const QVector<double> &a, const QVector<double> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        // Sums of amounts may differ in the last bits with the order of adding.
        const double tolerance = 1e-9 * std::max(1.0, std::fabs(a[i]));
        if (std::fabs(a[i] - b[i]) > tolerance)
            return false;
    }
    return true;
}

// One table's rows from from into a server, by COPY: one stream of rows rather than a
// statement to parse and plan for every few dozen.
DbCopyResult copyTableToServer(DbEngine &from, PgEngine &to, const BookTable &t, qint64 *done,
                               qint64 total, const DbCopyProgress &progress,
                               const DbCopyCancel &cancel, bool frozen)
{
    const int columns = int(t.columns.size());
    auto read = readTable(from, t);
    if (!read)
        return engineFailure(from, QStringLiteral("读取数据表 %1 失败").arg(t.table));
    if (!to.BeginCopy(QLatin1String(t.table), columnNames(t), frozen))
        return engineFailure(to, QStringLiteral("写入数据表 %1 失败").arg(t.table));
    QVector<QVariant> row(columns);
    int sinceStep = 0;
    for (;;) {
        const auto step = read->Next();
        if (step == DbEngineStatement::Step::Failed) {
            const DbCopyResult r = engineFailure(from, QStringLiteral("读取数据表 %1 失败").arg(t.table));
            to.AbandonCopy();
            return r;
        }
        if (step == DbEngineStatement::Step::Done)
            break;
        for (int c = 0; c < columns; ++c)
            row[c] = read->Column(c);
        if (!to.CopyRow(row)) {
            to.AbandonCopy();
            return engineFailure(to, QStringLiteral("写入数据表 %1 失败").arg(t.table));
        }
        ++*done;
        if (++sinceStep == RowsPerStep) {
            sinceStep = 0;
            tellProgress(progress, *done, total);
            if (cancelled(cancel)) {
                to.AbandonCopy();
                return refusal(QStringLiteral("复制已取消，目标数据库没有任何改动"));
            }
        }
    }
    if (!to.EndCopy())
        return engineFailure(to, QStringLiteral("写入数据表 %1 失败").arg(t.table));
    tellProgress(progress, *done, total);
    return DbCopyResult{true, 0, QString()};
}

// After a whole book was written onto a server: its statistics and visibility map made
// fresh at once, so the first statements are planned on the rows that are there and the
// sums read the indexes alone, rather than waiting for the server's own vacuum.
void freshenServerStatistics(DbEngine &server)
{
    if (!dynamic_cast<PgEngine *>(&server))
        return;
    QStringList tables;
    for (const BookTable &t : BookTables)
        tables << QString::fromLatin1(t.table).toLower();
    server.Execute(QStringLiteral("VACUUM (ANALYZE) ") + tables.join(QLatin1Char(',')));
}

// One table's rows from from into to, in batches of rows per INSERT.
DbCopyResult copyTable(DbEngine &from, DbEngine &to, const BookTable &t, qint64 *done,
                       qint64 total, const DbCopyProgress &progress, const DbCopyCancel &cancel)
{
    const int columns = int(t.columns.size());
    const QString list = columnNames(t).join(QLatin1Char(','));
    auto read = readTable(from, t);
    if (!read)
        return engineFailure(from, QStringLiteral("读取数据表 %1 失败").arg(t.table));
    const int perInsert = std::max(1, ValuesPerInsert / columns);
    const QString oneRow = QLatin1Char('(')
        + QStringList(columns, QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    const QString head = QStringLiteral("Insert Into %1 (%2) Values ").arg(t.table, list);
    std::unique_ptr<DbEngineStatement> full;
    QVector<QVariant> batch;
    batch.reserve(perInsert * columns);
    auto flush = [&]() -> bool {
        const int rows = int(batch.size()) / columns;
        if (rows == 0)
            return true;
        const auto prepare = [&] {
            return to.Prepare(to.Translate(head + QStringList(rows, oneRow).join(QLatin1Char(','))));
        };
        // A full batch reuses its statement; the last, shorter one has one of its own.
        std::unique_ptr<DbEngineStatement> partial;
        DbEngineStatement *st = nullptr;
        if (rows == perInsert) {
            if (!full)
                full = prepare();
            st = full.get();
            if (st)
                st->Reset();
        } else {
            partial = prepare();
            st = partial.get();
        }
        if (!st)
            return false;
        for (int i = 0; i < batch.size(); ++i)
            if (!st->Bind(i + 1, batch[i]))
                return false;
        if (st->Next() != DbEngineStatement::Step::Done)
            return false;
        *done += rows;
        batch.clear();
        tellProgress(progress, *done, total);
        return true;
    };
    for (;;) {
        const auto step = read->Next();
        if (step == DbEngineStatement::Step::Failed)
            return engineFailure(from, QStringLiteral("读取数据表 %1 失败").arg(t.table));
        if (step == DbEngineStatement::Step::Done)
            break;
        for (int c = 0; c < columns; ++c)
            batch.append(read->Column(c));
        if (int(batch.size()) == perInsert * columns) {
            if (!flush())
                return engineFailure(to, QStringLiteral("写入数据表 %1 失败").arg(t.table));
            if (cancelled(cancel))
                return refusal(QStringLiteral("复制已取消，目标数据库没有任何改动"));
        }
    }
    if (!flush())
        return engineFailure(to, QStringLiteral("写入数据表 %1 失败").arg(t.table));
    return DbCopyResult{true, 0, QString()};
}

} // namespace

bool BookIsNew(DbEngine &book, QString *why)
{
    QVector<double> n;
    const struct { const char *sql; const char *what; } checks[] = {
        {"Select Count(*) From MoneyTable", "收支记录"},
        {"Select Count(*) From Account Where AccountIndex > 1", "帐户"},
        {"Select Count(*) From Customer Where CustomerIndex > 1", "客户"},
    };
    for (const auto &c : checks) {
        if (!readNumbers(book, QLatin1String(c.sql), &n)) {
            *why = QStringLiteral("无法读取目标数据库：") + book.LastError();
            return false;
        }
        if (n.value(0) > 0) {
            *why = QStringLiteral("目标数据库中已经有%1，不是新建的空帐套。"
                                  "为免覆盖别人的数据，请换一个新建的数据库。")
                       .arg(QString::fromUtf8(c.what));
            return false;
        }
    }
    return true;
}

namespace {

// CopyBook; newTarget when to is a new book nobody else uses yet (a move): a server then
// empties its tables by TRUNCATE, which lets COPY write the rows frozen.
DbCopyResult copyBook(DbEngine &from, DbEngine &to, const DbCopyProgress &progress,
                      const DbCopyCancel &cancel, bool newTarget)
{
    // What the source holds, read first: the total for the progress and the figures the
    // copy is checked against.
    QVector<QVector<double>> expected;
    qint64 total = 0;
    for (const BookTable &t : BookTables) {
        QVector<double> figures;
        if (!readNumbers(from, checkStatement(t), &figures))
            return engineFailure(from, QStringLiteral("读取数据表 %1 失败").arg(t.table));
        total += qint64(figures.value(0));
        expected.append(figures);
    }
    if (!to.Begin())
        return engineFailure(to, QStringLiteral("目标数据库无法开始写入"));
    auto fail = [&](const DbCopyResult &r) {
        to.Rollback();
        return r;
    };
    PgEngine *server = dynamic_cast<PgEngine *>(&to);
    const bool frozen = server && newTarget;
    for (const BookTable &t : BookTables)
        if (!to.Execute((frozen ? QStringLiteral("Truncate %1") : QStringLiteral("Delete From %1")).arg(t.table)))
            return fail(engineFailure(to, QStringLiteral("清空数据表 %1 失败").arg(t.table)));
    qint64 done = 0;
    tellProgress(progress, 0, total);
    for (const BookTable &t : BookTables) {
        const DbCopyResult r = server
            ? copyTableToServer(from, *server, t, &done, total, progress, cancel, frozen)
            : copyTable(from, to, t, &done, total, progress, cancel);
        if (!r.ok)
            return fail(r);
        if (!to.ContinueKeysAfterCopy(QLatin1String(t.table)))
            return fail(engineFailure(to, QStringLiteral("数据表 %1 的编号无法接续").arg(t.table)));
    }
    int i = 0;
    for (const BookTable &t : BookTables) {
        QVector<double> figures;
        if (!readNumbers(to, checkStatement(t), &figures))
            return fail(engineFailure(to, QStringLiteral("核对数据表 %1 失败").arg(t.table)));
        if (!sameFigures(figures, expected[i++]))
            return fail(refusal(QStringLiteral("复制后核对不符：数据表 %1 的行数或合计与原数据库不同，"
                                               "目标数据库没有任何改动。")
                                    .arg(t.table)));
    }
    if (!to.Commit())
        return fail(engineFailure(to, QStringLiteral("目标数据库无法提交")));
    return DbCopyResult{true, 0, QString()};
}

} // namespace

DbCopyResult CopyBook(DbEngine &from, DbEngine &to, const DbCopyProgress &progress,
                      const DbCopyCancel &cancel)
{
    return copyBook(from, to, progress, cancel, false);
}

DbCopyResult MoveBookToServer(DbConnection &from, const QString &address,
                              const QString &password, const DbCopyProgress &progress,
                              const DbCopyCancel &cancel)
{
    DbEngine *source = DbLayerAccess::Engine(from);
    if (!source || !from.Connected())
        return refusal(QStringLiteral("没有打开的数据库"));
    if (!IsServerAddress(address) || IsServerAddress(from.Path()))
        return refusal(QStringLiteral("只能把本机的数据库文件移到数据库服务器上"));
    std::unique_ptr<DbEngine> server = MakeEngine(address);
    if (!server || !server->Open(address, password))
        return refusal(server ? server->LastError()
                              : QStringLiteral("本程序不支持这种数据库服务器地址"));
    QString why;
    if (!BookIsNew(*server, &why))
        return refusal(why);
    const DbCopyResult result = copyBook(*source, *server, progress, cancel, true);
    if (result.ok)
        freshenServerStatistics(*server);
    return result;
}

DbCopyResult BackupServerBook(DbConnection &server, const QString &target,
                              const QString &password, const DbCopyProgress &progress)
{
    DbEngine *source = DbLayerAccess::Engine(server);
    if (!source || !server.Connected())
        return refusal(QStringLiteral("没有打开的数据库"));
    // A name of its own beside target: the rename at the end then stays on one disk.
    QString part;
    {
        QTemporaryFile probe(target + QStringLiteral(".XXXXXX.part"));
        if (!probe.open())
            return DbCopyResult{false, probe.error(),
                                QStringLiteral("无法在备份文件夹中写入：") + probe.errorString(),
                                DbCopyResult::Origin::System};
        part = probe.fileName();
    }
    const DbCopyResult made = MakeFileBook(part, BookSchema(false), password);
    if (!made.ok) {
        QFile::remove(part);
        return made;
    }
    DbCopyResult result;
    {
        std::unique_ptr<DbEngine> file = MakeEngine(part);
        if (!file->Open(part, password)) {
            result = refusal(file->LastError());
        } else {
            result = CopyBook(*source, *file, progress);
            if (result.ok && !file->Close())
                result = engineFailure(*file, QStringLiteral("备份文件无法关闭"));
        }
    }
    if (result.ok && std::rename(QFile::encodeName(part).constData(),
                                 QFile::encodeName(target).constData())
            != 0) {
        const int error = errno;
        result = DbCopyResult{false, error,
                              QStringLiteral("备份文件无法改名为 %1：%2")
                                  .arg(target, QString::fromLocal8Bit(std::strerror(error))),
                              DbCopyResult::Origin::System};
    }
    if (!result.ok)
        QFile::remove(part);
    return result;
}

DbCopyResult RestoreServerBook(DbConnection &source, const QString &address,
                               const QString &serverPassword, const DbCopyProgress &progress)
{
    DbEngine *file = DbLayerAccess::Engine(source);
    if (!file || !source.Connected())
        return refusal(QStringLiteral("备份文件没有打开"));
    std::unique_ptr<DbEngine> server = MakeEngine(address);
    if (!server || !server->Open(address, serverPassword))
        return refusal(server ? server->LastError()
                              : QStringLiteral("本程序不支持这种数据库服务器地址"));
    const DbCopyResult result = CopyBook(*file, *server, progress);
    if (result.ok)
        freshenServerStatistics(*server);
    return result;
}
