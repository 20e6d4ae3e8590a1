// The daily journal of the main window: the 日记帐簿 page with the working date's balances,
// income and expense above the day's records, and the record grid of the 报表中心 page
// with its sort choice. Both grids share their columns, footers, colours and the editing
// of the chosen record in the entry window.
#pragma once

#include "RecordGridModel.h"
#include "RecordStatement.h"

#include <QObject>

#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class TRecordGrid;

class TDailyPage : public QObject
{
    Q_OBJECT
public:
    // Builds the journal on dailySheet and the report grid on reportSheet; accountSum is
    // the account page's sum label, which the day's balance is written into.
    TDailyPage(QWidget *dailySheet, QWidget *reportSheet, QLabel *accountSum,
               QObject *parent = nullptr);

    QFrame *PanelDaily;
    QLabel *Label7;    // 上日结余
    QLabel *Label8;    // 本日结余
    QLabel *Label9;    // 本日收入：
    QLabel *Label10;   // 本日支出：
    QLabel *Label11;   // the day's income: count and amount
    QLabel *Label12;   // the day's expense: count and amount
    QPushButton *ButtonEditMoney;    // 修改记录
    QPushButton *ButtonPrintMoney;   // 打印记录
    TRecordGrid *DBGridEh1;          // the day's records
    QFrame *PanelReport;
    QPushButton *ButtonCake;         // 图形分析
    QPushButton *ButtonToExcel;      // 导出EXCEL
    QPushButton *ButtonMakeReport;   // 生成报表
    QPushButton *ButtonPrintReport;  // 打印报表
    QLabel *LabelSort;               // 排序方式
    QComboBox *ComboBox3;            // 按时间排, 按帐户排, 按金额排
    TRecordGrid *DBGridEh2;          // the report's records

    enum SortOrder { ByTime, ByAccount, ByAmount };

    // Fills one of the two grids, the day grid with the day's figures first. The figures
    // run through the run-query helper ("数据库打开失败") and stop at the first failure,
    // which leaves the labels after it as they were; the report grid reports a failing
    // statement with the engine's own text and stays closed. False on any failure.
    bool FillRecordGrid(TRecordGrid *grid);
    // What a full refresh asks of the journal: the day grid, and the report grid while it
    // is open.
    void FillRecordGrids();

    // Editing the chosen record: "修改记录" and the day grid's double click and Enter; the
    // report grid's double click and Enter. Nothing at all for the viewer 查看.
    void ActionEditMoneyExecute();
    void DBGridEh2DblClick();
    // The colour of a cell drawn in either grid: a 合计 below zero, once rounded to a whole
    // number, draws red.
    static void DBGridEh1GetCellParams(TRecordGridModel::Cell &cell);
    // A click on a title widens a column to the widest text drawn in it, plus 20 pixels.
    void DBGridEh1TitleClick(int column);
    void DBGridEh2TitleClick(int column);
    void ComboBox3Change();

    // "打印记录": the day's four figures into PrintTable row 1, then the day grid's records
    // through Frf/Daily.frf (portrait) or Frf/Daily2.frf, which read those figures as
    // PrintValue1 to PrintValue4.
    void ActionPrintMoneyExecute();
    // "打印报表": the report grid's records, in its order and under its condition, through
    // Frf/Report.frf (portrait) or Frf/Report2.frf. Nothing while the grid was never filled.
    void ActionPrintReportExecute();
    // The statement the report grid was last filled with.
    const RecordStatement &ReportStatement() const { return m_reportStatement; }

    // "生成报表": the report query builder, shown by whoever owns it through this hook,
    // which is true when the builder made a new condition; the report grid is then filled
    // with it. While the hook is unset the button does nothing.
    std::function<bool()> MakeReport;
    void ActionMakeReportExecute();
    // "图形分析" and "导出EXCEL": the pie chart over the report's condition and the report
    // grid written to a workbook, done by whoever owns them through these hooks; while a
    // hook is unset its button does nothing.
    std::function<void()> ShowCake;
    std::function<void(TRecordGrid *)> ExportGrid;
    void ActionCakeExecute();
    void ActionToExcelExecute();

private:
    bool fillDaySums();
    void buildColumns(TRecordGrid *grid);
    void titleClick(TRecordGrid *grid, int column);
    void editRecord(TRecordGrid *grid, const QString &noSelection);

    QLabel *m_accountSum;
    RecordStatement m_reportStatement;
};
