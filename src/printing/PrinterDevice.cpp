#include "printing/PrinterDevice.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "printing/PaperSizes.h"

namespace {
int twips(double points)
{
    return static_cast<int>(std::lround(points * 20));
}
} // namespace

PrinterDevice::PrinterDevice()
{
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
        if (!printers.isEmpty())
            info = printers.first();
    }
    if (info.isNull()) {
        makePdf();
        return;
    }
    m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

PrinterDevice::~PrinterDevice() = default;

QStringList PrinterDevice::deviceNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty())
        names.append(pdfDeviceName());
    return names;
}

QString PrinterDevice::pdfDeviceName()
{
    return QStringLiteral("Print to File (PDF)");
}

void PrinterDevice::makePdf()
{
    m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    // A file has no unprintable edges: the printable area is the whole paper.
    m_printer->setFullPage(true);
    m_printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
}

QString PrinterDevice::DeviceName() const
{
    return isPdf() ? pdfDeviceName() : m_printer->printerName();
}

bool PrinterDevice::isPdf() const
{
    return m_printer->outputFormat() == QPrinter::PdfFormat;
}

bool PrinterDevice::selectDevice(const QString &name)
{
    if (name == DeviceName())
        return true;
    const int paper = PaperSize();
    const int orientation = Orientation();
    if (name == pdfDeviceName()) {
        makePdf();
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(name);
        if (info.isNull())
            return false;
        m_printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    setPaperSize(paper);
    setOrientation(orientation);
    return true;
}

void PrinterDevice::usePdf(const QString &path)
{
    const int paper = PaperSize();
    const int orientation = Orientation();
    makePdf();
    m_printer->setOutputFileName(path);
    setPaperSize(paper);
    setOrientation(orientation);
}

int PrinterDevice::PaperSize() const
{
    return PaperSizes::codeOf(m_printer->pageLayout().pageSize());
}

bool PrinterDevice::setPaperSize(int code)
{
    const std::optional<QPageSize> size = PaperSizes::pageSize(code);
    if (!size)
        return false;
    if (!isPdf()) {
        // A real printer takes only the papers its driver lists.
        const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer->printerName());
        bool offered = info.supportsCustomPageSizes();
        for (const QPageSize &s : info.supportedPageSizes())
            offered = offered || s.isEquivalentTo(*size);
        if (!offered)
            return false;
    }
    return m_printer->setPageSize(*size);
}

int PrinterDevice::Orientation() const
{
    return m_printer->pageLayout().orientation() == QPageLayout::Landscape ? Landscape : Portrait;
}

bool PrinterDevice::setOrientation(int code)
{
    if (code != Portrait && code != Landscape)
        return false;
    return m_printer->setPageOrientation(code == Landscape ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
}

int PrinterDevice::Copies() const
{
    return m_printer->copyCount();
}

void PrinterDevice::setCopies(int copies)
{
    m_printer->setCopyCount(qMax(1, copies));
}

int PrinterDevice::Width() const
{
    return twips(m_printer->paperRect(QPrinter::Point).width());
}

int PrinterDevice::Height() const
{
    return twips(m_printer->paperRect(QPrinter::Point).height());
}

int PrinterDevice::ScaleWidth() const
{
    return twips(m_printer->pageRect(QPrinter::Point).width());
}

int PrinterDevice::ScaleHeight() const
{
    return twips(m_printer->pageRect(QPrinter::Point).height());
}

int PrinterDevice::EdgeX() const
{
    return twips(m_printer->pageRect(QPrinter::Point).left() -
                 m_printer->paperRect(QPrinter::Point).left());
}

int PrinterDevice::EdgeY() const
{
    return twips(m_printer->pageRect(QPrinter::Point).top() -
                 m_printer->paperRect(QPrinter::Point).top());
}

int PrinterDevice::PhysicalWidthPx() const
{
    return static_cast<int>(std::lround(m_printer->paperRect(QPrinter::DevicePixel).width()));
}

int PrinterDevice::PhysicalHeightPx() const
{
    return static_cast<int>(std::lround(m_printer->paperRect(QPrinter::DevicePixel).height()));
}

int PrinterDevice::Resolution() const
{
    return m_printer->resolution();
}

double PrinterDevice::TwipsPerPixel() const
{
    const int dpi = Resolution();
    return dpi > 0 ? 1440.0 / dpi : 1.0;
}
