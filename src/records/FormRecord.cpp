#include "FormRecord.h"

#include "FormGetPay.h"
#include "FormPreview.h"
#include "Globals.h"
#include "Look.h"
#include "RecordColumns.h"
#include "RecordGrid.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QTableView>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFormRecord *FormRecord = nullptr;

namespace {

constexpr QSize ClientSize(900, 520);

QString shortDate(const QDate &day)
{
    return day.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

TFormRecord::TFormRecord(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormRecord"), QStringLiteral("客户记录列表"),
                   ClientSize, TitleButtons::Close, Placement::MainWindow)
{
    // A list of many columns and rows: this window, unlike the small dialogs, may be
    // maximised and made larger.
    setWindowFlags((windowFlags() & ~Qt::MSWindowsFixedSizeDialogHint)
                   | Qt::WindowMaximizeButtonHint);
    setMinimumSize(ClientSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(81);
    Label1 = PlaceLabel(Panel1, QStringLiteral("Label1"), QString(), QRect(16, 6, 400, 22));
    Label2 = PlaceLabel(Panel1, QStringLiteral("Label2"), QString(), QRect(16, 30, 400, 22));
    Label3 = PlaceLabel(Panel1, QStringLiteral("Label3"), QString(), QRect(16, 54, 400, 22));
    EditMoney = PictureButton(Panel1, QStringLiteral("EditMoney"), QStringLiteral("修改记录"),
                              QStringLiteral("Res/Modify.ico"), QRect(440, 16, 105, 49));
    PrintMoney = PictureButton(Panel1, QStringLiteral("PrintMoney"), QStringLiteral("打印列表"),
                               QStringLiteral("Res/Print.ico"), QRect(552, 16, 105, 49));
    DBGridEh1 = new TRecordGrid(nullptr, this);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->View()->setAccessibleName(QStringLiteral("客户收支记录"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(DBGridEh1, 1);

    connect(EditMoney, &QPushButton::clicked, this, &TFormRecord::ActionEditMoneyExecute);
    connect(DBGridEh1, &TRecordGrid::RowActivated, this, &TFormRecord::ActionEditMoneyExecute);
    connect(DBGridEh1->Model(), &TRecordGridModel::FetchFailed, this, [](const QString &error) {
        Ui::Message(QStringLiteral("读取记录时出错，部分记录无法显示：\n") + error, QString(),
                    Ui::Icon::Error);
    });
    connect(PrintMoney, &QPushButton::clicked, this, &TFormRecord::ActionPrintExecute);
    setTabOrder(DBGridEh1, EditMoney);
    setTabOrder(EditMoney, PrintMoney);
}

void TFormRecord::FormShow()
{
    Label1->setText(QStringLiteral("客户名称：") + ListCustomerName);
    Label2->setText(QStringLiteral("记录类型：") + ListAccountType + QStringLiteral("记录"));
    if (ListDateFrom == NoRange())
        Label3->setText(QStringLiteral("日期范围：不限"));
    else
        Label3->setText(QStringLiteral("日期范围：") + shortDate(ListDateFrom)
                        + QStringLiteral(" 至 ") + shortDate(ListDateTo));
    LoadList();
    DBGridEh1->setFocus();
}

bool TFormRecord::LoadList()
{
    DBGridEh1->Close();
    if (!ShareDataModule)
        return false;
    DBGridEh1->SetConnection(&ShareDataModule->ADOConnection1);
    // No order of its own: the records come in the order they were entered.
    m_statement = RecordListStatement(ListAccountType, ListCustomerName, ListDateFrom, ListDateTo);
    if (!DBGridEh1->Open(GridStatement(m_statement))) {
        DBGridEh1->Close();
        Ui::Message(QStringLiteral("数据库打开失败"));
        return false;
    }
    ApplyRecordColumns(DBGridEh1);
    return true;
}

void TFormRecord::ActionEditMoneyExecute()
{
    if (Session::User() == QStringLiteral("查看"))
        return;
    const DbField key = DBGridEh1->CurrentField(QStringLiteral("MoneyIndex"));
    if (!DBGridEh1->Active() || DBGridEh1->CurrentRow() < 0 || key.IsNull()) {
        Ui::Message(QStringLiteral("请先选中需要修改的记录"));
        return;
    }
    if (!FormGetPay)
        return;
    const double sum = DBGridEh1->CurrentField(QStringLiteral("MoneySum")).AsFloat();
    FormGetPay->EntryMode = sum >= 0 ? TFormGetPay::EditIncome : TFormGetPay::EditExpense;
    FormGetPay->EntryRecordIndex = key.AsInteger();
    FormGetPay->EntryAccountFilter = QStringLiteral(" And (AccountType = %1)")
                                         .arg(Quoted(ListAccountType))
        + AccountVisibilityClause(Session::User());
    FormGetPay->EntryAccountType = ListAccountType;
    // The entry window has set DataChanged for whoever opened this list.
    if (Ui::ShowModal(FormGetPay) == Accepted)
        LoadList();
}

void TFormRecord::ActionPrintExecute()
{
    if (!ShareDataModule || !DBGridEh1->Active())
        return;
    // No variables of its own: the templates read the list's fields.
    QueryRows rows(&ShareDataModule->ADOConnection1, m_statement);
    rows.SetKnownTotals(DBGridEh1->Model()->RecordCount(), GridSums(DBGridEh1));
    PreviewReport(OrientedTemplate(QStringLiteral("Record")), &rows, {}, this);
}
