// A copy of the program without a screen, for the tests that kill it and that run two of
// it on one book: it works the program's own windows (the entry window's save, the account
// dialog's delete, the customer dialog's rename) in a loop and writes one line to its
// standard output for every change the program reported as done, at the moment the program
// said so. The tests read these lines after the helper ends, however it ended.
//
//   reliability_helper work  DIR SEED            saves, deletes and renames until killed
//                                                (on the server book the settings file of
//                                                DIR names, if it names one)
//   reliability_helper share DIR NAME SAVES MS   network mode: SAVES records, busy wait MS,
//                                                starting at a line on its standard input
//   reliability_helper open  DIR [--as-nobody]   opens the book and says how it went
//   reliability_helper statement DIR NAME TIMES LINES   prints NAME's customer statement of
//                                                2024 TIMES times, starting at a line on its
//                                                standard input; each must read LINES lines
#include "BookAddress.h"
#include "CustomerStatement.h"
#include "DbTransaction.h"
#include "FormAccount.h"
#include "FormCustomer.h"
#include "FormGetPay.h"
#include "Globals.h"
#include "Registry.h"
#include "Settings.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QLocale>

#include <cstdio>
#include <random>

#include <unistd.h>

namespace {

// One line, straight to the file descriptor: nothing waits in a buffer for a kill to lose.
void say(const QString &line)
{
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(1, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

QString oneLine(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// Answers as a user who confirms every question, and keeps the messages for the loop to
// read; the windows are worked directly, never shown.
class HelperUi : public UiBackend
{
public:
    QStringList messages;

    void Message(const QString &text, const QString &, Icon) override { messages << text; }
    bool Ask(const QString &, const QString &, AskIcon) override { return true; }
    QString OpenFile(const QString &, const QString &, const QString &,
                     const QString &) override { return {}; }
    QString SaveFile(const QString &, const QString &, const QString &,
                     const QString &) override { return {}; }
    bool OpenExternally(const QString &) override { return false; }
    int ShowModal(QDialog *) override { return QDialog::Rejected; }

    QString Last() const { return messages.isEmpty() ? QString() : messages.constLast(); }
};

bool busy(const QString &message)
{
    return message.contains(QStringLiteral("数据库正忙"));
}

// The windows of one copy of the program, on the book at the folder's address.
struct Program
{
    HelperUi ui;
    TShareDataModule dm;
    Registration<TShareDataModule> dmSlot{ShareDataModule, &dm};
    TFormGetPay pay;
    TFormAccount account;
    TFormCustomer customer;

    Program()
    {
        Ui::Install(&ui);
        RegisterWindow(FormGetPay, &pay);
        RegisterWindow(FormAccount, &account);
        RegisterWindow(FormCustomer, &customer);
        Session::SetUser(QStringLiteral("出纳"));
        Session::SetWorkingDate(QDate(2024, 3, 15));
    }
    ~Program() { Ui::Install(nullptr); }

    DbConnection *conn() { return &dm.ADOConnection1; }

    // Shows the entry window for a new cash record and types into it.
    bool fillEntry(bool income, const QString &amount, const QString &remark)
    {
        ui.messages.clear();
        pay.EntryMode = income ? TFormGetPay::NewIncome : TFormGetPay::NewExpense;
        pay.EntryAccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
        pay.EntryAccountType = QStringLiteral("现金帐");
        pay.EntryDate = QDate(2024, 3, 15);
        pay.FormShow();
        if (!ui.messages.isEmpty())
            return false;
        pay.ComboBox1->setCurrentIndex(pay.ComboBox1->findText(QStringLiteral("现金")));
        pay.ComboBox5->setEditText(QStringLiteral("客户甲"));
        pay.Edit2->setText(amount);
        pay.Edit3->setText(remark);
        return true;
    }
};

QList<qint64> keys(DbConnection *conn, const QString &sql)
{
    QList<qint64> out;
    DbQuery q(conn);
    q.SetSQL(sql);
    if (q.Open())
        for (q.First(); !q.Eof(); q.Next())
            out << q.FieldByName(q.FieldNames().constFirst()).AsInteger();
    return out;
}

// An account of the payable book with count records, made in one transaction; its opening
// amount is the count, so the test can tell a whole account from a half-deleted one.
qint64 makeAccount(DbConnection *conn, const QString &name, int count)
{
    DbTransaction trans(conn);
    if (!trans.Active())
        return -1;
    DbQuery q(conn);
    q.SetSQL(QStringLiteral("Select * From Account Where 1 = 0"));
    if (!q.Open() || !q.Append())
        return -1;
    q.SetField(QStringLiteral("AccountName"), name);
    q.SetField(QStringLiteral("AccountType"), QStringLiteral("应付帐"));
    q.SetField(QStringLiteral("AccountBase"), double(count));
    q.SetField(QStringLiteral("AccountPower"), QStringLiteral("出纳"));
    if (!q.Post())
        return -1;
    const qint64 index = q.FieldByName(QStringLiteral("AccountIndex")).AsInteger();
    q.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
    if (!q.Open())
        return -1;
    for (int i = 0; i < count; ++i) {
        q.Append();
        q.SetField(QStringLiteral("MoneyAccount"), index);
        q.SetField(QStringLiteral("MoneyCreateTime"), QDate(2024, 3, 1));
        q.SetField(QStringLiteral("MoneyUser"), QStringLiteral("客户乙"));
        q.SetField(QStringLiteral("MoneySum"), -1.0);
        q.SetField(QStringLiteral("MoneyOut"), 1.0);
        q.SetField(QStringLiteral("MoneyRemark"), name);
        if (!q.Post())
            return -1;
    }
    return trans.Commit() ? index : -1;
}

int work(Program &p, quint32 seed)
{
    std::mt19937 random(seed);
    const auto chance = [&random](int n) { return int(random() % quint32(n)); };
    QList<qint64> toDelete = keys(p.conn(), QStringLiteral(
        "Select AccountIndex From Account Where AccountType = '应付帐' And AccountName Like '删%'"));
    const QList<qint64> renamed = keys(p.conn(), QStringLiteral(
        "Select CustomerIndex From Customer Where CustomerRemark Like '改名%'"));
    say(QStringLiteral("READY"));
    for (int n = 1;; ++n) {
        const int what = chance(10);
        if (what < 6) {
            const QString remark = QStringLiteral("K%1-%2").arg(seed).arg(n);
            if (!p.fillEntry(what < 4, QString::number(n % 997 + 1), remark))
                continue;
            p.pay.BitBtn1Click();
            if (p.ui.Last().startsWith(QStringLiteral("记录新增成功")))
                say(QStringLiteral("SAVED %1 %2").arg(remark, p.pay.Edit4->text()));
            else
                say(QStringLiteral("FAIL %1").arg(oneLine(p.ui.Last())));
        } else if (what < 8) {
            if (toDelete.isEmpty() || chance(2) == 0) {
                const int count = 1 + chance(40);
                const QString name = QStringLiteral("删%1-%2").arg(seed).arg(n);
                const qint64 made = makeAccount(p.conn(), name, count);
                if (made > 0) {
                    toDelete << made;
                    say(QStringLiteral("MADE %1 %2").arg(made).arg(count));
                }
                continue;
            }
            const qint64 index = toDelete.takeAt(chance(int(toDelete.size())));
            p.ui.messages.clear();
            p.account.DialogAccountIndex = index;
            p.account.setResult(QDialog::Rejected);
            p.account.FormShow();
            p.account.SpeedButton3Click();
            if (p.account.result() == QDialog::Accepted)
                say(QStringLiteral("DELETED %1").arg(index));
            else
                say(QStringLiteral("FAIL %1").arg(oneLine(p.ui.Last())));
        } else if (!renamed.isEmpty()) {
            const qint64 index = renamed.at(chance(int(renamed.size())));
            p.ui.messages.clear();
            p.customer.DialogCustomerIndex = index;
            p.customer.FormShow();
            // The name ends in its generation, which the phone field repeats: a customer
            // row half-written would show two different ones.
            const QString name = p.customer.Edit1->text();
            const int dash = int(name.lastIndexOf(QLatin1Char('-')));
            const int generation = name.mid(dash + 1).toInt() + 1;
            p.customer.Edit1->setText(name.left(dash + 1) + QString::number(generation));
            p.customer.Edit2->setText(QString::number(generation));
            p.customer.ActionYesExecute();
            if (p.ui.Last() == QStringLiteral("客户资料修改成功"))
                say(QStringLiteral("RENAMED %1 %2").arg(index).arg(generation));
            else
                say(QStringLiteral("FAIL %1").arg(oneLine(p.ui.Last())));
        }
    }
}

// Saves records one after another as a user at a second computer would, keeping to the
// window after a refusal: what is typed stays, and 保存 is clicked again.
int share(Program &p, const QString &name, int saves)
{
    int attempts = 0;
    int busyShown = 0;
    say(QStringLiteral("READY"));
    // Both copies start saving when the test says so, after it has taken the file.
    char go[8];
    if (::read(0, go, sizeof go) <= 0)
        return 1;
    for (int n = 1; n <= saves; ++n) {
        const QString remark = QStringLiteral("%1-%2").arg(name).arg(n);
        const QString amount = QString::number(n);
        while (!p.fillEntry(true, amount, remark)) {
            if (!busy(p.ui.Last())) {
                say(QStringLiteral("FAIL %1").arg(oneLine(p.ui.Last())));
                return 1;
            }
            ++busyShown;
            say(QStringLiteral("BUSY showing"));
        }
        for (;;) {
            ++attempts;
            p.ui.messages.clear();
            p.pay.BitBtn1Click();
            const QString said = p.ui.Last();
            if (said.startsWith(QStringLiteral("记录新增成功"))) {
                say(QStringLiteral("SAVED %1 %2").arg(remark, p.pay.Edit4->text()));
                // The number offered was taken by the other copy meanwhile.
                if (said.contains(QStringLiteral("已被另一台电脑的记录使用")))
                    say(QStringLiteral("RENUMBERED %1").arg(remark));
                break;
            }
            if (!busy(said)) {
                say(QStringLiteral("FAIL %1").arg(oneLine(said)));
                return 1;
            }
            ++busyShown;
            say(QStringLiteral("BUSY saving"));
            if (p.pay.Edit2->text() != amount || p.pay.Edit3->text() != remark)
                say(QStringLiteral("LOSTTYPING %1").arg(remark));
        }
    }
    say(QStringLiteral("DONE %1 %2 %3").arg(attempts).arg(busyShown).arg(p.conn()->BusyWaits()));
    return 0;
}

// Prints one customer's statement again and again while another copy prints another's:
// every printout must hold its own lines only, all of them.
int statement(Program &p, const QString &name, int times, int lines)
{
    say(QStringLiteral("READY"));
    char go[8];
    if (::read(0, go, sizeof go) <= 0)
        return 1;
    const QStringList fixed{QStringLiteral("客户名称"), QStringLiteral("应收帐务合计"),
                            QStringLiteral("应付帐务合计"), QStringLiteral("财务收支合计"),
                            QString()};
    for (int n = 1; n <= times; ++n) {
        p.ui.messages.clear();
        ScratchRows printed;
        std::vector<bool> strong;
        if (!WriteCustomerStatement(name, QDate(2024, 1, 1), QDate(2024, 12, 31), &printed,
                                    &strong)) {
            say(QStringLiteral("FAIL %1").arg(oneLine(p.ui.Last())));
            continue;
        }
        const int customer = int(printed.fields.indexOf(QStringLiteral("ReportGrid4")));
        int own = 0;
        for (const QVector<QVariant> &row : printed.rows) {
            const QString who = row.value(customer).toString();
            own += who == name ? 1 : 0;
            if (who != name && !fixed.contains(who))
                say(QStringLiteral("MIXED %1 %2").arg(n).arg(who));
        }
        if (int(printed.rows.size()) != lines)
            say(QStringLiteral("MIXED %1 %2 lines").arg(n).arg(printed.rows.size()));
        say(QStringLiteral("PRINTED %1 %2").arg(n).arg(own));
    }
    say(QStringLiteral("DONE"));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args.at(1);
    if (mode == QLatin1String("open") && args.contains(QStringLiteral("--as-nobody"))
        && geteuid() == 0) {
        // Root writes where permissions say no: the read-only test opens as nobody.
        if (setgid(65534) != 0 || setuid(65534) != 0)
            return 2;
    }
    SetProgramDir(args.at(2));
    Program p;
    // A book on a server is reached in network mode, at the address of the settings file.
    NetworkModeSwitch = mode == QLatin1String("share")
        || IsServerBookAddress(ReadSetting(SettingKey::DatabaseSection, SettingKey::Address,
                                           QString(), SettingsFile));
    if (mode == QLatin1String("share"))
        DbConnection::BusyTimeoutMs = args.value(5).toInt();
    if (!p.dm.OpenDatabase()) {
        say(QStringLiteral("REFUSED %1 %2")
                .arg(int(p.conn()->Failure()))
                .arg(oneLine(p.ui.Last())));
        return 3;
    }
    if (mode == QLatin1String("open")) {
        say(QStringLiteral("OPENED"));
        return 0;
    }
    if (mode == QLatin1String("work"))
        return work(p, args.at(3).toUInt());
    if (mode == QLatin1String("share"))
        return share(p, args.at(3), args.at(4).toInt());
    if (mode == QLatin1String("statement"))
        return statement(p, args.at(3), args.at(4).toInt(), args.at(5).toInt());
    return 2;
}
