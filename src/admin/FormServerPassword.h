// The server password window: asked at start-up (and when a server book is set) when the
// server wants a password that the user's PostgreSQL password file does not give. The
// password typed stays in memory; nothing of it is written anywhere.
#pragma once

#include "FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFormServerPassword : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormServerPassword(QWidget *parent = nullptr);

    QLabel *Label1;      // 数据库服务器：
    QLabel *LabelAddress;
    QLabel *Label2;      // 密码：
    QLineEdit *Edit1;    // the password, shown as dots
    QLabel *LabelHint;   // why it asks again
    QPushButton *ButtonYes;
    QPushButton *ButtonNo;

    // Shows the window for the address shown; true with the typed password when the user
    // confirms, false when he cancels. The edit is emptied afterwards either way.
    bool Ask(const QString &shownAddress, const QString &hint, QString *password);

    void FormShow() override;
};
