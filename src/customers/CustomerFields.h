// The ten fields of a customer as the customer dialog and the customer search show them:
// control names, captions, places and the Customer columns behind them, and the region
// list that both offer.
#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <array>

class QComboBox;
class QLineEdit;
class QWidget;

struct TCustomerField
{
    QString control; // Edit1, ComboBox1, …
    QString caption; // "客户名称：", …
    QRect place; // of the input; its caption stands right-aligned to its left
    QString column; // CustomerName, …
};

constexpr int CustomerFieldCount = 10;
using TCustomerEdits = std::array<QLineEdit *, CustomerFieldCount>;

// In the order a search appends its conditions: name, region, phone, fax, contact, mobile,
// e-mail, QQ/MSN, address, remark.
const QList<TCustomerField> &CustomerFields();

// Makes the captions and inputs on parent. The region is an editable drop-down list,
// returned in *region; its editor stands for it among the edits, so that every field is
// read and written alike.
TCustomerEdits PlaceCustomerFields(QWidget *parent, QComboBox **region);

// Offers every region of the Customer table, in the order the database returns them (an
// empty region gives an empty entry). When the table yields nothing, or the statement
// fails (its message shown), the list keeps its entries. The text in the box stays.
bool FillRegionList(QComboBox *region);
