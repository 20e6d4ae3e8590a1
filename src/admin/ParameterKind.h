// The four pick lists of the settings page (收支种类, 款项类别, 款项凭证, 业务员列表): what
// tells them apart is their ParameterType, the names and places of their list box and
// buttons, and the texts of their prompts and refusals. One descriptor per list.
#pragma once

#include <QList>
#include <QRect>
#include <QString>

struct TParameterKind
{
    int type;                 // ParameterType, 1 to 4
    QString title;            // the list's heading
    QString listBox;          // ListBox1 … ListBox4
    QRect list;               // the list box's place on the page
    QString addButton;        // 新增, 修改, 删除 (Button1 …), in a row under the list
    QString editButton;
    QString deleteButton;
    // Texts.
    QString loadFailed;       // the list cannot be read
    QString addPrompt;        // the prompt dialog, adding and changing
    QString editPrompt;
    QString empty;            // an empty answer
    QString existsAdding;     // the name is in the list already
    QString existsEditing;
    QString noneToEdit;       // nothing selected
    QString noneToDelete;
};

// The four lists, in ParameterType order.
const QList<TParameterKind> &ParameterKinds();
// The list of one ParameterType (1 to 4).
const TParameterKind &ParameterKindOf(int type);
