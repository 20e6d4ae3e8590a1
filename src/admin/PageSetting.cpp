#include "PageSetting.h"

#include "FormAsk.h"
#include "Globals.h"
#include "Look.h"
#include "ParameterKind.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <iterator>

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");
const QString ParameterTitle = QStringLiteral("参数设置");
const QString ConfirmTitle = QStringLiteral("修改确认");
const QString ModifyRow = QStringLiteral("修改");
const QString Portrait = QStringLiteral("纵向打印");
const QString Landscape = QStringLiteral("横向打印");
const QString Prompt = QStringLiteral("提示");
const QString NoPrompt = QStringLiteral("不提示");
constexpr int UserNameLimit = 50;   // characters: a person's name or a role

DbQuery &scratch()
{
    return ShareDataModule->ADOQueryTemp;
}

// Posts a change; when the engine refuses it, says so and drops the change, so that a
// failed write is never followed by a success message.
bool post(DbQuery &query)
{
    if (query.Post())
        return true;
    Ui::Error(QStringLiteral("数据没有保存：") + query.LastError());
    query.Cancel();
    return false;
}

bool setField(DbQuery &query, const QString &field, const QVariant &value)
{
    return query.Edit() && query.SetField(field, value) && post(query);
}

// Stands on the row whose value is exactly text: names compare without regard to the case
// of Latin letters, so a look-up may also find "Cash" for "cash".
void toExactRow(DbQuery &query, const QString &field, const QString &text)
{
    for (query.First(); !query.Eof(); query.Next())
        if (query.FieldByName(field).AsString() == text)
            return;
    query.First();
}

QPushButton *smallButton(QWidget *parent, const QString &name, const QString &caption,
                         const QRect &place)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(place);
    b->setCursor(Qt::PointingHandCursor);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TPageSetting::TPageSetting(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PageSetting"));
    setGeometry(0, 0, 660, 470);
    buildUserBox();
    buildPasswordBox();
    buildPrintBox();
    for (const TParameterKind &kind : ParameterKinds())
        if (kind.type == 4)
            buildList(kind);
    buildPromptBox();
    for (const TParameterKind &kind : ParameterKinds())
        if (kind.type != 4)
            buildList(kind);
    buildDesignBox();

    QWidget *order[] = {ComboBox1, Edit4, Edit1, Button10, Button19, Button20, Edit2,
                        Button11, ComboBox4, Button12, m_lists[3],
                        findChild<QPushButton *>(QStringLiteral("Button16")),
                        findChild<QPushButton *>(QStringLiteral("Button17")),
                        findChild<QPushButton *>(QStringLiteral("Button18")), ComboBox2,
                        ComboBox5};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    QWidget *last = ComboBox5;
    for (int type = 1; type <= 3; ++type) {
        const TParameterKind &kind = ParameterKindOf(type);
        for (const QString &name : {kind.listBox, kind.addButton, kind.editButton,
                                    kind.deleteButton}) {
            QWidget *w = findChild<QWidget *>(name);
            setTabOrder(last, w);
            last = w;
        }
    }
    setTabOrder(last, ButtonDesign);
}

QGroupBox *TPageSetting::box(const QString &name, const QRect &place)
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(name);
    frame->setGeometry(place);
    return frame;
}

void TPageSetting::heading(const QString &name, const QString &text, const QString &picture,
                           const QPoint &at, bool red)
{
    QLabel *icon = PlaceLabel(this, name + QStringLiteral("Icon"), QString(),
                              QRect(at, QSize(32, 32)), Qt::AlignCenter);
    icon->setPixmap(LoadPicture(picture));
    QLabel *title = PlaceLabel(this, name, text, QRect(at + QPoint(38, 6), QSize(150, 20)));
    title->resize(title->fontMetrics().horizontalAdvance(text) + 4, 20);
    if (red) {
        QPalette palette = title->palette();
        palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
        title->setPalette(palette);
    }
}

void TPageSetting::buildUserBox()
{
    box(QStringLiteral("GroupBox1"), QRect(8, 12, 241, 113));
    heading(QStringLiteral("Label3"), QStringLiteral("用户权限管理"),
            QStringLiteral("Res/Login.ico"), QPoint(16, 18), true);
    QLabel *user = PlaceLabel(this, QStringLiteral("Label4"), QStringLiteral("用户："),
                              QRect(16, 56, 46, 21), Qt::AlignRight | Qt::AlignVCenter);
    QLabel *key = PlaceLabel(this, QStringLiteral("Label5"), QStringLiteral("密码："),
                             QRect(16, 88, 46, 21), Qt::AlignRight | Qt::AlignVCenter);
    ComboBox1 = PlaceCombo(this, QStringLiteral("ComboBox1"), QRect(64, 56, 97, 21));
    ComboBox1->addItems({QStringLiteral("管理员"), QStringLiteral("出纳")});
    ComboBox1->setCurrentIndex(0);
    Edit4 = PlaceEdit(this, QStringLiteral("Edit4"), QRect(64, 56, 97, 21));
    Edit4->setPlaceholderText(QStringLiteral("新用户名"));
    Edit4->hide();
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(64, 88, 97, 21));
    user->setBuddy(ComboBox1);
    key->setBuddy(Edit1);
    // Two fields read "密码：": each is announced by what it holds.
    Edit1->setAccessibleName(QStringLiteral("用户密码"));
    Edit4->setAccessibleName(QStringLiteral("新用户名"));
    Button19 = smallButton(this, QStringLiteral("Button19"), QStringLiteral("新增用户"),
                           QRect(172, 24, 65, 21));
    Button20 = smallButton(this, QStringLiteral("Button20"), QStringLiteral("删除用户"),
                           QRect(172, 56, 65, 21));
    Button10 = smallButton(this, QStringLiteral("Button10"), QStringLiteral("修改密码"),
                           QRect(172, 88, 65, 21));
    Button19->setVisible(UserAdminSwitch);
    Button20->setVisible(UserAdminSwitch);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TPageSetting::ComboBox1Change);
    connect(Button10, &QPushButton::clicked, this, &TPageSetting::Button10Click);
    connect(Button19, &QPushButton::clicked, this, &TPageSetting::Button19Click);
    connect(Button20, &QPushButton::clicked, this, &TPageSetting::Button20Click);
    connect(Edit4, &QLineEdit::returnPressed, this, &TPageSetting::Button10Click);
}

void TPageSetting::buildPasswordBox()
{
    box(QStringLiteral("GroupBox2"), QRect(264, 12, 225, 113));
    heading(QStringLiteral("Label6"), QStringLiteral("资料修改密码"),
            QStringLiteral("Res/Ok.ico"), QPoint(272, 18));
    QLabel *key = PlaceLabel(this, QStringLiteral("Label7"), QStringLiteral("密码："),
                             QRect(272, 56, 46, 21), Qt::AlignRight | Qt::AlignVCenter);
    Edit2 = PlaceEdit(this, QStringLiteral("Edit2"), QRect(320, 56, 97, 21));
    key->setBuddy(Edit2);
    Edit2->setAccessibleName(QStringLiteral("资料修改密码"));
    Button11 = smallButton(this, QStringLiteral("Button11"), QStringLiteral("确定"),
                           QRect(428, 56, 41, 21));
    QLabel *note = PlaceLabel(this, QStringLiteral("Label8"),
                              QStringLiteral("修改、删除已保存的资料时要输入"),
                              QRect(272, 88, 209, 21), Qt::AlignCenter);
    QPalette grey = note->palette();
    grey.setColor(QPalette::WindowText, QColor(96, 96, 96));
    note->setPalette(grey);
    connect(Button11, &QPushButton::clicked, this, &TPageSetting::Button11Click);
}

void TPageSetting::buildPrintBox()
{
    box(QStringLiteral("GroupBox3"), QRect(504, 12, 145, 113));
    heading(QStringLiteral("Label9"), QStringLiteral("报表打印方式设置"),
            QStringLiteral("Res/Print.ico"), QPoint(510, 18));
    ComboBox4 = PlaceCombo(this, QStringLiteral("ComboBox4"), QRect(528, 56, 97, 21));
    ComboBox4->addItems({Portrait, Landscape});
    ComboBox4->setAccessibleName(QStringLiteral("报表打印方式"));
    Button12 = smallButton(this, QStringLiteral("Button12"), QStringLiteral("确定"),
                           QRect(550, 88, 53, 21));
    connect(Button12, &QPushButton::clicked, this, &TPageSetting::Button12Click);
}

void TPageSetting::buildPromptBox()
{
    heading(QStringLiteral("Label10"), QStringLiteral("财务收支款项，登帐提示设置"),
            QStringLiteral("Res/YellowTower.ico"), QPoint(188, 156));
    box(QStringLiteral("GroupBox4"), QRect(188, 192, 277, 73));
    QLabel *income =
        PlaceLabel(this, QStringLiteral("Label11"),
                   QStringLiteral("财务收入时，是否提示应收出帐？"), QRect(196, 204, 192, 21));
    QLabel *expense =
        PlaceLabel(this, QStringLiteral("Label12"),
                   QStringLiteral("财务支出时，是否提示应付出帐？"), QRect(196, 232, 192, 21));
    ComboBox2 = PlaceCombo(this, QStringLiteral("ComboBox2"), QRect(392, 204, 65, 21));
    ComboBox5 = PlaceCombo(this, QStringLiteral("ComboBox5"), QRect(392, 232, 65, 21));
    income->setBuddy(ComboBox2);
    expense->setBuddy(ComboBox5);
    ComboBox2->addItems({Prompt, NoPrompt});
    ComboBox5->addItems({Prompt, NoPrompt});
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &TPageSetting::ComboBox2Change);
    connect(ComboBox5, &QComboBox::currentIndexChanged, this, &TPageSetting::ComboBox5Change);
}

void TPageSetting::buildDesignBox()
{
    heading(QStringLiteral("Label13"), QStringLiteral("打印单据设计"),
            QStringLiteral("Res/Modify.ico"), QPoint(510, 156));
    box(QStringLiteral("GroupBox5"), QRect(504, 192, 145, 73));
    ButtonDesign = smallButton(this, QStringLiteral("ButtonDesign"), QStringLiteral("单据设计"),
                               QRect(536, 216, 81, 25));
    ButtonDesign->setAccessibleName(QStringLiteral("单据设计"));
    connect(ButtonDesign, &QPushButton::clicked, this, &TPageSetting::ActionDesignExecute);
}

void TPageSetting::buildList(const TParameterKind &kind)
{
    const QRect &place = kind.list;
    heading(kind.listBox + QStringLiteral("Title"), kind.title, QStringLiteral("Res/Reason.ico"),
            place.topLeft() - QPoint(0, 36));
    auto *list = new QListWidget(this);
    list->setObjectName(kind.listBox);
    list->setGeometry(place);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setAccessibleName(kind.title);
    m_lists[kind.type - 1] = list;
    const int top = place.top() + place.height() + 7; // bottom() is one pixel short
    const int type = kind.type;
    const QString captions[] = {QStringLiteral("新增"), QStringLiteral("修改"),
                                QStringLiteral("删除")};
    const QString names[] = {kind.addButton, kind.editButton, kind.deleteButton};
    void (TPageSetting::*actions[])(int) = {&TPageSetting::AddParameter,
                                            &TPageSetting::EditParameter,
                                            &TPageSetting::DeleteParameter};
    for (int i = 0; i < 3; ++i) {
        QPushButton *b = smallButton(this, names[i], captions[i],
                                     QRect(place.left() + 40 * i, top, 41, 21));
        // Four lists have the same three buttons: each says which list it works on.
        b->setAccessibleName(captions[i] + kind.title);
        const auto action = actions[i];
        connect(b, &QPushButton::clicked, this, [this, action, type] { (this->*action)(type); });
    }
    connect(list, &QListWidget::itemDoubleClicked, this, [this, type] { EditParameter(type); });
}

QListWidget *TPageSetting::ListBoxOf(int type) const
{
    return type >= 1 && type <= 4 ? m_lists[type - 1] : nullptr;
}

void TPageSetting::AdministratorSignedIn()
{
    Button19->setVisible(UserAdminSwitch);
    Button20->setVisible(UserAdminSwitch);
    for (const TParameterKind &kind : ParameterKinds())
        LoadParameterList(kind.type);
    LoadPreferences();
    LoadPasswords();
}

// ---------------------------------------------------------------- users and passwords

void TPageSetting::LoadPasswords()
{
    DbQuery &q = scratch();
    if (!RunQuery(q, QStringLiteral("Select * From Power Where PowerName = ")
                         + Quoted(ComboBox1->currentText()), OpenFailed))
        return;
    if (!q.IsEmpty()) {
        q.First();
        Edit1->setText(q.FieldByName(QStringLiteral("PowerKey")).AsString());
    }
    if (!RunQuery(q, QStringLiteral("Select * From Power Where PowerName = ") + Quoted(ModifyRow),
                  OpenFailed))
        return;
    if (!q.IsEmpty()) {
        q.First();
        Edit2->setText(q.FieldByName(QStringLiteral("PowerKey")).AsString());
    }
}

bool TPageSetting::LoadUserList(const QString &message)
{
    DbQuery &q = scratch();
    if (!RunQuery(q, QStringLiteral("Select * From Power Where (PowerIndex <> 4)"), message))
        return false;
    if (q.IsEmpty())
        return true;
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->clear();
    for (q.First(); !q.Eof(); q.Next())
        ComboBox1->addItem(q.FieldByName(QStringLiteral("PowerName")).AsString());
    ComboBox1->setCurrentIndex(0);
    return true;
}

void TPageSetting::ComboBox1Change()
{
    LoadPasswords();
}

void TPageSetting::Button10Click()
{
    if (m_adding)
        addUser();
    else
        setPassword();
}

void TPageSetting::setPassword()
{
    const QString name = ComboBox1->currentText();
    const QString key = Edit1->text();
    if (!Ui::Ask(QStringLiteral("确定要把用户") + name + QStringLiteral("的密码修改为 ") + key
                     + QStringLiteral(" 吗？"),
                 ConfirmTitle, Ui::AskIcon::None))
        return;
    DbQuery &q = scratch();
    if (!RunQuery(q, QStringLiteral("Select * From Power Where PowerName = ") + Quoted(name),
                  OpenFailed))
        return;
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("该用户密码已被删除"));
        return;
    }
    toExactRow(q, QStringLiteral("PowerName"), name);
    if (!setField(q, QStringLiteral("PowerKey"), key))
        return;
    Ui::Message(QStringLiteral("用户密码修改成功"));
    LoadPasswords();
}

void TPageSetting::Button19Click()
{
    if (!UserAdminSwitch || m_adding)
        return;
    m_adding = true;
    ComboBox1->hide();
    Edit4->clear();
    Edit4->show();
    Edit1->clear();
    Button19->setEnabled(false);
    Button20->setEnabled(false);
    Button10->setText(QStringLiteral("确  定"));
    Edit4->setFocus();
}

void TPageSetting::addUser()
{
    // A name of blanks only would be a user nobody can pick out in the sign-in list.
    const QString name = Edit4->text().trimmed();
    // Signing in keeps the name in the settings file, one line of limited length: a name
    // that could not be kept there could never sign in.
    const auto refuseName = [this](const QString &why) {
        Ui::Message(why);
        Edit4->setFocus();
    };
    const auto control = [](QChar c) { return c.category() == QChar::Other_Control; };
    if (std::any_of(name.cbegin(), name.cend(), control)) {
        refuseName(QStringLiteral("用户名不能包含换行符、制表符等控制字符"));
        return;
    }
    if (name.size() > UserNameLimit) {
        refuseName(QStringLiteral("用户名太长，不能超过 %1 个字").arg(UserNameLimit));
        return;
    }
    DbQuery &q = scratch();
    if (!RunQuery(q, QStringLiteral("Select * From Power Where PowerName = ") + Quoted(name),
                  OpenFailed))
        return;
    if (q.IsEmpty() && name.isEmpty()) {
        Ui::Message(QStringLiteral("用户名不能为空"));
        Edit4->setFocus();
        return;
    }
    if (q.IsEmpty()) {
        if (!q.Append() || !q.SetField(QStringLiteral("PowerName"), name)
            || !q.SetField(QStringLiteral("PowerKey"), Edit1->text()) || !post(q))
            return;
        Ui::Message(QStringLiteral("用户新增成功"));
    } else {
        Ui::Message(QStringLiteral("该用户名已经存在，请重新操作"));
    }
    leaveAdding();
}

void TPageSetting::leaveAdding()
{
    m_adding = false;
    Edit4->hide();
    ComboBox1->show();
    Button19->setEnabled(true);
    Button20->setEnabled(true);
    Button10->setText(QStringLiteral("修改密码"));
    if (LoadUserList(QStringLiteral("获取帐户时出错")))
        LoadPasswords();
}

void TPageSetting::Button20Click()
{
    const QString name = ComboBox1->currentText();
    if (name == QStringLiteral("管理员") || name == QStringLiteral("出纳")
        || name == QStringLiteral("查看")) {
        Ui::Message(QStringLiteral("管理员、出纳、查看帐号不能删除!"));
        return;
    }
    DbQuery &q = scratch();
    if (!RunQuery(q, QStringLiteral("Select * From Power Where PowerName = ") + Quoted(name),
                  OpenFailed))
        return;
    if (q.IsEmpty())
        return;
    // Only the user's row goes: what he entered stays, and stays in sight of 出纳 and 查看.
    if (!Ui::Ask(QStringLiteral("确定要删除用户 ") + name
                     + QStringLiteral(" 吗？\n删除后该用户不能再登录；他建立的帐户、客户和录入的"
                                      "收支记录不会删除，出纳和查看用户仍能看到。"),
                 ConfirmTitle, Ui::AskIcon::None))
        return;
    toExactRow(q, QStringLiteral("PowerName"), name);
    if (!q.Delete()) {
        Ui::Error(QStringLiteral("用户没有删除：") + q.LastError());
        return;
    }
    Ui::Message(QStringLiteral("用户删除成功"));
    if (LoadUserList(QStringLiteral("获取用户列表时出错")))
        LoadPasswords();
}

void TPageSetting::Button11Click()
{
    const QString key = Edit2->text();
    if (!Ui::Ask(QStringLiteral("确定要把该密码修改为 ") + key + QStringLiteral(" 吗？"),
                 ConfirmTitle, Ui::AskIcon::None))
        return;
    DbQuery &q = scratch();
    if (!RunQuery(q, QStringLiteral("Select * From Power Where PowerName = ") + Quoted(ModifyRow),
                  OpenFailed))
        return;
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("该密码已被删除"));
        return;
    }
    toExactRow(q, QStringLiteral("PowerName"), ModifyRow);
    if (!setField(q, QStringLiteral("PowerKey"), key))
        return;
    Ui::Message(QStringLiteral("密码修改成功"));
    LoadPasswords();
}

// ---------------------------------------------------------------- pick lists

bool TPageSetting::LoadParameterList(int type)
{
    const TParameterKind &kind = ParameterKindOf(type);
    QListWidget *list = ListBoxOf(type);
    DbQuery &q = scratch();
    // A list that cannot be read keeps showing what it showed.
    if (!RunQuery(q, QStringLiteral("Select * From Parameter Where ParameterType =  %1").arg(type),
                  kind.loadFailed))
        return false;
    list->clear();
    if (q.IsEmpty())
        return true;
    for (q.First(); !q.Eof(); q.Next())
        list->addItem(q.FieldByName(QStringLiteral("ParameterValue")).AsString());
    list->setCurrentRow(list->count() - 1);
    return true;
}

bool TPageSetting::lookUp(int type, const QString &value)
{
    return RunQuery(scratch(),
                    QStringLiteral("Select * From Parameter Where (ParameterType =  %1) And "
                                   "(ParameterValue = %2)")
                        .arg(type)
                        .arg(Quoted(value)),
                    QStringLiteral("读入帐款参数失败"));
}

namespace {

// The prompt dialog for a pick-list entry: plain text, the list's prompt, an answer to
// start from. The answer, without blanks around it, or a null text when cancelled.
QString askEntry(const QString &prompt, const QString &start)
{
    if (!FormAsk)
        return QString();
    FormAsk->Title = ParameterTitle;
    FormAsk->Prompt = prompt;
    FormAsk->Answer = start;
    SetPasswordChar(FormAsk->Edit1, QChar());
    if (Ui::ShowModal(FormAsk) != QDialog::Accepted)
        return QString();
    const QString answer = FormAsk->Answer.trimmed();
    return answer.isNull() ? QStringLiteral("") : answer;
}

QListWidgetItem *selectedItem(QListWidget *list)
{
    QListWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

} // namespace

void TPageSetting::AddParameter(int type)
{
    const TParameterKind &kind = ParameterKindOf(type);
    const QString answer = askEntry(kind.addPrompt, QString());
    if (answer.isNull())
        return;
    if (answer.isEmpty()) {
        Ui::Message(kind.empty, ParameterTitle);
        return;
    }
    DbQuery &q = scratch();
    if (!lookUp(type, answer))
        return;
    if (!q.IsEmpty()) {
        Ui::Message(kind.existsAdding, ParameterTitle);
        return;
    }
    if (!q.Append() || !q.SetField(QStringLiteral("ParameterType"), type)
        || !q.SetField(QStringLiteral("ParameterValue"), answer) || !post(q))
        return;
    LoadParameterList(type);
}

void TPageSetting::EditParameter(int type)
{
    const TParameterKind &kind = ParameterKindOf(type);
    QListWidget *list = ListBoxOf(type);
    const QListWidgetItem *item = selectedItem(list);
    if (!item) {
        Ui::Message(kind.noneToEdit, ParameterTitle);
        list->setFocus();
        return;
    }
    const QString old = item->text();
    const QString answer = askEntry(kind.editPrompt, old);
    if (answer.isNull())
        return;
    if (answer.isEmpty()) {
        Ui::Message(kind.empty, ParameterTitle);
        return;
    }
    if (answer == old)
        return;
    DbQuery &q = scratch();
    if (!lookUp(type, answer))
        return;
    // "Cash" for "cash" finds the entry itself: that is a change of letter case, not a
    // second entry of the same name.
    for (q.First(); !q.Eof(); q.Next()) {
        if (q.FieldByName(QStringLiteral("ParameterValue")).AsString() != old) {
            Ui::Message(kind.existsEditing, ParameterTitle);
            return;
        }
    }
    if (!lookUp(type, old))
        return;
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("该参数已经被删除"), ParameterTitle);
        return;
    }
    toExactRow(q, QStringLiteral("ParameterValue"), old);
    if (!setField(q, QStringLiteral("ParameterValue"), answer))
        return;
    LoadParameterList(type);
}

void TPageSetting::DeleteParameter(int type)
{
    const TParameterKind &kind = ParameterKindOf(type);
    QListWidget *list = ListBoxOf(type);
    const QListWidgetItem *item = selectedItem(list);
    if (!item) {
        Ui::Message(kind.noneToDelete, ParameterTitle);
        list->setFocus();
        return;
    }
    const QString value = item->text();
    DbQuery &q = scratch();
    if (!lookUp(type, value))
        return;
    if (q.IsEmpty()) {
        Ui::Message(QStringLiteral("该记录已不存在"), ParameterTitle);
        return;
    }
    if (!Ui::Ask(QStringLiteral("确实要删除该参数吗？"), QStringLiteral("删除警告"),
                 Ui::AskIcon::None))
        return;
    toExactRow(q, QStringLiteral("ParameterValue"), value);
    if (!q.Delete()) {
        Ui::Error(QStringLiteral("参数没有删除：") + q.LastError());
        return;
    }
    LoadParameterList(type);
}

// ---------------------------------------------------------------- preferences

void TPageSetting::LoadPreferences()
{
    // Choices set here are what is stored, not the administrator's changes.
    const QSignalBlocker a(ComboBox4), b(ComboBox2), c(ComboBox5);
    ComboBox4->setCurrentIndex(PortraitPrinting() ? 0 : 1);
    ComboBox2->setCurrentIndex(IncomeWriteOffPrompt() ? 0 : 1);
    ComboBox5->setCurrentIndex(ExpenseWriteOffPrompt() ? 0 : 1);
}

void TPageSetting::Button12Click()
{
    const QString text = ComboBox4->currentText();
    if (!WriteSetting(SettingKey::Section, SettingKey::PrintType, text, SettingsFile)) {
        Ui::Error(SettingsNotWritten());
        return;
    }
    Ui::Message(QStringLiteral("打印方式设置为：") + text);
}

void TPageSetting::savePrompt(QComboBox *combo, const QString &key, const QString &said)
{
    const QString text = combo->currentText();
    if (!WriteSetting(SettingKey::Section, key, text, SettingsFile)) {
        Ui::Error(SettingsNotWritten());
        // The box shows what is in force, not what could not be kept.
        LoadPreferences();
        return;
    }
    Ui::Message(said + text);
}

void TPageSetting::ComboBox2Change()
{
    savePrompt(ComboBox2, SettingKey::IncomePrompt, QStringLiteral("收入出帐提示设置为："));
}

void TPageSetting::ComboBox5Change()
{
    savePrompt(ComboBox5, SettingKey::ExpensePrompt, QStringLiteral("支出出帐提示设置为："));
}

// ---------------------------------------------------------------- templates

void TPageSetting::ActionDesignExecute()
{
    if (ShowDesigner)
        ShowDesigner();
}
