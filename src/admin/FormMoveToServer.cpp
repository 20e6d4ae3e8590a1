#include "FormMoveToServer.h"

#include "BookAddress.h"
#include "Database.h"
#include "Globals.h"
#include "Look.h"
#include "BookCopy.h"
#include "BookOpen.h"
#include "Settings.h"
#include "ShareDM.h"
#include "Ui.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QString Example = QStringLiteral("postgresql://用户名@服务器:5432/数据库名");

} // namespace

TFormMoveToServer::TFormMoveToServer(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormMoveToServer"), QStringLiteral("移到服务器"),
                   QSize(433, 185), TitleButtons::Close, Placement::MainWindow)
{
    Label1 = PlaceLabel(this, QStringLiteral("Label1"),
                        QStringLiteral("请输入数据库服务器上空帐本的地址："), QRect(24, 16, 385, 21));
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(24, 40, 385, 21));
    Edit1->setPlaceholderText(Example);
    Edit1->setAccessibleName(QStringLiteral("数据库服务器上空帐本的地址"));
    Label1->setBuddy(Edit1);
    LabelState = PlaceLabel(this, QStringLiteral("LabelState"), QString(),
                            QRect(24, 70, 385, 21));
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(24, 94, 385, 21);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setAccessibleName(QStringLiteral("移动进度"));
    ButtonYes = PictureButton(this, QStringLiteral("ButtonYes"), QStringLiteral("确定"),
                              QStringLiteral("Res/Ok.ico"), QRect(128, 134, 81, 33));
    ButtonNo = PictureButton(this, QStringLiteral("ButtonNo"), QStringLiteral("取消"),
                             QStringLiteral("Res/Cancel.ico"), QRect(224, 134, 81, 33));
    ButtonYes->setAccessibleName(QStringLiteral("确定"));
    ButtonNo->setAccessibleName(QStringLiteral("取消"));
    ButtonYes->setDefault(true);
    ButtonNo->setAutoDefault(false);
    connect(ButtonYes, &QPushButton::clicked, this, &TFormMoveToServer::ActionYesExecute);
    connect(ButtonNo, &QPushButton::clicked, this, &TFormMoveToServer::ActionNoExecute);
    setTabOrder(Edit1, ButtonYes);
    setTabOrder(ButtonYes, ButtonNo);
}

void TFormMoveToServer::FormShow()
{
    m_movedTo.clear();
    LabelState->clear();
    ProgressBar1->setValue(0);
    Edit1->setFocus();
}

void TFormMoveToServer::setMoving(bool moving)
{
    m_moving = moving;
    Edit1->setReadOnly(moving);
    ButtonYes->setEnabled(!moving);
    if (moving)
        ButtonNo->setFocus();
}

void TFormMoveToServer::ActionYesExecute()
{
    if (m_moving)
        return;
    const QString address = Edit1->text().trimmed();
    if (!IsServerBookAddress(address)) {
        Ui::Error(QStringLiteral("请输入数据库服务器上帐本的地址，如 ") + Example);
        Edit1->setFocus();
        return;
    }
    const QString problem = ServerAddressProblem(address);
    if (!problem.isEmpty()) {
        Ui::Error(problem);
        Edit1->setFocus();
        return;
    }
    if (!Ui::Ask(QStringLiteral("要把当前的帐本移到数据库服务器上吗？\n%1\n\n服务器上的这个帐本"
                                "必须是空的。移动时其他电脑请不要使用本软件；移好以后，每台电脑"
                                "都要把数据库地址改为这个服务器地址。")
                     .arg(AddressForDisplay(address)),
                 QStringLiteral("移到服务器")))
        return;
    // The server book is opened first, as at start-up: a server that cannot be reached or
    // wants a password is dealt with before anything is copied.
    {
        DbConnection target;
        if (!ShareDataModule->OpenServerBook(target, address)) {
            Edit1->setFocus();
            return;
        }
        target.Close();
    }
    const QString password = ShareDataModule->ServerPassword(address);

    BookCopyCancelRequested() = false;
    setMoving(true);
    LabelState->setText(QStringLiteral("正在把帐本移到服务器，请稍候……"));
    ProgressBar1->setValue(0);
    const DbCopyProgress progress = [this](int done, int total) {
        if (total > 0)
            ProgressBar1->setValue(int(qint64(100) * done / total));
        // The window keeps painting, and its 取消 stays pressable, between the steps.
        QCoreApplication::processEvents();
    };
    const DbCopyResult result =
        Move ? Move(ShareDataModule->ADOConnection1, address, password, progress) : DbCopyResult{};
    const bool cancelled = BookCopyCancelRequested();
    BookCopyCancelRequested() = false;
    setMoving(false);
    if (!result.ok) {
        LabelState->setText(cancelled ? QStringLiteral("已经停止移动。")
                                      : QStringLiteral("帐本没有移到服务器。"));
        ProgressBar1->setValue(0);
        if (cancelled)
            Ui::Message(QStringLiteral("帐本没有移动：服务器上的帐本没有改动，软件继续使用原来的帐本文件。"));
        else
            Ui::Error(QStringLiteral("帐本移到服务器失败：服务器上的帐本没有改动，软件继续使用原来的"
                                     "帐本文件。\n")
                      + (result.code != 0 ? result.CodeText() + QStringLiteral("：") : QString())
                      + result.text);
        Edit1->setFocus();
        return;
    }
    ProgressBar1->setValue(100);
    if (!WriteSetting(SettingKey::DatabaseSection, SettingKey::Address, address, SettingsFile)) {
        Ui::Error(QStringLiteral("帐本已经移到服务器，但是数据库地址没有保存。\n")
                  + SettingsNotWritten());
        return;
    }
    m_movedTo = address;
    Ui::Message(QStringLiteral("帐本已经移到数据库服务器：%1\n每台电脑都要把数据库地址改为这个地址。"
                               "原来的帐本文件没有删除，以后不再使用。")
                    .arg(AddressForDisplay(address)));
    accept();
}

void TFormMoveToServer::ActionNoExecute()
{
    reject();
}

void TFormMoveToServer::reject()
{
    if (m_moving) {
        BookCopyCancelRequested() = true;
        LabelState->setText(QStringLiteral("正在停止移动，请稍候……"));
        return;
    }
    TFixedDialog::reject();
}
