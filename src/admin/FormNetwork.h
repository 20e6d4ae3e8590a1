// The database address window: asks, at start-up with network mode, for the path of a
// database file on another computer, or the address of a book on a database server, when
// the stored one is not usable; connects to it, stores the address and closes with OK.
#pragma once

#include "FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFormNetwork : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormNetwork(QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *Button1;
    QPushButton *ButtonYes;
    QPushButton *ButtonNo;

    void FormShow() override;
    void Button1Click();
    void ActionYesExecute();
    void ActionNoExecute();
};

extern TFormNetwork *FormNetwork;
