#include "FormCake.h"

#include "Globals.h"
#include "Look.h"
#include "ProgramFolder.h"
#include "PublicFunction.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "Ui.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QPieSeries>
#include <QtCharts/QPieSlice>

#include <cmath>

TFormCake *FormCake = nullptr;

namespace {

const QString OpenFailed = QStringLiteral("数据库打开失败");
const QString NegativeMark = QStringLiteral("（负）");

} // namespace

TFormCake::TFormCake(QWidget *parent)
    : TFixedDialog(parent, QStringLiteral("FormCake"), QStringLiteral("图形分析"), QSize(760, 520),
                   TitleButtons::None, Placement::MainWindow)
{
    Label1 = PlaceLabel(this, QStringLiteral("Label1"), QStringLiteral("分析方式(&F)"),
                        QRect(12, 12, 80, 22));
    ComboBox1 = PlaceCombo(this, QStringLiteral("ComboBox1"), QRect(96, 12, 140, 22));
    ComboBox1->addItem(QStringLiteral("按帐户分析"), ByAccount);
    ComboBox1->addItem(QStringLiteral("按项目分析"), ByKind);
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setAccessibleName(QStringLiteral("分析方式"));
    Label1->setBuddy(ComboBox1);

    m_series = new QPieSeries();
    m_series->setObjectName(QStringLiteral("Series1"));
    m_series->setPieSize(0.55);
    m_chart = new QChart();
    m_chart->setTitle(QStringLiteral("图形数据分析"));
    QFont title = ProgramFont();
    title.setPointSize(14);
    title.setBold(true);
    m_chart->setTitleFont(title);
    m_chart->addSeries(m_series);
    m_chart->legend()->setAlignment(Qt::AlignRight);
    m_chart->legend()->setFont(ProgramFont());
    m_chart->setAnimationOptions(QChart::NoAnimation);
    Chart1 = new QChartView(m_chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(8, 44, 744, 416);
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart1->setFocusPolicy(Qt::NoFocus);
    Chart1->viewport()->setFocusPolicy(Qt::NoFocus); // a picture, not a stop for Tab

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(12, 474, 32, 32);
    Image1->setScaledContents(true);

    ButtonToBmp = PictureButton(this, QStringLiteral("ButtonToBmp"), QStringLiteral("存成图片(&S)"),
                                QStringLiteral("Res/Save.ico"), QRect(528, 468, 108, 42));
    ButtonToBmp->setAccessibleName(QStringLiteral("存成图片"));
    ButtonClose = PictureButton(this, QStringLiteral("ButtonClose"), QStringLiteral("退出(&X)"),
                                QStringLiteral("Res/Cancel.ico"), QRect(644, 468, 108, 42));
    ButtonClose->setAccessibleName(QStringLiteral("退出"));
    QWidget::setTabOrder(ComboBox1, ButtonToBmp);
    QWidget::setTabOrder(ButtonToBmp, ButtonClose);

    connect(ComboBox1, qOverload<int>(&QComboBox::activated), this, &TFormCake::ComboBox1Change);
    connect(ButtonToBmp, &QPushButton::clicked, this, &TFormCake::ActionToBmpExecute);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormCake::CloseClick);
}

QString TFormCake::PictureFile()
{
    return CakePictureFile();
}

void TFormCake::FormShow()
{
    Redraw();
    ComboBox1->setFocus();
}

void TFormCake::ComboBox1Change()
{
    Redraw();
}

void TFormCake::Redraw()
{
    m_series->clear();
    m_slices.clear();
    const bool byAccount = ComboBox1->currentData().toInt() == ByAccount;
    Image1->setPixmap(LoadPicture(byAccount ? QStringLiteral("Res/YellowTower.ico")
                                            : QStringLiteral("Res/Reason.ico")));
    if (!ShareDataModule) {
        labelLegend();
        return;
    }
    DbQuery &list = ShareDataModule->ADOQueryTemp;
    DbQuery &sum = ShareDataModule->ADOQueryTemp2;
    const QString filters = AccountFilter + MoneyFilter + ChartCondition;
    // The total of one statement; false when it failed and the redraw ends.
    const auto total = [&sum](const QString &statement, double *value) {
        if (!RunQuery(sum, statement, OpenFailed))
            return false;
        sum.First();
        *value = sum.FieldByName(QStringLiteral("TotalSum")).AsFloat();
        return true;
    };
    if (byAccount) {
        if (RunQuery(list, QStringLiteral("Select * From Account Where AccountIndex > 1")
                               + AccountFilter,
                     QStringLiteral("帐户获取失败"))) {
            for (list.First(); !list.Eof(); list.Next()) {
                double value = 0;
                if (!total(QStringLiteral("Select Round(Sum(MoneySum),2) As TotalSum From "
                                          "Account,MoneyTable Where (MoneyAccount = AccountIndex) "
                                          "And (AccountIndex = %1)")
                                   .arg(list.FieldByName(QStringLiteral("AccountIndex")).AsInteger())
                               + filters,
                           &value))
                    break;
                if (value != 0)
                    addSlice(value, list.FieldByName(QStringLiteral("AccountName")).AsString());
            }
        }
    } else if (RunQuery(list, QStringLiteral("Select * From Parameter Where ParameterType = 1"),
                        QStringLiteral("项目获取失败"))) {
        for (list.First(); !list.Eof(); list.Next()) {
            const QString kind = list.FieldByName(QStringLiteral("ParameterValue")).AsString();
            double value = 0;
            if (!total(QStringLiteral("Select Round(Sum(MoneySum),2) As TotalSum From "
                                      "Account,MoneyTable Where (MoneyAccount = AccountIndex) And "
                                      "(MoneyReason = ")
                               + Quoted(kind) + QLatin1Char(')') + filters,
                       &value))
                break;
            if (value != 0)
                addSlice(value, kind);
        }
    }
    labelLegend();
}

void TFormCake::addSlice(double total, const QString &label)
{
    m_slices.append(Slice{label, total});
}

QStringList TFormCake::LegendTexts() const
{
    double whole = 0;
    for (const Slice &s : m_slices)
        whole += std::fabs(s.total);
    QStringList texts;
    for (const Slice &s : m_slices) {
        const double share = whole > 0 ? std::fabs(s.total) * 100.0 / whole : 0;
        texts << s.label + (s.total < 0 ? NegativeMark : QString()) + QStringLiteral("  ")
                + QString::number(share, 'f', 1) + QLatin1Char('%');
    }
    return texts;
}

void TFormCake::labelLegend()
{
    // All slices at once: the chart colours and lays out its slices and legend anew for
    // every addition, which a book of a hundred accounts would feel.
    QList<QPieSlice *> slices;
    for (const Slice &s : std::as_const(m_slices)) {
        // A slice's size is how much money moved; the sign stays in the words and the
        // hatching.
        auto *slice = new QPieSlice(s.label + (s.total < 0 ? NegativeMark : QString())
                                        + QStringLiteral(" ") + AmountText(s.total),
                                    std::fabs(s.total));
        slice->setLabelVisible(true);
        slice->setLabelArmLengthFactor(0.12);
        slice->setLabelFont(ProgramFont());
        slices << slice;
    }
    if (!slices.isEmpty())
        m_series->append(slices);
    // Negative slices are hatched in the colour the chart gave them.
    for (int i = 0; i < slices.size(); ++i) {
        if (m_slices.at(i).total >= 0)
            continue;
        const QColor colour = slices.at(i)->color();
        slices.at(i)->setBrush(QBrush(colour, Qt::BDiagPattern));
        slices.at(i)->setBorderColor(colour.darker(130));
        slices.at(i)->setBorderWidth(2);
    }
    const QStringList texts = LegendTexts();
    const QList<QLegendMarker *> markers = m_chart->legend()->markers(m_series);
    for (int i = 0; i < markers.size() && i < texts.size(); ++i)
        markers.at(i)->setLabel(texts.at(i));
}

void TFormCake::ActionToBmpExecute()
{
    const QString file = PictureFile();
    const QString shown = QDir::toNativeSeparators(file);
    const QImage picture = Chart1->grab().toImage();
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "BMP") || !out.commit()) {
        Ui::Message(QStringLiteral("图片没有保存到“") + shown + QStringLiteral("”：\n")
                        + out.errorString(),
                    QStringLiteral("存成图片"), Ui::Icon::Error);
        return;
    }
    if (!Ui::OpenExternally(file))
        Ui::Message(QStringLiteral("图片已保存到“") + shown
                        + QStringLiteral("”。\n本机没有能打开它的看图程序，请用看图程序打开这个文件。"),
                    QStringLiteral("存成图片"));
}

void TFormCake::CloseClick()
{
    done(Closed);
}

void TFormCake::reject()
{
    done(Closed);
}
