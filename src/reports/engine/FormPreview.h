// The preview of a prepared report: one page at a time, drawn when it is shown, with a
// Chinese toolbar to zoom, turn pages, print, export to PDF, find a text and close.
//
// It never draws more than the page on screen: a report of 10,000 pages opens as fast as
// one of a page. Printing and exporting draw page after page with a progress window that
// can stop them; an export writes a temporary file renamed only on success.
#pragma once

#include "ReportRenderer.h"

#include <QDialog>
#include <QImage>

class QLabel;
class QLineEdit;
class QPrinter;
class QScrollArea;
class QSpinBox;
class QToolButton;
class PreviewPage;

class TFormPreview : public QDialog
{
    Q_OBJECT
public:
    // The renderer must be prepared and outlive the window.
    explicit TFormPreview(ReportRenderer *renderer, QWidget *parent = nullptr);
    ~TFormPreview() override;

    enum class Fit { None, PageWidth, WholePage };

    int CurrentPage() const { return m_page; }   // 0-based
    void SetPage(int page);
    double Zoom() const { return m_zoom; }       // 1 = the page's real size on screen
    void SetZoom(double zoom);
    void SetFit(Fit fit);

    // Finds the text from the current page on (wrapping round), turns to its page and
    // marks it. Says so, and stays, when no page holds it.
    bool FindText(const QString &text);
    // Exports every page to the file (the save dialog's answer), with a progress window.
    // False, with a message shown, when it failed or was stopped.
    bool ExportTo(const QString &path);
    // Prints the printer's page range (all pages when it has none) with its copies.
    bool PrintTo(QPrinter *printer);
    // The default name of an export: the template's name and today's date.
    QString DefaultPdfName() const;

    // The picture of the current page as shown, for tests and screenshots.
    QImage PageImage() const { return m_image; }
    QList<QRectF> Marks() const { return m_marks; }

    void ActionPrintExecute();
    void ActionExportExecute();
    void ActionFindExecute();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void render();
    void updateControls();
    double fitZoom() const;
    QToolButton *button(const QString &name, const QString &caption, const QString &tip,
                        const std::function<void()> &action);
    bool runPages(const QString &title, const std::function<bool(const ReportProgress &)> &work);

    ReportRenderer *m_renderer;
    int m_page = 0;
    double m_zoom = 1;
    Fit m_fit = Fit::PageWidth;
    QImage m_image;
    QList<QRectF> m_marks;   // mm on the current page
    QString m_marked;        // the text found
    bool m_readAhead = false;
    QScrollArea *m_scroll;
    PreviewPage *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pagesLabel;
    QLabel *m_zoomLabel;
    QLineEdit *m_findEdit;
    QToolButton *m_first, *m_previous, *m_next, *m_last;
};

// The template a list or report prints with: `base`.frf upright when PrintType is
// "纵向打印", `base`2.frf across the page otherwise, as the data folder's rules find it.
QString OrientedTemplate(const QString &base);

// Prepares the template file against the rows and shows the preview modally. A template
// that cannot be used shows its message (when showError) and nothing else happens.
// False when nothing was shown.
bool PreviewReport(const QString &templatePath, ReportRows *rows, const ReportValues &values,
                   QWidget *parent, bool showError = true);

// For the designer: shows the template (as edited, not saved) over sample rows of the data
// set its file name belongs to (Report, Record, Daily and their landscape twins), or over
// a few rows named after the fields it uses for any other file name. False, with the
// message shown, when the template cannot be prepared.
bool PreviewWithSampleRows(const ReportTemplate &report, const QString &fileName,
                           QWidget *parent);
