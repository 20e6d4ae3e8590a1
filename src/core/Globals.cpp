#include "Globals.h"

#include "Database.h"
#include "SqlText.h"

#include <QDir>

QString ProgramDir;
QString DataDir;
QString SettingsFile;
bool DataChanged = false;
QString AccountFilter;
QString MoneyFilter;
QString CustomerFilter;
QString ReportCondition;
bool LargeCardPages = false;
bool UserAdminSwitch = false;
bool NetworkModeSwitch = false;

bool SeesOwnRowsOnly(const QString &user)
{
    return user != QStringLiteral("出纳") && user != QStringLiteral("查看");
}

QString AccountVisibilityClause(const QString &user)
{
    if (!SeesOwnRowsOnly(user))
        return QString();
    return QStringLiteral(" And ((AccountPower = %1) Or (AccountPower = '出纳'))").arg(Quoted(user));
}

bool BuiltWithUserAdmin()
{
#ifdef QM_USER_ADMIN
    return true;
#else
    return false;
#endif
}

bool BuiltWithNetworkMode()
{
#ifdef QM_NETWORK_MODE
    return true;
#else
    return false;
#endif
}

QString BackupFolder()
{
    return DataDir + QStringLiteral("数据库备份");
}

namespace {

// The damaged-book message of the query layer names this program's backup folder.
const bool BackupFolderNamed = (SetBackupFolderSource(&BackupFolder), true);

} // namespace

namespace {

QString withSeparator(const QString &dir)
{
    QString clean = QDir::cleanPath(QDir(dir).absolutePath());
    if (!clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

} // namespace

void SetProgramDir(const QString &dir)
{
    ProgramDir = withSeparator(dir);
    SetDataDir(ProgramDir);
}

void SetDataDir(const QString &dir)
{
    DataDir = withSeparator(dir);
    SettingsFile = DataDir + QStringLiteral("Quillmark.ini");
}
