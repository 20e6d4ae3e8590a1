// 财务数据明细: one customer's statement over a date range, in three sections (应收帐,
// 应付帐, 现金帐) of a header line, one line per record, a subtotal line and a blank line;
// written into PrintReport and printed through Frf/CustomerDetail.frf.
#pragma once

#include "ScratchTable.h"

#include <QDate>
#include <QString>

#include <vector>

// The statement's lines computed, written over PrintReport and read back in one
// transaction; strong receives, for each row read back, whether it is a header or a
// subtotal line. False when it ended early, with its message shown (a statement that
// failed, or the lines that could not be written: PrintReport then holds the previous
// statement whole).
bool WriteCustomerStatement(const QString &customer, const QDate &from, const QDate &to,
                            ScratchRows *printed, std::vector<bool> *strong);
