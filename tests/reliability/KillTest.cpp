// The program killed at random moments while it writes: a copy of it (reliability_helper)
// saves money records with their document number, deletes accounts with their records and
// renames customers with theirs, until it is killed; after every kill the book must open,
// pass the engine's integrity check, hold every change the program had reported as done,
// and hold every change either whole or not at all. The same on a book file and on a server
// book (fewer kills: the server rolls back what a killed client left open). The kills are
// seeded and repeatable: QM_KILL_SEED, QM_KILLS and QM_SERVER_KILLS in the environment
// choose another seed and count.
#include "BookAddress.h"
#include "BookRows.h"
#include "Database.h"
#include "HelperProcess.h"
#include "ServerBook.h"
#include "SqlCipherEngine.h"
#include "TestFolder.h"

#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QThread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <random>

namespace {

constexpr int RenameCustomers = 3;
constexpr int RecordsPerRenamedCustomer = 15;

int environment(const char *name, int otherwise)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : otherwise;
}

// The cash account the entry window saves into, the customers it names, and the customers
// the helper renames, each with records that carry its name.
void prepareBook(const QString &path)
{
    DbConnection db;
    ASSERT_TRUE(OpenBook(&db, path)) << db.LastError().toStdString();
    BookRows::Account(&db, QStringLiteral("现金"));
    BookRows::Customer(&db, QStringLiteral("客户甲"));
    const qint64 owed = BookRows::Account(&db, QStringLiteral("改名帐"), QStringLiteral("应收帐"));
    for (int c = 1; c <= RenameCustomers; ++c) {
        const QString name = QStringLiteral("改名客户%1-0").arg(c);
        DbQuery q(&db);
        q.SetSQL(QStringLiteral("Select * From Customer Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        q.Append();
        q.SetField(QStringLiteral("CustomerName"), name);
        q.SetField(QStringLiteral("CustomerPhone"), QStringLiteral("0"));
        q.SetField(QStringLiteral("CustomerRemark"), QStringLiteral("改名%1").arg(c));
        q.SetField(QStringLiteral("CustomerPower"), QStringLiteral("出纳"));
        ASSERT_TRUE(q.Post());
        for (int r = 0; r < RecordsPerRenamedCustomer; ++r) {
            q.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
            ASSERT_TRUE(q.Open());
            q.Append();
            q.SetField(QStringLiteral("MoneyAccount"), owed);
            q.SetField(QStringLiteral("MoneyUser"), name);
            q.SetField(QStringLiteral("MoneySum"), 1.0);
            q.SetField(QStringLiteral("MoneyRemark"), QStringLiteral("改名%1").arg(c));
            ASSERT_TRUE(q.Post());
        }
    }
}

// What the helpers reported as done, over all runs.
struct Reported
{
    QMap<QString, QString> saved;   // remark -> document number
    QSet<qint64> deleted;
    QMap<qint64, int> renamed;      // customer -> last generation reported
};

struct Findings
{
    int lost = 0;        // reported as done, not there
    int halfDone = 0;    // a change found in part
    int integrity = 0;   // the engine's check not ok, or the book did not open
};

QList<QStringList> rows(DbConnection *db, const QString &sql)
{
    QList<QStringList> out;
    DbQuery q(db);
    q.SetSQL(sql);
    if (!q.Open()) {
        ADD_FAILURE() << q.LastError().toStdString();
        return out;
    }
    for (q.First(); !q.Eof(); q.Next()) {
        QStringList row;
        for (const QString &name : q.FieldNames())
            row << q.FieldByName(name).AsString();
        out << row;
    }
    return out;
}

QString firstText(DbConnection *db, const QString &sql)
{
    return rows(db, sql).value(0).value(0);
}

// Opens the book as the program does (which rolls back what a killed writer left half
// written) and checks it against what was reported.
void checkBook(const QString &path, Reported &done, Findings *found, int kill)
{
    DbConnection conn;
    if (!OpenBook(&conn, path)) {
        ++found->integrity;
        ADD_FAILURE() << "kill " << kill << ": the book does not open: "
                      << conn.LastError().toStdString();
        return;
    }
    DbConnection *db = &conn;
    QString integrity = QStringLiteral("ok");
    if (!IsServerBookAddress(path)) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(SqlCipherHandle(conn), "PRAGMA integrity_check", -1, &st, nullptr);
        if (sqlite3_step(st) == SQLITE_ROW)
            integrity = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    if (integrity != QLatin1String("ok")) {
        ++found->integrity;
        ADD_FAILURE() << "kill " << kill << ": integrity check says " << integrity.toStdString();
    }

    // Saved records: each reported one there once with its number, and the book's last
    // document number that of the last record saved.
    QMap<QString, QString> serials;
    QString lastSerial;
    for (const QStringList &r : rows(db, QStringLiteral(
             "SELECT MoneyRemark, MoneySerial FROM MoneyTable WHERE MoneyRemark LIKE 'K%' "
             "ORDER BY MoneyIndex"))) {
        if (serials.contains(r[0])) {
            ++found->halfDone;
            ADD_FAILURE() << "kill " << kill << ": record " << r[0].toStdString() << " twice";
        }
        serials.insert(r[0], r[1]);
        lastSerial = r[1];
    }
    for (auto it = done.saved.cbegin(); it != done.saved.cend(); ++it) {
        if (!serials.contains(it.key())) {
            ++found->lost;
            ADD_FAILURE() << "kill " << kill << ": saved record " << it.key().toStdString()
                          << " is gone";
        } else if (serials.value(it.key()) != it.value()) {
            ++found->halfDone;
            ADD_FAILURE() << "kill " << kill << ": record " << it.key().toStdString()
                          << " has number " << serials.value(it.key()).toStdString()
                          << ", reported " << it.value().toStdString();
        }
    }
    const QString stored =
        firstText(db, QStringLiteral("SELECT SettingValue FROM Setting WHERE SettingIndex = 1"));
    if (!lastSerial.isEmpty() && stored != lastSerial) {
        ++found->halfDone;
        ADD_FAILURE() << "kill " << kill << ": the book's last document number is "
                      << stored.toStdString() << ", the last record's "
                      << lastSerial.toStdString();
    }

    // Accounts with their records: no record without its account, every account of the
    // helper with all the records it was made with, no account reported deleted there.
    const int orphans = firstText(db, QStringLiteral(
        "SELECT Count(*) FROM MoneyTable WHERE MoneyAccount NOT IN "
        "(SELECT AccountIndex FROM Account)")).toInt();
    if (orphans > 0) {
        ++found->halfDone;
        ADD_FAILURE() << "kill " << kill << ": " << orphans << " records without their account";
    }
    for (const QStringList &r : rows(db, QStringLiteral(
             "SELECT AccountIndex, AccountBase, (SELECT Count(*) FROM MoneyTable "
             "WHERE MoneyAccount = AccountIndex) FROM Account WHERE AccountName LIKE '删%'"))) {
        if (r[1].toDouble() != r[2].toDouble()) {
            ++found->halfDone;
            ADD_FAILURE() << "kill " << kill << ": account " << r[0].toStdString() << " has "
                          << r[2].toStdString() << " of its " << r[1].toStdString() << " records";
        }
        if (done.deleted.contains(r[0].toLongLong())) {
            ++found->lost;
            ADD_FAILURE() << "kill " << kill << ": deleted account " << r[0].toStdString()
                          << " is back";
        }
    }

    // Renamed customers: the name, the field written with it and every record agree, and
    // the generation is the last one reported or the one after it (done, not yet said). A
    // rename the kill left unsaid is in the book from then on: the next kill is measured
    // from it, since the same customer may again be renamed and killed before the word.
    for (const QStringList &r : rows(db, QStringLiteral(
             "SELECT CustomerIndex, CustomerName, CustomerPhone, CustomerRemark FROM Customer "
             "WHERE CustomerRemark LIKE '改名%'"))) {
        const qint64 index = r[0].toLongLong();
        const int generation = r[1].mid(r[1].lastIndexOf(QLatin1Char('-')) + 1).toInt();
        const int reported = done.renamed.value(index, 0);
        const int agreeing = firstText(db, QStringLiteral(
            "SELECT Count(*) FROM MoneyTable WHERE MoneyRemark = '%1' AND MoneyUser = '%2'")
            .arg(r[3], r[1])).toInt();
        if (r[2] != QString::number(generation) || agreeing != RecordsPerRenamedCustomer) {
            ++found->halfDone;
            ADD_FAILURE() << "kill " << kill << ": customer " << r[1].toStdString()
                          << " with phone " << r[2].toStdString() << " and " << agreeing
                          << " of its records";
        }
        if (generation < reported || generation > reported + 1) {
            ++found->lost;
            ADD_FAILURE() << "kill " << kill << ": customer at generation " << generation
                          << ", reported " << reported;
        }
        done.renamed[index] = generation;
    }
}

// How many transactions of the server book were rolled back so far, once every
// connection but the monitor's has ended: a killed client's open transaction is rolled
// back when the server notices it gone.
int serverRollbacks(DbConnection *monitor)
{
    for (int wait = 0; wait < 200; ++wait) {
        if (firstText(monitor, QStringLiteral(
                "Select Count(*) From pg_stat_activity Where datname = current_database() "
                "And pid <> pg_backend_pid()")) == QLatin1String("0"))
            break;
        QThread::msleep(50);
    }
    return firstText(monitor, QStringLiteral(
        "Select xact_rollback From pg_stat_database Where datname = current_database()")).toInt();
}

class KillTest : public ::testing::TestWithParam<BookEngine> {};

TEST_P(KillTest, EveryReportedChangeIsThereAndNoChangeIsHalfDone)
{
    const bool server = GetParam() == BookEngine::Server;
    const int kills = server ? environment("QM_SERVER_KILLS", 50) : environment("QM_KILLS", QM_KILLS);
    const quint32 seed = quint32(environment("QM_KILL_SEED", 20240315));
    // Most saves take a few milliseconds: a kill up to 60 ms after the helper is ready
    // lands before, inside or between them (longer in the sanitizer build).
    const int longestWait = environment("QM_KILL_WAIT_MS", QM_KILL_WAIT_MS);
    std::mt19937 random(seed);
    TestFolder folder;
    prepareBook(folder.Database());
    if (::testing::Test::HasFatalFailure())
        return;
    const QString journal = folder.Database() + QStringLiteral("-journal");
    std::unique_ptr<ServerBook> serverBook;
    const QString book = BookAddress(GetParam(), folder.Database(), &serverBook);
    ASSERT_FALSE(book.isEmpty()) << serverBook->Error().toStdString();
    DbConnection monitor;
    if (server) {
        ASSERT_TRUE(PointSettingsAt(folder.Path(), book));
        ASSERT_TRUE(OpenBook(&monitor, book)) << monitor.LastError().toStdString();
    }
    int rollbacks = server ? serverRollbacks(&monitor) : 0;

    Reported done;
    Findings found;
    int duringChange = 0;
    int made = 0;
    int renames = 0;
    for (int kill = 1; kill <= kills; ++kill) {
        HelperProcess helper({QStringLiteral("work"), folder.Path(),
                              QString::number(seed + quint32(kill))});
        ASSERT_TRUE(helper.WaitReady()) << "kill " << kill << ": " << helper.Lines().join(
            QLatin1Char('|')).toStdString();
        QThread::msleep(random() % quint32(longestWait + 1));
        helper.Kill();
        for (const QString &line : helper.Said(QStringLiteral("SAVED"))) {
            const QStringList parts = line.split(QLatin1Char(' '));
            done.saved.insert(parts.value(0), parts.value(1));
        }
        for (const QString &line : helper.Said(QStringLiteral("DELETED")))
            done.deleted.insert(line.toLongLong());
        for (const QString &line : helper.Said(QStringLiteral("RENAMED"))) {
            const QStringList parts = line.split(QLatin1Char(' '));
            done.renamed.insert(parts.value(0).toLongLong(), parts.value(1).toInt());
            ++renames;
        }
        made += int(helper.Said(QStringLiteral("MADE")).size());
        for (const QString &line : helper.Said(QStringLiteral("FAIL")))
            ADD_FAILURE() << "kill " << kill << ": the helper was refused: "
                          << line.toStdString();
        // A journal with content is a change the kill cut in half; opening rolls it back.
        // The server rolls back the transaction the killed client held open.
        if (server) {
            const int now = serverRollbacks(&monitor);
            duringChange += now > rollbacks ? 1 : 0;
            rollbacks = now;
        } else if (QFileInfo(journal).size() > 0) {
            ++duringChange;
        }
        checkBook(book, done, &found, kill);
        if (found.lost + found.halfDone + found.integrity > 5)
            break;   // the first failures say it all
    }

    const QString summary =
        QStringLiteral("kills %1 (seed %2), cut in the middle of a change %3; reported done: "
                       "saves %4, account deletions %5, customer renames %6 (accounts made %7); "
                       "changes lost %8, changes found half-done %9, integrity failures %10")
            .arg(kills).arg(seed).arg(duringChange).arg(done.saved.size())
            .arg(done.deleted.size()).arg(renames).arg(made)
            .arg(found.lost).arg(found.halfDone).arg(found.integrity);
    std::printf("%s\n", summary.toUtf8().constData());
    ::testing::Test::RecordProperty("summary", summary.toStdString());
    EXPECT_EQ(found.lost, 0);
    EXPECT_EQ(found.halfDone, 0);
    EXPECT_EQ(found.integrity, 0);
    // Kills that never cut a change in half would prove nothing.
    EXPECT_GT(duringChange, kills / 10);
    EXPECT_GT(done.saved.size(), kills / 4);
    EXPECT_GT(done.deleted.size(), 0);
    EXPECT_GT(renames, 0);
}

// One instance each, so that the two run as ctest entries of their own, side by side.
INSTANTIATE_TEST_SUITE_P(File, KillTest, ::testing::Values(BookEngine::File),
                         [](const auto &info) { return EngineName(info.param); });
INSTANTIATE_TEST_SUITE_P(Server, KillTest, ::testing::Values(BookEngine::Server),
                         [](const auto &info) { return EngineName(info.param); });

} // namespace
