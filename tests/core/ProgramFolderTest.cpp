// The start-up check of the program folder: a folder or file the program must write and
// cannot is found before anyone signs in, and the message names it; where the books go
// when the program folder is shared by every user.
#include "Globals.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

enum class Fault { None, SettingsIsAFolder, DatabaseIsAFolder, LowerCaseDatabaseIsAFolder,
                   ReadOnlySettings, ReadOnlyFolder, SystemFolder };

struct FolderCase { Fault fault; const char *names; };

class ProgramFolderCheck : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderCheck, FindsWhatCannotBeWritten)
{
    const FolderCase c = GetParam();
    TestFolder folder;
    const bool root = geteuid() == 0;   // root writes where permissions say no
    QString named;
    switch (c.fault) {
    case Fault::None:
        break;
    case Fault::SettingsIsAFolder:
        ASSERT_TRUE(QDir().mkdir(SettingsFile));
        named = SettingsFile;
        break;
    case Fault::DatabaseIsAFolder:
        ASSERT_TRUE(QFile::remove(folder.Database()));
        ASSERT_TRUE(QDir().mkdir(folder.Database()));
        named = folder.Database();
        break;
    case Fault::LowerCaseDatabaseIsAFolder:
        named = folder.Path() + QStringLiteral("quillmark.mdb");
        ASSERT_TRUE(QDir().mkdir(named));
        break;
    case Fault::ReadOnlySettings:
        if (root)
            GTEST_SKIP() << "root may write a read-only file";
        { QFile f(SettingsFile); ASSERT_TRUE(f.open(QIODevice::WriteOnly)); }
        ASSERT_TRUE(QFile::setPermissions(SettingsFile, QFile::ReadOwner));
        named = SettingsFile;
        break;
    case Fault::ReadOnlyFolder:
        if (root)
            GTEST_SKIP() << "root may write a read-only folder";
        ASSERT_TRUE(QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::ExeOwner));
        named = folder.Path();
        break;
    case Fault::SystemFolder:
        // A folder nobody, root included, can create files in.
        SetProgramDir(QStringLiteral("/proc"));
        named = ProgramDir;
        break;
    }
    const QString problem = ProgramFolderProblem();
    QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (c.fault == Fault::None) {
        EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        return;
    }
    EXPECT_TRUE(problem.contains(QDir::toNativeSeparators(named))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("写入权限"))) << problem.toStdString();
    EXPECT_TRUE(problem.startsWith(QString::fromUtf8(c.names))) << problem.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, ProgramFolderCheck, ::testing::Values(
    FolderCase{Fault::None, ""},
    FolderCase{Fault::SettingsIsAFolder, "程序文件夹中的文件不能写入"},
    FolderCase{Fault::DatabaseIsAFolder, "程序文件夹中的文件不能写入"},
    FolderCase{Fault::LowerCaseDatabaseIsAFolder, "程序文件夹中的文件不能写入"},
    FolderCase{Fault::ReadOnlySettings, "程序文件夹中的文件不能写入"},
    FolderCase{Fault::ReadOnlyFolder, "程序所在的文件夹不能写入"},
    FolderCase{Fault::SystemFolder, "程序所在的文件夹不能写入"}));

TEST(ProgramFolderCheck, LeavesNothingBehind)
{
    TestFolder folder;
    const QStringList before = QDir(folder.Path()).entryList(QDir::AllEntries | QDir::Hidden
                                                            | QDir::NoDotAndDotDot);
    EXPECT_TRUE(ProgramFolderProblem().isEmpty());
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::AllEntries | QDir::Hidden
                                            | QDir::NoDotAndDotDot), before);
}

} // namespace

// Where the books go: the program folder when the user may write it, otherwise a folder of
// the user's own, made private, with a copy of the prepared book that later starts keep.
namespace {

enum class Folder { Writable, MarkedShared, SystemFolder, ReadOnly };

void markShared(const TestFolder &folder)
{
    QFile f(folder.Path() + SharedInstallMarker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

class DataFolderChoice : public ::testing::TestWithParam<Folder>
{
protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", home.path().toUtf8()); }
    void TearDown() override { qunsetenv("XDG_DATA_HOME"); }
    QTemporaryDir home;
};

TEST_P(DataFolderChoice, KeepsTheBooksWhereTheUserMayWrite)
{
    TestFolder folder;
    const QString user = home.path() + QStringLiteral("/quillmark/");
    if (GetParam() == Folder::MarkedShared)
        markShared(folder);
    if (GetParam() == Folder::SystemFolder)
        SetProgramDir(QStringLiteral("/proc"));   // not even root writes here
    if (GetParam() == Folder::ReadOnly) {
        if (geteuid() == 0)
            GTEST_SKIP() << "root may write a read-only folder";
        ASSERT_TRUE(QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString problem = UseDataFolder();
    QFile::setPermissions(folder.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    if (GetParam() == Folder::Writable) {
        EXPECT_EQ(DataDir, ProgramDir);
        EXPECT_FALSE(QFileInfo::exists(user));
        return;
    }
    EXPECT_EQ(SettingsFile, user + QStringLiteral("Quillmark.ini"));
    EXPECT_EQ(BackupFolder(), user + QStringLiteral("数据库备份"));
    const QFile::Permissions mine = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    EXPECT_EQ(QFileInfo(user).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              mine);
    if (GetParam() == Folder::SystemFolder)
        return;   // no prepared book there to copy
    const QString book = user + QStringLiteral("Quillmark.MDB");
    EXPECT_EQ(contents(book), contents(folder.Database()));
    // The next start finds the user's book as it is and does not copy over it.
    { QFile f(book); ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("the user's books") > 0); }
    EXPECT_TRUE(UseDataFolder().isEmpty());
    EXPECT_EQ(contents(book), QByteArray("the user's books"));
}

INSTANTIATE_TEST_SUITE_P(Table, DataFolderChoice, ::testing::Values(
    Folder::Writable, Folder::MarkedShared, Folder::SystemFolder, Folder::ReadOnly));

TEST(DataFolder, TwoHomesKeepTwoBooks)
{
    TestFolder folder;
    markShared(folder);
    QTemporaryDir first, second;
    const QByteArray savedHome = qgetenv("HOME");
    qunsetenv("XDG_DATA_HOME");
    for (const QTemporaryDir *home : {&first, &second}) {
        qputenv("HOME", home->path().toUtf8());
        ASSERT_TRUE(UseDataFolder().isEmpty());
        EXPECT_EQ(DataDir, home->path() + QStringLiteral("/.local/share/quillmark/"));
        EXPECT_TRUE(QFileInfo(DatabaseFileIn(DataDir)).isFile());
        // Each finds no settings but their own.
        EXPECT_EQ(ReadSetting(SettingKey::Section, SettingKey::UserPower, QString(), SettingsFile),
                  QString());
        ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::UserPower, home->path(),
                                 SettingsFile));
    }
    qputenv("HOME", savedHome);
}

TEST(DataFolder, NeitherFolderWritableIsSaid)
{
    TestFolder folder;
    markShared(folder);
    qputenv("XDG_DATA_HOME", "/proc/quillmark-test");
    const QString problem = UseDataFolder();
    qunsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(problem.startsWith(QStringLiteral("程序所在的文件夹不能写入"))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("/proc/quillmark-test/quillmark/")));
    EXPECT_EQ(DataDir, ProgramDir);
}

TEST(DataFolder, ChangedTemplatesAreTheUsers)
{
    TestFolder folder;
    markShared(folder);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    ASSERT_TRUE(UseDataFolder().isEmpty());
    qunsetenv("XDG_DATA_HOME");
    const QString installed = folder.Path() + QStringLiteral("Frf/Bill.frf");
    const QString own = TemplateToSave(QStringLiteral("Bill.frf"));
    EXPECT_EQ(own, DataDir + QStringLiteral("Frf/Bill.frf"));
    EXPECT_EQ(TemplateToRead(QStringLiteral("Bill.frf")), installed);   // not changed yet
    { QFile f(own); ASSERT_TRUE(f.open(QIODevice::WriteOnly)); }
    EXPECT_EQ(TemplateToRead(QStringLiteral("Bill.frf")), own);
}

} // namespace
