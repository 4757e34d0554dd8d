#pragma once
// The printed design report as a list of text bands: which text goes in
// which band with which font. Computed without any drawing library; the
// painter only measures fonts and draws the bands.

#include <string>
#include <vector>

#include "CVtrDoc.h"

namespace vantor {

/// Font faces of the report: header, the two headings, everything else.
enum class ReportFont { Header = 0, Heading = 1, Body = 2 };

/// What the drawing device says about its fonts, in the report's units
/// (tenths of a millimetre).
class ReportMetrics {
public:
    virtual ~ReportMetrics() = default;
    /// Character height plus external leading of the font.
    virtual int LineHeight(ReportFont font) const = 0;
    /// Width of the text drawn in the font.
    virtual int TextWidth(ReportFont font, const std::string& text) const = 0;
};

/// One text in one band. Coordinates in tenths of a millimetre, y growing
/// upwards from the page's bottom edge: the band spans bottom..top.
struct ReportText {
    ReportFont font = ReportFont::Body;
    int left = 0, right = 0, top = 0, bottom = 0;
    std::string text;
    bool centred = false;
    bool white = false;  // the header text; every other text is the report colour
};

struct ReportLayout {
    int pageWidth = 0, pageHeight = 0;  // W, H
    int lineHeight = 0;                 // lh
    /// Point sizes in tenths of a point, by ReportFont.
    int fontSizes[3] = {0, 0, 0};
    /// The grey header band, outlined and filled.
    int headerLeft = 0, headerRight = 0, headerTop = 0, headerBottom = 0;
    std::vector<ReportText> texts;  // in drawing order
};

inline constexpr const char* kReportHeader = "Vantor V.4.01";
inline constexpr const char* kReportFontFace = "Arial";

/// Font sizes of a page of W x H tenths of a millimetre, tenths of a point:
/// d/23, d/30, d/35 truncated, d the page diagonal.
void ReportFontSizes(int pageWidth, int pageHeight, int sizes[3]);

/// The report of doc on a page of W x H tenths of a millimetre; metrics
/// must measure the fonts of ReportFontSizes. title is the document title.
ReportLayout LayoutReport(const CVtrDoc& doc, const std::string& title, int pageWidth, int pageHeight,
                          const ReportMetrics& metrics);

}  // namespace vantor
