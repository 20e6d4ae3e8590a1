// The start-up check of the program folder: a folder or file the program must write and
// cannot is found before anyone signs in, and the message names it.
#include "Globals.h"
#include "ProgramFolder.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>

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
