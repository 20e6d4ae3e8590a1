// The report template model: lookups and comparisons.
#include "ReportTemplate.h"

#include <algorithm>

bool ReportElement::operator==(const ReportElement &o) const
{
    return kind == o.kind && rect == o.rect && text == o.text && fontFamily == o.fontFamily
        && fontSize == o.fontSize && bold == o.bold && align == o.align && valign == o.valign
        && frame == o.frame && lineWidth == o.lineWidth && wrap == o.wrap
        && format == o.format;
}

bool ReportBand::operator==(const ReportBand &o) const
{
    return kind == o.kind && height == o.height && elements == o.elements;
}

QRectF ReportPage::PrintableArea() const
{
    return QRectF(marginLeft, marginTop, PrintedWidth() - marginLeft - marginRight,
                  PrintedHeight() - marginTop - marginBottom);
}

bool ReportPage::operator==(const ReportPage &o) const
{
    return width == o.width && height == o.height && landscape == o.landscape
        && marginLeft == o.marginLeft && marginTop == o.marginTop
        && marginRight == o.marginRight && marginBottom == o.marginBottom;
}

const ReportBand *ReportTemplate::Band(BandKind kind) const
{
    for (const ReportBand &b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

ReportBand *ReportTemplate::Band(BandKind kind)
{
    for (ReportBand &b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

ReportBand &ReportTemplate::EnsureBand(BandKind kind, double height)
{
    if (ReportBand *b = Band(kind))
        return *b;
    auto at = std::find_if(bands.begin(), bands.end(),
                           [kind](const ReportBand &b) { return b.kind > kind; });
    ReportBand band;
    band.kind = kind;
    band.height = height;
    return *bands.insert(at, band);
}

bool ReportTemplate::operator==(const ReportTemplate &o) const
{
    return name == o.name && page == o.page && bands == o.bands;
}
