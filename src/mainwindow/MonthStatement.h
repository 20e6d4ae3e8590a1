// 帐户月结: the month closing statement of the account book, one line per account with
// its opening balance, the month's income and expense, the net change and the closing
// balance, and the total line 总合计; written into PrintTable and printed through
// Frf/AccountMonth.frf.
#pragma once

#include "ScratchTable.h"

#include <QDate>
#include <QString>

class QWidget;

// The month that holds the working date, its lines computed, written and read back as
// the preview's rows, and the preview shown. False when it ended early (a statement
// failed, with its message shown, or the book has no account).
bool PrintMonthStatement(const QDate &working, QWidget *parent);

// The same without the preview, for PrintMonthStatement and the tests: the rows the
// statement prints (PrintTable's enabled rows, read back).
bool WriteMonthStatement(const QDate &working, ScratchRows *printed);
