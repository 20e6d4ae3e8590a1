#include "ProgramFolder.h"

#include "Globals.h"

#include <QDir>
#include <QFileInfo>
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

} // namespace

QString ProgramFolderProblem()
{
    const QString folder = QDir::toNativeSeparators(ProgramDir);
    if (!QFileInfo(ProgramDir).isDir() || !folderTakesNewFiles(ProgramDir))
        return QStringLiteral("程序所在的文件夹不能写入：\n%1\n\n").arg(folder) + whatToDo();
    // Names are compared without regard to case: a restored Quillmark.mdb is the database.
    const QStringList ours = QDir(ProgramDir).entryList(
        {QStringLiteral("Quillmark.ini"), QStringLiteral("Quillmark.MDB")},
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : ours) {
        const QString path = ProgramDir + name;
        if (!writableFileOrAbsent(path))
            return QStringLiteral("程序文件夹中的文件不能写入：\n%1\n\n")
                       .arg(QDir::toNativeSeparators(path))
                + whatToDo();
    }
    return QString();
}
