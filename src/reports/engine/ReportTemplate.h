// A report template: the page and its bands, each band holding the elements drawn in it.
//
// Everything is held in millimetres. An element's place is relative to the top left corner
// of its band, the band's to the page's printable area (inside the margins). The model is
// plain data: the designer edits it in place, the renderer reads it, and ReportFormat.h
// loads and saves it as a `.frf` file (docs/report-format.md).
#pragma once

#include <QList>
#include <QRectF>
#include <QString>

#include <optional>

// The bands, in the order they are drawn on a page.
enum class BandKind {
    ReportTitle,    // the first page only, above everything else
    PageHeader,     // every page
    ColumnHeader,   // every page, below the page header (and the title on the first page)
    Detail,         // once for each data row
    Summary,        // once, after the last row
    PageFooter,     // every page, at the bottom of the printable area
};

enum class ElementKind { Text, Line, Rect, Picture };

// Frame lines of a text or a picture: any of the four sides.
enum FrameSide { FrameNone = 0, FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8,
                 FrameAll = 15 };

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Middle, Bottom };

struct ReportElement
{
    ElementKind kind = ElementKind::Text;
    // Place and size in mm within the band. A line runs from the top left corner to the
    // bottom right one: height 0 is a horizontal line, width 0 a vertical one.
    QRectF rect;
    // Text: a Mustache template over the row's fields and the report's variables.
    // Picture: a file name in the Frf folder.
    QString text;
    QString fontFamily;         // empty: the program's font
    double fontSize = 10;       // points
    bool bold = false;
    HAlign align = HAlign::Left;
    VAlign valign = VAlign::Middle;
    int frame = FrameNone;      // FrameSide bits
    double lineWidth = 0.2;     // mm: frame lines, lines and rectangles
    // A text that does not fit is cut with "…"; a wrapped one is broken into lines, and a
    // detail band that holds one grows to fit.
    bool wrap = false;
    // For a text whose whole result is a number or a date: "0", "0.00" or "#,##0.00" for
    // numbers, otherwise a date format such as "yyyy-MM-dd". Empty: the text as it is.
    QString format;

    bool operator==(const ReportElement &o) const;
    bool operator!=(const ReportElement &o) const { return !(*this == o); }
};

struct ReportBand
{
    BandKind kind = BandKind::Detail;
    double height = 10;         // mm
    QList<ReportElement> elements;

    bool operator==(const ReportBand &o) const;
    bool operator!=(const ReportBand &o) const { return !(*this == o); }
};

struct ReportPage
{
    double width = 210;         // mm, of the sheet held upright
    double height = 297;
    bool landscape = false;
    double marginLeft = 15, marginTop = 15, marginRight = 15, marginBottom = 15;

    // The sheet as printed (width and height swapped when landscape), in mm.
    double PrintedWidth() const { return landscape ? height : width; }
    double PrintedHeight() const { return landscape ? width : height; }
    // The area inside the margins, in mm from the sheet's top left corner.
    QRectF PrintableArea() const;

    bool operator==(const ReportPage &o) const;
    bool operator!=(const ReportPage &o) const { return !(*this == o); }
};

struct ReportTemplate
{
    QString name;               // shown as the default file name of an export
    ReportPage page;
    QList<ReportBand> bands;    // at most one of each kind, in BandKind order

    // The band of a kind, or nullptr when the template has none.
    const ReportBand *Band(BandKind kind) const;
    ReportBand *Band(BandKind kind);
    // The band of a kind, added empty (in its place) when missing.
    ReportBand &EnsureBand(BandKind kind, double height = 10);

    bool operator==(const ReportTemplate &o) const;
    bool operator!=(const ReportTemplate &o) const { return !(*this == o); }
};
