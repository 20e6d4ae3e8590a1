#include "FormChose.h"

#include "BookKind.h"
#include "Globals.h"
#include "Look.h"
#include "Settings.h"
#include "Ui.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

TFormChose *FormChose = nullptr;

namespace {

constexpr int BookCount = 3;

// A picture that is a button: reachable by Tab and Space, framed only while focused.
QPushButton *PictureChoice(QWidget *parent, int book, int left)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("Image%1").arg(book + 1));
    button->setGeometry(left - 2, 126, 84, 64);
    button->setCursor(Qt::PointingHandCursor);
    button->setIcon(LoadIcon(BookKinds().at(book).Picture()));
    button->setIconSize(QSize(80, 60));
    button->setToolTip(BookKinds().at(book).name);
    button->setAccessibleName(BookKinds().at(book).name);
    button->setStyleSheet(QStringLiteral(
        "QPushButton { border: 1px solid transparent; padding: 0; background: transparent; }"
        "QPushButton:focus { border: 1px dotted #3a5f8f; }"
        "QPushButton:pressed { padding-left: 1px; padding-top: 1px; }"));
    return button;
}

} // namespace

TFormChose::TFormChose(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormChose"), QStringLiteral("帐簿选择"),
                   QSize(385, 235))
{
    RoundedFrame(this, QRect(32, 32, 321, 65));
    LabelTitle = PlaceLabel(this, QStringLiteral("LabelTitle"),
                            QStringLiteral("〓 请选择帐簿类型 〓"), QRect(40, 40, 305, 49),
                            Qt::AlignCenter);
    LabelTitle->setFont(KaiFont(24));
    const int lefts[BookCount] = {48, 152, 256};
    QPushButton **images[BookCount] = {&Image1, &Image2, &Image3};
    QLabel **captions[BookCount] = {&Label1, &Label2, &Label3};
    for (int book = 0; book < BookCount; ++book) {
        *images[book] = PictureChoice(this, book, lefts[book]);
        connect(*images[book], &QPushButton::clicked, this, [this, book] { ImageClick(book); });
        *captions[book] =
            PlaceLabel(this, QStringLiteral("Label%1").arg(book + 1), BookKinds().at(book).name,
                       QRect(lefts[book], 194, 80, 18), Qt::AlignCenter);
    }
    setTabOrder(Image1, Image2);
    setTabOrder(Image2, Image3);
}

void TFormChose::FormShow()
{
    Image1->setFocus();
}

void TFormChose::keyPressEvent(QKeyEvent *event)
{
    const int book = event->key() - Qt::Key_1;
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (book >= 0 && book < BookCount) {
            ImageClick(book);
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void TFormChose::ImageClick(int book)
{
    if (book < 0 || book >= BookCount)
        return;
    // The pages read the book back from the settings file: a choice that was not stored
    // would silently show another book.
    if (!WriteSetting(SettingKey::Section, SettingKey::AccountType, BookKinds().at(book).name,
                      SettingsFile)) {
        Ui::Message(SettingsNotWritten(), QString(), Ui::Icon::Error);
        return;
    }
    m_chosen = &BookKinds().at(book);
    accept();
}
