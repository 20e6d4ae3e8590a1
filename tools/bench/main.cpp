// bench: the yardstick of the program's speed on a large book. Generates a book of 300
// accounts, 20,000 customers and 1,000,000 money records in a program folder, times each
// operation that exists through the program's own code beside the same statements run
// alone on the engine (the floor), and prints a table. Run by hand; see README.md.
#include "BenchSession.h"
#include "BenchUi.h"
#include "BookMaker.h"
#include "Meter.h"
#include "PgStatementLog.h"
#include "SqlCipherEngine.h"
#include "StatementLog.h"

#include "BookCopy.h"
#include "BookKind.h"
#include "Database.h"
#include "DbBackup.h"
#include "DbTransaction.h"
#include "DailyPage.h"
#include "DbCursor.h"
#include "ExcelExport.h"
#include "FormCake.h"
#include "FormAccount2.h"
#include "FormCustomer2.h"
#include "FormDateChose.h"
#include "FormGetPay.h"
#include "FormMakeReport.h"
#include "FormRecord.h"
#include "FormMain.h"
#include "FormPreview.h"
#include "Globals.h"
#include "MonthRange.h"
#include "RecordColumns.h"
#include "RecordGrid.h"
#include "PageData.h"
#include "PublicFunction.h"
#include "pg/PgEngine.h"
#include "ReportFormat.h"
#include "RecordGridModel.h"
#include "ShareDM.h"
#include "SqlText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QComboBox>
#include <QCompleter>
#include <QDateTime>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtCharts/QChartView>

#include <sqlite3.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>
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
    DbConnection *server = nullptr;   // a server book's connection: its commands are recorded
    std::function<QString()> check = [] { return QString(); };   // empty when the run worked
    bool coldCache = false;   // the engine's page cache is emptied before each run
    double targetMs = -1;
    double targetRatio = -1;
    double targetMb = -1;
};

StatementLog *Recording = nullptr;   // armed while the start-up's statements are recorded
QString ServerBook;                  // the server book's address, for the floor's replay
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
    PgStatementLog serverLog;
    op.setup();
    if (op.server)
        serverLog.Attach(*op.server);
    else if (sqlite3 *db = op.handle())
        log.Attach(db);
    else
        Recording = &log;
    op.run();
    log.Detach();
    serverLog.Detach();
    Recording = nullptr;
    const QStringList recorded = op.server ? serverLog.Statements() : log.Statements();
    QString failed = op.check();
    QList<double> floors;
    for (int i = 0; i < op.runs && failed.isEmpty(); ++i) {
        int failures = 0;
        if (op.coldCache)
            sqlite3_db_release_memory(op.handle());
        floors << (op.server ? serverLog.Replay(ServerBook, statementFloors, &failures)
                             : log.Replay(op.handle(), statementFloors, &failures));
        if (failures)
            say(QStringLiteral("   %1 statements failed when run alone").arg(failures));
    }
    if (statements)
        *statements = recorded;
    row.statements = int(recorded.size());
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
    // An operation that sends no statement has no floor to compare with.
    row.floorMs = recorded.isEmpty() ? -1 : Meter::Median(floors);
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

// Empty when both card pages show a full page of filled cards; otherwise what is missing.
QString cardsCheck(const TFormMain &main)
{
    for (const TCardPage *page : {&main.AccountPage, &main.CustomerPage}) {
        int filled = 0;
        for (const TCard &card : page->Cards)
            if (!card.Panel->isHidden()
                && card.SecondValue->text().endsWith(QStringLiteral(" 元")))
                ++filled;
        if (filled < 15)
            return QStringLiteral("only %1 filled %2 cards")
                .arg(filled)
                .arg(page->Descriptor().prefix);
    }
    return QString();
}

// The cells of an export held in memory, for the export's floor: what libxlsxwriter takes
// when nothing has to be read. Texts sit one after another in one arena.
struct MemoryCells
{
    enum Kind : quint8 { Empty, Number, Day, Moment, Text };
    struct Cell
    {
        Kind kind = Empty;
        double number = 0;
        lxw_datetime moment{};
        int text = 0;   // offset in the arena
    };
    QStringList titles;
    int columns = 0;
    std::vector<Cell> cells;
    QByteArray arena;

    void Load(const ExcelExport::Source &source)
    {
        clear();
        for (const ExcelExport::Column &c : source.columns)
            titles << c.title;
        columns = int(source.columns.size());
        cells.reserve(size_t(source.rows) * size_t(columns));
        DbCursor cursor(source.connection);
        cursor.Open(source.statement);
        for (; !cursor.Eof(); cursor.Next()) {
            for (const ExcelExport::Column &c : source.columns) {
                const QVariant v = cursor.Value(cursor.FieldIndex(c.field));
                Cell cell;
                if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong) {
                    cell.kind = Number;
                    cell.number = v.toDouble();
                } else if (c.date && !v.toString().isEmpty()) {
                    const QDateTime t = QDateTime::fromString(v.toString().left(10)
                                                                  + QStringLiteral(" 00:00:00"),
                                                              QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                    cell.kind = Day;
                    cell.moment = lxw_datetime{t.date().year(), t.date().month(), t.date().day(),
                                               0, 0, 0};
                } else if (!v.isNull() && !v.toString().isEmpty()) {
                    cell.kind = Text;
                    cell.text = int(arena.size());
                    arena += v.toString().toUtf8();
                    arena += '\0';
                }
                cells.push_back(cell);
            }
        }
    }
    void clear()
    {
        titles.clear();
        cells.clear();
        cells.shrink_to_fit();
        arena.clear();
        arena.squeeze();
    }
    bool Write(const QString &path) const
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        const QByteArray name = QFile::encodeName(path);
        lxw_workbook *book = workbook_new_opt(name.constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(book, "报表");
        lxw_format *day = workbook_add_format(book);
        format_set_num_format(day, "yyyy.mm.dd");
        worksheet_write_string(sheet, 0, 0, "日期:2024年06月14日", nullptr);
        for (int c = 0; c < titles.size(); ++c)
            worksheet_write_string(sheet, 2, lxw_col_t(c), titles.at(c).toUtf8().constData(),
                                   nullptr);
        for (size_t i = 0; i < cells.size(); ++i) {
            const Cell &cell = cells[i];
            const lxw_row_t row = lxw_row_t(3 + i / size_t(columns));
            const lxw_col_t col = lxw_col_t(i % size_t(columns));
            if (cell.kind == Number)
                worksheet_write_number(sheet, row, col, cell.number, nullptr);
            else if (cell.kind == Day)
                worksheet_write_datetime(sheet, row, col, const_cast<lxw_datetime *>(&cell.moment),
                                         day);
            else if (cell.kind == Text)
                worksheet_write_string(sheet, row, col, arena.constData() + cell.text, nullptr);
        }
        return workbook_close(book) == LXW_NO_ERROR;
    }
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
    const QCommandLineOption shot(QStringLiteral("shot"), QStringLiteral(
        "Save a picture of the report grid's first screen to FILE (PNG)."),
        QStringLiteral("FILE"));
    const QCommandLineOption noRecordset(QStringLiteral("skip-recordset"), QStringLiteral(
        "Skip reading a whole book's grid through the recordset (seconds and ~1 GB)."));
    const QCommandLineOption rows(QStringList{QStringLiteral("rows"), QStringLiteral("only")},
        QStringLiteral("Run only the rows whose name contains TEXT (the session still starts)."),
        QStringLiteral("TEXT"));
    const QCommandLineOption server(QStringLiteral("server"), QStringLiteral(
        "Also the server book's rows: the book moved onto a PostgreSQL server (one started "
        "in the program folder unless --server-address or QM_BENCH_SERVER names one)."));
    const QCommandLineOption serverAddress(QStringLiteral("server-address"), QStringLiteral(
        "The server for the server book's rows (implies --server); the bench makes its "
        "database quillmark_bench there, replacing one of that name."), QStringLiteral("URI"));
    options.addOptions({keep, quick, records, customers, accounts, runs, prepared, shot,
                        noRecordset, rows, server, serverAddress});
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
    if (!BookMaker::UseAccountDateIndex(database, preparedFile, &error)) {
        say(QStringLiteral("bench: ") + error);
        return 1;
    }
    QFile::remove(folder + QStringLiteral("/Res"));
    QFile::link(QCoreApplication::applicationDirPath() + QStringLiteral("/Res"),
                folder + QStringLiteral("/Res"));
    SetProgramDir(folder);

    BenchUi ui;
    ui.OnSignIn = [] {
        if (!ShareDataModule)
            return;
        if (Recording)
            Recording->Attach(SqlCipherHandle(ShareDataModule->ADOConnection1));
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
            return starting ? SqlCipherHandle(starting->Connection()) : nullptr;
        };
        op.check = uiCheck;
        table << measure(op);
    }

    // The session the other operations run in, on a day in the middle of the book.
    auto fileSession = std::make_unique<BenchSession>();
    BenchSession &session = *fileSession;
    if (!session.Start()) {
        say(QStringLiteral("bench: the program did not start: ") + uiCheck());
        return 1;
    }
    DbConnection *connection = &session.Connection();
    const QDate workingDay(2024, 6, 14);
    session.Main().DateTimePicker1->setDate(workingDay);
    auto handle = [connection] { return SqlCipherHandle(*connection); };

    {
        // Every card of both pages filled: the accounts' balances and months, the customers'
        // receivable and payable totals, each a sum of its own.
        Operation op;
        op.name = QStringLiteral("RefreshAll with filled cards, after a date change");
        op.runs = timedRuns;
        int turn = 0;
        op.run = [&] {
            session.Main().DateTimePicker1->setDate(workingDay.addDays(++turn % 2));
        };
        op.handle = handle;
        op.check = [&]() -> QString {
            const QString filled = cardsCheck(session.Main());
            return filled.isEmpty() ? uiCheck() : filled;
        };
        op.targetMs = 150;
        op.targetRatio = 1.5;
        QStringList statements;
        QList<double> floors;
        table << measure(op, &statements, &floors);
        // The day grid fetches its first page one row at a time: those are not listed.
        int listed = 0;
        for (int i = 0; i < statements.size(); ++i) {
            if (i > 0 && statements[i].left(60) == statements[i - 1].left(60))
                continue;
            ++listed;
            notes << QStringLiteral("RefreshAll statement %1: %2 ms alone: %3")
                         .arg(i + 1).arg(floors.value(i), 0, 'f', 2).arg(statements[i].left(150));
        }
        if (listed < statements.size())
            notes << QStringLiteral("(and %1 more like the one before: the day grid fetching "
                                    "its rows by key)")
                         .arg(statements.size() - listed);
    }
    // A page turn: from the page given to the next one.
    const struct { const char *name; bool account; int from; } turns[] = {
        {"account cards: a page turn", true, 0},
        {"customer cards: a page turn", false, 0},
        {"customer cards: a page turn deep in the list (page 1000 of 1333)", false, 1000}};
    for (const auto &t : turns) {
        Operation op;
        op.name = QString::fromUtf8(t.name);
        op.runs = timedRuns;
        TFormMain &main = session.Main();
        int &page = t.account ? main.AccountPageIndex : main.CustomerPageIndex;
        const int from = t.from;
        op.setup = [&page, from] { page = from; };
        op.run = [&main, t] { (t.account ? main.NextAccount : main.NextCustomer)->click(); };
        op.teardown = [&main, &page, t] {
            page = 0;
            t.account ? main.FillAccountCards() : main.FillCustomerCards();
        };
        op.handle = handle;
        op.check = [&]() -> QString {
            const QString filled = cardsCheck(session.Main());
            return filled.isEmpty() ? uiCheck() : filled;
        };
        op.targetMs = 50;
        table << measure(op);
    }

    const QString cashName = BookKindOf(BookId::Cash).name;
    const QString cashBook = QStringLiteral(" And (AccountType = %1)").arg(Quoted(cashName));
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
    // ---------------------------------------------------------------- the journal
    // The day grid and the report grid as the main window fills them (figures, columns,
    // footers), and the money record entry window, through their own code.
    TDailyPage *journal = session.Main().Daily;
    QDate busyDay = workingDay;
    qint64 busyCount = 0;
    {
        DbCursor busiest(connection);
        if (busiest.Open(QStringLiteral("Select MoneyCreateTime, Count(*) From Account,MoneyTable "
                                         "Where (AccountIndex = MoneyAccount)")
                         + cashBook + QStringLiteral(" Group By MoneyCreateTime Order By 2 Desc "
                                                     "Limit 1"))
            && !busiest.Eof()) {
            busyDay = busiest.Field(0).AsDate();
            busyCount = busiest.Field(1).AsInteger();
        }
    }
    session.Main().DateTimePicker1->setDate(busyDay);
    session.Main().PageControl1->setCurrentIndex(TFormMain::PageDaily);
    QCoreApplication::processEvents();
    uiCheck();
    auto journalCheck = [&](TRecordGrid *grid) {
        return [&, grid]() -> QString {
            if (!grid->Active() || grid->Model()->rowCount() == 0)
                return QStringLiteral("the grid is empty: ") + grid->LastError() + uiCheck();
            return uiCheck();
        };
    };
    {
        Operation op;
        op.name = QStringLiteral("journal: day grid of the busiest day (%1 records), figures "
                                 "and first screen").arg(busyCount);
        op.runs = timedRuns;
        op.run = [&] {
            journal->FillRecordGrid(journal->DBGridEh1);
            journal->DBGridEh1->grab();
        };
        op.handle = handle;
        op.check = journalCheck(journal->DBGridEh1);
        op.targetMs = 300;
        op.targetMb = 100;
        table << measure(op);
    }
    session.Main().PageControl1->setCurrentIndex(TFormMain::PageReport);
    QCoreApplication::processEvents();
    auto fillReport = [&](int order) {
        journal->ComboBox3->setCurrentIndex(order);
        journal->ComboBox3Change();
        journal->DBGridEh2->grab();
    };
    const struct { int order; const char *name; bool cold; } reports[] = {
        {TDailyPage::ByTime, "按时间排, engine's cache empty", true},
        {TDailyPage::ByTime, "按时间排", false},
        {TDailyPage::ByAccount, "按帐户排", false},
        {TDailyPage::ByAmount, "按金额排", false}};
    for (const auto &r : reports) {
        Operation op;
        op.name = QStringLiteral("journal: report grid over the cash book, first screen with "
                                 "footer sums, ") + QString::fromUtf8(r.name);
        op.runs = timedRuns;
        op.setup = [&] { journal->DBGridEh2->Close(); };
        const int order = r.order;
        op.run = [&, order] { fillReport(order); };
        op.handle = handle;
        op.check = journalCheck(journal->DBGridEh2);
        op.coldCache = r.cold;
        op.targetMs = 300;
        op.targetMb = 100;
        table << measure(op);
    }
    {
        Operation op;
        op.name = QStringLiteral("journal: report grid, End: to the last row");
        op.runs = timedRuns;
        op.setup = [&] { fillReport(TDailyPage::ByTime); };
        op.run = [&] {
            QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
            QCoreApplication::sendEvent(journal->DBGridEh2->View(), &end);
            QCoreApplication::processEvents();
            journal->DBGridEh2->grab();
        };
        op.handle = handle;
        op.check = [&]() -> QString {
            const int last = journal->DBGridEh2->Model()->rowCount() - 1;
            if (journal->DBGridEh2->CurrentRow() != last)
                return QStringLiteral("End did not reach the last row");
            return journalCheck(journal->DBGridEh2)();
        };
        table << measure(op);
    }
    {
        Operation op;
        op.name = QStringLiteral("journal: report grid repainted, rows and footer sums");
        op.runs = timedRuns;
        op.setup = [&] { fillReport(TDailyPage::ByTime); };
        op.run = [&] { journal->DBGridEh2->grab(); };
        op.handle = handle;
        op.check = journalCheck(journal->DBGridEh2);
        table << measure(op);
    }
    // ---------------------------------------------------------------- report printing
    // 打印报表 over the whole cash book in landscape (Report2.frf), as the action does it:
    // the grid's statement read by key, the preview showing its first page; then a jump to
    // page 9,000. And 10,000 rows of it to PDF beside a plain QPainter loop that draws the
    // same cells and lines into a QPdfWriter (the painter floor).
    {
        const QString frf = folder + QStringLiteral("/Frf");
        QDir().mkpath(frf);
        for (const QString &name : QDir(QStringLiteral(QM_SHIPPED_FRF)).entryList({"*.frf"})) {
            QFile::remove(frf + QLatin1Char('/') + name);
            QFile::copy(QStringLiteral(QM_SHIPPED_FRF "/") + name, frf + QLatin1Char('/') + name);
        }
        const QString landscape = frf + QStringLiteral("/Report2.frf");
        fillReport(TDailyPage::ByTime);
        std::unique_ptr<QueryRows> rows;
        std::unique_ptr<ReportRenderer> renderer;
        std::unique_ptr<TFormPreview> preview;
        auto open = [&](const RecordStatement &statement) {
            rows = std::make_unique<QueryRows>(connection, statement);
            // As 打印报表 does: the grid's count and sums.
            rows->SetKnownTotals(journal->DBGridEh2->Model()->RecordCount(),
                                 GridSums(journal->DBGridEh2));
            renderer = std::make_unique<ReportRenderer>();
            QString why;
            if (!renderer->Prepare(landscape, rows.get(), {}, &why)) {
                ui.Messages << why;
                return;
            }
            preview = std::make_unique<TFormPreview>(renderer.get());
            preview->resize(1100, 800);
            preview->show();
        };
        auto close = [&] {
            preview.reset();
            renderer.reset();
            rows.reset();
        };
        const int page9000 = 8999;
        auto previewCheck = [&](int page) {
            return [&, page]() -> QString {
                if (!preview || renderer->PageCount() <= page9000)
                    return QStringLiteral("the report has %1 pages")
                        .arg(renderer ? renderer->PageCount() : 0) + uiCheck();
                if (preview->CurrentPage() != page || preview->PageImage().isNull())
                    return QStringLiteral("the preview is not on page %1").arg(page + 1);
                return uiCheck();
            };
        };
        {
            Operation op;
            op.name = QStringLiteral("打印报表 over the cash book (landscape): preview's first page");
            op.runs = timedRuns;
            op.run = [&] { open(journal->ReportStatement()); };
            op.teardown = close;
            op.handle = handle;
            op.check = previewCheck(0);
            op.targetMs = 300;
            op.targetMb = 100;
            table << measure(op);
        }
        {
            Operation op;
            op.name = QStringLiteral("打印报表: jump to page 9,000 once the first page shows");
            op.runs = timedRuns;
            op.setup = [&] {
                open(journal->ReportStatement());
                QCoreApplication::processEvents();   // the keys are read while idle
            };
            op.run = [&] { preview->SetPage(page9000); };
            op.teardown = close;
            op.handle = handle;
            op.check = previewCheck(page9000);
            op.targetMs = 150;
            op.targetMb = 100;
            table << measure(op);
        }
        {
            Operation op;
            op.name = QStringLiteral("打印报表: jump to page 9,000 at once (keys read by the jump)");
            op.runs = timedRuns;
            op.setup = [&] { open(journal->ReportStatement()); };
            op.run = [&] { preview->SetPage(page9000); };
            op.teardown = close;
            op.handle = handle;
            op.check = previewCheck(page9000);
            table << measure(op);
        }

        // 10,000 rows: the cash book's records up to the 10,000th.
        RecordStatement tenThousand = journal->ReportStatement();
        {
            DbCursor c(connection);
            if (c.Open(QStringLiteral("Select MoneyIndex From Account,MoneyTable Where "
                                      "(AccountIndex = MoneyAccount)") + cashBook
                       + QStringLiteral(" Order By MoneyIndex Limit 1 Offset 9999"))
                && !c.Eof())
                tenThousand.condition += QStringLiteral(" And (MoneyIndex <= %1)")
                                             .arg(c.Field(0).AsInteger());
        }
        const QString pdf = folder + QStringLiteral("/bench-report.pdf");
        ReportTemplate layout;
        ReportFormat::Load(landscape, &layout, &error);
        Operation floor;
        floor.name = QStringLiteral("10,000 rows to PDF, painter floor (a plain QPainter loop "
                                    "into QPdfWriter, rows from one cursor)");
        floor.runs = timedRuns;
        floor.run = [&] {
            QPdfWriter writer(pdf);
            writer.setResolution(600);
            ReportRenderer::SetUpDevice(&writer, layout.page);
            QPainter painter(&writer);
            const double k = 600 / 25.4;
            const ReportBand &head = *layout.Band(BandKind::ColumnHeader);
            const ReportBand &detail = *layout.Band(BandKind::Detail);
            QFont font(QStringLiteral("WenQuanYi Micro Hei"));
            font.setPointSizeF(detail.elements.first().fontSize);
            painter.setPen(QPen(Qt::black, 0.2 * k));
            DbCursor c(connection);
            c.Open(tenThousand.Sql());
            const double top = layout.page.marginTop, left = layout.page.marginLeft;
            const double bottom = layout.page.PrintableArea().bottom() - 8;
            double y = bottom;
            auto cell = [&](const ReportElement &e, double at, const QString &text) {
                const QRectF r((left + e.rect.x()) * k, (at + e.rect.y()) * k,
                               e.rect.width() * k, e.rect.height() * k);
                painter.drawText(r.adjusted(0.8 * k, 0, -0.8 * k, 0),
                                 (e.align == HAlign::Right ? Qt::AlignRight : Qt::AlignLeft)
                                     | Qt::AlignVCenter | Qt::TextSingleLine, text);
                painter.drawLine(r.topLeft(), r.topRight());
                painter.drawLine(r.topRight(), r.bottomRight());
                painter.drawLine(r.bottomLeft(), r.bottomRight());
                painter.drawLine(r.topLeft(), r.bottomLeft());
            };
            painter.setFont(font);
            for (bool first = true; !c.Eof(); c.Next()) {
                if (y + detail.height > bottom) {
                    if (!first)
                        writer.newPage();
                    y = top + (first ? layout.Band(BandKind::ReportTitle)->height : 0);
                    first = false;
                    for (const ReportElement &e : head.elements)
                        cell(e, y, e.text);
                    y += head.height;
                }
                for (int i = 0; i < detail.elements.size(); ++i) {
                    const QVariant v = c.Value(i);
                    cell(detail.elements.at(i), y,
                         v.typeId() == QMetaType::Double ? AmountText(v.toDouble())
                                                         : v.toString());
                }
                y += detail.height;
            }
        };
        floor.teardown = [&] { QFile::remove(pdf); };
        floor.handle = handle;
        floor.check = uiCheck;
        BenchRow floorRow = measure(floor);
        table << floorRow;
        {
            Operation op;
            op.name = QStringLiteral("10,000 rows to PDF through the engine (Report2.frf)");
            op.runs = timedRuns;
            op.setup = [&] {
                rows = std::make_unique<QueryRows>(connection, tenThousand);
                renderer = std::make_unique<ReportRenderer>();
            };
            op.run = [&] {
                QString why;
                if (!renderer->Prepare(landscape, rows.get(), {}, &why)
                    || !renderer->ExportPdf(pdf))
                    ui.Messages << why + renderer->LastError();
            };
            op.teardown = [&] {
                close();
                QFile::remove(pdf);
            };
            op.handle = handle;
            op.check = uiCheck;
            op.targetRatio = 1.3;
            op.targetMb = 100;
            BenchRow row = measure(op);
            row.floorMs = floorRow.programMs;
            if (!row.target.startsWith(QLatin1String("FAILED")))
                row.target = verdict(op, row);
            table << row;
        }
    }

    journal->DBGridEh2->Close();

    // ---------------------------------------------------------------- chart and export
    {
        // Both analyses of the pie chart over the whole cash book with no condition: one
        // total per account, one per kind of pick list 1; drawn once.
        TFormCake cake(&session.Main());
        const struct { int analysis; const char *name; } analyses[] = {
            {TFormCake::ByAccount, "报表中心: pie chart 按帐户分析, whole cash book, no condition"},
            {TFormCake::ByKind, "报表中心: pie chart 按项目分析, whole cash book, no condition"}};
        for (const auto &a : analyses) {
            Operation op;
            op.name = QString::fromUtf8(a.name);
            op.runs = timedRuns;
            const int analysis = a.analysis;
            op.setup = [&, analysis] {
                cake.ChartCondition.clear();
                cake.ComboBox1->setCurrentIndex(analysis);
            };
            op.run = [&] {
                cake.Redraw();
                cake.Chart1->grab();
            };
            op.handle = handle;
            op.check = [&]() -> QString {
                return cake.Slices().isEmpty() ? QStringLiteral("no slice") : uiCheck();
            };
            op.targetMs = 300;
            table << measure(op);
        }
    }
    {
        // About 100,000 records of the cash book in the report grid (its first fifteen
        // months, as 生成报表 with 时间范围 makes it), exported by "导出EXCEL"; its floor
        // is the same cells written by libxlsxwriter from memory.
        const QString savedCondition = ReportCondition;
        ReportCondition = QStringLiteral(" And (MoneyCreateTime Between %1 And %2)")
                              .arg(DateLiteral(QDate(2021, 1, 1)), DateLiteral(QDate(2022, 3, 15)));
        fillReport(TDailyPage::ByTime);
        const qint64 exported = journal->DBGridEh2->Model()->RecordCount();
        const QString book = folder + QStringLiteral("/报表.xlsx");
        auto bookCheck = [&]() -> QString {
            if (!QFile::exists(book) || QFileInfo(book).size() < 1000)
                return QStringLiteral("no workbook: ") + uiCheck();
            return uiCheck();
        };
        MemoryCells memory;
        Operation floor;
        floor.name = QStringLiteral("报表中心: floor, the same cells by libxlsxwriter from memory");
        floor.runs = timedRuns;
        floor.setup = [&] { memory.Load(ExcelExport::SourceOf(journal->DBGridEh2)); };
        floor.run = [&] {
            if (!memory.Write(book))
                ui.Messages << QStringLiteral("the floor's workbook was not written");
        };
        floor.teardown = [&] {
            memory.clear();
            QFile::remove(book);
        };
        floor.handle = handle;
        floor.check = bookCheck;
        const BenchRow floorRow = measure(floor);

        Operation op;
        op.name = QStringLiteral("报表中心: 导出EXCEL, %1 records of the report grid to .xlsx")
                      .arg(exported);
        op.runs = timedRuns;
        op.setup = [&] {
            ui.Files << book;
            ui.Expected << book;
        };
        op.run = [&] { journal->ActionToExcelExecute(); };
        op.teardown = [&] { QFile::remove(book); };
        op.handle = handle;
        op.check = bookCheck;
        op.targetMs = 3000;
        op.targetMb = 100;
        BenchRow row = measure(op);
        if (floorRow.runs > 0 && !row.target.startsWith(QLatin1String("FAILED"))) {
            row.floorMs = floorRow.programMs;
            row.target = verdict(op, row);
        }
        table << row;
        if (floorRow.runs > 0)
            table << floorRow;
        ReportCondition = savedCondition;
        journal->DBGridEh2->Close();
    }

    // ---------------------------------------------------------------- detail windows
    // The account and the customer with the most records, each window shown as a card
    // click shows it (FormShow, painted once), and the report grid for one month.
    qint64 busyAccount = 0, accountRecords = 0;
    QString busyCustomerName;
    qint64 busyCustomer = 0, customerRecords = 0, customerCash = 0;
    {
        DbCursor c(connection);
        if (c.Open(QStringLiteral("Select MoneyAccount, Count(*) From Account,MoneyTable Where "
                                  "(AccountIndex = MoneyAccount)")
                   + cashBook + QStringLiteral(" Group By MoneyAccount Order By 2 Desc Limit 1"))
            && !c.Eof()) {
            busyAccount = c.Field(0).AsInteger();
            accountRecords = c.Field(1).AsInteger();
        }
        c.Close();
        if (c.Open(QStringLiteral("Select MoneyUser, Count(*) From MoneyTable Group By MoneyUser "
                                  "Order By 2 Desc Limit 1"))
            && !c.Eof()) {
            busyCustomerName = c.Field(0).AsString();
            customerRecords = c.Field(1).AsInteger();
        }
        c.Close();
        if (c.Open(QStringLiteral("Select CustomerIndex From Customer Where CustomerName = ")
                   + Quoted(busyCustomerName))
            && !c.Eof())
            busyCustomer = c.Field(0).AsInteger();
        c.Close();
        if (c.Open(QStringLiteral("Select Count(*) From Account,MoneyTable Where (AccountIndex = "
                                  "MoneyAccount) And (MoneyUser = %1)")
                       .arg(Quoted(busyCustomerName))
                   + cashBook)
            && !c.Eof())
            customerCash = c.Field(0).AsInteger();
    }
    const MonthRange busyMonth = MonthOf(busyDay);
    const QString oneMonth = QStringLiteral(" And (MoneyCreateTime Between %1 And %2)")
                                 .arg(DateLiteral(busyMonth.first), DateLiteral(busyMonth.last));
    // Each window twice: shown and painted as the user gets it (≤ 200 ms), and its own
    // work alone, the statements and what it makes of them without the painting, beside
    // the floor of those statements (≤ 1.5 ×). A small window's painting alone takes
    // longer than its few statements; and a run of a fraction of a millisecond would be
    // measured mostly in the memory the meter gives back before it, so the work runs
    // twenty times in a row (its floor is then twenty times its statements too).
    struct Window
    {
        QString name;
        QWidget *window;                  // shown and painted; nullptr: already on show
        std::function<void()> prepare;    // the inputs a card click or a button sets
        std::function<void()> work;       // the window's own work again, once shown
        std::function<QString()> check;
    };
    TFormAccount2 *accountDetail = FormAccount2;
    TFormCustomer2 *customerDetail = FormCustomer2;
    TFormRecord *recordList = FormRecord;
    const Window windows[] = {
        {QStringLiteral("account detail window of the busiest account (%1 records)")
             .arg(accountRecords),
         accountDetail, [&] { accountDetail->DetailAccountIndex = busyAccount; },
         [&] { accountDetail->FormShow(); },
         [&]() -> QString {
             if (accountDetail->LabelName->text().isEmpty()
                 || !accountDetail->LabelCount->text().endsWith(QStringLiteral(" 条")))
                 return QStringLiteral("the account's figures are missing");
             return uiCheck();
         }},
        {QStringLiteral("customer detail window of the busiest customer (%1 records)")
             .arg(customerRecords),
         customerDetail, [&] { customerDetail->DetailCustomerIndex = busyCustomer; },
         [&] { customerDetail->LoadCustomerDetail(); },
         [&]() -> QString {
             if (customerDetail->DetailCustomerName != busyCustomerName
                 || !customerDetail->LabelCount->text().endsWith(QStringLiteral(" 条")))
                 return QStringLiteral("the customer's figures are missing");
             return uiCheck();
         }},
        {QStringLiteral("record list of 不限: the busiest customer's cash records (%1)")
             .arg(customerCash),
         recordList,
         [&] {
             recordList->ListAccountType = cashName;
             recordList->ListCustomerName = busyCustomerName;
             recordList->ListDateFrom = TFormRecord::NoRange();
             recordList->ListDateTo = TFormRecord::NoRange();
         },
         [&] { recordList->LoadList(); },
         [&]() -> QString {
             if (recordList->DBGridEh1->Model()->rowCount() != customerCash)
                 return QStringLiteral("the list does not hold the customer's cash records");
             return uiCheck();
         }},
        {QStringLiteral("report grid with a condition of one month, first screen with footer "
                        "sums"),
         nullptr,
         [&] {
             journal->DBGridEh2->Close();
             journal->ComboBox3->setCurrentIndex(TDailyPage::ByTime);
             ReportCondition = oneMonth;
         },
         [&] { journal->FillRecordGrid(journal->DBGridEh2); },
         journalCheck(journal->DBGridEh2)},
    };
    for (const Window &w : windows) {
        Operation shown;
        shown.name = w.name + QStringLiteral(", shown and painted");
        shown.runs = timedRuns;
        shown.setup = w.prepare;
        shown.run = [&w, journal] {
            if (w.window) {
                w.window->show();
                QCoreApplication::processEvents();
                w.window->grab();
            } else {
                w.work();
                journal->DBGridEh2->grab();
            }
        };
        shown.teardown = [&w] {
            if (w.window)
                w.window->hide();
        };
        shown.handle = handle;
        shown.check = w.check;
        shown.targetMs = 200;
        table << measure(shown);

        Operation work;
        work.name = w.name + QStringLiteral(", its statements and figures, 20 times");
        work.runs = timedRuns;
        work.setup = [&w] {
            w.prepare();
            if (w.window) {
                w.window->show();
                QCoreApplication::processEvents();
            }
        };
        work.run = [&w] {
            for (int i = 0; i < 20; ++i)
                w.work();
        };
        work.teardown = shown.teardown;
        work.handle = handle;
        work.check = w.check;
        work.targetRatio = 1.5;
        table << measure(work);
    }
    ReportCondition.clear();
    {
        // The whole of 生成报表: the builder shown with its lists (every customer's name),
        // one month ticked, the condition built and the report grid filled with it.
        Operation op;
        op.name = QStringLiteral("生成报表 with one month ticked: the builder's lists, the "
                                 "condition, the report grid");
        op.runs = timedRuns;
        op.setup = [&] {
            journal->DBGridEh2->Close();
            ui.Scripts[QStringLiteral("FormMakeReport")] = [&](QDialog *) {
                TFormMakeReport *builder = FormMakeReport;
                builder->CheckBox1->setChecked(true);
                builder->DateTimePicker1->setDate(busyMonth.first);
                builder->DateTimePicker2->setDate(busyMonth.last);
                builder->BitBtn1Click();
            };
        };
        op.run = [&] {
            journal->ActionMakeReportExecute();
            journal->DBGridEh2->grab();
        };
        op.teardown = [&] {
            ui.Scripts.clear();
            ReportCondition.clear();
        };
        op.handle = handle;
        op.check = [&]() -> QString {
            if (ReportCondition != oneMonth)
                return QStringLiteral("the builder made another condition: ") + ReportCondition;
            return journalCheck(journal->DBGridEh2)();
        };
        table << measure(op);
    }
    journal->DBGridEh2->Close();

    // ---------------------------------------------------------------- statements and bills
    // 帐户月结 of the cash book's accounts, the busiest customer's statement over the year
    // of the busiest day, and the bill of a record of the busiest account: each as its
    // button does it, up to the preview showing its first page.
    {
        bool shown = false;
        auto previewScript = [&](QDialog *d) {
            QCoreApplication::processEvents();
            shown = !static_cast<TFormPreview *>(d)->PageImage().isNull();
        };
        auto previewCheck = [&]() -> QString {
            return shown ? uiCheck() : QStringLiteral("no page shown; ") + uiCheck();
        };
        {
            Operation op;
            op.name = QStringLiteral("帐户月结 of the cash book (100 accounts, 300 sums): "
                                     "preview's first page");
            op.runs = timedRuns;
            op.setup = [&] {
                shown = false;
                ui.Scripts[QStringLiteral("FormPreview")] = previewScript;
            };
            op.run = [&] { session.Main().ActionMoneyMonthExecute(); };
            op.teardown = [&] { ui.Scripts.clear(); };
            op.handle = handle;
            op.check = previewCheck;
            op.targetMs = 300;
            table << measure(op);
        }
        {
            const QDate yearFirst(busyDay.year(), 1, 1), yearLast(busyDay.year(), 12, 31);
            Operation op;
            op.name = QStringLiteral("财务数据明细 of the busiest customer over %1: preview's "
                                     "first page").arg(busyDay.year());
            op.runs = timedRuns;
            op.setup = [&] {
                shown = false;
                customerDetail->DetailCustomerIndex = busyCustomer;
                customerDetail->LoadCustomerDetail();
                ui.Scripts[QStringLiteral("FormDateChose")] = [&](QDialog *d) {
                    auto *chooser = static_cast<TFormDateChose *>(d);
                    chooser->DateTimePicker1->setDate(yearFirst);
                    chooser->DateTimePicker2->setDate(yearLast);
                    chooser->BitBtn1->click();
                };
                ui.Scripts[QStringLiteral("FormPreview")] = previewScript;
            };
            op.run = [&] { customerDetail->ActionMoneyDetailExecute(); };
            op.teardown = [&] { ui.Scripts.clear(); };
            op.handle = handle;
            op.check = previewCheck;
            op.targetMs = 300;
            table << measure(op);
        }
        {
            qint64 record = 0;
            DbCursor c(connection);
            if (c.Open(QStringLiteral("Select MoneyIndex From MoneyTable Where MoneyAccount = %1 "
                                      "Order By MoneyIndex Limit 1").arg(busyAccount))
                && !c.Eof())
                record = c.Field(0).AsInteger();
            c.Close();
            TFormGetPay *pay = FormGetPay;
            Operation op;
            op.name = QStringLiteral("bill of a stored record (打印 in the entry window): "
                                     "preview's first page");
            op.runs = timedRuns;
            op.setup = [&, record] {
                shown = false;
                pay->EntryMode = TFormGetPay::EditIncome;
                pay->EntryRecordIndex = record;
                pay->EntryAccountFilter = AccountFilter;
                pay->FormShow();
                ui.Scripts[QStringLiteral("FormPreview")] = previewScript;
            };
            op.run = [&] { pay->ActionPrintExecute(); };
            op.teardown = [&] { ui.Scripts.clear(); };
            op.handle = handle;
            op.check = previewCheck;
            op.targetMs = 100;
            table << measure(op);
        }
    }

    // ---------------------------------------------------------------- the entry window
    TFormGetPay *entry = FormGetPay;
    auto prepareEntry = [&] {
        entry->EntryMode = TFormGetPay::NewIncome;
        entry->EntryCustomerText.clear();
        entry->EntryAmountText.clear();
        entry->EntryRemarkText.clear();
        entry->EntryManText.clear();
        entry->EntryDate = busyDay;
        entry->EntryAccountFilter = AccountFilter;
        entry->EntryAccountType = cashName;
    };
    auto entryCheck = [&]() -> QString {
        if (!entry)
            return QStringLiteral("no entry window");
        return uiCheck();
    };
    {
        Operation op;
        op.name = QStringLiteral("entry window: showing a new cash record (%1 customers)")
                      .arg(size.customers);
        op.runs = timedRuns;
        op.setup = prepareEntry;
        op.run = [&] {
            entry->show();
            QCoreApplication::processEvents();
        };
        op.teardown = [&] { entry->hide(); };
        op.handle = handle;
        op.check = [&]() -> QString {
            if (entry->ComboBox5->count() != size.customers)
                return QStringLiteral("the customer list is not whole");
            return entryCheck();
        };
        table << measure(op);
    }
    {
        // The record and the book's last document number are written, then taken out again
        // (with the statements replayed for the floor) so the book keeps its size.
        qint64 lastRecord = 0;
        QString lastNumber;
        {
            DbCursor c(connection);
            if (c.Open(QStringLiteral("Select Max(MoneyIndex) From MoneyTable")) && !c.Eof())
                lastRecord = c.Field(0).AsInteger();
            c.Close();
            if (c.Open(QStringLiteral("Select SettingValue From Setting Where SettingIndex = 1"))
                && !c.Eof())
                lastNumber = c.Field(0).AsString();
        }
        // The program's syncing first, then the engine's weaker ones for what it costs: FULL
        // leaves the commit (the journal's deletion) unsynced, OFF syncs nothing.
        int turn = 0;
        for (const char *syncing : {"EXTRA", "FULL", "OFF"}) {
            const bool ours = QByteArray(syncing) == "EXTRA";
            const QByteArray pragma = QByteArray("PRAGMA synchronous = ") + syncing;
            Operation op;
            op.name = QStringLiteral("entry window: saving a new cash record with its document "
                                     "number, synchronous = %1%2")
                          .arg(QLatin1String(syncing),
                               ours ? QStringLiteral(" (the program's)")
                                    : QStringLiteral(" (for comparison)"));
            op.runs = timedRuns;
            op.setup = [&, pragma] {
                connection->ExecuteScript(QString::fromLatin1(pragma));
                prepareEntry();
                entry->show();
                QCoreApplication::processEvents();
                entry->Edit2->setText(QStringLiteral("123.45"));
                entry->Edit4->setText(QStringLiteral("BENCH%1").arg(++turn));
                ui.Expected = QStringList{
                    QStringLiteral("记录新增成功"),
                    QStringLiteral("财务收入已新增成功，是否需要进行相应的应收出帐操作？")};
            };
            op.run = [&] { entry->BitBtn1Click(); };
            op.teardown = [&] {
                entry->hide();
                ui.Expected.clear();
                DataChanged = false;
                connection->ExecuteScript(
                    QStringLiteral("DELETE FROM MoneyTable WHERE MoneyIndex > %1; UPDATE Setting "
                                   "SET SettingValue = %2 WHERE SettingIndex = 1")
                        .arg(lastRecord)
                        .arg(Quoted(lastNumber)));
            };
            op.handle = handle;
            op.check = [&]() -> QString {
                if (entry->isVisible())
                    return QStringLiteral("the record was not saved");
                return entryCheck();
            };
            if (ours)
                op.targetMs = 50;
            table << measure(op);
            connection->ExecuteScript(QStringLiteral("PRAGMA synchronous = EXTRA"));
        }
    }
    {
        // Each keystroke narrows the names: the first two ("客", "客户") keep them all.
        const QString typed = QStringLiteral("客户015");
        QLineEdit *edit = entry->ComboBox5->lineEdit();
        auto type = [edit](const QString &text) {
            for (const QChar ch : text) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                QCoreApplication::sendEvent(edit, &key);
            }
        };
        for (int k = 1; k <= typed.size(); ++k) {
            Operation op;
            op.name = QStringLiteral("entry window: keystroke %1 in the customer field "
                                     "(\"%2\")").arg(k).arg(typed.left(k));
            op.runs = timedRuns;
            op.setup = [&, k] {
                prepareEntry();
                entry->show();
                QCoreApplication::processEvents();
                edit->clear();
                type(typed.left(k - 1));
                QCoreApplication::processEvents();
            };
            op.run = [&, k] {
                type(typed.mid(k - 1, 1));
                QCoreApplication::processEvents();
                entry->ComboBox5->completer()->popup()->grab();
            };
            op.teardown = [&] {
                entry->ComboBox5->completer()->popup()->hide();
                entry->hide();
            };
            op.handle = handle;
            op.check = [&, k]() -> QString {
                if (edit->text() != typed.left(k))
                    return QStringLiteral("typed text lost: ") + edit->text();
                if (entry->ComboBox5->completer()->completionCount() == 0)
                    return QStringLiteral("nothing matched");
                return entryCheck();
            };
            op.targetMs = 50;
            table << measure(op);
        }
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

    // ---------------------------------------------------------------- the server book
    // The book moved onto a PostgreSQL server (MoveBookToServer, timed beside the server's
    // own COPY of the same rows), then the program started again on it and the rows with
    // targets timed there, each beside the same commands run alone through libpq.
    QString serverFolder;
    QString serverBase = options.value(serverAddress);
    if (serverBase.isEmpty())
        serverBase = qEnvironmentVariable("QM_BENCH_SERVER");
    if (options.isSet(server) || !serverBase.isEmpty()) {
        if (serverBase.isEmpty()) {
            serverFolder = folder + QStringLiteral("/pgserver");
            say(QStringLiteral("… starting a PostgreSQL server in %1").arg(serverFolder));
            QProcess::execute(QStringLiteral("bash"), {QStringLiteral(QM_PGSERVER_SCRIPT),
                                                      QStringLiteral("start"), serverFolder});
            QFile file(serverFolder + QStringLiteral("/pgaddress"));
            if (file.open(QIODevice::ReadOnly))
                serverBase = QString::fromUtf8(file.readAll()).trimmed();
        }
        ServerBook = BenchServer::FreshDatabase(serverBase, QStringLiteral("quillmark_bench"),
                                                &error);
        if (ServerBook.isEmpty()
            || !MakeServerBook(ServerBook, QString(), BookSchema(true), &error)) {
            say(QStringLiteral("bench: no server book: ") + error);
            ServerBook.clear();
        }
    }
    if (!ServerBook.isEmpty()) {
        BenchRow move;
        move.operation = QStringLiteral("server book: the move onto the server "
                                        "(MoveBookToServer, %1 money records, with progress)")
                             .arg(size.records);
        move.runs = 1;
        say(QStringLiteral("… %1").arg(move.operation));
        int progressCalls = 0;
        int lastDone = 0;
        DbCopyResult moved;
        const Sample s = Meter::Measure([&] {
            moved = MoveBookToServer(session.Connection(), ServerBook, QString(),
                                     [&](int done, int) {
                                         ++progressCalls;
                                         lastDone = done;
                                     });
        });
        move.programMs = s.ms;
        move.peakMb = s.peakMb;
        move.growthMb = s.growthMb;
        // The floor: the same rows from that book into a second one by the server's COPY,
        // streamed through the client, with the same VACUUM (ANALYZE) at the end.
        const QString floorBook = BenchServer::FreshDatabase(
            serverBase, QStringLiteral("quillmark_bench_floor"), &error);
        if (moved.ok && !floorBook.isEmpty()
            && MakeServerBook(floorBook, QString(), BookSchema(true), &error)) {
            QElapsedTimer t;
            t.start();
            if (BenchServer::StreamBook(ServerBook, floorBook, &error))
                move.floorMs = t.nsecsElapsed() / 1e6;
            else
                say(QStringLiteral("   the move's floor failed: ") + error);
        }
        BenchServer::FreshDatabase(serverBase, QStringLiteral("quillmark_bench_floor"), &error);
        move.target = moved.ok ? QStringLiteral("≤ 60000 ms: ")
                + (move.programMs <= 60000 ? QStringLiteral("ok") : QStringLiteral("MISSED"))
                               : QStringLiteral("FAILED: ") + moved.text;
        table << move;
        notes << QStringLiteral("the move: %1 progress reports, the last at %2 rows")
                     .arg(progressCalls).arg(lastDone);
        if (!moved.ok)
            ServerBook.clear();
    }
    if (!ServerBook.isEmpty()) {
        fileSession.reset();
        BenchSession onServer;
        onServer.UseAddress(ServerBook);
        if (!onServer.Start()) {
            say(QStringLiteral("bench: the program did not start on the server book: ")
                + uiCheck());
        } else {
            DbConnection *book = &onServer.Connection();
            TFormMain &main = onServer.Main();
            main.DateTimePicker1->setDate(workingDay);
            // A server row, with its slowest statements (run alone) among the notes.
            auto measureOnServer = [&](const Operation &op) {
                QStringList statements;
                QList<double> floors;
                const BenchRow row = measure(op, &statements, &floors);
                QList<int> order;
                for (int i = 0; i < statements.size(); ++i)
                    order << i;
                std::sort(order.begin(), order.end(),
                          [&](int a, int b) { return floors.value(a) > floors.value(b); });
                for (int i = 0; i < qMin(3, int(order.size())); ++i)
                    notes << QStringLiteral("%1: %2 ms alone: %3")
                                 .arg(op.name)
                                 .arg(floors.value(order[i]), 0, 'f', 2)
                                 .arg(statements.value(order[i]).left(200));
                return row;
            };
            {
                Operation op;
                op.name = QStringLiteral("server book: RefreshAll with filled cards, after a "
                                         "date change");
                op.runs = timedRuns;
                int turn = 0;
                op.run = [&] { main.DateTimePicker1->setDate(workingDay.addDays(++turn % 2)); };
                op.server = book;
                op.check = [&]() -> QString {
                    const QString filled = cardsCheck(main);
                    return filled.isEmpty() ? uiCheck() : filled;
                };
                op.targetMs = 150;
                op.targetRatio = 1.5;
                table << measureOnServer(op);
            }
            const struct { const char *name; const char *order; } orders[] = {
                {"按时间排", "Order By MoneyCreateTime,MoneyIndex"},
                {"按帐户排", "Order By AccountName,MoneyCreateTime,MoneyIndex"},
                {"按金额排", "Order By MoneySum Desc,MoneyCreateTime,MoneyIndex"}};
            for (const auto &o : orders) {
                Operation op;
                op.name = QStringLiteral("server book: report grid over the cash book, first "
                                         "screen, ") + QString::fromUtf8(o.name);
                op.runs = timedRuns;
                const auto statement = gridStatement(QString(), QString::fromUtf8(o.order));
                op.run = [&, statement] {
                    grid = std::make_unique<Grid>(book);
                    grid->open(statement);
                };
                op.teardown = [&] { grid.reset(); };
                op.server = book;
                op.check = gridCheck;
                op.targetMs = 300;
                op.targetMb = 100;
                table << measureOnServer(op);
            }
            TDailyPage *daily = main.Daily;
            main.DateTimePicker1->setDate(busyDay);
            main.PageControl1->setCurrentIndex(TFormMain::PageReport);
            QCoreApplication::processEvents();
            uiCheck();
            const struct { int order; const char *name; } reportOrders[] = {
                {TDailyPage::ByTime, "按时间排"},
                {TDailyPage::ByAccount, "按帐户排"},
                {TDailyPage::ByAmount, "按金额排"}};
            for (const auto &r : reportOrders) {
                Operation op;
                op.name = QStringLiteral("server book: journal: report grid over the cash book, "
                                         "first screen with footer sums, ")
                    + QString::fromUtf8(r.name);
                op.runs = timedRuns;
                op.setup = [&] { daily->DBGridEh2->Close(); };
                const int order = r.order;
                op.run = [&, order] {
                    daily->ComboBox3->setCurrentIndex(order);
                    daily->ComboBox3Change();
                    daily->DBGridEh2->grab();
                };
                op.server = book;
                op.check = [&]() -> QString {
                    if (!daily->DBGridEh2->Active() || daily->DBGridEh2->Model()->rowCount() == 0)
                        return QStringLiteral("the grid is empty: ")
                            + daily->DBGridEh2->LastError() + uiCheck();
                    return uiCheck();
                };
                op.targetMs = 300;
                op.targetMb = 100;
                table << measureOnServer(op);
            }
            daily->DBGridEh2->Close();
            {
                TFormGetPay *pay = FormGetPay;
                qint64 lastRecord = 0;
                QString lastNumber;
                {
                    DbCursor c(book);
                    if (c.Open(QStringLiteral("Select Max(MoneyIndex) From MoneyTable")) && !c.Eof())
                        lastRecord = c.Field(0).AsInteger();
                    c.Close();
                    if (c.Open(QStringLiteral("Select SettingValue From Setting Where "
                                              "SettingIndex = 1"))
                        && !c.Eof())
                        lastNumber = c.Field(0).AsString();
                }
                int turn = 0;
                Operation op;
                op.name = QStringLiteral("server book: entry window: saving a new cash record "
                                         "with its document number");
                op.runs = timedRuns;
                op.setup = [&] {
                    pay->EntryMode = TFormGetPay::NewIncome;
                    pay->EntryCustomerText.clear();
                    pay->EntryAmountText.clear();
                    pay->EntryRemarkText.clear();
                    pay->EntryManText.clear();
                    pay->EntryDate = busyDay;
                    pay->EntryAccountFilter = AccountFilter;
                    pay->EntryAccountType = cashName;
                    pay->show();
                    QCoreApplication::processEvents();
                    pay->Edit2->setText(QStringLiteral("123.45"));
                    pay->Edit4->setText(QStringLiteral("BENCH%1").arg(++turn));
                    ui.Expected = QStringList{
                        QStringLiteral("记录新增成功"),
                        QStringLiteral("财务收入已新增成功，是否需要进行相应的应收出帐操作？")};
                };
                op.run = [&] { pay->BitBtn1Click(); };
                op.teardown = [&] {
                    pay->hide();
                    ui.Expected.clear();
                    DataChanged = false;
                    book->ExecuteScript(
                        QStringLiteral("DELETE FROM MoneyTable WHERE MoneyIndex > %1; UPDATE "
                                       "Setting SET SettingValue = %2 WHERE SettingIndex = 1")
                            .arg(lastRecord)
                            .arg(Quoted(lastNumber)));
                };
                op.server = book;
                op.check = [&]() -> QString {
                    if (pay->isVisible())
                        return QStringLiteral("the record was not saved");
                    return uiCheck();
                };
                op.targetMs = 50;
                table << measureOnServer(op);
            }
        }
    }
    if (!serverFolder.isEmpty())
        QProcess::execute(QStringLiteral("bash"), {QStringLiteral(QM_PGSERVER_SCRIPT),
                                                  QStringLiteral("stop"), serverFolder});

    const QString header = QStringLiteral(
        "Book: %1 accounts, %2 customers, %3 money records (%4); indexes as in schema.sql. "
        "%5 timed runs, median. %6 cores, SQLite %7.%8\n")
        .arg(3 * size.accountsPerBook).arg(size.customers).arg(size.records).arg(bookNote)
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
