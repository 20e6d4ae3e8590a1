// The maintenance page "数据维护" (the administrator's): backup of the database into the
// folder 数据库备份, restore from a backup, and with network mode the database's address.
// The main window places it on its sheet TabSheet6 and ends the program when it asks to.
#pragma once

#include "FormMoveToServer.h"

#include <QString>
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class TPageData : public QWidget
{
    Q_OBJECT
public:
    explicit TPageData(QWidget *parent);

    QGroupBox *GroupBox1;       // 帐套数据操作
    QToolButton *ButtonSave;    // 备份数据 (ActionSave)
    QToolButton *ButtonLoad;    // 恢复数据 (ActionLoad)
    QGroupBox *GroupBox2;       // 修改数据库地址, with network mode only
    QLineEdit *Edit5;           // the stored database address
    QPushButton *btnSelectNet;  // 设置
    QPushButton *btnMoveToServer;  // 移到服务器…, with network mode and a book file open
    TFormMoveToServer *FormMoveToServer;
    QLabel *Label2; // where the book and the backups are kept

    // The administrator signed in: the address box as the build allows, and the address.
    void AdministratorSignedIn();

    void ActionSaveExecute();
    void ActionLoadExecute();
    void btnSelectNetClick();
    void btnMoveToServerClick();

    // The backup folder beside the program, and the name a backup taken on date gets.
    static QString BackupFolder();
    static QString SuggestedBackupName(const QDate &date);

signals:
    // A restore (or, with network mode, a backup or a new address) is done: the program
    // ends so that the next start opens the database afresh.
    void EndProgram();

private:
    bool makeBackupFolder();
    // Where the database a restore replaces is kept: 数据库备份/恢复前的数据库 and the time.
    static QString keptCopyPath();
    void restoreFrom(const QString &file);
    // Stores a new address after the book there opened; offers the restart.
    void storeAddress(const QString &address);
};
