#include "ProgramFolder.h"

#include "Globals.h"

#include "ShareDM.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

// The settings are saved by writing a new file beside the old one and renaming it, and the
// database engine keeps its journal beside the database: both need a folder that takes new
// files, and a probe file is the only sure test of that (permissions, read-only mounts and
// full disks all show the same way).
bool folderTakesNewFiles(const QString &folder)
{
    QTemporaryFile probe(folder + QStringLiteral(".quillmark-probe-XXXXXX"));
    return probe.open();
}

QString whatToDo()
{
    return QStringLiteral("本软件的设置文件和数据库都保存在程序所在的文件夹中，"
                          "不能写入时无法登录，也无法保存数据。\n"
                          "请让系统管理员给当前用户这个文件夹的写入权限，"
                          "或者把本软件安装到当前用户可以写入的文件夹（例如个人文件夹）中，"
                          "然后重新启动程序。");
}

bool writableFileOrAbsent(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.isWritable());
}

bool usableFolder(const QString &folder)
{
    return QFileInfo(folder).isDir() && folderTakesNewFiles(folder);
}

// The settings file or the database in `folder` that exists and cannot be written; empty
// when there is none. Names are compared without regard to case: a restored Quillmark.mdb
// is the database.
QString unwritableFileIn(const QString &folder)
{
    const QStringList ours = QDir(folder).entryList(
        {QStringLiteral("Quillmark.ini"), QStringLiteral("Quillmark.MDB")},
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : ours)
        if (!writableFileOrAbsent(folder + name))
            return folder + name;
    return QString();
}

QString unwritableFileMessage(const QString &path)
{
    if (!path.startsWith(ProgramDir))
        return QStringLiteral("个人数据文件夹中的文件不能写入：\n%1\n\n请取消它的只读属性，"
                              "或让系统管理员给当前用户写入权限，然后重新启动程序。")
            .arg(QDir::toNativeSeparators(path));
    return QStringLiteral("程序文件夹中的文件不能写入：\n%1\n\n")
               .arg(QDir::toNativeSeparators(path))
        + whatToDo();
}

// The user's folder is made readable by the user alone: it holds the books.
bool makePrivateFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(QDir::cleanPath(folder)).absolutePath();
    return QDir().mkpath(parent)
        && QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The prepared book, copied under a passing name and renamed when whole: a start that is
// cut short never leaves half a book that the next start would take for the user's.
bool copyPreparedBook(const QString &folder)
{
    const QString prepared = DatabaseFileIn(ProgramDir);
    if (!QFileInfo(prepared).isFile())
        return true; // nothing to copy: the start then says the database is missing
    const QString part = folder + QStringLiteral(".Quillmark.MDB.part");
    QFile::remove(part);
    if (!QFile::copy(prepared, part))
        return false;
    QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner);
    if (QFile::rename(part, folder + QStringLiteral("Quillmark.MDB")))
        return true;
    QFile::remove(part);
    return false;
}

} // namespace

QString ProgramFolderProblem()
{
    const QString folder = QDir::toNativeSeparators(ProgramDir);
    if (!usableFolder(ProgramDir))
        return QStringLiteral("程序所在的文件夹不能写入：\n%1\n\n").arg(folder) + whatToDo();
    const QString file = unwritableFileIn(ProgramDir);
    return file.isEmpty() ? QString() : unwritableFileMessage(file);
}

QString UserDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return QString();
    return QDir::cleanPath(base) + QStringLiteral("/quillmark/");
}

QString UseDataFolder()
{
    SetDataDir(ProgramDir);
    const bool shared = QFileInfo::exists(ProgramDir + SharedInstallMarker);
    if (!shared && usableFolder(ProgramDir))
        return ProgramFolderProblem();

    const QString user = UserDataFolder();
    const bool made = !user.isEmpty() && makePrivateFolder(user);
    if (!made || !usableFolder(user)) {
        return QStringLiteral(
                   "程序所在的文件夹不能写入：\n%1\n\n个人数据文件夹也无法创建或写入：\n%2\n\n")
                   .arg(QDir::toNativeSeparators(ProgramDir),
                        user.isEmpty() ? QStringLiteral("（没有个人文件夹）")
                                       : QDir::toNativeSeparators(user))
            + QStringLiteral("程序所在的文件夹是所有用户共用的，每个用户的帐本和设置保存在自己的"
                             "个人数据文件夹中。请让系统管理员检查当前用户的个人文件夹是否存在、"
                             "是否可以写入（磁盘是否已满），然后重新启动程序。");
    }
    const QString file = unwritableFileIn(user);
    if (!file.isEmpty())
        return unwritableFileMessage(file);
    if (!NetworkModeSwitch && !QFileInfo(DatabaseFileIn(user)).isFile() && !copyPreparedBook(user))
        return QStringLiteral("无法把空白帐本复制到个人数据文件夹：\n%1\n\n请检查磁盘是否已满，"
                              "然后重新启动程序。")
            .arg(QDir::toNativeSeparators(user));
    SetDataDir(user);
    return QString();
}

QString TemplateToRead(const QString &name)
{
    const QString own = DataDir + QStringLiteral("Frf/") + name;
    if (DataDir != ProgramDir && QFileInfo(own).isFile())
        return own;
    return ProgramDir + QStringLiteral("Frf/") + name;
}

QString TemplateToSave(const QString &name)
{
    QDir().mkpath(DataDir + QStringLiteral("Frf"));
    return DataDir + QStringLiteral("Frf/") + name;
}

QString CakePictureFile()
{
    return DataDir + QStringLiteral("Cake.bmp");
}
