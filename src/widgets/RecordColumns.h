// What every grid of money records shows: the thirteen fields in their order, and each
// column's title, width, centring and footer (the row count, or a column's sum).
#pragma once

#include "RecordGridModel.h"
#include "RecordStatement.h"

#include <QHash>
#include <QString>

class TRecordGrid;

// The select list of a record grid: MoneyIndex,MoneySerial,…,MoneyRemark.
QString RecordFieldList();

// The grid model's statement for a record statement.
TRecordGridModel::Statement GridStatement(const RecordStatement &statement);

// The count and the footer sums of an open grid, for a print of the same statement that
// should show the grid's figures (QueryRows::SetKnownTotals).
QHash<QString, double> GridSums(const TRecordGrid *grid);

// Gives each column of the grid whose field is a record field its title, width, centring
// and footer: "记录号" counts the rows (a fixed text made now from the grid's count, black),
// "收入" and "合计" show their sums in black, "支出" in red. Other columns keep the grid's
// defaults. Call it after every Open: the grid builds its columns anew.
void ApplyRecordColumns(TRecordGrid *grid);
