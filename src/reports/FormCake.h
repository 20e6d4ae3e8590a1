// The pie-chart window of the report page ("图形分析"): the money totals of the records the
// report's condition selects, one slice per account or one per income/expense kind (pick
// list 1), and the chart saved as a picture. Totals are signed: a negative one is drawn by
// its size, with its sign in its label and in the legend.
#pragma once

#include "FixedDialog.h"

#include <QVector>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPieSeries;
class QPushButton;

class TFormCake : public TFixedDialog
{
    Q_OBJECT
public:
    // The analysis choices of ComboBox1, in its order.
    enum Analysis { ByAccount, ByKind };
    // The modal result of 退出.
    enum Result { Closed = 2 };

    explicit TFormCake(QWidget *parent = nullptr);

    // The report's condition, copied by "图形分析" before the window shows.
    QString ChartCondition;

    QLabel *Label1;          // 分析方式
    QComboBox *ComboBox1;    // 按帐户分析, 按项目分析; kept between showings
    QChartView *Chart1;
    QLabel *Image1;          // 32 × 32, by analysis
    QPushButton *ButtonToBmp;   // 存成图片
    QPushButton *ButtonClose;   // 退出

    struct Slice
    {
        QString label;
        double total = 0;
    };
    // The slices drawn, in the order they were added.
    QVector<Slice> Slices() const { return m_slices; }
    // The legend's text of each slice: its label, a mark when negative, its share.
    QStringList LegendTexts() const;
    // Where "存成图片" saves: Cake.bmp in the program folder.
    static QString PictureFile();

    void FormShow() override;
    void ComboBox1Change();
    // Redraws from the totals: one statement per account or kind through the run-query
    // helper; the first failure is said and ends the redraw, keeping the slices added.
    void Redraw();
    void ActionToBmpExecute();
    void CloseClick();
    // Escape leaves as 退出 does.
    void reject() override;

private:
    void addSlice(double total, const QString &label);
    // Draws the slices found, with their marks and the legend.
    void labelLegend();

    QChart *m_chart;
    QPieSeries *m_series;
    QVector<Slice> m_slices;
};

extern TFormCake *FormCake;
