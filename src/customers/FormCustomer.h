// The customer dialog: creates a customer, edits one (a new name is carried into every
// money record of the old one) or deletes one, leaving its money records as they are.
#pragma once

#include "CustomerFieldsDialog.h"

#include <QList>
#include <QPair>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class TFormCustomer : public TCustomerFieldsDialog
{
    Q_OBJECT
public:
    // The modal results: a customer was inserted, updated or deleted; or nothing was.
    enum Result { Written = 1, NothingWritten = 2 };

    explicit TFormCustomer(QWidget *parent = nullptr);

    // Input: 0 for a new customer, else the CustomerIndex of the customer to edit.
    qint64 DialogCustomerIndex = 0;

    QToolButton *ButtonDelete;

    void FormShow() override;

public slots:
    void ActionYesExecute();
    void ActionNoExecute();
    void ActionDeleteExecute();
    // The close box and Esc end the dialog as 取消 does.
    void reject() override;

private:
    // Column → text of the ten fields, as they are stored: exactly as typed.
    QList<QPair<QString, QString>> values() const;
    void insertCustomer();
    void updateCustomer();
};

extern TFormCustomer *FormCustomer;
