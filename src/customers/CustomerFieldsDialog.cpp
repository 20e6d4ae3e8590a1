#include "CustomerFieldsDialog.h"

#include "Look.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TCustomerFieldsDialog::TCustomerFieldsDialog(QWidget *parent, const QString &name,
                                             const QString &title, const QString &picture)
    : TFixedDialog(parent, name, title, QSize(559, 308), TitleButtons::Close,
                   Placement::MainWindow)
{
    RoundedFrame(this, QRect(26, 24, 65, 65));
    Image1 = PlaceLabel(this, QStringLiteral("Image1"), QString(), QRect(42, 40, 32, 32),
                        Qt::AlignCenter);
    Image1->setPixmap(LoadPicture(picture));
    m_edits = PlaceCustomerFields(this, &ComboBox1);
    Edit1 = m_edits[0];
    Edit2 = m_edits[2];
    Edit9 = m_edits[3];
    Edit3 = m_edits[4];
    Edit4 = m_edits[5];
    Edit5 = m_edits[6];
    Edit6 = m_edits[7];
    Edit7 = m_edits[8];
    Edit8 = m_edits[9];
    ButtonYes = PictureButton(this, QStringLiteral("ButtonYes"), QStringLiteral("确定"),
                              QStringLiteral("Res/Ok.ico"), QRect(264, 248, 81, 33));
    ButtonNo = PictureButton(this, QStringLiteral("ButtonNo"), QStringLiteral("取消"),
                             QStringLiteral("Res/Cancel.ico"), QRect(384, 248, 81, 33));
    ButtonYes->setDefault(true);
    ButtonNo->setAutoDefault(false);
    setTabOrder(Edit8, ButtonYes);
    setTabOrder(ButtonYes, ButtonNo);
}
