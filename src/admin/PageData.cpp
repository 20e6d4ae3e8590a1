#include "PageData.h"

#include "BookAddress.h"
#include "BookCopy.h"
#include "DatabaseKey.h"
#include "DbBackup.h"
#include "DatabaseFile.h"
#include "FormProgress.h"
#include "Globals.h"
#include "Look.h"
#include "Settings.h"
#include "ShareDM.h"
#include "Ui.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

const QString Password = QString::fromLatin1(DatabasePassword);

QToolButton *bigButton(QWidget *parent, const QString &name, const QString &caption,
                       const QString &picture, const QColor &colour, const QRect &place)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(LoadIcon(picture));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(place);
    b->setStyleSheet(QStringLiteral("QToolButton { color: %1; }").arg(colour.name()));
    return b;
}

// The code's kind with the text: the engine's and the system's codes overlap.
QString codeAndText(const DbCopyResult &result)
{
    return result.CodeText() + QStringLiteral("：") + result.text;
}

// "System Error.  Code: 5." and the text on the next line: how a failed copy is reported.
QString systemError(const DbCopyResult &result)
{
    return QStringLiteral("System Error.  Code: %1.\n").arg(result.code) + codeAndText(result);
}

// The progress window while a copy runs, from first to last of the bar; the window keeps
// painting between the copy's steps. Hidden again, with its own title, when it goes.
class CopyProgress
{
public:
    explicit CopyProgress(const QString &title)
    {
        if (!FormProgress)
            return;
        m_title = FormProgress->windowTitle();
        FormProgress->setWindowTitle(title);
        FormProgress->show();
        FormProgress->SetPosition(0);
    }
    ~CopyProgress()
    {
        if (!FormProgress)
            return;
        FormProgress->hide();
        FormProgress->setWindowTitle(m_title);
    }
    CopyProgress(const CopyProgress &) = delete;
    CopyProgress &operator=(const CopyProgress &) = delete;

    // The part of the bar the next copy fills.
    DbCopyProgress Part(int first, int last) const
    {
        return [first, last](int done, int total) {
            if (FormProgress && total > 0)
                FormProgress->SetPosition(first + int(qint64(last - first) * done / total));
        };
    }

private:
    QString m_title;
};

} // namespace

TPageData::TPageData(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PageData"));
    setGeometry(0, 0, 660, 470);

    GroupBox1 = new QGroupBox(QStringLiteral("帐套数据操作"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(136, 88, 217, 121);
    ButtonSave = bigButton(GroupBox1, QStringLiteral("ButtonSave"), QStringLiteral("备份数据"),
                           QStringLiteral("Res/Backup.ico"), QColor(0, 0, 255),
                           QRect(24, 32, 65, 65));
    ButtonLoad = bigButton(GroupBox1, QStringLiteral("ButtonLoad"), QStringLiteral("恢复数据"),
                           QStringLiteral("Res/Restore.ico"), QColor(255, 0, 0),
                           QRect(128, 32, 65, 65));
    connect(ButtonSave, &QToolButton::clicked, this, &TPageData::ActionSaveExecute);
    connect(ButtonLoad, &QToolButton::clicked, this, &TPageData::ActionLoadExecute);

    GroupBox2 = new QGroupBox(QStringLiteral("修改数据库地址"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(136, 232, 385, 121);
    QLabel *label = PlaceLabel(GroupBox2, QStringLiteral("Label1"), QStringLiteral("数据库地址："),
                               QRect(24, 32, 120, 21));
    Edit5 = PlaceEdit(GroupBox2, QStringLiteral("Edit5"), QRect(24, 60, 265, 21));
    // A server address may be typed here; it is stored only through 设置, which opens the
    // book there first (a file is chosen in the file dialog).
    Edit5->setToolTip(QStringLiteral("输入数据库服务器上帐本的地址后按“设置”，或者直接按“设置”选择数据库文件"));
    label->setBuddy(Edit5);
    btnSelectNet = new QPushButton(QStringLiteral("设置"), GroupBox2);
    btnSelectNet->setObjectName(QStringLiteral("btnSelectNet"));
    btnSelectNet->setGeometry(304, 59, 65, 21);
    btnSelectNet->setCursor(Qt::PointingHandCursor);
    connect(btnSelectNet, &QPushButton::clicked, this, &TPageData::btnSelectNetClick);
    btnMoveToServer = new QPushButton(QStringLiteral("移到服务器…"), GroupBox2);
    btnMoveToServer->setObjectName(QStringLiteral("btnMoveToServer"));
    btnMoveToServer->setGeometry(269, 88, 100, 23);
    btnMoveToServer->setCursor(Qt::PointingHandCursor);
    btnMoveToServer->setAccessibleName(QStringLiteral("把帐本移到服务器"));
    btnMoveToServer->setVisible(false);
    connect(btnMoveToServer, &QPushButton::clicked, this, &TPageData::btnMoveToServerClick);
    FormMoveToServer = new TFormMoveToServer(this);
    FormMoveToServer->Move = [](DbConnection &from, const QString &address,
                                const QString &password, const DbCopyProgress &progress) {
        return MoveBookToServer(from, address, password, progress);
    };
    GroupBox2->setVisible(NetworkModeSwitch);

    // Where the book and the backups are: the manual tells how to restore by hand from there.
    Label2 = PlaceLabel(this, QStringLiteral("Label2"), QString(), QRect(136, 362, 500, 100),
                        Qt::AlignLeft | Qt::AlignTop);
    Label2->setWordWrap(true);
    QPalette grey = Label2->palette();
    grey.setColor(QPalette::WindowText, QColor(96, 96, 96));
    Label2->setPalette(grey);

    setTabOrder(ButtonSave, ButtonLoad);
    setTabOrder(ButtonLoad, Edit5);
    setTabOrder(Edit5, btnSelectNet);
    setTabOrder(btnSelectNet, btnMoveToServer);
}

QString TPageData::BackupFolder()
{
    return ::BackupFolder();
}

QString TPageData::SuggestedBackupName(const QDate &date)
{
    // The date as the program writes it, yyyy-MM-dd: no character a file name cannot hold.
    return ProgramTitle + date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".mdb");
}

void TPageData::AdministratorSignedIn()
{
    GroupBox2->setVisible(NetworkModeSwitch);
    Label2->move(136, NetworkModeSwitch ? 362 : 232);
    const QString book = ShareDataModule && ShareDataModule->ADOConnection1.Connected()
        ? ShareDataModule->ADOConnection1.Path()
        : DatabaseFileIn(DataDir);
    // A book file can be moved onto a server; a book already there cannot be moved again.
    btnMoveToServer->setVisible(NetworkModeSwitch && ShareDataModule
                                && ShareDataModule->ADOConnection1.Connected()
                                && !IsServerBookAddress(book));
    Label2->setText(
        QStringLiteral("帐本（数据库）保存在：%1\n备份文件保存在：%2\n恢复数据之前，软件会先把"
                       "当前的数据库另存到这个文件夹中（文件名以“恢复前的数据库”开头）。")
            .arg(IsServerBookAddress(book)
                     ? AddressForDisplay(book)
                     : QDir::toNativeSeparators(QFileInfo(book).absoluteFilePath()),
                 QDir::toNativeSeparators(BackupFolder())));
    Edit5->setText(ReadSetting(SettingKey::DatabaseSection, SettingKey::Address, QString(),
                               SettingsFile));
    Edit5->setToolTip(AddressForDisplay(Edit5->text()));
}

bool TPageData::makeBackupFolder()
{
    if (QDir().mkpath(BackupFolder()))
        return true;
    Ui::Error(QStringLiteral("数据库备份目录创建失败，请检查磁盘属性是否只读"));
    return false;
}

void TPageData::ActionSaveExecute()
{
    if (!makeBackupFolder())
        return;
    const QString chosen = Ui::SaveFile(
        QStringLiteral("数据库备份"),
        BackupFolder() + QLatin1Char('/') + SuggestedBackupName(QDate::currentDate()),
        DatabaseFileFilter(), QStringLiteral("mdb"));
    if (chosen.isEmpty())
        return;
    DbCopyResult result;
    {
        CopyProgress progress(QStringLiteral("正在备份数据库，请稍候……"));
        // The database the program has open, taken through the engine, is what is backed
        // up, so a write in progress (here or on another computer) never tears the copy.
        result = BackupDatabase(ShareDataModule->ADOConnection1, chosen, Password,
                                progress.Part(0, 100));
    }
    if (!NetworkModeSwitch) {
        if (result.ok)
            Ui::Message(QStringLiteral("恭喜您，数据库备份成功"));
        else
            Ui::Error(QStringLiteral("数据库备份失败，失败号为：%1\n").arg(result.code)
                      + codeAndText(result));
        return;
    }
    if (!result.ok) {
        Ui::Error(systemError(result));
        return;
    }
    Ui::Message(QStringLiteral("恭喜您，数据库备份成功！"));
    emit EndProgram();
}

void TPageData::ActionLoadExecute()
{
    if (!Ui::Ask(QStringLiteral("数据库恢复将导致当前数据全部丢失，是否继续？"),
                 QStringLiteral("恢复警告"), Ui::AskIcon::None))
        return;
    const QString chosen = Ui::OpenFile(QStringLiteral("数据库恢复"), BackupFolder(),
                                        DatabaseFileFilter(), QStringLiteral("mdb"));
    if (chosen.isEmpty())
        return;
    restoreFrom(chosen);
}

QString TPageData::keptCopyPath()
{
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmmss"));
    QString path = BackupFolder() + QStringLiteral("/恢复前的数据库") + stamp
        + QStringLiteral(".mdb");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = BackupFolder() + QStringLiteral("/恢复前的数据库%1_%2.mdb").arg(stamp).arg(n);
    return path;
}

void TPageData::restoreFrom(const QString &file)
{
    DbConnection &live = ShareDataModule->ADOConnection1;
    const QString livePath = live.Path();
    if (SameFile(file, livePath)) {
        Ui::Message(QStringLiteral("所选文件就是正在使用的数据库，不需要恢复。"));
        return;
    }
    // Only one of our databases, with our password, may take the place of the data.
    DbConnection source;
    if (!source.Open(file, Password)) {
        Ui::Error(UnusableDatabaseMessage(source, file)
                  + QStringLiteral("\n数据库没有恢复，当前数据没有改动。"));
        return;
    }
    if (NetworkModeSwitch)
        Ui::Message(QStringLiteral("请先关闭所有的客户端,然后才可以进行数据恢复!"));
    if (!makeBackupFolder())
        return;

    const QString kept = keptCopyPath();
    DbCopyResult result;
    bool keptOk = false;
    {
        CopyProgress progress(QStringLiteral("正在恢复数据库，请稍候……"));
        // The data being replaced are kept first; without that copy nothing is replaced.
        result = BackupDatabase(live, kept, Password, progress.Part(0, 10));
        keptOk = result.ok;
        // The program's connection stays out of the way while the pages go in (the window
        // repaints between steps), and sees the new data once they are in.
        // A server book is written with the server password typed at start-up (empty: the
        // user's password file); a file with the database password.
        const QString targetPassword = IsServerBookAddress(livePath)
            ? ShareDataModule->ServerPassword(livePath)
            : Password;
        if (keptOk)
            result = RestoreDatabase(source, livePath, targetPassword, progress.Part(10, 100));
    }
    source.Close();
    if (!keptOk) {
        Ui::Error(QStringLiteral("恢复前无法另存当前的数据库，数据库没有恢复，当前数据没有改动。\n")
                  + systemError(result));
        return;
    }
    if (result.ok) {
        Ui::Message(QStringLiteral("恭喜您，数据库恢复成功，请重新启动软件"));
        emit EndProgram();
        return;
    }
    // The engine rolled the copy back; the program goes on with the database it had,
    // opened afresh so that nothing of the failed copy lingers in the connection.
    live.Close();
    const bool reopened = ShareDataModule->ConnectDatabase(livePath);
    const QString where = QDir::toNativeSeparators(kept);
    if (reopened) {
        Ui::Error(systemError(result)
                  + QStringLiteral("\n\n数据库恢复失败，已重新打开原来的数据库，软件继续使用它。"
                                   "\n恢复前的数据库另存在：")
                  + where);
        return;
    }
    Ui::Error(systemError(result)
              + QStringLiteral("\n\n数据库恢复失败，原来的数据库也无法重新打开，软件将关闭。"
                               "\n恢复前的数据库另存在：")
              + where);
    emit EndProgram();
}

void TPageData::btnSelectNetClick()
{
    // A server address typed into the box is set as a chosen file is: once its book opens.
    const QString typed = Edit5->text().trimmed();
    const QString stored =
        ReadSetting(SettingKey::DatabaseSection, SettingKey::Address, QString(), SettingsFile);
    if (IsServerBookAddress(typed) && typed != stored) {
        DbConnection probe;
        if (!ShareDataModule->OpenServerBook(probe, typed)) {
            Edit5->setFocus();
            return;
        }
        probe.Close();
        storeAddress(typed);
        return;
    }
    const QString start = typed.isEmpty() || IsServerBookAddress(typed)
        ? DataDir
        : QFileInfo(typed).absolutePath();
    const QString chosen = Ui::OpenFile(QStringLiteral("选择数据库"), start,
                                        DatabaseFileFilter(), QStringLiteral("mdb"));
    if (chosen.isEmpty())
        return;
    if (!QFileInfo(chosen).isFile()) {
        Ui::Message(QStringLiteral("该服务器地址无效"));
        return;
    }
    // A file that will not open would stop the next start; it is refused now instead.
    {
        DbConnection probe;
        if (!probe.Open(chosen, Password)) {
            Ui::Error(UnusableDatabaseMessage(probe, chosen)
                      + QStringLiteral("\n数据库地址没有修改。"));
            return;
        }
    }
    storeAddress(chosen);
}

void TPageData::storeAddress(const QString &address)
{
    if (!WriteSetting(SettingKey::DatabaseSection, SettingKey::Address, address, SettingsFile)) {
        Ui::Error(SettingsNotWritten());
        return;
    }
    Ui::Message(QStringLiteral("服务器地址设置成功"));
    Edit5->setText(address);
    Edit5->setToolTip(AddressForDisplay(address));
    if (Ui::Ask(QStringLiteral("服务器地址设置成功，软件要重启后才生效！是否现在关闭重启？"),
                QStringLiteral("提示"), Ui::AskIcon::Information))
        emit EndProgram();
}

void TPageData::btnMoveToServerClick()
{
    if (Ui::ShowModal(FormMoveToServer) != QDialog::Accepted)
        return;
    const QString address = FormMoveToServer->MovedTo();
    Edit5->setText(address);
    Edit5->setToolTip(AddressForDisplay(address));
    btnMoveToServer->setVisible(false);
    if (Ui::Ask(QStringLiteral("服务器地址设置成功，软件要重启后才生效！是否现在关闭重启？"),
                QStringLiteral("提示"), Ui::AskIcon::Information))
        emit EndProgram();
}
