// The designer's field chooser: the fields and variables a template may print, one to pick.
#pragma once

#include "FixedDialog.h"
#include "TemplateFields.h"

class QListWidget;
class QPushButton;

class TFormFieldChose : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormFieldChose(QWidget *parent = nullptr);

    // Input: what may be chosen. Output, after 确定: the chosen name.
    QList<TemplateField> Fields;
    QString Chosen;

    QListWidget *ListBox1;
    QPushButton *Button1;   // 确定
    QPushButton *Button2;   // 取消

    void FormShow() override;
    void Button1Click();
};
