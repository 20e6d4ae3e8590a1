#include "FormAccount2.h"

#include "BookKind.h"
#include "DataPassword.h"
#include "FormAccount.h"
#include "FormGetPay.h"
#include "Globals.h"
#include "Look.h"
#include "MonthRange.h"
#include "PublicFunction.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QLabel>
#include <QToolButton>

TFormAccount2 *FormAccount2 = nullptr;

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");
const QString CannotOpen = QStringLiteral("无法打开数据库");
const QString Viewer = QStringLiteral("查看");
// One full-width space on each side of a name in the rename and delete messages.
const QString Gap = QStringLiteral("\u3000");

QString accountRow(qint64 index)
{
    return QStringLiteral("Select * From Account Where AccountIndex = ") + QString::number(index);
}

QString amount(double value)
{
    return AmountText(value) + QStringLiteral(" 元");
}

QToolButton *actionButton(QWidget *parent, const char *name, const char *caption,
                          const char *picture, int left)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromUtf8(caption));
    b->setIcon(LoadIcon(QString::fromLatin1(picture)));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(left, 188, 62, 62);
    return b;
}

QString monthCondition(const QDate &day)
{
    const MonthRange month = MonthOf(day);
    return QStringLiteral(" And (MoneyCreateTime Between %1 And %2)")
        .arg(DateLiteral(month.first), DateLiteral(month.last));
}

} // namespace

TFormAccount2::TFormAccount2(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormAccount2"), QStringLiteral("帐户管理"),
                   QSize(420, 268), TitleButtons::Close, Placement::MainWindow)
{
    RoundedFrame(this, QRect(16, 12, 388, 41));
    LabelTitle = PlaceLabel(this, QStringLiteral("LabelTitle"),
                            QStringLiteral("澄衡客户管理软件《帐户管理页面》"),
                            QRect(20, 16, 380, 33), Qt::AlignCenter);
    LabelTitle->setFont(KaiFont(18));
    const auto caption = [this](const char *name, const char *text, int top) {
        return PlaceLabel(this, QString::fromLatin1(name), QString::fromUtf8(text),
                          QRect(48, top, 96, 22), Qt::AlignRight | Qt::AlignVCenter);
    };
    const auto value = [this](const char *name, int top) {
        QLabel *label = PlaceLabel(this, QString::fromLatin1(name), QString(),
                                   QRect(152, top, 232, 22));
        QPalette blue = label->palette();
        blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
        label->setPalette(blue);
        return label;
    };
    Label1 = caption("Label1", "帐户名称", 68);
    Label2 = caption("Label2", "帐户余额", 96);
    Label3 = caption("Label3", "记录总数", 124);
    Label4 = caption("Label4", "当月收支", 152);
    LabelName = value("LabelName", 68);
    LabelBalance = value("LabelBalance", 96);
    LabelCount = value("LabelCount", 124);
    LabelSum = value("LabelSum", 152);

    ButtonGet = actionButton(this, "ButtonGet", "财务收入", "Res/MoneyIn.ico", 16);
    ButtonPay = actionButton(this, "ButtonPay", "财务支出", "Res/MoneyOut.ico", 81);
    ButtonMonth = actionButton(this, "ButtonMonth", "当月记录", "Res/Month.ico", 146);
    ButtonAll = actionButton(this, "ButtonAll", "所有记录", "Res/TabReport.ico", 211);
    ButtonEditAccount = actionButton(this, "ButtonEditAccount", "修改帐户", "Res/Modify.ico",
                                     276);
    ButtonCancel = actionButton(this, "ButtonCancel", "取消操作", "Res/Cancel.ico", 341);
    connect(ButtonGet, &QToolButton::clicked, this, &TFormAccount2::ActionGetExecute);
    connect(ButtonPay, &QToolButton::clicked, this, &TFormAccount2::ActionPayExecute);
    connect(ButtonMonth, &QToolButton::clicked, this, &TFormAccount2::ActionMonthExecute);
    connect(ButtonAll, &QToolButton::clicked, this, &TFormAccount2::ActionAllExecute);
    connect(ButtonEditAccount, &QToolButton::clicked, this,
            &TFormAccount2::ActionEditAccountExecute);
    connect(ButtonCancel, &QToolButton::clicked, this, &TFormAccount2::ActionCancelExecute);
    setTabOrder(ButtonGet, ButtonPay);
    setTabOrder(ButtonPay, ButtonMonth);
    setTabOrder(ButtonMonth, ButtonAll);
    setTabOrder(ButtonAll, ButtonEditAccount);
    setTabOrder(ButtonEditAccount, ButtonCancel);
}

void TFormAccount2::FormShow()
{
    LabelName->clear();
    LabelBalance->clear();
    LabelCount->setText(QStringLiteral("0 条"));
    LabelSum->setText(QStringLiteral("0 元"));
    const QString book = Session::Book();
    // The pictures are read from their files only when the book changed.
    // The captions and pictures (Res/<key>In.ico, Res/<key>Out.ico) of the book's entries.
    if (const TBookKind *kind = FindBookKind(book); kind && book != m_book) {
        m_book = book;
        const QString picture = QStringLiteral("Res/") + kind->key;
        ButtonGet->setText(kind->inCaption);
        ButtonPay->setText(kind->outCaption);
        ButtonGet->setIcon(LoadIcon(picture + QStringLiteral("In.ico")));
        ButtonPay->setIcon(LoadIcon(picture + QStringLiteral("Out.ico")));
    }
    ButtonGet->setFocus();

    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, accountRow(DetailAccountIndex), OpenFailed))
        return;
    // An account deleted meanwhile (on another computer of a shared book) has nothing to
    // show, and its old name must not reach the entry window or the report grid.
    if (q.IsEmpty()) {
        DetailAccountName.clear();
        Ui::Message(QStringLiteral("找不到该帐户，它可能已被删除"));
        done(Rejected);
        return;
    }
    q.First();
    DetailAccountName = q.FieldByName(QStringLiteral("AccountName")).AsString();
    LabelName->setText(DetailAccountName);
    double balance = q.FieldByName(QStringLiteral("AccountBase")).AsFloat();

    const QString account = QString::number(DetailAccountIndex);
    if (!RunQuery(q, QStringLiteral("Select ROUND(Sum(MoneySum),2) As TotalSum From MoneyTable "
                                    "Where MoneyAccount = ") + account,
                  OpenFailed))
        return;
    // Every record of the account, whatever its date.
    const double total = q.FieldByName(QStringLiteral("TotalSum")).AsFloat();
    balance += total;
    LabelSum->setText(amount(total));
    LabelBalance->setText(amount(balance));

    // Only the count is shown: the engine counts without handing over the rows.
    if (!RunQuery(q, QStringLiteral("Select Count(*) As TotalCount From MoneyTable Where "
                                    "(MoneyAccount = %1)").arg(account)
                         + monthCondition(Session::WorkingDate()),
                  OpenFailed))
        return;
    LabelCount->setText(QString::number(q.FieldByName(QStringLiteral("TotalCount")).AsInteger())
                        + QStringLiteral(" 条"));
}

void TFormAccount2::enter(int mode)
{
    if (Session::User() == Viewer || !FormGetPay)
        return;
    FormGetPay->EntryAccountName = DetailAccountName;
    FormGetPay->EntryMode = mode;
    FormGetPay->EntryCustomerText.clear();
    FormGetPay->EntryAmountText.clear();
    FormGetPay->EntryRemarkText.clear();
    FormGetPay->EntryManText.clear();
    FormGetPay->EntryDate = Session::WorkingDate();
    FormGetPay->EntryAccountFilter = AccountFilter;
    FormGetPay->EntryAccountType = Session::Book();
    // The entry window has set DataChanged: whoever opened this window refreshes.
    if (Ui::ShowModal(FormGetPay) == Accepted)
        done(Rejected);
}

void TFormAccount2::ActionGetExecute()
{
    enter(TFormGetPay::NewIncome);
}

void TFormAccount2::ActionPayExecute()
{
    enter(TFormGetPay::NewExpense);
}

void TFormAccount2::listRecords(const QString &condition)
{
    ReportCondition = condition + QStringLiteral(" And (AccountName = %1)")
                                      .arg(Quoted(DetailAccountName));
    if (ShowReport)
        ShowReport();
    done(Rejected);
}

void TFormAccount2::ActionMonthExecute()
{
    listRecords(monthCondition(Session::WorkingDate()));
}

void TFormAccount2::ActionAllExecute()
{
    listRecords(QString());
}

void TFormAccount2::ActionEditAccountExecute()
{
    if (Session::User() == Viewer || !FormAccount)
        return;
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!CheckDataModificationPassword(q))
        return;
    FormAccount->DialogAccountIndex = DetailAccountIndex;
    if (Ui::ShowModal(FormAccount) != Accepted)
        return;
    const QString name = FormAccount->DialogAccountName;
    if (name != DetailAccountName) {
        // The account's own row is no duplicate: a name that differs from the old one only
        // in the case of its Latin letters is the same account renamed.
        if (!RunQuery(q, QStringLiteral("Select * From Account Where (AccountType = %1) And "
                                        "(AccountName = %2) And (AccountIndex <> %3)")
                             .arg(Quoted(Session::Book()), Quoted(name))
                             .arg(DetailAccountIndex),
                      CannotOpen))
            return;
        if (!q.IsEmpty()) {
            Ui::Message(QStringLiteral("该帐户名已经存在，请重新操作"));
            return;
        }
    }
    if (!RunQuery(q, accountRow(DetailAccountIndex), CannotOpen))
        return;
    if (q.IsEmpty()) {
        // The account dialog deleted it, with its records.
        Ui::Message(QStringLiteral("帐户") + Gap + name + Gap + QStringLiteral("删除成功"));
    } else {
        q.First();
        if (!q.Edit() || !q.SetField(QStringLiteral("AccountName"), name)
            || !q.SetField(QStringLiteral("AccountBase"), FormAccount->DialogAccountBase)
            || !q.Post()) {
            const QString error = q.LastError();
            q.Cancel();
            Ui::Message(QStringLiteral("帐户没有修改：数据库写入失败。\n") + error, QString(),
                        Ui::Icon::Error);
            return;
        }
        // The records need no change: they refer to the account by its index.
        Ui::Message(QStringLiteral("帐户") + Gap + name + Gap + QStringLiteral("修改成功"));
    }
    DataChanged = true;
    done(Rejected);
}

void TFormAccount2::ActionCancelExecute()
{
    done(Rejected);
}
