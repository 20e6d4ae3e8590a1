#include "FormAccount.h"

#include "BookKind.h"
#include "DbTransaction.h"
#include "Globals.h"
#include "Look.h"
#include "PublicFunction.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <cmath>

TFormAccount *FormAccount = nullptr;

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");

QString accountRow(qint64 index)
{
    return QStringLiteral("Select * From Account Where AccountIndex = ") + QString::number(index);
}

// The amount a user typed: a plain decimal number, optionally signed, blanks around it
// allowed. False for anything else ("1.2.3", "abc", "1,000", "") and for amounts too large
// to show as an amount (10^15 and more).
bool parseAmount(const QString &text, double *amount)
{
    // A Chinese input method types full-width digits; they are the same number.
    QString t = text.trimmed();
    for (QChar &c : t) {
        const ushort u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            c = QChar(u - 0xFF10 + '0');
        else if (u == 0xFF0E)
            c = QLatin1Char('.');
        else if (u == 0xFF0D)
            c = QLatin1Char('-');
        else if (u == 0xFF0B)
            c = QLatin1Char('+');
    }
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (!number.match(t).hasMatch())
        return false;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) >= 1e15)
        return false;
    *amount = value;
    return true;
}

// Deletes the account and every money record it holds in one transaction: either all of
// them are gone or, on any failure, none. False with the reason in *error; a missing
// account is not a failure and deletes nothing.
bool deleteAccountWithRecords(qint64 accountIndex, QString *error)
{
    DbTransaction trans(&ShareDataModule->ADOConnection1);
    if (!trans.Active()) {
        *error = trans.LastError();
        return false;
    }
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    q.SetSQL(accountRow(accountIndex));
    if (!q.Open()) {
        *error = q.LastError();
        return false;
    }
    if (q.IsEmpty())
        return true;
    q.First();
    if (!q.Delete()) {
        *error = q.LastError();
        return false;
    }
    q.SetSQL(QStringLiteral("Select * From MoneyTable Where MoneyAccount = ")
             + QString::number(accountIndex));
    if (!q.Open()) {
        *error = q.LastError();
        return false;
    }
    while (!q.IsEmpty()) {
        q.First();
        if (!q.Delete()) {
            *error = q.LastError();
            return false; // the transaction rolls back: the account and its records stay
        }
    }
    if (!trans.Commit()) {
        *error = trans.LastError();
        return false;
    }
    return true;
}

} // namespace

TFormAccount::TFormAccount(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormAccount"), QStringLiteral("新增帐户"),
                   QSize(360, 212), TitleButtons::Close, Placement::MainWindow)
{
    RoundedFrame(this, QRect(16, 12, 328, 41));
    LabelTitle = PlaceLabel(this, QStringLiteral("LabelTitle"),
                            QStringLiteral("澄衡客户管理软件《帐户信息管理》"),
                            QRect(20, 16, 320, 33), Qt::AlignCenter);
    LabelTitle->setFont(KaiFont(18));
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(24, 72, 80, 60),
                        Qt::AlignCenter);
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("帐户名称："),
                        QRect(116, 76, 77, 22), Qt::AlignRight | Qt::AlignVCenter);
    Label2 = PlaceLabel(this, QStringLiteral("Label2"), QStringLiteral("起初金额："),
                        QRect(116, 110, 77, 22), Qt::AlignRight | Qt::AlignVCenter);
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(196, 76, 140, 22));
    Edit2 = PlaceEdit(this, QStringLiteral("Edit2"), QRect(196, 110, 140, 22));
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    SpeedButton1 = PictureButton(this, QStringLiteral("SpeedButton1"), QStringLiteral("确定"),
                                 QStringLiteral("Res/Ok.ico"), QRect(40, 156, 81, 33));
    SpeedButton2 = PictureButton(this, QStringLiteral("SpeedButton2"), QStringLiteral("取消"),
                                 QStringLiteral("Res/Cancel.ico"), QRect(140, 156, 81, 33));
    SpeedButton3 = PictureButton(this, QStringLiteral("SpeedButton3"), QStringLiteral("删除"),
                                 QStringLiteral("Res/Delete.ico"), QRect(240, 156, 81, 33));
    SpeedButton1->setDefault(true);
    SpeedButton2->setAutoDefault(false);
    SpeedButton3->setAutoDefault(false);
    connect(SpeedButton1, &QPushButton::clicked, this, &TFormAccount::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TFormAccount::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TFormAccount::SpeedButton3Click);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, SpeedButton1);
    setTabOrder(SpeedButton1, SpeedButton2);
    setTabOrder(SpeedButton2, SpeedButton3);
}

void TFormAccount::FormShow()
{
    // The picture of the book the pages show, whatever type the account row itself has.
    Image1->setPixmap(LoadPicture(BookKindOrCash(Session::Book()).Picture()));
    if (DialogAccountIndex == 0) {
        setWindowTitle(QStringLiteral("新增帐户"));
        DialogAccountBase = 0;
        Edit1->clear();
        Edit2->setText(QStringLiteral("0"));
        SpeedButton3->hide();
        Edit1->setFocus();
        return;
    }
    setWindowTitle(QStringLiteral("修改帐户"));
    SpeedButton3->show();
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, accountRow(DialogAccountIndex), OpenFailed)) {
        done(Rejected);
        return;
    }
    // An account deleted meanwhile (on another computer of a shared book) has nothing to
    // edit: confirming would hand the caller a name for a row that is gone.
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到要修改的帐户，它可能已被删除"));
        done(Rejected);
        return;
    }
    q.First();
    DialogAccountName = q.FieldByName(QStringLiteral("AccountName")).AsString();
    Edit1->setText(DialogAccountName);
    Edit2->setText(AmountText(q.FieldByName(QStringLiteral("AccountBase")).AsFloat()));
    Edit1->setFocus();
    Edit1->selectAll();
}

void TFormAccount::SpeedButton1Click()
{
    if (Edit1->text().isEmpty()) {
        Ui::Message(QStringLiteral("帐户名称不得为空"));
        Edit1->setFocus();
        return;
    }
    if (Edit2->text().isEmpty()) {
        Ui::Message(QStringLiteral("起初金额不得为空"));
        Edit2->setFocus();
        return;
    }
    double base = 0;
    if (!parseAmount(Edit2->text(), &base)) {
        Ui::Message(QStringLiteral("起初金额“%1”不是有效的金额，请输入数字，例如 1000 或 -250.5")
                        .arg(Edit2->text()));
        Edit2->setFocus();
        Edit2->selectAll();
        return;
    }
    DialogAccountName = Edit1->text();
    DialogAccountBase = base;
    accept();
}

void TFormAccount::SpeedButton2Click()
{
    reject();
}

void TFormAccount::SpeedButton3Click()
{
    if (DialogAccountIndex == 0)
        return;
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    q.SetSQL(accountRow(DialogAccountIndex));
    if (!q.Open()) {
        Ui::Message(OpenFailed + QStringLiteral("：") + q.LastError());
        return;
    }
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到要删除的帐户，它可能已被删除"));
        return;
    }
    if (!Ui::Ask(QStringLiteral("删除帐户将删除该帐户下所有记录，确实要删除吗？"),
                 QStringLiteral("删除警告")))
        return;
    QString error;
    if (!deleteAccountWithRecords(DialogAccountIndex, &error)) {
        Ui::Message(QStringLiteral("删除帐户时出错，帐户和它的记录都没有删除：") + error, QString(),
                    Ui::Icon::Error);
        return;
    }
    accept();
}
