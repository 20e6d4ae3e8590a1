#include "ExcelExport.h"

#include "DbCursor.h"
#include "RecordGrid.h"
#include "Ui.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ExcelExport {

namespace {

// Rows between two reports of progress (and two looks at 取消).
constexpr qint64 ProgressStep = 1000;
// One cell holds at most this many bytes of text.
constexpr int MaxCellBytes = 32767;

QString systemReason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁盘空间不足");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("没有在这里写入文件的权限");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在");
    case EISDIR:
        return QStringLiteral("这是一个文件夹的名字");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("文件正被别的程序使用");
    default:
        return QStringLiteral("系统错误 %1").arg(error);
    }
}

QString writerReason(lxw_error error, int systemError)
{
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return QStringLiteral("内存不足");
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return systemError ? systemReason(systemError)
                           : QStringLiteral("写入文件时出错（磁盘可能已满）");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
        return QStringLiteral("无法使用临时文件夹（") + QDir::tempPath()
            + QStringLiteral("），请检查它的空间和权限");
    default:
        return QStringLiteral("电子表格写入出错（") + QString::fromUtf8(lxw_strerror(error))
            + QLatin1Char(')');
    }
}

// A text cut to what one cell holds, never in the middle of a character.
QByteArray cellText(const char *text, int bytes)
{
    int end = qMin(bytes, MaxCellBytes);
    while (end < bytes && end > 0 && (uchar(text[end]) & 0xC0) == 0x80)
        --end;
    return QByteArray(text, end);
}

QByteArray cellText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return cellText(utf8.constData(), int(utf8.size()));
}

// The number in text[from, from + digits), or -1 when any of them is not a digit.
int digitsAt(const char *text, int from, int digits)
{
    int value = 0;
    for (int i = from; i < from + digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// A day or a moment stored as "yyyy-MM-dd" or "yyyy-MM-dd HH:mm:ss"; false for any other
// text and for years a spreadsheet cannot show as dates. Read by hand: an export of a
// hundred thousand rows reads as many dates.
bool parseDate(const char *text, int bytes, lxw_datetime *out, bool *hasTime)
{
    if ((bytes != 10 && bytes != 19) || text[4] != '-' || text[7] != '-')
        return false;
    const int year = digitsAt(text, 0, 4), month = digitsAt(text, 5, 2), day = digitsAt(text, 8, 2);
    if (year < 1900 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    int hour = 0, minute = 0, second = 0;
    if (bytes == 19) {
        if (text[10] != ' ' || text[13] != ':' || text[16] != ':')
            return false;
        hour = digitsAt(text, 11, 2);
        minute = digitsAt(text, 14, 2);
        second = digitsAt(text, 17, 2);
        if (!QTime::isValid(hour, minute, second))
            return false;
    }
    *out = lxw_datetime{year, month, day, hour, minute, double(second)};
    *hasTime = hour != 0 || minute != 0 || second != 0;
    return true;
}

// The workbook while it is written; freed unwritten when the export stops early.
class Book
{
public:
    explicit Book(const QString &path)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        m_path = QFile::encodeName(path);
        m_book = workbook_new_opt(m_path.constData(), &options);
    }
    ~Book()
    {
        if (m_book)
            lxw_workbook_free(m_book);
    }
    lxw_workbook *get() const { return m_book; }
    lxw_error Close()
    {
        lxw_workbook *book = m_book;
        m_book = nullptr;
        return workbook_close(book);
    }

private:
    QByteArray m_path;
    lxw_workbook *m_book = nullptr;
};

// Puts the finished file in the place of the chosen one: synced first, so that a power cut
// never leaves an empty workbook under the user's name.
bool replaceFile(const QString &from, const QString &to, int *systemError)
{
    const QByteArray source = QFile::encodeName(from);
    const int fd = ::open(source.constData(), O_RDONLY);
    if (fd >= 0) {
        // The temporary file is the owner's alone; the workbook gets what any new file of
        // the user gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        ::fsync(fd);
        ::close(fd);
    }
    if (std::rename(source.constData(), QFile::encodeName(to).constData()) != 0) {
        *systemError = errno;
        return false;
    }
    return true;
}

} // namespace

Source SourceOf(const TRecordGrid *grid)
{
    Source source;
    const TRecordGridModel *model = grid->Model();
    source.statement = model->ListingStatement();
    if (source.statement.isEmpty())
        return source;
    source.connection = model->Connection();
    source.rows = model->RecordCount();
    const QHeaderView *titles = grid->View()->horizontalHeader();
    for (int place = 0; place < titles->count(); ++place) {
        const int column = titles->logicalIndex(place);
        if (column < 0 || titles->isSectionHidden(column))
            continue;
        source.columns.append(
            Column{grid->FieldOf(column), grid->ColumnTitle(column), model->IsDateColumn(column)});
    }
    return source;
}

QString DefaultFile(const QDate &today)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("报表") + today.toString(QStringLiteral("yyyy-MM-dd"))
                                 + QStringLiteral(".xlsx"));
}

Outcome Write(const Source &source, const QString &path, const QDate &today,
              const Progress &progress, QString *error)
{
    const auto failed = [error](const QString &why) {
        *error = why;
        return Outcome::Failed;
    };
    if (source.rows > MaxRecords)
        return failed(QStringLiteral("报表有 %1 条记录，一张工作表最多只能放 %2 条，"
                                     "请缩小查询范围后分几次导出")
                          .arg(source.rows)
                          .arg(MaxRecords));
    const QFileInfo target(path);
    if (target.isDir())
        return failed(systemReason(EISDIR));
    // Written beside the chosen file, so that putting it in place is one rename.
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                             + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return failed(QStringLiteral("无法在文件夹“") + QDir::toNativeSeparators(target.absolutePath())
                      + QStringLiteral("”中建立文件：") + temporary.errorString());
    temporary.close();

    DbCursor cursor(source.connection);
    if (!cursor.Open(source.statement))
        return failed(QStringLiteral("读取记录时出错：") + cursor.LastError());
    QVector<int> fields;
    for (const Column &column : source.columns)
        fields << cursor.FieldIndex(column.field);

    Book book(temporary.fileName());
    if (!book.get())
        return failed(writerReason(LXW_ERROR_MEMORY_MALLOC_FAILED, 0));
    lxw_worksheet *sheet = workbook_add_worksheet(book.get(), "报表");
    lxw_format *dayFormat = workbook_add_format(book.get());
    format_set_num_format(dayFormat, "yyyy.mm.dd");
    lxw_format *momentFormat = workbook_add_format(book.get());
    format_set_num_format(momentFormat, "yyyy.mm.dd hh.mm.ss");
    if (!sheet || !dayFormat || !momentFormat)
        return failed(writerReason(LXW_ERROR_MEMORY_MALLOC_FAILED, 0));
    for (int c = 0; c < source.columns.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), source.columns.at(c).date ? 12 : 14,
                             nullptr);

    lxw_error status = LXW_NO_ERROR;
    const auto keep = [&status](lxw_error result) {
        if (status == LXW_NO_ERROR)
            status = result;
    };
    const QString dateLine = QStringLiteral("日期:")
        + today.toString(QStringLiteral("yyyy年MM月dd日"));
    keep(worksheet_write_string(sheet, 0, 0, dateLine.toUtf8().constData(), nullptr));
    for (int c = 0; c < source.columns.size(); ++c)
        keep(worksheet_write_string(sheet, 2, lxw_col_t(c),
                                    cellText(source.columns.at(c).title).constData(), nullptr));

    qint64 written = 0;
    lxw_row_t row = 3;
    for (; !cursor.Eof() && status == LXW_NO_ERROR; cursor.Next(), ++row) {
        if (written == MaxRecords)
            return failed(QStringLiteral("记录超过了一张工作表能放的 %1 条").arg(MaxRecords));
        for (int c = 0; c < fields.size(); ++c) {
            const DbCursor::Raw value = cursor.RawValue(fields.at(c));
            const lxw_col_t col = lxw_col_t(c);
            switch (value.kind) {
            case DbCursor::Raw::Null:
                break;   // an empty cell
            case DbCursor::Raw::Integer:
            case DbCursor::Raw::Float:
                keep(worksheet_write_number(sheet, row, col, value.number, nullptr));
                break;
            case DbCursor::Raw::Text: {
                lxw_datetime moment{};
                bool hasTime = false;
                if (value.bytes == 0)
                    break;
                if (source.columns.at(c).date
                    && parseDate(value.text, value.bytes, &moment, &hasTime))
                    keep(worksheet_write_datetime(sheet, row, col, &moment,
                                                  hasTime ? momentFormat : dayFormat));
                else if (value.bytes <= MaxCellBytes)
                    keep(worksheet_write_string(sheet, row, col, value.text, nullptr));
                else
                    keep(worksheet_write_string(sheet, row, col,
                                                cellText(value.text, value.bytes).constData(),
                                                nullptr));
                break;
            }
            }
        }
        ++written;
        if (progress && written % ProgressStep == 0 && !progress(written, source.rows))
            return Outcome::Cancelled;
    }
    if (cursor.Failed())
        return failed(QStringLiteral("读取记录时出错：") + cursor.LastError());
    if (status != LXW_NO_ERROR)
        return failed(writerReason(status, 0));
    cursor.Close();
    if (progress && !progress(written, source.rows))
        return Outcome::Cancelled;
    errno = 0;
    const lxw_error closed = book.Close();
    const int systemError = errno;
    if (closed != LXW_NO_ERROR)
        return failed(writerReason(closed, systemError));
    int renameError = 0;
    if (!replaceFile(temporary.fileName(), path, &renameError))
        return failed(systemReason(renameError));
    return Outcome::Written;
}

} // namespace ExcelExport

void ExportGridToExcel(TRecordGrid *grid)
{
    using namespace ExcelExport;
    const Source source = SourceOf(grid);
    if (source.statement.isEmpty())
        return;
    const QDate today = QDate::currentDate();
    const QString path = Ui::SaveFile(QStringLiteral("导出EXCEL"), DefaultFile(today),
                                      QStringLiteral("Excel 工作簿 (*.xlsx)"),
                                      QStringLiteral("xlsx"));
    if (path.isEmpty())
        return;
    const QString shown = QDir::toNativeSeparators(path);

    // Shown once the export has run for a moment; until then a short one flashes nothing.
    QProgressDialog window(QStringLiteral("正在导出 %1 条记录……").arg(source.rows),
                           QStringLiteral("取消"), 0, 100, grid->window());
    window.setObjectName(QStringLiteral("FormExcelProgress"));
    window.setWindowTitle(QStringLiteral("导出EXCEL"));
    window.setWindowModality(Qt::ApplicationModal);
    window.setMinimumDuration(400);
    window.setAutoClose(false);
    window.setAutoReset(false);
    if (auto *cancel = window.findChild<QPushButton *>())
        cancel->setAccessibleName(QStringLiteral("取消导出"));
    window.setValue(0);
    const Progress progress = [&window](qint64 done, qint64 total) {
        window.setValue(total > 0 ? int(qMin<qint64>(100, done * 100 / total)) : 100);
        return !window.wasCanceled();
    };
    QString error;
    const Outcome outcome = Write(source, path, today, progress, &error);
    window.close();
    switch (outcome) {
    case Outcome::Cancelled:
        return;
    case Outcome::Failed:
        Ui::Message(QStringLiteral("报表没有导出到“") + shown + QStringLiteral("”：\n") + error,
                    QStringLiteral("导出EXCEL"), Ui::Icon::Error);
        return;
    case Outcome::Written:
        break;
    }
    if (!Ui::OpenExternally(path))
        Ui::Message(QStringLiteral("报表已导出到“") + shown
                        + QStringLiteral("”。\n本机没有能打开它的电子表格程序，请用电子表格程序打开这个文件。"),
                    QStringLiteral("导出EXCEL"));
}
