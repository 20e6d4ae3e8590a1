// The customer search: pieces of text for up to ten customer fields that narrow the
// customer cards until the next search; every given piece must match.
#pragma once

#include "CustomerFieldsDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormCustomerSearch : public TCustomerFieldsDialog
{
    Q_OBJECT
public:
    explicit TFormCustomerSearch(QWidget *parent = nullptr);

    // Appended to the customer cards' statement: empty, or one " And InStr(field,'text')"
    // for every field with a text, in the order of the fields.
    QString CustomerSearchCondition;


    // The inputs keep what was typed last time; only the region list is read again.
    void FormShow() override;

public slots:
    void ActionYesExecute();
    void ActionNoExecute();
};

extern TFormCustomerSearch *FormCustomerSearch;
