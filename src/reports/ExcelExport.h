// The spreadsheet export of the report page ("导出EXCEL"): what the report grid shows, its
// visible columns in display order and its rows in its order, written as a new .xlsx
// workbook. Row 1 holds "日期:" with today's date, row 3 the titles, the records follow
// from row 4. Amounts are number cells, days real date cells, texts text cells (a
// document number keeps its leading zeros, "=1+1" is never a formula).
//
// The rows are read through a cursor of the export's own over the grid's statement, a row
// at a time, and the workbook is streamed (libxlsxwriter's constant-memory mode): memory
// stays flat whatever the number of rows, and the grid's current row and columns are not
// touched. The workbook is written under a temporary name beside the chosen file and put
// in its place only when complete, so a failure or a cancel leaves no partial file and
// an existing file as it was.
#pragma once

#include <QDate>
#include <QString>
#include <QVector>

#include <functional>

class DbConnection;
class TRecordGrid;

namespace ExcelExport {

// One column of the sheet: the grid's field, its title, and whether it holds days.
struct Column
{
    QString field;
    QString title;
    bool date = false;
};

// What is written: the statement the grid lists its rows by, on its connection, the
// number of rows it shows and its visible columns.
struct Source
{
    DbConnection *connection = nullptr;
    QString statement;
    qint64 rows = 0;
    QVector<Column> columns;
};

// The grid's source; an empty statement while the grid was never filled.
Source SourceOf(const TRecordGrid *grid);

// Told the rows written so far and the rows to write; false stops the export.
using Progress = std::function<bool(qint64 done, qint64 total)>;

enum class Outcome { Written, Cancelled, Failed };

// Writes the workbook to path, dated today. Failed comes with a Chinese reason in error;
// neither Failed nor Cancelled leaves anything at path but what was there before.
Outcome Write(const Source &source, const QString &path, const QDate &today,
              const Progress &progress, QString *error);

// The most records one sheet takes below its three heading rows.
constexpr qint64 MaxRecords = 1048576 - 3;

// The default file offered: "报表" + the date + ".xlsx" in the user's documents folder (his
// home folder when he has none).
QString DefaultFile(const QDate &today);

} // namespace ExcelExport

// "导出EXCEL" on a grid: nothing when the grid was never filled; otherwise the save dialog,
// the export with a progress window and 取消 for a long one, and the workbook handed to
// the user's spreadsheet program. Every failure is said in a message naming the file.
void ExportGridToExcel(TRecordGrid *grid);
