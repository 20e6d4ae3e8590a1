#include "FormWelcome.h"

#include "FormLogin.h"
#include "Globals.h"
#include "Look.h"
#include "Ui.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

TFormWelcome *FormWelcome = nullptr;

TFormWelcome::TFormWelcome(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormWelcome"), QStringLiteral("欢迎使用"),
                   QSize(620, 325))
{
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(32, 32, 220, 220),
                        Qt::AlignCenter);
    Image1->setPixmap(LoadPicture(QStringLiteral("Res/Welcome.bmp")));
    RoundedFrame(this, QRect(272, 32, 313, 60));
    LabelTitle = PlaceLabel(this, QStringLiteral("LabelTitle"),
                            QStringLiteral("欢迎使用 [") + ProgramTitle + QStringLiteral("]"),
                            QRect(280, 38, 297, 48), Qt::AlignCenter);
    LabelTitle->setFont(KaiFont(20));
    LabelPhone = PlaceLabel(this, QStringLiteral("LabelPhone"),
                            QStringLiteral("技术支持电话：") + SupportPhone,
                            QRect(272, 176, 313, 24), Qt::AlignCenter);
    ButtonLogin = PictureButton(this, QStringLiteral("ButtonLogin"), QStringLiteral("用户登录"),
                                QStringLiteral("Res/Login.ico"), QRect(376, 104, 105, 41));
    ButtonHomePage = PictureButton(this, QStringLiteral("ButtonHomePage"),
                                   QStringLiteral("访问主页"), QStringLiteral("Res/Home.ico"),
                                   QRect(272, 248, 105, 41));
    ButtonInstruction = PictureButton(this, QStringLiteral("ButtonInstruction"),
                                      QStringLiteral("使用说明"), QStringLiteral("Res/Help.ico"),
                                      QRect(480, 248, 105, 41));
    ButtonLogin->setDefault(true);
    connect(ButtonLogin, &QPushButton::clicked, this, &TFormWelcome::ActionLoginExecute);
    connect(ButtonHomePage, &QPushButton::clicked, this, &TFormWelcome::ActionHomePageExecute);
    connect(ButtonInstruction, &QPushButton::clicked, this,
            &TFormWelcome::ActionInstructionExecute);
    setTabOrder(ButtonLogin, ButtonHomePage);
    setTabOrder(ButtonHomePage, ButtonInstruction);
}

void TFormWelcome::FormShow()
{
    ButtonLogin->setFocus();
}

void TFormWelcome::ActionLoginExecute()
{
    // The login window is created at start-up, before this one.
    Q_ASSERT(FormLogin);
    if (FormLogin && Ui::ShowModal(FormLogin) == QDialog::Accepted) {
        m_user = FormLogin->SignedInUser();
        accept();
    }
}

void TFormWelcome::ActionHomePageExecute()
{
    if (!Ui::OpenExternally(HomePage))
        Ui::Message(QStringLiteral("无法打开主页，请检查是否安装了浏览器"));
}

void TFormWelcome::ActionInstructionExecute()
{
    const QString manual = ProgramDir + QStringLiteral("Help.html");
    if (!QFileInfo(manual).isFile()) {
        Ui::Message(QStringLiteral("找不到使用说明文件：") + manual, QString(), Ui::Icon::Warning);
        return;
    }
    if (!Ui::OpenExternally(manual))
        Ui::Message(QStringLiteral("无法打开使用说明文件：") + manual, QString(),
                    Ui::Icon::Warning);
}
