// The banded renderer: a template prepared against a data set and the caller's variables,
// drawn one page at a time with QPainter on any paint device (the preview's picture, a
// printer, a PDF writer).
//
// Preparing compiles every text of the template once (Mustache), checks the names it
// uses, asks the caller's value callback for the variables, and counts the rows and the
// pages. A detail row has the band's fixed height, so the first row of any page follows
// from its number and a page reads only its own rows; a detail band holding a text marked
// to wrap is measured row by row while preparing instead.
//
// The names a text may use: the fields of the data set; page, pages, count (rows of the
// report), date (the printing day), CompanyName (the settings file), sum.FIELD (the sum of
// a field over the report); and any name the value callback answers. A name nobody
// answers prints empty, except in the detail band, where it must be a field of the data
// set and preparing fails with a message.
#pragma once

#include "ReportRows.h"
#include "ReportTemplate.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// Answers a named variable: true with its value, false when the caller does not know it.
using ReportValues = std::function<bool(const QString &name, QVariant *value)>;
// Told the pages done of the pages to do; returns false to stop.
using ReportProgress = std::function<bool(int done, int total)>;

// The company name every template prints as {{CompanyName}}, kept in the settings file.
QString ReportCompanyName();
bool SetReportCompanyName(const QString &name);

// Padding left and right of a text inside its box, in mm: the designer draws with the same.
constexpr double ReportTextPadding = 0.8;

// The sides of `box` that the element's FrameSide bits name, in the painter's pen; the
// printed page and the designer draw frames alike.
void DrawFrameSides(QPainter *painter, const QRectF &box, int frame);

class ReportRenderer
{
public:
    // One text drawn on a page, for finding: its place in mm and what it reads.
    struct PageText
    {
        QRectF rect;
        QString text;
    };

    ReportRenderer();
    ~ReportRenderer();
    ReportRenderer(const ReportRenderer &) = delete;
    ReportRenderer &operator=(const ReportRenderer &) = delete;

    // Prepares the template against the rows (kept, not owned: they must outlive the
    // renderer's use) and the callback (may be empty). False, with a Chinese message.
    bool Prepare(const ReportTemplate &report, ReportRows *rows, const ReportValues &values,
                 QString *error);
    // Loads the file first: a missing or malformed template fails with its message.
    bool Prepare(const QString &templatePath, ReportRows *rows, const ReportValues &values,
                 QString *error);
    bool Prepared() const { return m_prepared; }

    const ReportTemplate &Template() const { return m_template; }
    int PageCount() const { return m_pages; }
    // The sheet as printed, in mm.
    QSizeF PageSizeMm() const;

    // Draws a page (0-based) on the painter's device, from its top left corner, at the
    // device's resolution. texts, when given, receives what the page reads. False, with
    // LastError(), when its rows cannot be read; the page is then drawn without them.
    bool DrawPage(QPainter *painter, int page, QList<PageText> *texts = nullptr);
    // What a page reads, without drawing it.
    QList<PageText> PageTexts(int page);
    // The page (from from on, wrapping to the start) that holds the text; -1 when none.
    int Find(const QString &text, int from, const ReportProgress &progress = {});

    // Draws the pages first to last (0-based, inclusive) on a printer or a PDF writer,
    // setting its page size. False, with LastError(), when stopped or failed.
    bool Print(QPagedPaintDevice *device, int first, int last,
               const ReportProgress &progress = {});
    // Writes every page to a PDF file through a temporary file renamed on success: a
    // stopped or failed export leaves no file (and an older file of that name whole).
    bool ExportPdf(const QString &path, const ReportProgress &progress = {});

    // Reads what turning to any page needs (the ordered keys of the rows), so that a jump
    // to page 9,000 reads only its own rows. False, with LastError(), on failure.
    bool ReadAhead();

    QString LastError() const { return m_error; }

    // The settings a PDF and a printer get for this report's sheet.
    static void SetUpDevice(QPagedPaintDevice *device, const ReportPage &page);

private:
    struct Private;
    bool prepare(const ReportTemplate &report, ReportRows *rows, const ReportValues &values,
                 QString *error);
    bool compile(QString *error);
    bool paginate(QString *error);
    double rowHeight(const ReportRow &row);
    qint64 firstRow(int page) const;
    qint64 rowsOn(int page) const;
    void drawBand(QPainter *painter, const ReportBand &band, int bandIndex, double top,
                  double height, const ReportRow *row, int page, QList<PageText> *texts);
    QString textOf(int bandIndex, int element, const ReportRow *row, int page);

    std::unique_ptr<Private> d;
    ReportTemplate m_template;
    QString m_templateName;
    ReportRows *m_rows = nullptr;
    bool m_prepared = false;
    int m_pages = 0;
    // Rows on the first page and on each later one (fixed row height), or where each
    // page starts (measured rows, one more entry than pages).
    qint64 m_firstPageRows = 0, m_pageRows = 0;
    std::vector<qint64> m_pageStarts;
    bool m_measured = false;
    bool m_summaryAlone = false;   // the summary band needs a page of its own
    QString m_error;
};
