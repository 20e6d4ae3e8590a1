#include "ShareDM.h"

#include "BookAddress.h"
#include "DatabaseKey.h"
#include "DbCursor.h"
#include "Globals.h"
#include "PublicFunction.h"
#include "Settings.h"
#include "Ui.h"

#include <QDir>
#include <QFileInfo>

TShareDataModule *ShareDataModule = nullptr;

TShareDataModule::TShareDataModule() = default;

TShareDataModule::~TShareDataModule() = default;

QString MissingDatabaseMessage()
{
    return QStringLiteral("数据库文件找不到，请联系澄衡软件有限公司 ") + SupportPhone;
}

bool TShareDataModule::OpenDatabase()
{
    if (!NetworkModeSwitch) {
        const QString path = DatabaseFileIn(DataDir);
        if (!QFileInfo(path).isFile()) {
            Ui::Error(MissingDatabaseMessage());
            return false;
        }
        return ConnectDatabase(path);
    }
    const QString path =
        ReadSetting(SettingKey::DatabaseSection, SettingKey::Address, QString(), SettingsFile);
    // A server that cannot be reached or refuses us is said as it is: the address window
    // would only offer files.
    if (IsServerBookAddress(path))
        return ConnectDatabase(path);
    if (!path.isEmpty() && QFileInfo(path).isFile())
        return ConnectDatabase(path);
    if (AskDatabaseAddress)
        return AskDatabaseAddress();
    Ui::Error(QStringLiteral("找不到数据库文件：%1\n请在设置文件中填写正确的数据库地址后重新启动程序。")
                  .arg(path.isEmpty() ? QStringLiteral("（地址未设置）") : path));
    return false;
}

namespace {

const int PasswordAsks = 3;

} // namespace

QString ServerOpenMessage(BookOpenFailure failure, const QString &address, const QString &error)
{
    const QString shown = AddressForDisplay(address);
    QString text;
    switch (failure) {
    case BookOpenFailure::Unreachable:
        text = QStringLiteral("无法连接数据库服务器：%1\n请检查地址中的服务器名和端口、网络连接，"
                              "以及服务器是否已经启动。");
        break;
    case BookOpenFailure::Refused:
        text = QStringLiteral("数据库服务器拒绝了登录：%1\n用户名或密码不对，或者这个用户没有"
                              "使用该数据库的权限。");
        break;
    case BookOpenFailure::Missing:
        text = QStringLiteral("数据库服务器上没有这个数据库：%1\n请检查地址中的数据库名。");
        break;
    case BookOpenFailure::NotOurs:
        text = QStringLiteral("服务器上的这个数据库不是本软件的帐本：%1");
        break;
    case BookOpenFailure::Busy:
        text = QStringLiteral("数据库服务器正忙，暂时无法打开帐本：%1\n请稍后再试。");
        break;
    default:
        text = QStringLiteral("服务器上的帐本无法打开：%1");
        break;
    }
    text = text.arg(shown);
    if (!error.isEmpty())
        text += QStringLiteral("\n\n服务器的说明：") + error;
    return text;
}

QString TShareDataModule::ServerPassword(const QString &address) const
{
    return m_serverPasswords.value(address);
}

bool TShareDataModule::OpenServerBook(DbConnection &connection, const QString &address)
{
    const QString problem = ServerAddressProblem(address);
    if (!problem.isEmpty()) {
        Ui::Error(problem);
        return false;
    }
    QString password = m_serverPasswords.value(address);
    for (int asked = 0;; ++asked) {
        const BookOpenFailure failure = OpenBook(connection, address, password);
        if (failure == BookOpenFailure::None) {
            if (!password.isEmpty())
                m_serverPasswords.insert(address, password);
            return true;
        }
        // The server wants a password the user's password file does not give, or the one
        // typed was wrong: asked for, a few times.
        if (failure != BookOpenFailure::Refused || asked >= PasswordAsks || !AskServerPassword) {
            Ui::Error(ServerOpenMessage(failure, address, connection.LastError()));
            return false;
        }
        const QString hint = asked == 0 && password.isEmpty()
            ? QString()
            : QStringLiteral("密码不对，请重新输入（还可以输入 %1 次）。").arg(PasswordAsks - asked);
        m_serverPasswords.remove(address);
        password.clear();
        if (!AskServerPassword(AddressForDisplay(address), hint, &password))
            return false;
    }
}

bool TShareDataModule::ConnectDatabase(const QString &path)
{
    if (IsServerBookAddress(path))
        return OpenServerBook(ADOConnection1, path);
    if (ADOConnection1.Open(path, QString::fromLatin1(DatabasePassword)))
        return true;
    const QString where = QFileInfo(path).absoluteFilePath();
    switch (ADOConnection1.Failure()) {
    case DbConnection::OpenFailure::Missing:
        Ui::Error(QStringLiteral("找不到数据库文件：%1").arg(where));
        break;
    case DbConnection::OpenFailure::Busy:
        Ui::Error(QStringLiteral("数据库正被其他程序使用，暂时无法打开。\n"
                                 "请关闭正在使用它的程序（或等另一台电脑上的操作完成）后再试。\n%1")
                      .arg(where));
        break;
    case DbConnection::OpenFailure::Corrupt:
        Ui::Error(QStringLiteral("数据库文件已损坏，无法打开：\n%1\n\n程序没有改动这个文件。"
                                 "请先把它另存一份，再把备份文件夹 %2 中最近的备份复制过来，"
                                 "用原来的文件名替换它，然后重新启动程序。")
                      .arg(where, QDir::toNativeSeparators(BackupFolder())));
        break;
    case DbConnection::OpenFailure::ReadOnly:
        Ui::Error(QStringLiteral("数据库文件不能写入：\n%1\n\n文件或它所在的文件夹是只读的，"
                                 "程序无法保存任何数据。请取消只读属性，或让系统管理员给当前用户"
                                 "写入权限，然后重新启动程序。")
                      .arg(where));
        break;
    default:
        Ui::Error(QStringLiteral("数据库无法打开：数据库密码不符、文件已损坏或不是本软件的数据库。\n%1")
                      .arg(where));
        break;
    }
    return false;
}

QString DatabaseFileIn(const QString &dir)
{
    const QString name = QStringLiteral("Quillmark.MDB");
    const QDir folder(dir);
    if (QFileInfo(folder.filePath(name)).isFile())
        return folder.filePath(name);
    // A restored or copied file may come back as Quillmark.mdb: the same file to us.
    const QStringList entries = folder.entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return folder.filePath(name);
}

namespace {

// A damaged or busy file is not the statement's fault: after the caller's own words the
// user is told what happened and what to do.
void readFailed(const QString &message, DbFault fault, const QString &error)
{
    if (fault == DbFault::None)
        Ui::Message(message);
    else
        Ui::Message(message + QLatin1Char('\n') + error, QString(), Ui::Icon::Error);
}

} // namespace

bool RunQuery(DbQuery &query, const QString &statement, const QString &message)
{
    query.Close();
    query.SetSQL(statement);
    if (query.Open())
        return true;
    readFailed(message, query.Fault(), query.LastError());
    return false;
}

bool ReadPickList(int type, QStringList *values)
{
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From Parameter Where ParameterType = %1")
                             .arg(type),
                  QStringLiteral("参数读入失败")))
        return false;
    for (query.First(); !query.Eof(); query.Next())
        values->append(query.FieldByName(QStringLiteral("ParameterValue")).AsString());
    return true;
}

bool ReadCustomerNames(QStringList *names)
{
    DbCursor cursor(&ShareDataModule->ADOConnection1);
    bool read = cursor.Open(QStringLiteral("Select CustomerName From Customer Where "
                                           "(CustomerIndex > 1)")
                            + CustomerFilter + QStringLiteral(" Order By CustomerIndex"));
    for (; read && !cursor.Eof(); cursor.Next())
        names->append(cursor.Field(0).AsString());
    read = read && !cursor.Failed();
    const DbFault fault = cursor.Fault();
    const QString error = cursor.LastError();
    cursor.Close();   // before a message: an open cursor keeps other computers from writing
    if (!read)
        readFailed(QStringLiteral("客户读入失败"), fault, error);
    return read;
}

namespace {

int firstNonZeroDigit(const QString &text)
{
    for (int i = 0; i < text.size(); ++i)
        if (text.at(i) >= QLatin1Char('1') && text.at(i) <= QLatin1Char('9'))
            return i;
    return -1;
}

} // namespace

QString NextDocumentNumber(const QString &last)
{
    const int at = firstNonZeroDigit(last);
    if (at < 0)
        return QString();
    const QString tail = last.mid(at);
    // Numbers are counted in 32 bits: a tail whose next number would pass 2147483647 has
    // none, rather than a wrapped-around one.
    if (!IsDigits(tail) || tail.size() > 10)
        return QString();
    const qint64 value = tail.toLongLong();
    if (value >= 2147483647LL)
        return QString();
    return last.left(at) + QString::number(value + 1);
}

bool IsValidDocumentNumber(const QString &text)
{
    const int at = firstNonZeroDigit(text);
    return at < 0 || IsDigits(text.mid(at));
}
