// Files that are not what they claim, met at start-up: a book cut short, a book with a page
// overwritten, another program's database, a book locked by another process or that cannot
// be written; a settings file that is binary, enormous or not UTF-8; pictures missing or
// damaged. Each start says what is wrong in a message of its own, and no file of the
// program folder is changed by it.
#include "BookRows.h"
#include "DatabaseKey.h"
#include "FormMain.h"
#include "Globals.h"
#include "HelperProcess.h"
#include "Look.h"
#include "Program.h"
#include "ScriptedUi.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringEncoder>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// Every file below the folder (links followed) with a digest of its bytes.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (f.open(QIODevice::ReadOnly))
            hash.addData(&f);
        files.insert(path.mid(folder.size()), hash.result());
    }
    return files;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The book with a few thousand records, so that their pages lie far from the ones read
// at start-up.
void fillBook(const QString &path)
{
    DbConnection db;
    ASSERT_TRUE(db.Open(path, QString::fromLatin1(DatabasePassword)));
    const qint64 account = BookRows::Account(&db, QStringLiteral("现金"));
    BookRows::Records(&db, account, 3000, QDate(2024, 3, 1), 12.5, QStringLiteral("客户甲"));
}

// A Res folder of its own instead of the link to the built pictures, to damage.
void ownPictures(const QString &folder)
{
    const QString res = folder + QStringLiteral("Res");
    ASSERT_TRUE(QFile::remove(res));
    ASSERT_TRUE(QDir().mkdir(res));
    for (const QString &name : QDir(QStringLiteral(QM_BUILD_DIR "/Res")).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(QStringLiteral(QM_BUILD_DIR "/Res/") + name,
                                res + QLatin1Char('/') + name));
}

enum class Fault { CutShort, PageOverwritten, OtherProgram, SettingsBinary, SettingsEnormous,
                   SettingsNotUtf8, SettingsCutCharacter, PictureMissing, PictureGarbage,
                   PictureHugeHeader };

struct FaultCase
{
    Fault fault;
    int status;            // what the start comes to: 1 failed, 0 the welcome window closed
    const char *message;   // the one message of the start contains this
};

class BadFileAtStart : public ::testing::TestWithParam<FaultCase> {};

TEST_P(BadFileAtStart, SaysWhatIsWrongAndChangesNothing)
{
    const FaultCase c = GetParam();
    TestFolder folder;
    const QString book = folder.Database();
    switch (c.fault) {
    case Fault::CutShort: {
        fillBook(book);
        const QByteArray bytes = readFile(book);
        writeFile(book, bytes.left(bytes.size() / 2));
        break;
    }
    case Fault::PageOverwritten: {
        // Pages among the records, far from the schema at the start of the file: nothing
        // at start-up reads them.
        fillBook(book);
        QByteArray bytes = readFile(book);
        const qsizetype pages = bytes.size() / 1024;
        for (qsizetype page = pages * 6 / 10; page < pages * 7 / 10; ++page)
            bytes.replace(page * 1024, 1024, QByteArray(1024, '\x5a'));
        writeFile(book, bytes);
        break;
    }
    case Fault::OtherProgram: {
        // An ordinary unencrypted database of some other program under our name.
        ASSERT_TRUE(QFile::remove(book));
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(book.toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE Notes (Id INTEGER, Text TEXT);"
                                   "INSERT INTO Notes VALUES (1, 'hello')",
                               nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        break;
    }
    case Fault::SettingsBinary: {
        QByteArray bytes(4096, '\0');
        for (char &b : bytes)
            b = char(QRandomGenerator::global()->generate());
        bytes[10] = '\0';
        writeFile(SettingsFile, bytes);
        break;
    }
    case Fault::SettingsEnormous: {
        writeFile(SettingsFile, "[Quillmark]\nUserPower=出纳\n");
        QFile f(SettingsFile);
        ASSERT_TRUE(f.resize(100 * 1024 * 1024));
        break;
    }
    case Fault::SettingsNotUtf8: {
        // What a settings editor on a Chinese desktop may save: GB18030.
        QStringEncoder gb18030("GB18030");
        ASSERT_TRUE(gb18030.isValid());
        writeFile(SettingsFile, gb18030.encode(QStringLiteral(
            "[Quillmark]\nUserPower=出纳\nAccountType=应收帐\n")));
        break;
    }
    case Fault::SettingsCutCharacter: {
        // UTF-8 up to its last character, which is cut short (a copy broken off).
        const QByteArray text = QStringLiteral("[Quillmark]\nUserPower=出纳\n").toUtf8();
        writeFile(SettingsFile, text.left(text.size() - 2));
        break;
    }
    case Fault::PictureMissing:
        ownPictures(folder.Path());
        ASSERT_TRUE(QFile::remove(folder.Path() + QStringLiteral("Res/Welcome.bmp")));
        break;
    case Fault::PictureGarbage:
        ownPictures(folder.Path());
        writeFile(folder.Path() + QStringLiteral("Res/Ok.ico"), QByteArray(3000, '\x7f'));
        break;
    case Fault::PictureHugeHeader: {
        // A bitmap whose header claims 60000 by 60000 pixels: 14 GB if believed.
        ownPictures(folder.Path());
        QByteArray bmp = readFile(folder.Path() + QStringLiteral("Res/Welcome.bmp"));
        ASSERT_GT(bmp.size(), 54);
        const qint32 side = 60000;
        memcpy(bmp.data() + 18, &side, 4);
        memcpy(bmp.data() + 22, &side, 4);
        writeFile(folder.Path() + QStringLiteral("Res/Welcome.bmp"), bmp);
        break;
    }
    }
    if (::testing::Test::HasFatalFailure())
        return;
    const QMap<QString, QByteArray> before = snapshot(folder.Path());

    ScriptedUi ui;
    if (c.status == 0)
        ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *) {});
    int status = -1;
    QStringList messages;
    {
        TProgram program;
        status = program.Start();
        messages = ui.Messages();
        if (c.fault == Fault::PageOverwritten) {
            // Nothing at start-up reads the damaged page; the first read of it says so.
            ui.Clear();
            EXPECT_FALSE(RunQuery(ShareDataModule->ADOQueryTemp,
                                  QStringLiteral("Select * From MoneyTable"),
                                  QStringLiteral("帐款读入失败")));
            messages << ui.Messages();
        }
        FormMain->Closing = true;
    }
    EXPECT_EQ(status, c.status);
    ASSERT_EQ(messages.size(), 1) << messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(messages.constFirst().contains(QString::fromUtf8(c.message)))
        << messages.constFirst().toStdString();
    EXPECT_EQ(snapshot(folder.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Table, BadFileAtStart, ::testing::Values(
    FaultCase{Fault::CutShort, 1, "数据库文件已损坏，无法打开"},
    FaultCase{Fault::PageOverwritten, 0, "帐款读入失败\n数据库文件已损坏"},
    FaultCase{Fault::OtherProgram, 1, "数据库无法打开：数据库密码不符、文件已损坏或不是本软件的数据库"},
    FaultCase{Fault::SettingsBinary, 1, "原因：它含有二进制内容"},
    FaultCase{Fault::SettingsEnormous, 1, "原因：它有 104857600 字节，太大了"},
    FaultCase{Fault::SettingsNotUtf8, 1, "原因：它不是 UTF-8 编码的文本"},
    FaultCase{Fault::SettingsCutCharacter, 1, "原因：它不是 UTF-8 编码的文本"},
    FaultCase{Fault::PictureMissing, 0, "有 1 个图片缺少或已损坏：\nWelcome.bmp"},
    FaultCase{Fault::PictureGarbage, 0, "有 1 个图片缺少或已损坏：\nOk.ico"},
    FaultCase{Fault::PictureHugeHeader, 0, "有 1 个图片缺少或已损坏：\nWelcome.bmp"}));

// The damaged page is named with the backup folder, where the user finds what to restore.
TEST(BadFileAtStart, TheDamageMessageNamesTheBackupFolder)
{
    TestFolder folder;
    EXPECT_TRUE(DbFaultText(DbFault::Corrupt).contains(QDir::toNativeSeparators(BackupFolder())));
}

// A book locked by another process, here the engine's own shell holding a write.
TEST(BadFileAtStart, ABookLockedByAnotherProcessIsInUse)
{
    TestFolder folder;
    QProcess shell;
    shell.start(QStringLiteral("sqlcipher"), {folder.Database()});
    ASSERT_TRUE(shell.waitForStarted());
    shell.write("PRAGMA key = 'OrchidVantage';\nBEGIN EXCLUSIVE;\nSELECT 'locked';\n");
    while (!shell.readAllStandardOutput().contains("locked"))
        ASSERT_TRUE(shell.waitForReadyRead(10000));
    const QMap<QString, QByteArray> before = snapshot(folder.Path());
    const int wait = DbConnection::BusyTimeoutMs;
    DbConnection::BusyTimeoutMs = 200;
    ScriptedUi ui;
    int status = -1;
    {
        TProgram program;
        status = program.Start();
        FormMain->Closing = true;
    }
    DbConnection::BusyTimeoutMs = wait;
    EXPECT_EQ(status, 1);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().constFirst().startsWith(QStringLiteral("数据库正被其他程序使用")))
        << ui.Messages().constFirst().toStdString();
    EXPECT_EQ(snapshot(folder.Path()), before);
    shell.write("ROLLBACK;\n.quit\n");
    shell.closeWriteChannel();
    EXPECT_TRUE(shell.waitForFinished(10000));
}

// A book the user may only read: opened by a copy of the program running as a user without
// write permission (root writes anyway, so as root the copy runs as nobody).
TEST(BadFileAtStart, ABookThatCannotBeWrittenIsRefused)
{
    TestFolder folder;
    ASSERT_TRUE(QFile::setPermissions(folder.Database(), QFile::ReadOwner | QFile::ReadGroup
                                                             | QFile::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::WriteOwner
                                                         | QFile::ExeOwner | QFile::ReadOther
                                                         | QFile::ExeOther | QFile::ReadGroup
                                                         | QFile::ExeGroup));
    const QMap<QString, QByteArray> before = snapshot(folder.Path());
    HelperProcess helper({QStringLiteral("open"), folder.Path(), QStringLiteral("--as-nobody")});
    ASSERT_TRUE(helper.WaitEnd(60000));
    const QStringList said = helper.Said(QStringLiteral("REFUSED"));
    ASSERT_EQ(said.size(), 1) << helper.Lines().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(said.constFirst().startsWith(
        QString::number(int(DbConnection::OpenFailure::ReadOnly)) + QStringLiteral(" 数据库文件不能写入")))
        << said.constFirst().toStdString();
    EXPECT_EQ(snapshot(folder.Path()), before);
    QFile::setPermissions(folder.Database(), QFile::ReadOwner | QFile::WriteOwner);
}

// Every picture the build makes is one the program checks at start-up, and the other way
// round: a picture added to a window without the check would fail unnoticed.
TEST(BadFileAtStart, TheStartUpCheckKnowsEveryPicture)
{
    QStringList built = QDir(QStringLiteral(QM_BUILD_DIR "/Res")).entryList(QDir::Files);
    QStringList known = ProgramPictures();
    built.sort();
    known.sort();
    EXPECT_EQ(known, built);
}

} // namespace
