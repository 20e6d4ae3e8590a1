#include "DailyPage.h"

#include "FormGetPay.h"
#include "FormPreview.h"
#include "Globals.h"
#include "Look.h"
#include "PublicFunction.h"
#include "RecordColumns.h"
#include "RecordGrid.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QTableView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");
const QString Journal =
    QStringLiteral("From Account,MoneyTable Where (AccountIndex = MoneyAccount)");
const QColor Grey(128, 128, 128);
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

const char *const SortTexts[] = {"按时间排", "按帐户排", "按金额排"};

QLabel *panelLabel(QWidget *panel, const char *name, const char *text, const QRect &place,
                   const QColor &colour = QColor())
{
    QLabel *label = PlaceLabel(panel, QString::fromLatin1(name), QString::fromUtf8(text), place);
    if (colour.isValid()) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, colour);
        label->setPalette(p);
    }
    return label;
}

// A panel across the top of a sheet with the sheet's grid below it.
QFrame *topPanel(QWidget *sheet, const QString &name, TRecordGrid *grid)
{
    auto *panel = new QFrame(sheet);
    panel->setObjectName(name);
    panel->setFixedHeight(65);
    auto *layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel);
    layout->addWidget(grid, 1);
    return panel;
}

} // namespace

TDailyPage::TDailyPage(QWidget *dailySheet, QWidget *reportSheet, QLabel *accountSum,
                       QObject *parent)
    : QObject(parent), m_accountSum(accountSum)
{
    DBGridEh1 = new TRecordGrid(nullptr, dailySheet);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->View()->setAccessibleName(QStringLiteral("当日收支记录"));
    PanelDaily = topPanel(dailySheet, QStringLiteral("PanelDaily"), DBGridEh1);
    Label7 = panelLabel(PanelDaily, "Label7", "上日结余：", QRect(8, 8, 137, 25), Grey);
    Label8 = panelLabel(PanelDaily, "Label8", "本日结余：", QRect(8, 32, 137, 25));
    Label9 = panelLabel(PanelDaily, "Label9", "本日收入：", QRect(152, 8, 73, 25));
    Label10 = panelLabel(PanelDaily, "Label10", "本日支出：", QRect(152, 32, 73, 25));
    Label11 = panelLabel(PanelDaily, "Label11", "共 XX 笔～XXXX元", QRect(232, 8, 161, 25),
                         Blue);
    Label12 = panelLabel(PanelDaily, "Label12", "共 XX 笔～XXXX元", QRect(232, 32, 161, 25),
                         Red);
    ButtonEditMoney = PictureButton(PanelDaily, QStringLiteral("ButtonEditMoney"),
                                    QStringLiteral("修改记录"), QStringLiteral("Res/Modify.ico"),
                                    QRect(440, 8, 105, 49));
    ButtonPrintMoney = PictureButton(PanelDaily, QStringLiteral("ButtonPrintMoney"),
                                     QStringLiteral("打印记录"), QStringLiteral("Res/Print.ico"),
                                     QRect(552, 8, 105, 49));

    DBGridEh2 = new TRecordGrid(nullptr, reportSheet);
    DBGridEh2->setObjectName(QStringLiteral("DBGridEh2"));
    DBGridEh2->View()->setAccessibleName(QStringLiteral("报表记录"));
    PanelReport = topPanel(reportSheet, QStringLiteral("PanelReport"), DBGridEh2);
    // The sort choice stands where the card pages' side buttons stand: beyond the sheet's
    // edge at the standard size while the left bar shows, in view when it is folded away
    // or the window is maximised.
    ButtonCake = PictureButton(PanelReport, QStringLiteral("ButtonCake"), QStringLiteral("图形分析"),
                               QStringLiteral("Res/YellowTower.ico"), QRect(8, 8, 105, 49));
    ButtonToExcel = PictureButton(PanelReport, QStringLiteral("ButtonToExcel"),
                                  QStringLiteral("导出EXCEL"), QStringLiteral("Res/Save.ico"),
                                  QRect(120, 8, 105, 49));
    ButtonMakeReport = PictureButton(PanelReport, QStringLiteral("ButtonMakeReport"),
                                     QStringLiteral("生成报表"), QStringLiteral("Res/TabReport.ico"),
                                     QRect(232, 8, 105, 49));
    ButtonPrintReport = PictureButton(PanelReport, QStringLiteral("ButtonPrintReport"),
                                      QStringLiteral("打印报表"), QStringLiteral("Res/Print.ico"),
                                      QRect(344, 8, 105, 49));
    LabelSort = panelLabel(PanelReport, "LabelSort", "排序方式", QRect(672, 8, 81, 20));
    ComboBox3 = PlaceCombo(PanelReport, QStringLiteral("ComboBox3"), QRect(672, 30, 81, 22));
    for (int order = ByTime; order <= ByAmount; ++order)
        ComboBox3->addItem(QString::fromUtf8(SortTexts[order]), order);
    ComboBox3->setCurrentIndex(ByTime);
    LabelSort->setBuddy(ComboBox3);
    QWidget::setTabOrder(ButtonPrintMoney, DBGridEh1);
    QWidget::setTabOrder(ButtonEditMoney, ButtonPrintMoney);
    QWidget::setTabOrder(ButtonCake, ButtonToExcel);
    QWidget::setTabOrder(ButtonToExcel, ButtonMakeReport);
    QWidget::setTabOrder(ButtonMakeReport, ButtonPrintReport);
    QWidget::setTabOrder(ButtonPrintReport, ComboBox3);
    QWidget::setTabOrder(ComboBox3, DBGridEh2);

    for (TRecordGrid *grid : {DBGridEh1, DBGridEh2}) {
        grid->SetCellHook(&TDailyPage::DBGridEh1GetCellParams);
        // A page that cannot be read later (the file went away) shows blank rows; the
        // user hears why once.
        connect(grid->Model(), &TRecordGridModel::FetchFailed, this, [](const QString &error) {
            Ui::Message(QStringLiteral("读取记录时出错，部分记录无法显示：\n") + error, QString(),
                        Ui::Icon::Error);
        });
    }
    connect(ButtonEditMoney, &QPushButton::clicked, this, &TDailyPage::ActionEditMoneyExecute);
    connect(DBGridEh1, &TRecordGrid::RowActivated, this, &TDailyPage::ActionEditMoneyExecute);
    connect(DBGridEh2, &TRecordGrid::RowActivated, this, &TDailyPage::DBGridEh2DblClick);
    connect(DBGridEh1, &TRecordGrid::TitleClicked, this, &TDailyPage::DBGridEh1TitleClick);
    connect(DBGridEh2, &TRecordGrid::TitleClicked, this, &TDailyPage::DBGridEh2TitleClick);
    connect(ComboBox3, qOverload<int>(&QComboBox::activated), this,
            &TDailyPage::ComboBox3Change);
    connect(ButtonMakeReport, &QPushButton::clicked, this, &TDailyPage::ActionMakeReportExecute);
    connect(ButtonPrintMoney, &QPushButton::clicked, this, &TDailyPage::ActionPrintMoneyExecute);
    connect(ButtonPrintReport, &QPushButton::clicked, this,
            &TDailyPage::ActionPrintReportExecute);
    connect(ButtonCake, &QPushButton::clicked, this, &TDailyPage::ActionCakeExecute);
    connect(ButtonToExcel, &QPushButton::clicked, this, &TDailyPage::ActionToExcelExecute);
}

void TDailyPage::FillRecordGrids()
{
    if (!FillRecordGrid(DBGridEh1))
        return;
    if (DBGridEh2->Active())
        FillRecordGrid(DBGridEh2);
}

bool TDailyPage::FillRecordGrid(TRecordGrid *grid)
{
    if (!ShareDataModule)
        return false;
    grid->SetConnection(&ShareDataModule->ADOConnection1);
    grid->Close();
    if (grid == DBGridEh2) {
        const int order = qBound(int(ByTime), ComboBox3->currentData().toInt(), int(ByAmount));
        m_reportStatement = ReportGridStatement(RecordOrder(order));
        if (!grid->Open(GridStatement(m_reportStatement))) {
            const QString error = grid->LastError();
            grid->Close();
            Ui::Message(error, QString(), Ui::Icon::Error);
            return false;
        }
    } else {
        if (!fillDaySums())
            return false;
        // The day's records in the order they were entered.
        if (!grid->Open(GridStatement(DayGridStatement(Session::WorkingDate())))) {
            grid->Close();
            Ui::Message(OpenFailed);
            return false;
        }
    }
    buildColumns(grid);
    return true;
}

bool TDailyPage::fillDaySums()
{
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    const auto read = [&query](const QString &statement, const char *field, double *value) {
        if (!RunQuery(query, statement, OpenFailed))
            return false;
        query.First();
        *value = query.FieldByName(QLatin1String(field)).AsFloat();
        return true;
    };
    const QString filters = AccountFilter + MoneyFilter;
    const QDate day = Session::WorkingDate();
    double previous = 0;
    double today = 0;
    double opening = 0;
    if (!read(QStringLiteral("Select Round(Sum(AccountBase),2) As TotalSum From Account Where "
                             "(AccountIndex > 1)")
                  + AccountFilter,
              "TotalSum", &opening))
        return false;
    previous += opening;
    today += opening;
    double before = 0;
    if (!read(QStringLiteral("Select Round(Sum(MoneySum),2) As LastDateSum ") + Journal
                  + QStringLiteral(" And (MoneyCreateTime < %1)").arg(DateLiteral(day)) + filters,
              "LastDateSum", &before))
        return false;
    previous += before;
    Label7->setText(QStringLiteral("上日结余：") + AmountText(previous) + QStringLiteral(" 元"));
    double upToToday = 0;
    if (!read(QStringLiteral("Select Round(Sum(MoneySum),2) As TodayDateSum ") + Journal
                  + QStringLiteral(" And (MoneyCreateTime < %1)").arg(DateLiteral(day.addDays(1)))
                  + filters,
              "TodayDateSum", &upToToday))
        return false;
    today += upToToday;
    Label8->setText(QStringLiteral("本日结余：") + AmountText(today) + QStringLiteral(" 元"));
    if (m_accountSum)
        m_accountSum->setText(QStringLiteral("总金额：") + AmountText(today)
                              + QStringLiteral(" 元"));
    // A record of exactly 0 counts among the day's income.
    const struct { const char *condition; QLabel *label; double sign; } sides[] = {
        {"(MoneySum >= 0)", Label11, 1.0}, {"(MoneySum < 0)", Label12, -1.0}};
    for (const auto &side : sides) {
        if (!RunQuery(query, QStringLiteral("Select Round(Sum(MoneySum),2) As TodayDateMoney, "
                                            "Count(MoneyIndex) As TodayDateCount ")
                                 + Journal
                                 + QStringLiteral(" And (MoneyCreateTime = %1) And %2")
                                       .arg(DateLiteral(day), QLatin1String(side.condition))
                                 + filters,
                      OpenFailed))
            return false;
        query.First();
        const qint64 count = query.FieldByName(QStringLiteral("TodayDateCount")).AsInteger();
        const double money = query.FieldByName(QStringLiteral("TodayDateMoney")).AsFloat();
        side.label->setText(QStringLiteral("共 %1 笔～").arg(count) + AmountText(side.sign * money)
                            + QStringLiteral(" 元"));
    }
    return true;
}

void TDailyPage::buildColumns(TRecordGrid *grid)
{
    ApplyRecordColumns(grid);
}

void TDailyPage::DBGridEh1GetCellParams(TRecordGridModel::Cell &cell)
{
    if (cell.field.compare(QLatin1String("MoneySum"), Qt::CaseInsensitive) != 0)
        return;
    // Rounded to the nearest whole number, halves to even: -0.5 is 0 and draws black.
    cell.colour = std::nearbyint(cell.value.AsFloat()) < 0 ? Red : Black;
}

void TDailyPage::titleClick(TRecordGrid *grid, int column)
{
    const int remembered = grid->RememberedWidth(column);
    if (grid->ColumnWidth(column) < remembered)
        grid->SetColumnWidth(column, remembered);
}

void TDailyPage::DBGridEh1TitleClick(int column)
{
    titleClick(DBGridEh1, column);
}

void TDailyPage::DBGridEh2TitleClick(int column)
{
    titleClick(DBGridEh2, column);
}

void TDailyPage::ComboBox3Change()
{
    FillRecordGrid(DBGridEh2);
}

void TDailyPage::ActionMakeReportExecute()
{
    if (MakeReport && MakeReport())
        FillRecordGrid(DBGridEh2);
}

void TDailyPage::ActionCakeExecute()
{
    if (ShowCake)
        ShowCake();
}

void TDailyPage::ActionToExcelExecute()
{
    if (ExportGrid)
        ExportGrid(DBGridEh2);
}

void TDailyPage::ActionEditMoneyExecute()
{
    editRecord(DBGridEh1, QStringLiteral("请先选中要修改的记录"));
}

void TDailyPage::DBGridEh2DblClick()
{
    editRecord(DBGridEh2, QStringLiteral("请先选中需要修改的记录"));
}

void TDailyPage::editRecord(TRecordGrid *grid, const QString &noSelection)
{
    if (Session::User() == QStringLiteral("查看"))
        return;
    const DbField key = grid->CurrentField(QStringLiteral("MoneyIndex"));
    if (!grid->Active() || grid->CurrentRow() < 0 || key.IsNull()) {
        Ui::Message(noSelection);
        return;
    }
    if (!FormGetPay)
        return;
    const double sum = grid->CurrentField(QStringLiteral("MoneySum")).AsFloat();
    FormGetPay->EntryMode = sum >= 0 ? TFormGetPay::EditIncome : TFormGetPay::EditExpense;
    FormGetPay->EntryRecordIndex = key.AsInteger();
    FormGetPay->EntryAccountFilter = AccountFilter;
    FormGetPay->EntryAccountType = Session::Book();
    if (Ui::ShowModal(FormGetPay) == QDialog::Accepted)
        Session::RefreshAll();
}

void TDailyPage::ActionPrintMoneyExecute()
{
    if (!ShareDataModule)
        return;
    DbQuery &query = ShareDataModule->ADOQueryTemp;
    if (!RunQuery(query, QStringLiteral("Select * From PrintTable Where PrintIndex = 1"),
                  OpenFailed))
        return;
    query.First();
    // Row 1 is a reserved row, only ever updated; without it there is nothing to print on.
    if (query.Eof() || !query.Edit()
        || !query.SetField(QStringLiteral("PrintValue1"), Label7->text())
        || !query.SetField(QStringLiteral("PrintValue2"), Label8->text())
        || !query.SetField(QStringLiteral("PrintValue3"), Label9->text() + Label11->text())
        || !query.SetField(QStringLiteral("PrintValue4"), Label10->text() + Label12->text())
        || !query.Post()) {
        const QString why = query.LastError();
        query.Cancel();
        Ui::Message(QStringLiteral("打印数据写入失败") + (why.isEmpty() ? QString()
                                                          : QStringLiteral("：") + why),
                    QString(), Ui::Icon::Error);
        return;
    }
    // The figures as written, read by the template's summary lines.
    QHash<QString, QVariant> printed;
    for (const QString &name : query.FieldNames())
        printed.insert(name.toLower(), query.FieldByName(name).Value());
    const ReportValues values = [printed](const QString &name, QVariant *value) {
        const auto it = printed.constFind(name.toLower());
        if (it == printed.constEnd())
            return false;
        *value = *it;
        return true;
    };
    QueryRows rows(&ShareDataModule->ADOConnection1, DayGridStatement(Session::WorkingDate()));
    PreviewReport(OrientedTemplate(QStringLiteral("Daily")), &rows, values, PanelDaily->window());
}

void TDailyPage::ActionPrintReportExecute()
{
    if (!ShareDataModule || !DBGridEh2->Active())
        return;
    QueryRows rows(&ShareDataModule->ADOConnection1, m_reportStatement);
    // The figures the grid shows, not counted again.
    rows.SetKnownTotals(DBGridEh2->Model()->RecordCount(), GridSums(DBGridEh2));
    PreviewReport(OrientedTemplate(QStringLiteral("Report")), &rows, {}, PanelReport->window());
}
