#include "FormAsk.h"

#include "Look.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormAsk *FormAsk = nullptr;

TFormAsk::TFormAsk(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormAsk"), QString(), QSize(397, 335),
                   TitleButtons::Close, Placement::MainWindow)
{
    RoundedFrame(this, QRect(150, 16, 97, 97));
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(158, 24, 80, 80),
                        Qt::AlignCenter);
    Image1->setPixmap(LoadPicture(QStringLiteral("Res/Ask.bmp")));
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QString(), QRect(48, 136, 297, 33),
                        Qt::AlignCenter);
    Label1->setWordWrap(true);
    Edit1 = PlaceEdit(this, QStringLiteral("Edit1"), QRect(48, 184, 297, 22));
    Edit1->setAccessibleName(QStringLiteral("回答"));
    BitBtn1 = PictureButton(this, QStringLiteral("BitBtn1"), QStringLiteral("确定"),
                            QStringLiteral("Res/Ok.ico"), QRect(64, 232, 113, 57));
    BitBtn2 = PictureButton(this, QStringLiteral("BitBtn2"), QStringLiteral("取消"),
                            QStringLiteral("Res/Cancel.ico"), QRect(216, 232, 113, 57));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TFormAsk::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(Edit1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
}

void TFormAsk::FormShow()
{
    setWindowTitle(Title);
    Label1->setText(Prompt);
    // The answer field is announced by the question.
    Edit1->setAccessibleName(Prompt.isEmpty() ? QStringLiteral("回答") : Prompt);
    Edit1->setText(Answer);
    Edit1->setFocus();
}

void TFormAsk::BitBtn1Click()
{
    Answer = Edit1->text();
    accept();
}
