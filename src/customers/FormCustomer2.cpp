#include "FormCustomer2.h"

#include "BookKind.h"
#include "DataPassword.h"
#include "FormCustomer.h"
#include "FormGetPay.h"
#include "FormRecord.h"
#include "Globals.h"
#include "Look.h"
#include "MonthRange.h"
#include "PublicFunction.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

TFormCustomer2 *FormCustomer2 = nullptr;

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");
const QString Cash = BookKindOf(BookId::Cash).name;
const QString Receivable = BookKindOf(BookId::Receivable).name;
const QString Payable = BookKindOf(BookId::Payable).name;
const QColor Blue(0, 0, 255);

QString customerRow(qint64 index)
{
    return QStringLiteral("Select * From Customer Where CustomerIndex = %1").arg(index);
}

QString amount(double value)
{
    return AmountText(value) + QStringLiteral(" 元");
}

// The records of the customer in the accounts of one book, with the user's visibility.
// Every account book counts, whatever book the pages show.
QString customerRecords(const QString &book, const QString &customer)
{
    return QStringLiteral("From Account,MoneyTable Where (AccountIndex = MoneyAccount) And "
                          "(AccountType = %1) And (MoneyUser = %2)")
        .arg(Quoted(book), Quoted(customer));
}

QLabel *valueLabel(QWidget *parent, const QString &name, const QRect &place)
{
    QLabel *label = PlaceLabel(parent, name, QString(), place);
    QPalette blue = label->palette();
    blue.setColor(QPalette::WindowText, Blue);
    label->setPalette(blue);
    return label;
}

QToolButton *toolButton(QWidget *parent, const char *name, const char *caption,
                        const char *picture, const QRect &place)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(QString::fromUtf8(caption));
    b->setIcon(LoadIcon(QString::fromLatin1(picture)));
    b->setIconSize(QSize(32, 32));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setCursor(Qt::PointingHandCursor);
    b->setGeometry(place);
    return b;
}

QPushButton *listButton(QWidget *parent, const char *name, const char *caption,
                        const QRect &place)
{
    auto *b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(place);
    b->setCursor(Qt::PointingHandCursor);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TFormCustomer2::TFormCustomer2(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormCustomer2"), QStringLiteral("客户管理"),
                   QSize(560, 472), TitleButtons::Close, Placement::MainWindow)
{
    GroupBox1 = new QGroupBox(QStringLiteral("客户基本信息"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 544, 168);
    // Eight fields in two columns, then the address and the remark across the box.
    for (int i = 0; i < CustomerFieldCount; ++i) {
        const TCustomerField &field = CustomerFields()[i];
        const bool wide = i >= 8;
        const int row = wide ? i - 4 : i / 2;
        const int left = wide || i % 2 == 0 ? 8 : 232;
        const int top = 22 + row * 23;
        // The dialog's captions end in "：", this window's do not.
        QString caption = field.caption;
        caption.chop(1);
        PlaceLabel(GroupBox1, QStringLiteral("Caption") + field.column.mid(8), caption,
                   QRect(left, top, 72, 22), Qt::AlignRight | Qt::AlignVCenter);
        Values[size_t(i)] = valueLabel(GroupBox1, QStringLiteral("Label") + field.column.mid(8),
                                       QRect(left + 76, top, wide ? 364 : 144, 22));
    }
    Button1 = toolButton(GroupBox1, "Button1", "信息修改", "Res/Modify.ico",
                         QRect(460, 24, 72, 64));

    const auto figure = [](QGroupBox *box, const char *caption, const char *name, int top) {
        PlaceLabel(box, QStringLiteral("Caption") + QLatin1String(name),
                   QString::fromUtf8(caption), QRect(16, top, 84, 22),
                   Qt::AlignRight | Qt::AlignVCenter);
        return valueLabel(box, QStringLiteral("Label") + QLatin1String(name),
                          QRect(104, top, 150, 22));
    };
    GroupBox2 = new QGroupBox(QStringLiteral("〓 客户帐务状况统计 〓"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 184, 268, 240);
    GroupBox2->setAlignment(Qt::AlignHCenter);
    LabelGet = figure(GroupBox2, "应收帐款：", "Get", 24);
    LabelPay = figure(GroupBox2, "应付帐款：", "Pay", 48);
    LabelOwed = figure(GroupBox2, "当前欠款：", "Owed", 72);
    Button2 = listButton(GroupBox2, "Button2", "当月应收记录", QRect(12, 104, 118, 26));
    Button3 = listButton(GroupBox2, "Button3", "所有应收记录", QRect(138, 104, 118, 26));
    Button4 = listButton(GroupBox2, "Button4", "当月应付记录", QRect(12, 134, 118, 26));
    Button5 = listButton(GroupBox2, "Button5", "所有应付记录", QRect(138, 134, 118, 26));
    ButtonGetIn = toolButton(GroupBox2, "ButtonGetIn", "应收入帐", "Res/GetIn.ico",
                             QRect(8, 168, 60, 62));
    ButtonGetOut = toolButton(GroupBox2, "ButtonGetOut", "应收出帐", "Res/GetOut.ico",
                              QRect(72, 168, 60, 62));
    ButtonPayIn = toolButton(GroupBox2, "ButtonPayIn", "应付入帐", "Res/PayIn.ico",
                             QRect(136, 168, 60, 62));
    ButtonPayOut = toolButton(GroupBox2, "ButtonPayOut", "应付出帐", "Res/PayOut.ico",
                              QRect(200, 168, 60, 62));

    GroupBox3 = new QGroupBox(QStringLiteral("〓 客户财务状况统计 〓"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    GroupBox3->setGeometry(284, 184, 268, 240);
    GroupBox3->setAlignment(Qt::AlignHCenter);
    LabelMoney = figure(GroupBox3, "合计收支：", "Money", 24);
    LabelMonth = figure(GroupBox3, "当月收支：", "Month", 48);
    LabelCount = figure(GroupBox3, "财务记录：", "Count", 72);
    Button6 = listButton(GroupBox3, "Button6", "当月财务收支", QRect(12, 104, 118, 26));
    Button7 = listButton(GroupBox3, "Button7", "所有财务收支", QRect(138, 104, 118, 26));
    ButtonMoneyIn = toolButton(GroupBox3, "ButtonMoneyIn", "财务收入", "Res/MoneyIn.ico",
                               QRect(8, 168, 60, 62));
    ButtonMoneyOut = toolButton(GroupBox3, "ButtonMoneyOut", "财务支出", "Res/MoneyOut.ico",
                                QRect(72, 168, 60, 62));
    ButtonMoneyDetail = toolButton(GroupBox3, "ButtonMoneyDetail", "财务数据明细",
                                   "Res/Print.ico", QRect(136, 168, 84, 62));

    ButtonCancel = PictureButton(this, QStringLiteral("ButtonCancel"), QStringLiteral("关闭窗口"),
                                 QStringLiteral("Res/Cancel.ico"), QRect(232, 432, 97, 33));
    ButtonCancel->setDefault(true);

    connect(Button1, &QToolButton::clicked, this, &TFormCustomer2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormCustomer2::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFormCustomer2::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFormCustomer2::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TFormCustomer2::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TFormCustomer2::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TFormCustomer2::Button7Click);
    connect(ButtonGetIn, &QToolButton::clicked, this, &TFormCustomer2::ActionGetInExecute);
    connect(ButtonGetOut, &QToolButton::clicked, this, &TFormCustomer2::ActionGetOutExecute);
    connect(ButtonPayIn, &QToolButton::clicked, this, &TFormCustomer2::ActionPayInExecute);
    connect(ButtonPayOut, &QToolButton::clicked, this, &TFormCustomer2::ActionPayOutExecute);
    connect(ButtonMoneyIn, &QToolButton::clicked, this, &TFormCustomer2::ActionMoneyInExecute);
    connect(ButtonMoneyOut, &QToolButton::clicked, this, &TFormCustomer2::ActionMoneyOutExecute);
    connect(ButtonMoneyDetail, &QToolButton::clicked, this,
            &TFormCustomer2::ActionMoneyDetailExecute);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormCustomer2::ActionCancelExecute);
    const QList<QWidget *> order = {Button1, Button2, Button3, Button4, Button5,
                                    ButtonGetIn, ButtonGetOut, ButtonPayIn, ButtonPayOut,
                                    Button6, Button7, ButtonMoneyIn, ButtonMoneyOut,
                                    ButtonMoneyDetail, ButtonCancel};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TFormCustomer2::FormShow()
{
    ButtonCancel->setFocus();
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, customerRow(DetailCustomerIndex), OpenFailed))
        return;
    // A customer deleted meanwhile (on another computer of a shared book): another
    // customer's figures must not show under its card.
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到该客户，它可能已被删除"));
        done(Closed);
        return;
    }
    LoadCustomerDetail();
}

bool TFormCustomer2::LoadCustomerDetail()
{
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(q, customerRow(DetailCustomerIndex), OpenFailed))
        return false;
    if (q.IsEmpty())
        return false;
    q.First();
    DetailCustomerName = q.FieldByName(QStringLiteral("CustomerName")).AsString();
    for (int i = 0; i < CustomerFieldCount; ++i)
        Values[size_t(i)]->setText(q.FieldByName(CustomerFields()[i].column).AsString());

    const QString name = DetailCustomerName;
    const auto sum = [&q, &name](const QString &alias, const QString &book, const QString &extra,
                                 double *total) {
        if (!RunQuery(q,
                      QStringLiteral("Select ROUND(SUM(MoneySum),2) As %1 ").arg(alias)
                          + customerRecords(book, name) + extra + MoneyFilter,
                      OpenFailed))
            return false;
        *total = q.FieldByName(alias).AsFloat();
        return true;
    };
    double receivable = 0;
    if (!sum(QStringLiteral("TotalGet"), Receivable, QString(), &receivable))
        return false;
    LabelGet->setText(amount(receivable));
    double payable = 0;
    if (!sum(QStringLiteral("TotalPay"), Payable, QString(), &payable))
        return false;
    LabelPay->setText(amount(payable));
    LabelOwed->setText(amount(receivable - payable));

    if (!RunQuery(q, QStringLiteral("Select COUNT(MoneyIndex) As TotalCount, "
                                    "ROUND(SUM(MoneySum),2) As TotalMoney ")
                         + customerRecords(Cash, name) + MoneyFilter,
                  OpenFailed))
        return false;
    LabelMoney->setText(amount(q.FieldByName(QStringLiteral("TotalMoney")).AsFloat()));
    LabelCount->setText(QString::number(q.FieldByName(QStringLiteral("TotalCount")).AsInteger())
                        + QStringLiteral(" 条"));
    const MonthRange month = MonthOf(Session::WorkingDate());
    double monthTotal = 0;
    const QString inMonth = QStringLiteral(" And (MoneyCreateTime Between %1 And %2)")
                                .arg(DateLiteral(month.first), DateLiteral(month.last));
    if (!sum(QStringLiteral("TotalMoney"), Cash, inMonth, &monthTotal))
        return false;
    LabelMonth->setText(amount(monthTotal));
    // A value is announced with its caption, not as the box it stands in.
    for (QLabel *value : findChildren<QLabel *>()) {
        const QString name = value->objectName();
        const auto *caption = name.startsWith(QLatin1String("Label"))
            ? value->parentWidget()->findChild<QLabel *>(QStringLiteral("Caption") + name.mid(5))
            : nullptr;
        if (caption)
            value->setAccessibleName(QString(caption->text()).remove(QChar(0xFF1A))
                                     + QLatin1Char(' ') + value->text());
    }
    return true;
}

// ---------------------------------------------------------------- new records

void TFormCustomer2::enter(int mode, const QString &book)
{
    if (!FormGetPay)
        return;
    TFormGetPay *entry = FormGetPay;
    // The customer is locked to this one; the accounts are those of the book the user may
    // see, whatever book the pages show.
    entry->EntryCustomerName = DetailCustomerName;
    entry->EntryCustomerText = DetailCustomerName;
    entry->EntryAmountText.clear();
    entry->EntryRemarkText.clear();
    entry->EntryManText.clear();
    entry->EntryDate = Session::WorkingDate();
    entry->EntryAccountFilter = QStringLiteral(" And (AccountType = %1)").arg(Quoted(book))
        + AccountVisibilityClause(Session::User());
    entry->EntryAccountType = book;
    entry->EntryMode = mode;
    if (Ui::ShowModal(entry) == Accepted)
        LoadCustomerDetail();
}

void TFormCustomer2::ActionGetInExecute()
{
    enter(TFormGetPay::NewIncome, Receivable);
}

void TFormCustomer2::ActionGetOutExecute()
{
    enter(TFormGetPay::NewExpense, Receivable);
}

void TFormCustomer2::ActionPayInExecute()
{
    enter(TFormGetPay::NewIncome, Payable);
}

void TFormCustomer2::ActionPayOutExecute()
{
    enter(TFormGetPay::NewExpense, Payable);
}

void TFormCustomer2::ActionMoneyInExecute()
{
    enter(TFormGetPay::NewIncome, Cash);
}

void TFormCustomer2::ActionMoneyOutExecute()
{
    enter(TFormGetPay::NewExpense, Cash);
}

// ---------------------------------------------------------------- the customer

void TFormCustomer2::Button1Click()
{
    if (Session::User() == QStringLiteral("查看") || !FormCustomer)
        return;
    DbQuery &q = ShareDataModule->ADOQueryTemp;
    if (!CheckDataModificationPassword(q))
        return;
    FormCustomer->DialogCustomerIndex = DetailCustomerIndex;
    if (Ui::ShowModal(FormCustomer) != TFormCustomer::Written)
        return;
    DataChanged = true;
    if (!RunQuery(q, customerRow(DetailCustomerIndex), OpenFailed))
        return;
    if (q.IsEmpty()) {
        // Deleted in the dialog: there is nothing left to show.
        done(Closed);
        return;
    }
    LoadCustomerDetail();
}

// ---------------------------------------------------------------- record lists

void TFormCustomer2::list(const QString &book, bool month)
{
    if (!FormRecord)
        return;
    FormRecord->ListAccountType = book;
    FormRecord->ListCustomerName = DetailCustomerName;
    if (month) {
        const MonthRange range = MonthOf(Session::WorkingDate());
        FormRecord->ListDateFrom = range.first;
        FormRecord->ListDateTo = range.last;
    } else {
        FormRecord->ListDateFrom = TFormRecord::NoRange();
        FormRecord->ListDateTo = TFormRecord::NoRange();
    }
    Ui::ShowModal(FormRecord);
    // DataChanged stays set: the main window refreshes its cards when this window closes.
    if (DataChanged)
        LoadCustomerDetail();
}

void TFormCustomer2::Button2Click()
{
    list(Receivable, true);
}

void TFormCustomer2::Button3Click()
{
    list(Receivable, false);
}

void TFormCustomer2::Button4Click()
{
    list(Payable, true);
}

void TFormCustomer2::Button5Click()
{
    list(Payable, false);
}

void TFormCustomer2::Button6Click()
{
    list(Cash, true);
}

void TFormCustomer2::Button7Click()
{
    list(Cash, false);
}

void TFormCustomer2::ActionCancelExecute()
{
    done(Closed);
}

void TFormCustomer2::reject()
{
    done(Closed);
}
