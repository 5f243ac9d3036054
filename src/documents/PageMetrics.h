#pragma once

// The page the wrap-to-ruler mode lays text out for: the current printer's page, or the PDF
// printer's page when no printer is installed.
namespace PageMetrics {
// Width of the printer's page in twips (queried once per run).
int pageWidthTwips();
// The page width less the stored left and right page margins ("Page Margin 0" and "1", inches).
int printableWidthTwips();
// Replaces the page width (tests); 0 queries the printer again.
void setPageWidthTwips(int twips);
} // namespace PageMetrics
