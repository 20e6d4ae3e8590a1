#include "FormGetPay.h"

#include "BookKind.h"
#include "DataPassword.h"
#include "DbTransaction.h"
#include "FormGetPay2.h"
#include "Globals.h"
#include "Look.h"
#include "PublicFunction.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QComboBox>
#include <QCompleter>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStringListModel>
#include <QTimer>

#include <cmath>

TFormGetPay *FormGetPay = nullptr;

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");

constexpr int FieldLeft = 112;
constexpr int FieldWidth = 296;
constexpr int FirstRowTop = 80;
constexpr int RowStep = 30;
constexpr int ButtonTop = 392;
constexpr QSize ButtonSize(97, 41);
constexpr QSize ClientSize(436, 448);

QRect labelPlace(int row)
{
    return QRect(16, FirstRowTop + row * RowStep, FieldLeft - 24, 22);
}

QRect fieldPlace(int row)
{
    return QRect(FieldLeft, FirstRowTop + row * RowStep, FieldWidth, 22);
}

// The name a book gives a record of this direction: 财务收入, 应收出帐, …
QString recordKind(const QString &book, bool income)
{
    return BookKindOrCash(book).Caption(income);
}

QString bookKey(const QString &book)
{
    return BookKindOrCash(book).key;
}

// Selects the item whose text equals value; of several equal items the last one, and none
// when no item equals it.
void selectEqual(QComboBox *combo, const QString &value)
{
    int found = -1;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i) == value)
            found = i;
    combo->setCurrentIndex(found);
}

void selectFirst(QComboBox *combo)
{
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

// The editable fields: what is typed stands, nothing from the list is selected by it.
void setText(QComboBox *combo, const QString &text)
{
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

} // namespace

TFormGetPay::TFormGetPay(QWidget *parent) : TFormGetPay(parent, QStringLiteral("FormGetPay")) {}

TFormGetPay::TFormGetPay(QWidget *parent, const QString &name)
    : TFixedDialog(parent, name, recordKind(QString(), true), ClientSize, TitleButtons::Close,
                   Placement::MainWindow),
      m_customers(new QStringListModel(this)), m_customerCompleter(new QCompleter(this))
{
    build();
}

void TFormGetPay::build()
{
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(8, 8, 420, 60),
                        Qt::AlignCenter);
    Image1->setFont(KaiFont(24));
    const auto label = [this](const char *name, const char *text, int row) {
        return PlaceLabel(this, QString::fromLatin1(name), QString::fromUtf8(text),
                          labelPlace(row), Qt::AlignRight | Qt::AlignVCenter);
    };
    Label1 = label("Label1", "单据编号", 0);
    Label2 = label("Label2", "帐户名称", 1);
    Label3 = label("Label3", "客户名称", 2);
    Label4 = label("Label4", "录入时间", 3);
    Label5 = label("Label5", "金额", 4);
    Label6 = label("Label6", "收支种类", 5);
    Label7 = label("Label7", "业务员", 6);
    Label8 = label("Label8", "款项类别", 7);
    Label9 = label("Label9", "凭证", 8);
    Label10 = label("Label10", "备注", 9);

    Edit4 = PlaceEdit(this, QStringLiteral("Edit4"), fieldPlace(0));
    ComboBox1 = PlaceCombo(this, QStringLiteral("ComboBox1"), fieldPlace(1));
    ComboBox5 = PlaceCombo(this, QStringLiteral("ComboBox5"), fieldPlace(2));
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(fieldPlace(3));
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTimePicker1->setCalendarPopup(true);
    Edit2 = PlaceEdit(this, QStringLiteral("Edit2"), fieldPlace(4));
    ComboBox2 = PlaceCombo(this, QStringLiteral("ComboBox2"), fieldPlace(5));
    ComboBox6 = PlaceCombo(this, QStringLiteral("ComboBox6"), fieldPlace(6));
    ComboBox3 = PlaceCombo(this, QStringLiteral("ComboBox3"), fieldPlace(7));
    ComboBox4 = PlaceCombo(this, QStringLiteral("ComboBox4"), fieldPlace(8));
    Edit3 = PlaceEdit(this, QStringLiteral("Edit3"), fieldPlace(9));
    // Each field is announced by its caption.
    const QList<QLabel *> captions{Label1, Label2, Label3, Label4, Label5,
                                   Label6, Label7, Label8, Label9, Label10};
    const QList<QWidget *> fields{Edit4,     ComboBox1, ComboBox5, DateTimePicker1, Edit2,
                                  ComboBox2, ComboBox6, ComboBox3, ComboBox4,       Edit3};
    for (int i = 0; i < captions.size(); ++i)
        captions[i]->setBuddy(fields[i]);
    // The amount is digits and a point: a sign never gets in by typing, so the direction
    // comes from the mode alone.
    Edit2->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9.]*")), Edit2));

    // The customer field takes any text and narrows its list to the names that contain
    // what was typed, whatever the case of Latin letters: a book with thousands of
    // customers is found by a few characters.
    ComboBox5->setEditable(true);
    ComboBox5->setInsertPolicy(QComboBox::NoInsert);
    ComboBox5->setModel(m_customers);
    ComboBox5->setMaxVisibleItems(20);
    ComboBox5->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    if (auto *list = qobject_cast<QListView *>(ComboBox5->view()))
        list->setUniformItemSizes(true);
    m_customerCompleter->setModel(m_customers);
    m_customerCompleter->setCompletionMode(QCompleter::PopupCompletion);
    m_customerCompleter->setFilterMode(Qt::MatchContains);
    m_customerCompleter->setCaseSensitivity(Qt::CaseInsensitive);
    m_customerCompleter->setMaxVisibleItems(12);
    ComboBox5->setCompleter(m_customerCompleter);
    if (auto *popup = qobject_cast<QListView *>(m_customerCompleter->popup()))
        popup->setUniformItemSizes(true);
    // The salesman may be one of the list or a name typed in.
    ComboBox6->setEditable(true);
    ComboBox6->setInsertPolicy(QComboBox::NoInsert);

    BitBtn1 = PictureButton(this, QStringLiteral("BitBtn1"), QStringLiteral("保存"),
                            QStringLiteral("Res/Save.ico"),
                            QRect(QPoint(0, ButtonTop), ButtonSize));
    BitBtn3 = PictureButton(this, QStringLiteral("BitBtn3"), QStringLiteral("删除"),
                            QStringLiteral("Res/Delete.ico"),
                            QRect(QPoint(0, ButtonTop), ButtonSize));
    PrintButton = PictureButton(this, QStringLiteral("PrintButton"), QStringLiteral("打印"),
                                QStringLiteral("Res/Print.ico"),
                                QRect(QPoint(0, ButtonTop), ButtonSize));
    BitBtn2 = PictureButton(this, QStringLiteral("BitBtn2"), QStringLiteral("取消"),
                            QStringLiteral("Res/Cancel.ico"),
                            QRect(QPoint(0, ButtonTop), ButtonSize));
    BitBtn1->setDefault(true);
    BitBtn3->hide();
    PrintButton->hide();
    placeButtons();
    connect(BitBtn1, &QPushButton::clicked, this, &TFormGetPay::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TFormGetPay::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TFormGetPay::BitBtn3Click);
    connect(PrintButton, &QPushButton::clicked, this, &TFormGetPay::ActionPrintExecute);

    QWidget *order[] = {Edit4, ComboBox1, ComboBox5, DateTimePicker1, Edit2, ComboBox2,
                        ComboBox6, ComboBox3, ComboBox4, Edit3, BitBtn1, BitBtn3, PrintButton,
                        BitBtn2};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TFormGetPay::placeButtons()
{
    QList<QPushButton *> shown;
    for (QPushButton *b : {BitBtn1, BitBtn3, PrintButton, BitBtn2})
        if (!b->isHidden())
            shown << b;
    const int gap = shown.size() > 3 ? 8 : 16;   // four buttons keep a margin too
    const int total = int(shown.size()) * ButtonSize.width() + (int(shown.size()) - 1) * gap;
    int left = (ClientSize.width() - total) / 2;
    for (QPushButton *b : shown) {
        b->move(left, ButtonTop);
        left += ButtonSize.width() + gap;
    }
}

// ---------------------------------------------------------------- showing

void TFormGetPay::FormShow()
{
    ++m_showing;
    const bool edit = IsEditMode();
    const QString kind = recordKind(EntryAccountType, IsIncome());
    const QString title = (edit ? QStringLiteral("修改") : QStringLiteral("新增")) + kind;
    setWindowTitle(title);
    const QString picture = QStringLiteral("Res/") + (edit ? QStringLiteral("Edit")
                                                           : QStringLiteral("New"))
        + bookKey(EntryAccountType) + (IsIncome() ? QStringLiteral("In.bmp")
                                                  : QStringLiteral("Out.bmp"));
    const QPixmap header = LoadPicture(picture);
    // Without its picture the header still says what is being entered.
    if (header.isNull())
        Image1->setText(title);
    else
        Image1->setPixmap(header);

    // Nothing typed at an earlier showing survives, even when a list cannot be read now;
    // delete is offered only once the record to delete has been read.
    clearFields();
    BitBtn3->hide();
    PrintButton->hide();
    placeButtons();
    if (!fillAccounts() || !fillCustomers() || !fillPickLists())
        return;
    if (edit ? !loadRecord() : !presetNew())
        return;
    placeButtons();
    Edit2->setFocus();
    Edit2->selectAll();
}

void TFormGetPay::clearFields()
{
    Edit4->clear();
    Edit2->clear();
    Edit3->clear();
    for (QComboBox *combo : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox6})
        combo->clear();
    m_customers->setStringList({});
    setText(ComboBox5, QString());
}

bool TFormGetPay::fillAccounts()
{
    ComboBox1->clear();
    if (!EntryAccountName.isEmpty()) {
        ComboBox1->setEnabled(false);
        ComboBox1->addItem(EntryAccountName);
        ComboBox1->setCurrentIndex(0);
        EntryAccountName.clear();
        return true;
    }
    ComboBox1->setEnabled(true);
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From Account Where (AccountIndex > 1)")
                             + EntryAccountFilter,
                  QStringLiteral("帐户读入失败")))
        return false;
    QStringList names;
    for (query.First(); !query.Eof(); query.Next())
        names << query.FieldByName(QStringLiteral("AccountName")).AsString();
    ComboBox1->addItems(names);
    ComboBox1->setCurrentIndex(-1);
    return true;
}

bool TFormGetPay::fillCustomers()
{
    if (!EntryCustomerName.isEmpty()) {
        ComboBox5->setEnabled(false);
        m_customers->setStringList({EntryCustomerName});
        ComboBox5->setCurrentIndex(0);
        EntryCustomerName.clear();
        return true;
    }
    ComboBox5->setEnabled(true);
    QStringList names;
    if (!ReadCustomerNames(&names))
        return false;
    m_customers->setStringList(names);
    setText(ComboBox5, QString());
    return true;
}

bool TFormGetPay::fillPickLists()
{
    const struct { QComboBox *combo; int type; } lists[] = {
        {ComboBox2, 1}, {ComboBox3, 2}, {ComboBox4, 3}, {ComboBox6, 4}};
    for (const auto &list : lists) {
        list.combo->clear();
        QStringList values;
        if (!ReadPickList(list.type, &values))
            return false;
        list.combo->addItems(values);
        list.combo->setCurrentIndex(-1);
    }
    return true;
}

bool TFormGetPay::loadRecord()
{
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From Account,MoneyTable Where (AccountIndex = "
                                        "MoneyAccount) And (MoneyIndex = %1)")
                             .arg(EntryRecordIndex),
                  QStringLiteral("帐款读入失败")))
        return false;
    if (query.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到要修改的记录"));
        closeAtOnce();
        return false;
    }
    query.First();
    const auto text = [&query](const char *field) {
        return query.FieldByName(QLatin1String(field)).AsString();
    };
    selectEqual(ComboBox1, text("AccountName"));
    DateTimePicker1->setDate(query.FieldByName(QStringLiteral("MoneyCreateTime")).AsDate());
    setText(ComboBox5, text("MoneyUser"));
    selectEqual(ComboBox2, text("MoneyReason"));
    const double sum = query.FieldByName(QStringLiteral("MoneySum")).AsFloat();
    Edit2->setText(AmountText(sum >= 0 ? sum : -sum));
    selectEqual(ComboBox3, text("MoneyType"));
    selectEqual(ComboBox4, text("MoneyToken"));
    Edit3->setText(text("MoneyRemark"));
    Edit4->setText(text("MoneySerial"));
    setText(ComboBox6, text("MoneyMan"));
    BitBtn3->show();
    PrintButton->show();   // a bill only of a stored record
    return true;
}

int TFormGetPay::documentRow() const
{
    const TBookKind *book = FindBookKind(EntryAccountType);
    return book ? book->documentRow : 0;
}

bool TFormGetPay::presetNew()
{
    DateTimePicker1->setDate(EntryDate.isValid() ? EntryDate : Session::WorkingDate());
    setText(ComboBox5, EntryCustomerText);
    Edit2->setText(EntryAmountText);
    Edit3->setText(EntryRemarkText);
    Edit4->clear();
    setText(ComboBox6, EntryManText);
    for (QComboBox *combo : {ComboBox1, ComboBox2, ComboBox3, ComboBox4})
        selectFirst(combo);
    m_lastNumberShown.clear();
    m_numberOffered.clear();
    const int row = documentRow();
    if (row == 0)
        return true;
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From Setting Where SettingIndex = %1").arg(row),
                  OpenFailed))
        return false;
    if (!query.IsEmpty()) {
        query.First();
        m_lastNumberShown = query.FieldByName(QStringLiteral("SettingValue")).AsString();
        m_numberOffered = NextDocumentNumber(m_lastNumberShown);
        Edit4->setText(m_numberOffered);
    }
    return true;
}

void TFormGetPay::closeAtOnce()
{
    // FormShow runs while the window is being shown: a modal loop that has not started yet
    // would wait for a window closed now. It closes as soon as the loop runs.
    const int showing = m_showing;
    QTimer::singleShot(0, this, [this, showing] {
        if (showing == m_showing && isVisible())
            reject();
    });
}

// ---------------------------------------------------------------- saving

void TFormGetPay::refuse(const QString &message, QWidget *field)
{
    Ui::Message(message, QString(), Ui::Icon::Warning);
    field->setFocus();
}

bool TFormGetPay::checkInput(double *amount)
{
    if (ComboBox1->currentIndex() < 0) {
        refuse(QStringLiteral("请选择一个帐户"), ComboBox1);
        return false;
    }
    if (ComboBox2->currentIndex() < 0) {
        refuse(QStringLiteral("请选择帐款项目"), ComboBox2);
        return false;
    }
    const QString text = Edit2->text();
    if (!IsNumberText(text)) {
        refuse(QStringLiteral("金额格式有误，请重新输入"), Edit2);
        return false;
    }
    const int point = int(text.indexOf(QLatin1Char('.')));
    if (point >= 0 && text.size() - point - 1 > 2) {
        refuse(QStringLiteral("金额内容可能有误，请重新输入"), Edit2);
        return false;
    }
    if (ComboBox3->currentIndex() < 0) {
        refuse(QStringLiteral("请选择帐款类别"), ComboBox3);
        return false;
    }
    if (ComboBox4->currentIndex() < 0) {
        refuse(QStringLiteral("请选择帐款凭证"), ComboBox4);
        return false;
    }
    if (!IsValidDocumentNumber(Edit4->text())) {
        refuse(QStringLiteral("单据编号格式有误，字母不能在数字后面"), Edit4);
        return false;
    }
    // Digits and points that still make no number ("1..", "."): nothing is written.
    bool ok = false;
    *amount = text.toDouble(&ok);
    if (!ok || !std::isfinite(*amount)) {
        refuse(QStringLiteral("金额不是一个有效的数字，请重新输入"), Edit2);
        return false;
    }
    // Forty digits are a number, but no amount: from 10^15 on an amount can no longer be
    // shown as one, nor summed to the cent.
    if (*amount >= 1e15) {
        refuse(QStringLiteral("金额太大，请重新输入"), Edit2);
        return false;
    }
    return true;
}

bool TFormGetPay::lookUpAccount(qint64 *account)
{
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From Account Where (AccountName = %1)")
                                 .arg(Quoted(ComboBox1->currentText()))
                             + EntryAccountFilter,
                  OpenFailed))
        return false;
    if (query.IsEmpty()) {
        Ui::Message(QStringLiteral("找不到所需要的帐户"), QString(), Ui::Icon::Warning);
        return false;
    }
    query.First();
    *account = query.FieldByName(QStringLiteral("AccountIndex")).AsInteger();
    return true;
}

void TFormGetPay::BitBtn1Click()
{
    double amount = 0;
    qint64 account = 0;
    if (!checkInput(&amount) || !lookUpAccount(&account))
        return;
    if (IsEditMode())
        saveEdit(account, amount);
    else
        saveNew(account, amount);
}

// The fields both a new and a changed record take from the form; the direction is the
// mode's, and the amount itself is never negative.
void TFormGetPay::setAmountFields(DbQuery &query, double amount) const
{
    const bool income = IsIncome();
    query.SetField(QStringLiteral("MoneyCreateTime"), DateTimePicker1->date());
    query.SetField(QStringLiteral("MoneyUser"), ComboBox5->currentText());
    query.SetField(QStringLiteral("MoneyReason"), ComboBox2->currentText());
    query.SetField(QStringLiteral("MoneyIn"), income ? amount : 0.0);
    query.SetField(QStringLiteral("MoneyOut"), income ? 0.0 : amount);
    query.SetField(QStringLiteral("MoneySum"), income ? amount : 0.0 - amount);
    query.SetField(QStringLiteral("MoneyType"), ComboBox3->currentText());
    query.SetField(QStringLiteral("MoneyToken"), ComboBox4->currentText());
    query.SetField(QStringLiteral("MoneyRemark"), Edit3->text());
    query.SetField(QStringLiteral("MoneySerial"), Edit4->text());
    query.SetField(QStringLiteral("MoneyMan"), ComboBox6->currentText());
}

namespace {

// What the user reads after a failed write: the engine's reason and, when another
// computer held the file, that nothing typed is lost.
QString writeFailure(const QString &what, const QString &error, DbFault fault)
{
    QString text = what + error;
    if (fault == DbFault::Busy)
        text += QStringLiteral("\n您输入的内容仍在窗口中，稍后再点“保存”即可。");
    return text;
}

} // namespace

void TFormGetPay::saveNew(qint64 account, double amount)
{
    // The record and the book's last document number go in together or not at all, and
    // the question below is asked only after the file is free again. The transaction
    // holds the book's write lock from its start, so no other computer can take a
    // document number between the reading of the last one and the writing of ours.
    QString failure;
    DbFault fault = DbFault::None;
    QString number = Edit4->text();
    {
        DbConnection *connection = &ShareDataModule->ADOConnection1;
        DbTransaction trans(connection);
        DbQuery &query = ShareDataModule->ADOQueryTemp;
        const int row = documentRow();
        const auto failed = [&](const QString &error, DbFault why) {
            failure = error;
            fault = why;
        };
        if (!trans.Active()) {
            failed(trans.LastError(), trans.Fault());
        } else if (row > 0) {
            query.SetSQL(QStringLiteral("Select * From Setting Where SettingIndex = %1").arg(row));
            if (!query.Open()) {
                failed(query.LastError(), query.Fault());
            } else if (!query.IsEmpty()) {
                query.First();
                // Another computer saved a record of this book since the number was
                // offered: the record takes the number after that one. A number the user
                // typed himself stays as typed.
                const QString last = query.FieldByName(QStringLiteral("SettingValue")).AsString();
                if (!m_numberOffered.isEmpty() && number == m_numberOffered
                    && last != m_lastNumberShown && !NextDocumentNumber(last).isEmpty())
                    number = NextDocumentNumber(last);
                query.Edit();
                query.SetField(QStringLiteral("SettingValue"), number);
                if (!query.Post()) {
                    failed(query.LastError(), query.Fault());
                    query.Cancel();
                }
            }
        }
        if (failure.isEmpty()) {
            query.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
            if (!query.Open()) {
                failed(query.LastError(), query.Fault());
            } else {
                query.Append();
                query.SetField(QStringLiteral("MoneyAccount"), account);
                query.SetField(QStringLiteral("MoneyRecordTime"), QDate::currentDate());
                setAmountFields(query, amount);
                query.SetField(QStringLiteral("MoneySerial"), number);
                query.SetField(QStringLiteral("MoneyPower"), Session::User());
                if (!query.Post()) {
                    failed(query.LastError(), query.Fault());
                    query.Cancel();
                }
            }
        }
        if (failure.isEmpty() && !trans.Commit())
            failed(trans.LastError(), trans.Fault());
    }
    if (!failure.isEmpty()) {
        Ui::Message(writeFailure(QStringLiteral("记录没有保存：数据库写入失败。\n"), failure, fault),
                    QString(), Ui::Icon::Error);
        return;
    }
    if (number == Edit4->text()) {
        Ui::Message(QStringLiteral("记录新增成功"));
    } else {
        Ui::Message(QStringLiteral("记录新增成功\n单据编号 %1 已被另一台电脑的记录使用，"
                                   "这条记录的单据编号是 %2。")
                        .arg(Edit4->text(), number));
        Edit4->setText(number);
    }
    writeOffPrompt();
    DataChanged = true;
    accept();
}

// The record on ADOQueryTemp, its first row current, once the data modification password
// was given (read on the other scratch query). False, with gone shown when the record is
// no longer there, or when the statement or the password failed.
bool TFormGetPay::openRecordToChange(const QString &gone)
{
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From MoneyTable Where MoneyIndex = %1")
                             .arg(EntryRecordIndex),
                  OpenFailed))
        return false;
    if (query.IsEmpty()) {
        Ui::Message(gone, QString(), Ui::Icon::Warning);
        return false;
    }
    if (!CheckDataModificationPassword(ShareDataModule->ADOQueryTemp2))
        return false;
    return query.First();
}

void TFormGetPay::saveEdit(qint64 account, double amount)
{
    if (!openRecordToChange(QStringLiteral("找不到要修改的记录")))
        return;
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    query.Edit();
    query.SetField(QStringLiteral("MoneyAccount"), account);
    setAmountFields(query, amount);
    if (!query.Post()) {
        const QString error = query.LastError();
        const DbFault fault = query.Fault();
        query.Cancel();
        Ui::Message(writeFailure(QStringLiteral("记录没有修改：数据库写入失败。\n"), error, fault),
                    QString(), Ui::Icon::Error);
        return;
    }
    Ui::Message(QStringLiteral("记录修改成功"));
    DataChanged = true;
    accept();
}

void TFormGetPay::writeOffPrompt()
{
    const TBookKind *book = FindBookKind(EntryAccountType);
    if (!OffersWriteOff() || !book || book->id != BookId::Cash || !FormGetPay2)
        return;
    const bool income = EntryMode == NewIncome;
    if (!income && EntryMode != NewExpense)
        return;
    if (!(income ? IncomeWriteOffPrompt() : ExpenseWriteOffPrompt()))
        return;
    const QString followUp = BookKindOf(income ? BookId::Receivable : BookId::Payable).name;
    const bool yes = income
        ? Ui::Ask(QStringLiteral("财务收入已新增成功，是否需要进行相应的应收出帐操作？"),
                  QStringLiteral("应收出帐提示"))
        : Ui::Ask(QStringLiteral("财务支出已新增成功，是否需要进行相应的应付出帐操作？"),
                  QStringLiteral("应付出帐提示"));
    if (!yes)
        return;
    TFormGetPay *next = FormGetPay2;
    const QString customer = ComboBox5->currentText();
    // A customer the caller locked stays locked; otherwise the follow-up lists them all.
    next->EntryCustomerName = ComboBox5->isEnabled() ? QString() : customer;
    next->EntryAccountName.clear();
    next->EntryMode = NewExpense;
    next->EntryCustomerText = customer;
    next->EntryAmountText = Edit2->text();
    next->EntryRemarkText = Edit3->text();
    next->EntryManText = ComboBox6->currentText();
    next->EntryDate = DateTimePicker1->date();
    next->EntryAccountFilter = QStringLiteral(" And (AccountType = %1)").arg(Quoted(followUp))
        + AccountVisibilityClause(Session::User());
    next->EntryAccountType = followUp;
    Ui::ShowModal(next);
}

// ---------------------------------------------------------------- cancel and delete

void TFormGetPay::BitBtn2Click()
{
    reject();
}

void TFormGetPay::BitBtn3Click()
{
    if (!IsEditMode())
        return;
    if (!openRecordToChange(QStringLiteral("找不到要删除的记录")))
        return;
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!Ui::Ask(QStringLiteral("确实要删除该记录吗？"), QStringLiteral("删除警告")))
        return;
    if (!query.Delete()) {
        Ui::Message(QStringLiteral("记录没有删除：数据库写入失败。\n") + query.LastError(),
                    QString(), Ui::Icon::Error);
        return;
    }
    DataChanged = true;
    accept();
}
