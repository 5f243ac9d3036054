#include "documents/PageMetrics.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "core/Identity.h"
#include "core/clsLibrary.h"

namespace {
int &cachedWidth()
{
    static int width = 0;
    return width;
}

int queryPageWidth()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info);
        return static_cast<int>(
            std::lround(printer.pageLayout().fullRect(QPageLayout::Point).width() * 20));
    }
    // No printer installed: the PDF printer stands in with its default page.
    QPrinter pdf;
    pdf.setOutputFormat(QPrinter::PdfFormat);
    return static_cast<int>(
        std::lround(pdf.pageLayout().fullRect(QPageLayout::Point).width() * 20));
}

int marginTwips(const QString &name)
{
    const QString text = clsLibrary::instance().REGSTRREAD(
        clsLibrary::HKEY_CURRENT_USER, Identity::companyKey() + QStringLiteral("\\frmPPrev\\Items"),
        name, QStringLiteral("1"));
    bool ok = false;
    const double inches = text.trimmed().toDouble(&ok);
    return static_cast<int>(std::lround((ok ? inches : 1.0) * 1440));
}
} // namespace

int PageMetrics::pageWidthTwips()
{
    if (cachedWidth() <= 0)
        cachedWidth() = queryPageWidth();
    return cachedWidth();
}

int PageMetrics::printableWidthTwips()
{
    return pageWidthTwips() - marginTwips(QStringLiteral("Page Margin 0")) -
           marginTwips(QStringLiteral("Page Margin 1"));
}

void PageMetrics::setPageWidthTwips(int twips)
{
    cachedWidth() = twips;
}
