#include "DatabaseFile.h"

#include "Database.h"

#include <QDir>
#include <QFileInfo>

QString DatabaseFileFilter()
{
    return QStringLiteral("Mdb Files (*.mdb *.MDB)");
}

QString UnusableDatabaseMessage(const DbConnection &connection, const QString &path)
{
    const QString where = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    switch (connection.Failure()) {
    case DbConnection::OpenFailure::Missing:
        return QStringLiteral("找不到所选的文件：%1").arg(where);
    case DbConnection::OpenFailure::Busy:
        return QStringLiteral("所选的数据库正被其他程序使用，请稍后再试：%1").arg(where);
    default:
        return QStringLiteral("所选的文件不是本软件的数据库，或者它的数据库密码不符、文件已损坏：%1")
            .arg(where);
    }
}
