#include "Globals.h"

#include "SqlText.h"

#include <QDir>

QString ProgramDir;
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
    return ProgramDir + QStringLiteral("数据库备份");
}

void SetProgramDir(const QString &dir)
{
    ProgramDir = QDir::cleanPath(QDir(dir).absolutePath());
    if (!ProgramDir.endsWith(QLatin1Char('/')))
        ProgramDir += QLatin1Char('/');
    SettingsFile = ProgramDir + QStringLiteral("Quillmark.ini");
}
