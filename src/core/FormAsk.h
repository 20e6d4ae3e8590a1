// The prompt dialog: asks the user for one value (a password, a pick-list entry).
// The caller sets Title, Prompt, Answer and the answer field's echo (SetPasswordChar on
// Edit1), shows it modally and, on OK, reads Answer. Cancel leaves Answer as it was.
#pragma once

#include "FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFormAsk : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormAsk(QWidget *parent = nullptr);

    QString Title;
    QString Prompt;
    QString Answer;

    QLabel *Image1;
    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn2;

    void FormShow() override;
    void BitBtn1Click();
};

extern TFormAsk *FormAsk;
