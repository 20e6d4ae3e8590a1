#include "FormMakeReport.h"

#include "BookKind.h"
#include "Globals.h"
#include "Look.h"
#include "MonthRange.h"
#include "PublicFunction.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>

TFormMakeReport *FormMakeReport = nullptr;

namespace {

constexpr int LabelLeft = 12;
constexpr int FieldLeft = 92;
constexpr int FieldWidth = 222;
constexpr int FirstTop = 16;
constexpr int RowStep = 32;

QRect labelPlace(int row)
{
    return QRect(LabelLeft, FirstTop + row * RowStep, FieldLeft - LabelLeft - 4, 22);
}

QRect fieldPlace(int row)
{
    return QRect(FieldLeft, FirstTop + row * RowStep, FieldWidth, 22);
}

// The first and second half of a row that holds a range: from, "至", to.
QRect fromPlace(int row)
{
    return QRect(FieldLeft, FirstTop + row * RowStep, 100, 22);
}

QRect toPlace(int row)
{
    return QRect(FieldLeft + FieldWidth - 100, FirstTop + row * RowStep, 100, 22);
}

QDateEdit *datePicker(QWidget *parent, const QString &name, const QRect &place)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setGeometry(place);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    return picker;
}

QString bookPicture(const QString &book)
{
    const TBookKind *kind = FindBookKind(book);
    return kind ? kind->Picture() : QString();
}

// An amount as the condition takes it: digits with at most one point, after at most one
// leading "-"; an empty field restricts nothing. Anything else would reach the engine as a
// statement it cannot read.
bool isAmountText(const QString &text)
{
    if (text.isEmpty())
        return true;
    const QString rest = text.startsWith(QLatin1Char('-')) ? text.mid(1) : text;
    return IsNumberText(rest) && rest.count(QLatin1Char('.')) <= 1
        && rest != QStringLiteral(".");
}

} // namespace

TFormMakeReport::TFormMakeReport(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormMakeReport"), QStringLiteral("生成报表"),
                   QSize(560, 404), TitleButtons::Close, Placement::MainWindow),
      m_customers(new QStringListModel(this)),
      m_customerCompleter(new QCompleter(this))
{
    const auto label = [this](const char *name, const char *text, int row) {
        return PlaceLabel(this, QString::fromLatin1(name), QString::fromUtf8(text),
                          labelPlace(row), Qt::AlignRight | Qt::AlignVCenter);
    };
    const auto checkBox = [this](const char *name, const char *text, int row) {
        auto *box = new QCheckBox(QString::fromUtf8(text), this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(labelPlace(row).adjusted(4, 0, 0, 0));
        return box;
    };
    const auto until = [this](const char *name, int row) {
        PlaceLabel(this, QString::fromLatin1(name), QStringLiteral("至"),
                   QRect(fromPlace(row).right() + 1, FirstTop + row * RowStep,
                         toPlace(row).left() - fromPlace(row).right() - 1, 22),
                   Qt::AlignCenter);
    };

    Label5 = label("Label5", "单据类型", 0);
    ComboBox5 = PlaceCombo(this, QStringLiteral("ComboBox5"), fieldPlace(0));
    ComboBox5->addItem(All(), AnyDocument);
    ComboBox5->addItem(QStringLiteral("财务收入单"), IncomeDocument);
    ComboBox5->addItem(QStringLiteral("财务支出单"), ExpenseDocument);
    ComboBox5->setCurrentIndex(0);
    CheckBox1 = checkBox("CheckBox1", "时间范围", 1);
    DateTimePicker1 = datePicker(this, QStringLiteral("DateTimePicker1"), fromPlace(1));
    until("LabelDateTo", 1);
    DateTimePicker2 = datePicker(this, QStringLiteral("DateTimePicker2"), toPlace(1));
    CheckBox2 = checkBox("CheckBox2", "金额范围", 2);
    Edit2 = PlaceEdit(this, QStringLiteral("Edit2"), fromPlace(2));
    until("LabelAmountTo", 2);
    Edit4 = PlaceEdit(this, QStringLiteral("Edit4"), toPlace(2));
    Edit2->setPlaceholderText(QStringLiteral("下限"));
    Edit4->setPlaceholderText(QStringLiteral("上限"));
    DateTimePicker1->setAccessibleName(QStringLiteral("时间范围 起始日期"));
    DateTimePicker2->setAccessibleName(QStringLiteral("时间范围 截止日期"));
    Edit2->setAccessibleName(QStringLiteral("金额范围 下限"));
    Edit4->setAccessibleName(QStringLiteral("金额范围 上限"));
    Label6 = label("Label6", "单据编号", 3);
    Edit5 = PlaceEdit(this, QStringLiteral("Edit5"), fieldPlace(3));
    Label7 = label("Label7", "客户名称", 4);
    ComboBox6 = PlaceCombo(this, QStringLiteral("ComboBox6"), fieldPlace(4));
    Label2 = label("Label2", "收支种类", 5);
    ComboBox2 = PlaceCombo(this, QStringLiteral("ComboBox2"), fieldPlace(5));
    Label3 = label("Label3", "类别", 6);
    ComboBox3 = PlaceCombo(this, QStringLiteral("ComboBox3"), fieldPlace(6));
    Label4 = label("Label4", "凭证", 7);
    ComboBox4 = PlaceCombo(this, QStringLiteral("ComboBox4"), fieldPlace(7));
    Label8 = label("Label8", "业务员", 8);
    ComboBox7 = PlaceCombo(this, QStringLiteral("ComboBox7"), fieldPlace(8));
    Label9 = label("Label9", "备注", 9);
    Edit3 = PlaceEdit(this, QStringLiteral("Edit3"), fieldPlace(9));
    Label5->setBuddy(ComboBox5);
    Label6->setBuddy(Edit5);
    Label7->setBuddy(ComboBox6);
    Label2->setBuddy(ComboBox2);
    Label3->setBuddy(ComboBox3);
    Label4->setBuddy(ComboBox4);
    Label8->setBuddy(ComboBox7);
    Label9->setBuddy(Edit3);

    // The customer may be any text: a part of a name finds every customer whose name
    // holds it. The list narrows to the names that contain what was typed.
    ComboBox6->setEditable(true);
    ComboBox6->setInsertPolicy(QComboBox::NoInsert);
    ComboBox6->setModel(m_customers);
    ComboBox6->setMaxVisibleItems(20);
    if (auto *list = qobject_cast<QListView *>(ComboBox6->view()))
        list->setUniformItemSizes(true);
    m_customerCompleter->setModel(m_customers);
    m_customerCompleter->setCompletionMode(QCompleter::PopupCompletion);
    m_customerCompleter->setFilterMode(Qt::MatchContains);
    m_customerCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    ComboBox6->setCompleter(m_customerCompleter);
    // The kind, too, matches a part of the stored text.
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);

    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(400, 12, 80, 60),
                        Qt::AlignCenter);
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("帐户名称"),
                        QRect(336, 80, 208, 22));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(336, 104, 208, 202);
    ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Label1->setBuddy(ListBox1);
    ListBox1->setAccessibleName(QStringLiteral("帐户名称"));
    auto *hint = PlaceLabel(this, QStringLiteral("LabelHint"),
                            QStringLiteral("按住 Ctrl 键点击可选多个帐户"),
                            QRect(336, 308, 208, 22));
    QPalette grey = hint->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    hint->setPalette(grey);

    BitBtn1 = PictureButton(this, QStringLiteral("BitBtn1"), QStringLiteral("确定"),
                            QStringLiteral("Res/Ok.ico"), QRect(168, 348, 97, 41));
    BitBtn2 = PictureButton(this, QStringLiteral("BitBtn2"), QStringLiteral("取消"),
                            QStringLiteral("Res/Cancel.ico"), QRect(296, 348, 97, 41));
    BitBtn1->setDefault(true);
    BitBtn2->setAutoDefault(false);

    connect(CheckBox1, &QCheckBox::toggled, this, &TFormMakeReport::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &TFormMakeReport::CheckBox2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormMakeReport::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormMakeReport::BitBtn2Click);
    const QList<QWidget *> order = {ComboBox5, CheckBox1, DateTimePicker1, DateTimePicker2,
                                    CheckBox2, Edit2, Edit4, Edit5, ComboBox6, ComboBox2,
                                    ComboBox3, ComboBox4, ComboBox7, Edit3, ListBox1,
                                    BitBtn1, BitBtn2};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TFormMakeReport::FormShow()
{
    const QString picture = bookPicture(Session::Book());
    if (!picture.isEmpty())
        Image1->setPixmap(LoadPicture(picture));
    for (QLineEdit *edit : {Edit2, Edit3, Edit4, Edit5})
        edit->clear();
    const MonthRange month = MonthOf(QDate::currentDate());
    DateTimePicker1->setDate(month.first);
    DateTimePicker2->setDate(month.last);
    CheckBox1->setChecked(false);
    CheckBox2->setChecked(false);
    CheckBox1Click();
    CheckBox2Click();
    ComboBox5->setFocus();
    if (!fillAccounts() || !fillPickLists())
        return;
    fillCustomers();
}

bool TFormMakeReport::fillAccounts()
{
    ListBox1->clear();
    ListBox1->addItem(All());
    ListBox1->setCurrentRow(0);
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query,
                  QStringLiteral("Select * From Account Where (AccountIndex > 1)") + AccountFilter,
                  QStringLiteral("帐户读入失败")))
        return false;
    QStringList names;
    for (query.First(); !query.Eof(); query.Next())
        names << query.FieldByName(QStringLiteral("AccountName")).AsString();
    ListBox1->addItems(names);
    return true;
}

bool TFormMakeReport::fillPickLists()
{
    const struct { QComboBox *combo; int type; } lists[] = {
        {ComboBox2, 1}, {ComboBox3, 2}, {ComboBox4, 3}, {ComboBox7, 4}};
    for (const auto &list : lists) {
        list.combo->clear();
        list.combo->addItem(All());
        list.combo->setCurrentIndex(0);
    }
    for (const auto &list : lists) {
        QStringList values;
        if (!ReadPickList(list.type, &values))
            return false;
        list.combo->addItems(values);
    }
    return true;
}

bool TFormMakeReport::fillCustomers()
{
    m_customers->setStringList({All()});
    ComboBox6->setCurrentIndex(0);
    QStringList names{All()};
    if (!ReadCustomerNames(&names))
        return false;
    m_customers->setStringList(names);
    ComboBox6->setCurrentIndex(0);
    return true;
}

void TFormMakeReport::CheckBox1Click()
{
    DateTimePicker1->setEnabled(CheckBox1->isChecked());
    DateTimePicker2->setEnabled(CheckBox1->isChecked());
}

void TFormMakeReport::CheckBox2Click()
{
    Edit2->setEnabled(CheckBox2->isChecked());
    Edit4->setEnabled(CheckBox2->isChecked());
}

bool TFormMakeReport::amountAccepted(QLineEdit *edit)
{
    if (isAmountText(edit->text()))
        return true;
    Ui::Message(QStringLiteral("金额格式有误，请重新输入"), QString(), Ui::Icon::Warning);
    // A field whose box is not ticked is disabled: the box comes on with it, so that the
    // user can correct what the message is about.
    if (!edit->isEnabled())
        CheckBox2->setChecked(true);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void TFormMakeReport::BitBtn1Click()
{
    ReportCondition.clear();
    // Both amounts are checked whether or not their box is ticked.
    if (!amountAccepted(Edit2) || !amountAccepted(Edit4))
        return;
    QString condition;
    if (CheckBox1->isChecked())
        condition += QStringLiteral(" And (MoneyCreateTime Between %1 And %2)")
                         .arg(DateLiteral(DateTimePicker1->date()),
                              DateLiteral(DateTimePicker2->date()));
    // The amounts go in as typed: the check above lets only numbers through.
    if (CheckBox2->isChecked() && !Edit2->text().isEmpty())
        condition += QStringLiteral(" And (ABS(MoneySum) > %1)").arg(Edit2->text());
    if (CheckBox2->isChecked() && !Edit4->text().isEmpty())
        condition += QStringLiteral(" And (ABS(MoneySum) < %1)").arg(Edit4->text());
    // The entry last clicked decides: "所有" (the first row) leaves the accounts open.
    QStringList accounts;
    for (int row = 0; row < ListBox1->count(); ++row)
        if (ListBox1->item(row)->isSelected())
            accounts << Quoted(ListBox1->item(row)->text());
    if (ListBox1->currentRow() != 0 && !accounts.isEmpty())
        condition += QStringLiteral(" And AccountName In (") + accounts.join(QLatin1Char(','))
            + QLatin1Char(')');
    // The kind and the customer match a part of the stored text; the category, the
    // voucher and the salesman must match exactly.
    const struct { QComboBox *combo; const char *fragment; } lists[] = {
        {ComboBox2, " And (InStr(MoneyReason,%1))"}, {ComboBox3, " And (MoneyType = %1)"},
        {ComboBox4, " And (MoneyToken = %1)"}, {ComboBox6, " And (InStr(MoneyUser,%1))"},
        {ComboBox7, " And (MoneyMan = %1)"}};
    for (const auto &list : lists)
        if (list.combo->currentText() != All())
            condition += QString::fromLatin1(list.fragment).arg(Quoted(list.combo->currentText()));
    // Records of exactly 0 are neither an income nor an expense document.
    const int type = ComboBox5->currentData().toInt();
    if (type == IncomeDocument)
        condition += QStringLiteral(" And (MoneySum > 0)");
    else if (type != AnyDocument)
        condition += QStringLiteral(" And (MoneySum < 0)");
    if (!Edit3->text().isEmpty())
        condition += QStringLiteral(" And (InStr(MoneyRemark,%1))").arg(Quoted(Edit3->text()));
    if (!Edit5->text().isEmpty())
        condition += QStringLiteral(" And (InStr(MoneySerial,%1))").arg(Quoted(Edit5->text()));
    ReportCondition = condition;
    done(Built);
}

void TFormMakeReport::BitBtn2Click()
{
    done(Cancelled);
}
