// Writing to technical support: the user's name, telephone and message go into a new
// mail in the desktop's mail program, addressed to the support mailbox.
#pragma once

#include "FixedDialog.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TFormOnlineChat : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormOnlineChat(QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *LabelHint;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QPlainTextEdit *Memo1;
    QPushButton *ButtonSend;
    QPushButton *ButtonCancel;

    void FormShow() override;

public slots:
    void SendClick();
};

extern TFormOnlineChat *FormOnlineChat;
