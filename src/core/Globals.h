// Run-time values that every window shares: where the program lives, the visibility
// filters of the signed-in user, the refresh flag and the edition switches.
#pragma once

#include <QString>

extern QString ProgramDir;      // directory of the executable, with a trailing '/'
// Where the files that change live (the database, the settings file, the backups, the saved
// pie chart, changed templates), with a trailing '/': the program folder, or the user's own
// folder when the program folder is shared by every user (ProgramFolder.h).
extern QString DataDir;
extern QString SettingsFile; // DataDir + "Quillmark.ini"
extern bool DataChanged;        // set by a window that changed stored data
extern QString AccountFilter;   // SQL suffixes, empty or starting with a blank
extern QString MoneyFilter;
extern QString CustomerFilter;
extern QString ReportCondition; // the report grid's conditions: empty or starting with a blank
extern bool LargeCardPages;     // 28 cards a page when set, 15 when clear
extern bool UserAdminSwitch;    // edition switch: users can be added and deleted
extern bool NetworkModeSwitch;  // edition switch: the database path comes from the settings

// True for a user who sees only what he and the cashier created: anyone but the cashier
// "出纳" and the viewer "查看".
bool SeesOwnRowsOnly(const QString &user);

// The condition that limits a list of accounts to those the user may see: his own and the
// cashier's, for a user who sees only those (SeesOwnRowsOnly); empty for everyone else.
QString AccountVisibilityClause(const QString &user);

// The edition switches this build was made with.
bool BuiltWithUserAdmin();
bool BuiltWithNetworkMode();

// The folder backups go to: 数据库备份 in DataDir.
QString BackupFolder();

// Sets ProgramDir for a program folder, and DataDir and SettingsFile to the same folder.
void SetProgramDir(const QString &dir);
// Sets DataDir and SettingsFile.
void SetDataDir(const QString &dir);

// The program's name, its maker's support contacts and the manual.
inline const QString ProgramTitle = QStringLiteral("澄衡客户管理软件");
inline const QString SupportPhone = QStringLiteral("400-820-6618");
inline const QString SupportMail = QStringLiteral("support@chengheng-soft.cn");
inline const QString HomePage = QStringLiteral("https://www.chengheng-soft.cn/");
