#include "FormLogin.h"

#include "Globals.h"
#include "Look.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormLogin *FormLogin = nullptr;

namespace {
const QString OpenFailed = QStringLiteral("数据库打开失败");
}

// No close button: the window is left through 确定 or 取消 (Esc) only.
TFormLogin::TFormLogin(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormLogin"), QStringLiteral("软件用户登录"),
                   QSize(378, 197), TitleButtons::None)
{
    RoundedFrame(this, QRect(24, 40, 57, 57));
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(36, 52, 32, 32),
                        Qt::AlignCenter);
    Image1->setPixmap(LoadPicture(QStringLiteral("Res/Login.ico")));
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("登录帐号："),
                        QRect(104, 42, 97, 22), Qt::AlignRight | Qt::AlignVCenter);
    Label2 = PlaceLabel(this, QStringLiteral("Label2"), QStringLiteral("登录密码："),
                        QRect(104, 75, 97, 22), Qt::AlignRight | Qt::AlignVCenter);
    ComboBox1 = PlaceCombo(this, QStringLiteral("ComboBox1"), QRect(208, 42, 129, 22));
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(208, 75, 129, 22));
    SetPasswordChar(Edit1, QLatin1Char('#'));
    Label1->setBuddy(ComboBox1);
    Label2->setBuddy(Edit1);
    ButtonYes = PictureButton(this, QStringLiteral("ButtonYes"), QStringLiteral("确定"),
                              QStringLiteral("Res/Ok.ico"), QRect(96, 128, 81, 33));
    ButtonNo = PictureButton(this, QStringLiteral("ButtonNo"), QStringLiteral("取消"),
                             QStringLiteral("Res/Cancel.ico"), QRect(208, 128, 81, 33));
    ButtonYes->setDefault(true);
    ButtonYes->setAutoDefault(true);
    ButtonNo->setAutoDefault(false);
    connect(ButtonYes, &QPushButton::clicked, this, &TFormLogin::ActionYesExecute);
    connect(ButtonNo, &QPushButton::clicked, this, &TFormLogin::ActionNoExecute);
    setTabOrder(ComboBox1, Edit1);
    setTabOrder(Edit1, ButtonYes);
    setTabOrder(ButtonYes, ButtonNo);
}

void TFormLogin::FormShow()
{
    ComboBox1->clear();
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From Power Where PowerName <> '修改'"),
                  OpenFailed))
        return;
    const QString last = ReadSetting(SettingKey::Section, SettingKey::UserPower,
                                     QStringLiteral("出纳"), SettingsFile);
    int selected = -1;
    for (query.First(); !query.Eof(); query.Next()) {
        const QString name = query.FieldByName(QStringLiteral("PowerName")).AsString();
        ComboBox1->addItem(name);
        if (name == last)
            selected = ComboBox1->count() - 1;
    }
    // A stored name that is gone selects nobody rather than whoever comes first.
    ComboBox1->setCurrentIndex(selected);
    Edit1->clear();
    Edit1->setFocus();
}

void TFormLogin::ActionYesExecute()
{
    const QString name = ComboBox1->currentIndex() < 0 ? QString() : ComboBox1->currentText();
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From Power Where PowerName = ") + Quoted(name),
                  OpenFailed))
        return;
    if (query.IsEmpty()) {
        Ui::Message(QStringLiteral("数据库中找不到当前用户"));
        return;
    }
    query.First();
    if (query.FieldByName(QStringLiteral("PowerKey")).AsString() != Edit1->text()) {
        Ui::Message(QStringLiteral("密码错误，请重新操作"), QString(), Ui::Icon::Warning);
        Edit1->clear();
        Edit1->setFocus();
        return;
    }
    // The main window takes the signed-in name back from the settings file; a name that
    // was not stored would sign in the previous user with that user's rights.
    if (!WriteSetting(SettingKey::Section, SettingKey::UserPower, name, SettingsFile)) {
        Ui::Message(SettingsNotWritten(), QString(), Ui::Icon::Error);
        return;
    }
    m_user = name;
    accept();
}

void TFormLogin::ActionNoExecute()
{
    reject();
}
