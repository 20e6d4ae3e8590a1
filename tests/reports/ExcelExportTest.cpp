// "导出EXCEL" on a report grid, the workbook read back cell by cell from its zip: the date
// line, the titles, the rows in the grid's order, number, date and text cells, hidden
// columns, an empty result, a grid never filled, and failures that leave no file.
#include "BookRows.h"
#include "ExcelExport.h"
#include "RecordColumns.h"
#include "RecordGrid.h"
#include "ScriptedUi.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QTableView>
#include <QXmlStreamReader>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct Cell
{
    QString type;     // "n" for a number, "inlineStr" or "s" for text
    QString text;
    QString format;   // the number format of a styled cell
};
using Sheet = QMap<QString, Cell>;

QByteArray unzipped(const QString &book, const char *part)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), book, QLatin1String(part)});
    unzip.waitForFinished();
    EXPECT_EQ(unzip.exitCode(), 0) << part;
    return unzip.readAllStandardOutput();
}

// Every written cell of the first sheet by its reference ("A1"), with its number format.
Sheet readBook(const QString &book)
{
    QMap<QString, QString> codes;   // numFmtId -> formatCode
    QStringList xfFormats;          // cellXfs in order -> numFmtId
    QXmlStreamReader styles(unzipped(book, "xl/styles.xml"));
    bool inXfs = false;
    while (!styles.atEnd()) {
        styles.readNext();
        if (styles.isStartElement() && styles.name() == QLatin1String("numFmt"))
            codes.insert(styles.attributes().value(QLatin1String("numFmtId")).toString(),
                         styles.attributes().value(QLatin1String("formatCode")).toString());
        if (styles.name() == QLatin1String("cellXfs"))
            inXfs = styles.isStartElement();
        if (inXfs && styles.isStartElement() && styles.name() == QLatin1String("xf"))
            xfFormats << styles.attributes().value(QLatin1String("numFmtId")).toString();
    }
    Sheet sheet;
    QXmlStreamReader xml(unzipped(book, "xl/worksheets/sheet1.xml"));
    QString ref;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("c")) {
            ref = xml.attributes().value(QLatin1String("r")).toString();
            const QString style = xml.attributes().value(QLatin1String("s")).toString();
            sheet[ref].type = xml.attributes().value(QLatin1String("t")).toString();
            if (!style.isEmpty())
                sheet[ref].format = codes.value(xfFormats.value(style.toInt()));
            if (sheet[ref].type.isEmpty())
                sheet[ref].type = QStringLiteral("n");
        } else if (xml.name() == QLatin1String("v") || xml.name() == QLatin1String("t")) {
            sheet[ref].text = xml.readElementText();
        }
    }
    return sheet;
}

class Export : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const qint64 cash = BookRows::Account(db(), QStringLiteral("现金"));
        add(cash, "2024-06-01", 150.5, "000123", "=1+1");
        add(cash, "2024-06-02 08:30:05", -20, "NO0009", "北方贸易公司");
        add(cash, "2024-05-31", 0, "", "@SUM(A1)");
        path = data.folder.Path() + QStringLiteral("报表.xlsx");
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    void add(qint64 account, const char *when, double amount, const char *serial,
             const char *customer)
    {
        const qint64 key = BookRows::Record(db(), account, QDate(2024, 1, 1), amount,
                                            QString::fromUtf8(customer));
        BookRows::Exec(db(), QStringLiteral("UPDATE MoneyTable SET MoneyCreateTime = '%1', "
                                            "MoneySerial = '%2' WHERE MoneyIndex = %3")
                                 .arg(QLatin1String(when), QLatin1String(serial))
                                 .arg(key));
    }

    void fill(const QString &condition = QString())
    {
        TRecordGridModel::Statement s;
        s.select = RecordFieldList();
        s.from = QStringLiteral("From Account,MoneyTable Where (AccountIndex = MoneyAccount)")
            + condition;
        s.orderBy = QStringLiteral("Order By MoneyCreateTime,MoneyIndex");
        grid.SetConnection(db());
        ASSERT_TRUE(grid.Open(s));
        ApplyRecordColumns(&grid);
    }

    // Exports into path, which the save dialog answers with; the workbook read back.
    Sheet exported()
    {
        ui.files << path;
        ExportGridToExcel(&grid);
        EXPECT_EQ(ui.Opened(), QStringList{path});
        return readBook(path);
    }

    TestDatabase data;
    ScriptedUi ui;
    TRecordGrid grid;
    QString path;
};

TEST_F(Export, CellsAsTheGridShowsThem)
{
    fill();
    ASSERT_TRUE(grid.SetCurrentRow(1));
    const Sheet sheet = exported();
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy年MM月dd日"));
    // Rows in the grid's order (by time): 2024-05-31, 2024-06-01, 2024-06-02 08:30:05.
    const struct { const char *ref; const char *type; QString text; const char *format; } cells[] = {
        {"A1", "inlineStr", QStringLiteral("日期:") + today, ""},
        {"A3", "inlineStr", QStringLiteral("记录号"), ""},
        {"B3", "inlineStr", QStringLiteral("单据编号"), ""},
        {"M3", "inlineStr", QStringLiteral("备注"), ""},
        {"C4", "n", QStringLiteral("45443"), "yyyy.mm.dd"},
        {"E4", "inlineStr", QStringLiteral("@SUM(A1)"), ""},
        {"H4", "n", QStringLiteral("0"), ""},
        {"B5", "inlineStr", QStringLiteral("000123"), ""},
        {"C5", "n", QStringLiteral("45444"), "yyyy.mm.dd"},
        {"D5", "inlineStr", QStringLiteral("现金"), ""},
        {"E5", "inlineStr", QStringLiteral("=1+1"), ""},
        {"F5", "n", QStringLiteral("150.5"), ""},
        {"H5", "n", QStringLiteral("150.5"), ""},
        {"B6", "inlineStr", QStringLiteral("NO0009"), ""},
        {"C6", "n", QStringLiteral("45445.35422453703"), "yyyy.mm.dd hh.mm.ss"},
        {"G6", "n", QStringLiteral("20"), ""},
        {"H6", "n", QStringLiteral("-20"), ""},
    };
    for (const auto &c : cells) {
        SCOPED_TRACE(c.ref);
        ASSERT_TRUE(sheet.contains(QLatin1String(c.ref)));
        const Cell cell = sheet.value(QLatin1String(c.ref));
        EXPECT_EQ(cell.type, QLatin1String(c.type));
        if (cell.type == QLatin1String("n"))
            EXPECT_NEAR(cell.text.toDouble(), c.text.toDouble(), 1e-9);
        else
            EXPECT_EQ(cell.text, c.text);
        EXPECT_EQ(cell.format, QLatin1String(c.format));
    }
    // Nothing on row 2, no formula anywhere, no row after the last record, no empty remark.
    for (auto it = sheet.begin(); it != sheet.end(); ++it) {
        EXPECT_FALSE(it.key().endsWith(QLatin1Char('2')) && it.key().size() == 2) << it.key().toStdString();
        EXPECT_FALSE(it.key().mid(1).toInt() > 6) << it.key().toStdString();
        EXPECT_FALSE(it.key().startsWith(QLatin1Char('M')) && it.key() != QLatin1String("M3"));
    }
    EXPECT_EQ(unzipped(path, "xl/worksheets/sheet1.xml").count("<f>"), 0);
    EXPECT_EQ(grid.CurrentRow(), 1);
    EXPECT_TRUE(ui.Messages().isEmpty());
    // Made like any new file of the user's, not kept to the owner as a temporary file is.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat made {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0666 & ~mask);
    EXPECT_TRUE(ui.log.at(0).text.endsWith(QStringLiteral("/报表")
                                           + QDate::currentDate().toString(Qt::ISODate)
                                           + QStringLiteral(".xlsx")));
}

TEST_F(Export, HiddenColumnsAndEmptyResult)
{
    fill(QStringLiteral(" And (MoneySum > 1000)"));
    grid.View()->horizontalHeader()->hideSection(grid.ColumnOf(QStringLiteral("MoneySerial")));
    const Sheet sheet = exported();
    EXPECT_EQ(sheet.value(QStringLiteral("A3")).text, QStringLiteral("记录号"));
    EXPECT_EQ(sheet.value(QStringLiteral("B3")).text, QStringLiteral("录入时间"));
    EXPECT_EQ(sheet.value(QStringLiteral("L3")).text, QStringLiteral("备注"));
    EXPECT_FALSE(sheet.contains(QStringLiteral("M3")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("A4")));
    EXPECT_EQ(sheet.size(), 1 + 12);
}

TEST_F(Export, NeverFilledGridWritesNothing)
{
    ExportGridToExcel(&grid);   // no save dialog: the strict seam would fail on one
    EXPECT_TRUE(ui.log.isEmpty());
}

TEST_F(Export, FailuresAndCancelLeaveNoFile)
{
    fill();
    // An existing workbook stays as it was when the new one cannot be put in its place.
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    const QString folder = data.folder.Path() + QStringLiteral("无此文件夹/报表.xlsx");
    ui.files << folder;
    ExportGridToExcel(&grid);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().at(0).contains(folder)) << ui.Messages().at(0).toStdString();
    EXPECT_FALSE(QFile::exists(folder));

    const ExcelExport::Source source = ExcelExport::SourceOf(&grid);
    QString error;
    EXPECT_EQ(ExcelExport::Write(source, path, QDate::currentDate(),
                                 [](qint64, qint64) { return false; }, &error),
              ExcelExport::Outcome::Cancelled);
    ExcelExport::Source broken = source;
    broken.statement += QStringLiteral(" Nonsense");
    EXPECT_EQ(ExcelExport::Write(broken, path, QDate::currentDate(), {}, &error),
              ExcelExport::Outcome::Failed);
    EXPECT_TRUE(error.startsWith(QStringLiteral("读取记录时出错"))) << error.toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
    EXPECT_EQ(QDir(data.folder.Path()).entryList(QDir::Files | QDir::Hidden).filter(
                  QStringLiteral("xlsx")),
              QStringList{QStringLiteral("报表.xlsx")});

    // A workbook written with no program to open it: the message says where it is.
    ui.externalResult = false;
    ui.Clear();
    ui.files << path;
    ExportGridToExcel(&grid);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().at(0).contains(path));
    EXPECT_EQ(readBook(path).value(QStringLiteral("B5")).text, QStringLiteral("000123"));
}

} // namespace
