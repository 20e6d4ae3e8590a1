// The account search: a piece of an account's name that narrows the account cards until
// the next search.
#pragma once

#include "FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFormAccountSearch : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormAccountSearch(QWidget *parent = nullptr);

    // Appended to the account cards' statement: empty, or the name condition. It has no
    // leading blank; in the statement it always follows a closing parenthesis.
    QString AccountSearchCondition;

    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *ButtonYes;
    QPushButton *ButtonNo;

    void FormShow() override;

public slots:
    void ActionYesExecute();
    void ActionNoExecute();
};

extern TFormAccountSearch *FormAccountSearch;
