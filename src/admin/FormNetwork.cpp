#include "FormNetwork.h"

#include "BookAddress.h"
#include "DatabaseFile.h"
#include "Globals.h"
#include "Look.h"
#include "Settings.h"
#include "ShareDM.h"
#include "Ui.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormNetwork *FormNetwork = nullptr;

TFormNetwork::TFormNetwork(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormNetwork"), QStringLiteral("数据库地址"),
                   QSize(393, 169), TitleButtons::Close, Placement::MainWindow)
{
    RoundedFrame(this, QRect(24, 24, 57, 57));
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(36, 36, 32, 32),
                        Qt::AlignCenter);
    Image1->setPixmap(LoadPicture(QStringLiteral("Res/Network.ico")));
    Label1 = PlaceLabel(this, QStringLiteral("Label1"),
                        QStringLiteral("请输入要连接的数据库的网络地址："), QRect(112, 36, 265, 21));
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(112, 68, 193, 21));
    Label1->setBuddy(Edit1);
    Edit1->setPlaceholderText(QStringLiteral("文件路径或服务器地址"));
    Edit1->setToolTip(QStringLiteral("选择一个数据库文件，或者输入数据库服务器上帐本的地址，如 "
                                     "postgresql://用户名@服务器:5432/数据库名"));
    Button1 = new QPushButton(QStringLiteral("选择"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(320, 68, 57, 21);
    Button1->setCursor(Qt::PointingHandCursor);
    Button1->setAutoDefault(false);
    ButtonYes = PictureButton(this, QStringLiteral("ButtonYes"), QStringLiteral("确定"),
                              QStringLiteral("Res/Ok.ico"), QRect(120, 112, 81, 33));
    ButtonNo = PictureButton(this, QStringLiteral("ButtonNo"), QStringLiteral("取消"),
                             QStringLiteral("Res/Cancel.ico"), QRect(216, 112, 81, 33));
    ButtonYes->setDefault(true);
    ButtonNo->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TFormNetwork::Button1Click);
    connect(ButtonYes, &QPushButton::clicked, this, &TFormNetwork::ActionYesExecute);
    connect(ButtonNo, &QPushButton::clicked, this, &TFormNetwork::ActionNoExecute);
    setTabOrder(Edit1, Button1);
    setTabOrder(Button1, ButtonYes);
    setTabOrder(ButtonYes, ButtonNo);
}

void TFormNetwork::FormShow()
{
    Edit1->clear();
    Edit1->setFocus();
}

void TFormNetwork::Button1Click()
{
    const QString chosen = Ui::OpenFile(QStringLiteral("选择数据库"), DataDir, DatabaseFileFilter(),
                                        QStringLiteral("mdb"));
    if (!chosen.isEmpty())
        Edit1->setText(chosen);
}

void TFormNetwork::ActionYesExecute()
{
    const QString path = Edit1->text().trimmed();
    // A server address is checked by opening it, as at start-up, the password asked for
    // when the server wants one; a file must be there first.
    const bool server = IsServerBookAddress(path);
    if (!server && (path.isEmpty() || !QFileInfo(path).isFile())) {
        Ui::Message(QStringLiteral("该服务器地址无效"));
        Edit1->setFocus();
        return;
    }
    // ConnectDatabase says why a book will not open; the window then stays for another.
    if (!ShareDataModule || !ShareDataModule->ConnectDatabase(path)) {
        Edit1->setFocus();
        return;
    }
    // Stored before success is said: otherwise every start would ask again.
    if (!WriteSetting(SettingKey::DatabaseSection, SettingKey::Address, path, SettingsFile)) {
        ShareDataModule->ADOConnection1.Close();
        Ui::Error(SettingsNotWritten());
        return;
    }
    Ui::Message(QStringLiteral("服务器地址设置成功"));
    accept();
}

void TFormNetwork::ActionNoExecute()
{
    reject();
}
