// bench: the yardstick of the program's speed on a large book. Generates a book of 300
// accounts, 20,000 customers and 1,000,000 money records in a program folder, times each
// operation that exists through the program's own code beside the same statements run
// alone on the engine (the floor), and prints a table. Run by hand; see README.md.
#include "BenchSession.h"
#include "BenchUi.h"
#include "BookMaker.h"
#include "Meter.h"
#include "StatementLog.h"

#include "Database.h"
#include "DbTransaction.h"
#include "FormMain.h"
#include "Globals.h"
#include "PageData.h"
#include "RecordGridModel.h"
#include "ShareDM.h"
#include "SqlText.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

// One row of the table: what runs before each timed run (not timed), the timed run, what
// runs after it, and the connection its statements go to.
struct Operation
{
    QString name;
    int runs = 5;
    std::function<void()> setup = [] {};
    std::function<void()> run;
    std::function<void()> teardown = [] {};
    std::function<sqlite3 *()> handle;
    std::function<QString()> check = [] { return QString(); };   // empty when the run worked
    bool coldCache = false;   // the engine's page cache is emptied before each run
    double targetMs = -1;
    double targetRatio = -1;
    double targetMb = -1;
};

StatementLog *Recording = nullptr;   // armed while the start-up's statements are recorded
QString OnlyRows;                    // --rows: run only the rows whose name contains it

void say(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

QString verdict(const Operation &op, const BenchRow &row)
{
    QStringList parts;
    bool ok = true;
    if (op.targetMs > 0) {
        parts << QStringLiteral("≤ %1 ms").arg(op.targetMs);
        ok = ok && row.programMs <= op.targetMs;
    }
    if (op.targetRatio > 0) {
        parts << QStringLiteral("≤ %1× floor").arg(op.targetRatio);
        ok = ok && row.floorMs > 0 && row.programMs <= op.targetRatio * row.floorMs;
    }
    if (op.targetMb > 0) {
        parts << QStringLiteral("≤ %1 MB").arg(op.targetMb);
        ok = ok && row.peakMb <= op.targetMb;
    }
    if (parts.isEmpty())
        return QString();
    return parts.join(QStringLiteral(", ")) + (ok ? QStringLiteral(": ok")
                                                  : QStringLiteral(": MISSED"));
}

// The first run records the statements (it also warms the caches) and, while its
// connection is still there, runs them alone for the floor; then the timed runs.
BenchRow measure(const Operation &op, QStringList *statements = nullptr,
                 QList<double> *statementFloors = nullptr)
{
    BenchRow row;
    row.operation = op.name;
    if (!OnlyRows.isEmpty() && !op.name.contains(OnlyRows, Qt::CaseInsensitive))
        return row;   // no runs: left out of the table
    say(QStringLiteral("… %1").arg(op.name));
    row.runs = op.runs;
    StatementLog log;
    op.setup();
    if (sqlite3 *db = op.handle())
        log.Attach(db);
    else
        Recording = &log;
    op.run();
    log.Detach();
    Recording = nullptr;
    QString failed = op.check();
    QList<double> floors;
    for (int i = 0; i < op.runs && failed.isEmpty(); ++i) {
        int failures = 0;
        if (op.coldCache)
            sqlite3_db_release_memory(op.handle());
        floors << log.Replay(op.handle(), statementFloors, &failures);
        if (failures)
            say(QStringLiteral("   %1 statements failed when run alone").arg(failures));
    }
    if (statements)
        *statements = log.Statements();
    row.statements = int(log.Statements().size());
    op.teardown();

    QList<double> ms, peak, growth;
    for (int i = 0; i < op.runs && failed.isEmpty(); ++i) {
        op.setup();
        if (op.coldCache)
            sqlite3_db_release_memory(op.handle());
        const Sample s = Meter::Measure(op.run);
        failed = op.check();
        op.teardown();
        ms << s.ms;
        peak << s.peakMb;
        growth << s.growthMb;
    }
    if (!failed.isEmpty()) {
        say(QStringLiteral("   FAILED: %1").arg(failed));
        row.target = QStringLiteral("FAILED: ") + failed;
        return row;
    }
    row.programMs = Meter::Median(ms);
    row.floorMs = Meter::Median(floors);
    row.peakMb = Meter::Median(peak);
    row.growthMb = Meter::Median(growth);
    row.target = verdict(op, row);
    return row;
}

// A record grid as a window shows it: the model in a table view the size of the report
// page, painted once.
struct Grid
{
    explicit Grid(DbConnection *connection) : model(connection)
    {
        view.resize(760, 420);
        view.setModel(&model);
    }
    bool open(const TRecordGridModel::Statement &statement)
    {
        const bool ok = model.Open(statement);
        view.show();
        view.grab();
        return ok;
    }
    void showRow(int row)
    {
        view.scrollTo(model.index(row, 0));
        view.grab();
    }
    TRecordGridModel model;
    QTableView view;
};

const QString RecordColumns = QStringLiteral(
    "MoneyIndex,MoneySerial,MoneyCreateTime,AccountName,MoneyUser,MoneyIn,MoneyOut,MoneySum,"
    "MoneyMan,MoneyReason,MoneyType,MoneyToken,MoneyRemark");

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Times the program's operations on a generated book of 1,000,000 records."));
    options.addHelpOption();
    const QCommandLineOption keep(QStringLiteral("keep"), QStringLiteral(
        "Make the program folder in DIR and keep it; a book of the same size found there "
        "is used again."), QStringLiteral("DIR"));
    const QCommandLineOption quick(QStringLiteral("quick"), QStringLiteral(
        "A small book (100,000 records, 2,000 customers, 10 accounts a book), 3 runs."));
    const QCommandLineOption records(QStringLiteral("records"), QStringLiteral("Money records."),
                                     QStringLiteral("N"));
    const QCommandLineOption customers(QStringLiteral("customers"), QStringLiteral("Customers."),
                                       QStringLiteral("N"));
    const QCommandLineOption accounts(QStringLiteral("accounts-per-book"),
                                      QStringLiteral("Accounts of each book."),
                                      QStringLiteral("N"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral(
        "Timed runs of each operation; the median is shown (default 5)."), QStringLiteral("N"));
    const QCommandLineOption prepared(QStringLiteral("prepared"), QStringLiteral(
        "The prepared database to start from."), QStringLiteral("FILE"));
    const QCommandLineOption proposed(QStringLiteral("proposed-index"), QStringLiteral(
        "Give the book the proposed wider index on (account, day) before timing."));
    const QCommandLineOption cacheMb(QStringLiteral("cache-mb"), QStringLiteral(
        "Give the connection a page cache of N MB (the engine's default is 2 MB) once the "
        "program has opened it, to measure the proposed setting."), QStringLiteral("N"));
    const QCommandLineOption shot(QStringLiteral("shot"), QStringLiteral(
        "Save a picture of the report grid's first screen to FILE (PNG)."),
        QStringLiteral("FILE"));
    const QCommandLineOption noRecordset(QStringLiteral("skip-recordset"), QStringLiteral(
        "Skip reading a whole book's grid through the recordset (seconds and ~1 GB)."));
    const QCommandLineOption rows(QStringLiteral("rows"), QStringLiteral(
        "Run only the rows whose name contains TEXT (the session still starts)."),
        QStringLiteral("TEXT"));
    options.addOptions({keep, quick, records, customers, accounts, runs, prepared, proposed,
                        cacheMb, shot, noRecordset, rows});
    options.process(app);
    OnlyRows = options.value(rows);

    BookSize size;
    int timedRuns = 5;
    if (options.isSet(quick)) {
        size = BookSize{10, 2000, 100000};
        timedRuns = 3;
    }
    if (options.isSet(records))
        size.records = options.value(records).toInt();
    if (options.isSet(customers))
        size.customers = options.value(customers).toInt();
    if (options.isSet(accounts))
        size.accountsPerBook = options.value(accounts).toInt();
    if (options.isSet(runs))
        timedRuns = qMax(1, options.value(runs).toInt());
    if (size.records < 1 || size.customers < 1 || size.accountsPerBook < 1) {
        say(QStringLiteral("bench: sizes must be at least 1"));
        return 2;
    }
    const QString preparedFile = options.isSet(prepared) ? options.value(prepared)
                                                         : QStringLiteral(QM_BENCH_PREPARED);

    // The program folder: the book, and the pictures the windows load.
    QTemporaryDir temporary;
    const QString folder = options.isSet(keep) ? QDir(options.value(keep)).absolutePath()
                                               : temporary.path();
    if (!QDir().mkpath(folder)) {
        say(QStringLiteral("bench: cannot make %1").arg(folder));
        return 1;
    }
    const QString database = folder + QStringLiteral("/Quillmark.MDB");
    QElapsedTimer made;
    made.start();
    QString error;
    QString bookNote;
    if (BookMaker::Holds(database, size)) {
        bookNote = QStringLiteral("used again from %1").arg(folder);
    } else if (QFile::exists(database)) {
        say(QStringLiteral("bench: %1 holds a book of another size; remove it first")
                .arg(database));
        return 1;
    } else {
        say(QStringLiteral("… generating the book in %1").arg(folder));
        if (!BookMaker::Make(preparedFile, database, size, &error)) {
            say(QStringLiteral("bench: ") + error);
            return 1;
        }
        bookNote = QStringLiteral("generated in %1 s").arg(made.elapsed() / 1000.0, 0, 'f', 1);
    }
    if (!BookMaker::UseAccountDateIndex(database, preparedFile, options.isSet(proposed),
                                        &error)) {
        say(QStringLiteral("bench: ") + error);
        return 1;
    }
    QFile::remove(folder + QStringLiteral("/Res"));
    QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/Res"),
                folder + QStringLiteral("/Res"));
    SetProgramDir(folder);

    const int cache = options.isSet(cacheMb) ? options.value(cacheMb).toInt() : 0;
    BenchUi ui;
    ui.OnSignIn = [cache] {
        if (!ShareDataModule)
            return;
        if (cache > 0)
            sqlite3_exec(ShareDataModule->ADOConnection1.Handle(),
                         QByteArray("PRAGMA cache_size = -" + QByteArray::number(cache * 1024))
                             .constData(), nullptr, nullptr, nullptr);
        if (Recording)
            Recording->Attach(ShareDataModule->ADOConnection1.Handle());
    };
    QList<BenchRow> table;
    QStringList notes;
    auto uiCheck = [&ui]() -> QString {
        if (ui.Messages.isEmpty())
            return QString();
        const QString all = ui.Messages.join(QStringLiteral(" / "));
        ui.Messages.clear();
        return all;
    };

    // Start-up, from nothing to a filled main window.
    std::unique_ptr<BenchSession> starting;
    {
        Operation op;
        op.name = QStringLiteral("start-up to a filled main window");
        op.runs = timedRuns;
        op.run = [&] {
            starting = std::make_unique<BenchSession>();
            if (!starting->Start())
                ui.Messages << QStringLiteral("start-up did not sign in");
        };
        op.teardown = [&] { starting.reset(); };
        op.handle = [&]() -> sqlite3 * {
            return starting ? starting->Connection().Handle() : nullptr;
        };
        op.check = uiCheck;
        table << measure(op);
    }

    // The session the other operations run in, on a day in the middle of the book.
    BenchSession session;
    if (!session.Start()) {
        say(QStringLiteral("bench: the program did not start: ") + uiCheck());
        return 1;
    }
    DbConnection *connection = &session.Connection();
    const QDate workingDay(2024, 6, 14);
    session.Main().DateTimePicker1->setDate(workingDay);
    auto handle = [connection] { return connection->Handle(); };

    {
        Operation op;
        op.name = QStringLiteral("RefreshAll after a date change");
        op.runs = timedRuns;
        int turn = 0;
        op.run = [&] {
            session.Main().DateTimePicker1->setDate(workingDay.addDays(++turn % 2));
        };
        op.handle = handle;
        op.check = uiCheck;
        op.targetMs = 150;
        op.targetRatio = 1.5;
        QStringList statements;
        QList<double> floors;
        table << measure(op, &statements, &floors);
        for (int i = 0; i < statements.size(); ++i)
            notes << QStringLiteral("RefreshAll statement %1: %2 ms alone: %3")
                         .arg(i + 1).arg(floors.value(i), 0, 'f', 1).arg(statements[i].left(90));
    }
    {
        // What the customer cards cost today: their statement reads every customer into the
        // recordset to show fifteen.
        Operation op;
        op.name = QStringLiteral("customer cards' statement through the recordset");
        op.runs = timedRuns;
        op.run = [&] {
            RunQuery(ShareDataModule->ADOQueryTemp,
                     QStringLiteral("Select * From Customer Where (CustomerIndex > 1)")
                         + CustomerFilter, QStringLiteral("刷新客户房子时出错"));
        };
        op.handle = handle;
        op.check = uiCheck;
        table << measure(op);
    }

    const QString cashBook = QStringLiteral(" And (AccountType = %1)").arg(Quoted(
        QStringLiteral("现金帐")));
    auto gridStatement = [&](const QString &condition, const QString &order) {
        TRecordGridModel::Statement s;
        s.select = RecordColumns;
        s.from = QStringLiteral("From Account,MoneyTable Where (AccountIndex = MoneyAccount)")
            + cashBook + condition;
        s.orderBy = order;
        return s;
    };
    std::unique_ptr<Grid> grid;
    auto gridCheck = [&]() -> QString {
        if (!grid || !grid->model.Active())
            return grid ? grid->model.LastError() : QStringLiteral("no grid");
        if (grid->model.rowCount() == 0)
            return QStringLiteral("the grid is empty");
        return uiCheck();
    };
    const struct { const char *name; QString condition; const char *order; bool cold; } grids[] = {
        {"day grid, first screen (one day of the cash book)",
         QStringLiteral(" And (MoneyCreateTime = %1)").arg(DateLiteral(workingDay)), "", false},
        {"report grid over the cash book, first screen, 按时间排, engine's cache empty", QString(),
         "Order By MoneyCreateTime,MoneyIndex", true},
        {"report grid over the cash book, first screen, 按时间排", QString(),
         "Order By MoneyCreateTime,MoneyIndex", false},
        {"report grid over the cash book, first screen, 按帐户排", QString(),
         "Order By AccountName,MoneyCreateTime,MoneyIndex", false},
        {"report grid over the cash book, first screen, 按金额排", QString(),
         "Order By MoneySum Desc,MoneyCreateTime,MoneyIndex", false}};
    for (const auto &g : grids) {
        Operation op;
        op.name = QString::fromUtf8(g.name);
        op.runs = timedRuns;
        const auto statement = gridStatement(g.condition, QString::fromUtf8(g.order));
        op.run = [&, statement] {
            grid = std::make_unique<Grid>(connection);
            grid->open(statement);
        };
        op.teardown = [&] { grid.reset(); };
        op.handle = handle;
        op.check = gridCheck;
        op.coldCache = g.cold;
        op.targetMs = 300;
        op.targetMb = 100;
        table << measure(op);
    }
    const auto byTime =
        gridStatement(QString(), QStringLiteral("Order By MoneyCreateTime,MoneyIndex"));
    if (options.isSet(shot)) {
        // The grid with the journal's titles and its red for sums below zero, to look at.
        Grid look(connection);
        const char *const titles[] = {"记录号", "单据编号", "录入时间", "帐户名", "客户名称", "收入",
                                      "支出", "合计", "业务员", "收支种类", "类别", "凭证", "备注"};
        const QStringList fields = RecordColumns.split(QLatin1Char(','));
        for (int i = 0; i < fields.size(); ++i)
            look.model.SetTitle(fields[i], QString::fromUtf8(titles[i]));
        look.model.SetCellHook([](TRecordGridModel::Cell &cell) {
            if (cell.field == QLatin1String("MoneySum") && qRound64(cell.value.AsFloat()) < 0)
                cell.colour = Qt::red;
        });
        look.open(byTime);
        look.view.resizeColumnsToContents();
        look.view.resize(1000, 420);
        if (!look.view.grab().save(options.value(shot)))
            say(QStringLiteral("bench: cannot save %1").arg(options.value(shot)));
    }
    {
        Operation op;
        op.name = QStringLiteral("report grid, 按时间排: scroll to the middle");
        op.runs = timedRuns;
        op.setup = [&] {
            grid = std::make_unique<Grid>(connection);
            grid->open(byTime);
        };
        op.run = [&] { grid->showRow(grid->model.rowCount() / 2); };
        op.teardown = [&] { grid.reset(); };
        op.handle = handle;
        op.check = gridCheck;
        table << measure(op);
    }
    {
        Operation op;
        op.name = QStringLiteral("report grid, 按时间排: then to the end");
        op.runs = timedRuns;
        op.setup = [&] {
            grid = std::make_unique<Grid>(connection);
            grid->open(byTime);
            grid->showRow(grid->model.rowCount() / 2);
        };
        op.run = [&] { grid->showRow(grid->model.rowCount() - 1); };
        op.teardown = [&] { grid.reset(); };
        op.handle = handle;
        op.check = gridCheck;
        table << measure(op);
    }
    {
        Operation op;
        op.name = QStringLiteral("scratch rewrite: 20,000 PrintReport rows in one transaction");
        op.runs = timedRuns;
        int turn = 0;
        op.run = [&] {
            const QString mark = QString::number(++turn);
            DbTransaction trans(connection);
            DbQuery q(connection);
            q.SetSQL(QStringLiteral("Select * From PrintReport"));
            if (!trans.Active() || !q.Open()) {
                ui.Messages << trans.LastError() + q.LastError();
                return;
            }
            int row = 0;
            for (q.First(); !q.Eof(); q.Next(), ++row) {
                q.Edit();
                q.SetField(QStringLiteral("ReportEnable"), true);
                for (int g = 1; g <= 8; ++g)
                    q.SetField(QStringLiteral("ReportGrid%1").arg(g),
                               QStringLiteral("%1 %2 %3").arg(mark).arg(row).arg(g));
                if (!q.Post()) {
                    ui.Messages << q.LastError();
                    return;
                }
            }
            if (!trans.Commit())
                ui.Messages << trans.LastError();
        };
        op.handle = handle;
        op.check = uiCheck;
        table << measure(op);
    }
    if (!options.isSet(noRecordset)) {
        // Today's way, for comparison: the whole report statement read into the recordset.
        Operation op;
        op.name = QStringLiteral("report grid's statement read whole through the recordset");
        op.runs = 1;
        op.run = [&] {
            DbQuery q(connection);
            q.SetSQL(QStringLiteral("Select ") + byTime.select + QLatin1Char(' ') + byTime.from
                     + QLatin1Char(' ') + byTime.orderBy);
            if (!q.Open())
                ui.Messages << q.LastError();
        };
        op.handle = handle;
        op.check = uiCheck;
        table << measure(op);
    }

    // Backup and restore of the whole book through the maintenance page, beside a plain
    // copy of the same file. A ticker counts how long the window goes without handling
    // events (repainting) while a copy runs.
    {
        const QString bookFile = DatabaseFileIn(ProgramDir);
        const double bookMb = QFileInfo(bookFile).size() / 1048576.0;
        const QString plainCopy = folder + QStringLiteral("/bench-plain-copy.mdb");
        Operation copy;
        copy.name = QStringLiteral("plain file copy of the book's file (%1 MB)")
                        .arg(bookMb, 0, 'f', 0);
        copy.runs = timedRuns;
        copy.run = [&] {
            if (!QFile::copy(bookFile, plainCopy))
                ui.Messages << QStringLiteral("the plain copy failed");
        };
        copy.teardown = [&] { QFile::remove(plainCopy); };
        copy.handle = handle;
        copy.check = uiCheck;
        // The plain copy is the yardstick of the two rows after it: it runs with either.
        const struct { const char *name; bool restore; } copies[] = {
            {"backup (备份数据: the book's file under the engine's read lock, with progress)",
             false},
            {"restore (恢复数据: check, keep the current book, the engine copies back)", true}};
        const QString only = OnlyRows;
        for (const auto &c : copies)
            if (QString::fromUtf8(c.name).contains(OnlyRows, Qt::CaseInsensitive))
                OnlyRows.clear();
        BenchRow copyRow = measure(copy);
        OnlyRows = only;
        copyRow.floorMs = -1;
        table << copyRow;

        TPageData &data = *session.Main().DataPage;
        // The program would end after a restore; the benchmark goes on.
        QObject::disconnect(&data, &TPageData::EndProgram, nullptr, nullptr);
        const QString backupFile = TPageData::BackupFolder() + QStringLiteral("/bench-backup.mdb");
        QTimer ticker;
        ticker.setInterval(5);
        QElapsedTimer sinceTick;
        double longestPause = 0;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestPause = qMax(longestPause, double(sinceTick.restart()));
        });
        auto startTicker = [&] {
            longestPause = 0;
            sinceTick.start();
            ticker.start();
        };
        auto removeKeptCopies = [] {
            QDir backups(TPageData::BackupFolder());
            for (const QString &kept : backups.entryList({QStringLiteral("恢复前的数据库*.mdb")}))
                backups.remove(kept);
        };
        for (const auto &c : copies) {
            Operation op;
            op.name = QString::fromUtf8(c.name);
            op.runs = timedRuns;
            op.setup = [&, restore = c.restore] {
                ui.Files << backupFile;
                if (restore) {
                    ui.Answers << true;
                    ui.Expected << QStringLiteral("恭喜您，数据库恢复成功，请重新启动软件");
                } else {
                    ui.Expected << QStringLiteral("恭喜您，数据库备份成功");
                }
                startTicker();
            };
            op.run = [&, restore = c.restore] {
                if (restore)
                    data.ActionLoadExecute();
                else
                    data.ActionSaveExecute();
            };
            QList<double> pauses;
            op.teardown = [&] {
                ticker.stop();
                pauses << longestPause;
                removeKeptCopies();
            };
            op.handle = handle;
            op.check = [&]() -> QString {
                if (!ui.Expected.isEmpty() || !ui.Files.isEmpty() || !ui.Answers.isEmpty()) {
                    ui.Expected.clear();
                    ui.Files.clear();
                    ui.Answers.clear();
                    return QStringLiteral("the copy did not end in success: ") + uiCheck();
                }
                return uiCheck();
            };
            op.targetRatio = c.restore ? -1 : 2;
            BenchRow row = measure(op);
            // The floor of a whole-file copy is the plain copy of the same file.
            row.floorMs = copyRow.programMs;
            if (row.target.isEmpty() || !row.target.startsWith(QLatin1String("FAILED")))
                row.target = verdict(op, row);
            table << row;
            notes << QStringLiteral("%1: longest pause between repaints %2 ms (median of runs)")
                         .arg(op.name)
                         .arg(Meter::Median(pauses), 0, 'f', 0);
        }
        QFile::remove(backupFile);
    }

    const QString header = QStringLiteral(
        "Book: %1 accounts, %2 customers, %3 money records (%4); index on (account, day): "
        "%5; page cache: %6. %7 timed runs, median. %8 cores, SQLite %9.%10\n")
        .arg(3 * size.accountsPerBook).arg(size.customers).arg(size.records).arg(bookNote)
        .arg(options.isSet(proposed) ? QStringLiteral("proposed, with MoneyIn and MoneyOut")
                                     : QStringLiteral("as in schema.sql"))
        .arg(cache > 0 ? QStringLiteral("%1 MB").arg(cache)
                       : QStringLiteral("the engine's default"))
        .arg(timedRuns).arg(QThread::idealThreadCount())
        .arg(QString::fromLatin1(sqlite3_libversion()))
        .arg(Meter::CanResetPeak() ? QString()
                                   : QStringLiteral(" Peak memory could not be reset per run."));
    table.erase(std::remove_if(table.begin(), table.end(),
                               [](const BenchRow &row) { return row.runs == 0; }),
                table.end());
    std::printf("\n%s\n%s\n", header.toUtf8().constData(),
                Meter::Table(table).toUtf8().constData());
    for (const QString &note : notes)
        std::printf("%s\n", note.toUtf8().constData());
    return 0;
}
