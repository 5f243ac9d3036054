#include "printing/clsPrinting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <cmath>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/AppPaths.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"
#include "printing/PrintSettings.h"
#include "printing/frmPPrev.h"

namespace {
clsPrinting *&slot()
{
    static clsPrinting *instance = nullptr;
    return instance;
}

int wholeTwips(double inches)
{
    return static_cast<int>(std::lround(inches * 1440));
}
} // namespace

clsPrinting::clsPrinting() = default;
clsPrinting::~clsPrinting() = default;

clsPrinting &clsPrinting::instance()
{
    if (!slot()) {
        slot() = new clsPrinting;
        // The hidden text controls are widgets: they go before the application does.
        qAddPostRoutine(&clsPrinting::destroy);
    }
    return *slot();
}

void clsPrinting::destroy()
{
    delete slot();
    slot() = nullptr;
}

PrinterDevice &clsPrinting::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<PrinterDevice>();
    return *m_printer;
}

RichTextBox *clsPrinting::RTF2()
{
    if (!m_rtf2)
        m_rtf2 = std::make_unique<RichTextBox>();
    return m_rtf2.get();
}

RichTextBox *clsPrinting::RTF3()
{
    if (!m_rtf3)
        m_rtf3 = std::make_unique<RichTextBox>();
    return m_rtf3.get();
}

void clsPrinting::GETMARGINS()
{
    const std::array<double, 4> m = PrintSettings::margins();
    Margins = m;
}

void clsPrinting::INITIALIZEPATH(QWidget *, RichTextBox *source)
{
    RichTextBox *rtf2 = RTF2();
    m_formatter.release();
    if (source->SelLength() == 0) {
        CMD1.Flags = FlagsAll;
        rtf2->setTextRTF(source->TextRTF());
    } else {
        CMD1.Flags = FlagsSelection;
        rtf2->setTextRTF(source->SelRTF());
    }
    PrintTextLength = static_cast<int>(rtf2->Text().size());
    m_rangeEnd = -1;
}

bool clsPrinting::marginsFit() const
{
    for (double m : Margins) {
        if (!std::isfinite(m) || std::abs(m * 1440) > 32767)
            return false;
    }
    return true;
}

qint16 clsPrinting::marginTwips(int n) const
{
    return static_cast<qint16>(wholeTwips(Margins[static_cast<size_t>(n)]));
}

void clsPrinting::setUpLayout(double left, double top, double right, double bottom)
{
    PrinterDevice &p = printer();
    EdgeX = p.EdgeX();
    EdgeY = p.EdgeY();
    PageRect = QRect(0, 0, p.ScaleWidth(), p.ScaleHeight());
    const int l = wholeTwips(left) - EdgeX;
    const int t = wholeTwips(top) - EdgeY;
    const int r = p.Width() - wholeTwips(right) - EdgeX;
    const int b = p.Height() - wholeTwips(bottom) - EdgeY;
    TextRect = QRect(l, t, r - l, b - t);
    for (FormatRange *range : {&MeasureRange, &PrintRange}) {
        range->rc = TextRect;
        range->rcPage = PageRect;
        range->cpMin = 0;
        range->cpMax = -1;
    }
}

void clsPrinting::PAGECOUNT(QWidget *, int, double left, double top, double right, double bottom,
                            int &pages)
{
    setUpLayout(left, top, right, bottom);
    RichTextBox *rtf2 = RTF2();
    pages = 1;
    NextChar = 0;
    for (;;) {
        const int next = m_formatter.formatRange(*rtf2, MeasureRange);
        if (next == 0 && PrintTextLength > 0)
            return;
        NextChar = next;
        if (NextChar >= PrintTextLength || NextChar <= MeasureRange.cpMin)
            break;
        MeasureRange.cpMin = NextChar;
        ++pages;
    }
    CMD1.FromPage = 1;
    CMD1.ToPage = pages;
    CMD1.Max = pages;
    CMD1.Copies = 1;
    printer().setCopies(CMD1.Copies);
    CMD1.CancelError = true;
}

QList<int> clsPrinting::pageStarts()
{
    QList<int> starts{0};
    FormatRange range = MeasureRange;
    range.cpMin = 0;
    for (;;) {
        const int next = m_formatter.formatRange(*RTF2(), range);
        if (next <= range.cpMin || next >= PrintTextLength)
            break;
        starts.append(next);
        range.cpMin = next;
    }
    return starts;
}

int clsPrinting::drawPage(QPainter &painter, int pageNumber, int firstChar, int lastChar)
{
    const QString number = QString::number(pageNumber);
    const qint16 left = marginTwips(PrintSettings::Left);
    const qint16 top = marginTwips(PrintSettings::Top);
    const qint16 right = marginTwips(PrintSettings::Right);
    const qint16 bottom = marginTwips(PrintSettings::Bottom);
    if (&painter == m_printerPainter)
        clsLibrary::instance().PAGEHEADERFOOTERINFO(number, left, top, right, bottom);
    else
        clsLibrary::instance().PAGEHEADERFOOTERINFOPREVIEW(painter, number, left, top, right,
                                                           bottom);
    FormatRange range = PrintRange;
    range.cpMin = firstChar;
    range.cpMax = lastChar;
    return m_formatter.formatRange(*RTF2(), range, &painter);
}

bool clsPrinting::PRINTDOCUMENT(QWidget *form, RichTextBox *source, bool quiet)
{
    if (!source)
        return false;
    PrintedPages = 0;
    if (source != m_rtf3.get())
        INITIALIZEPATH(form, source);
    GETMARGINS();
    CMD1.CancelError = true;
    if (!marginsFit())
        return false;
    int pages = 1;
    PAGECOUNT(form, 1, Margins[PrintSettings::Left], Margins[PrintSettings::Top],
              Margins[PrintSettings::Right], Margins[PrintSettings::Bottom], pages);

    PrinterDevice &device = printer();
    QPrinter *qp = device.printer();
    // With no printer the pages go to a PDF file: the user says where, and is told after.
    QString pdfTarget;
    if (device.isPdf() && qp->outputFileName().isEmpty()) {
        pdfTarget = choosePdfFile();
        if (pdfTarget.isEmpty())
            return false;
        qp->setOutputFileName(pdfTarget);
    }
    struct ForgetTarget
    {
        QPrinter *printer;
        bool chosen;
        ~ForgetTarget()
        {
            if (chosen)
                printer->setOutputFileName(QString());
        }
    } forget{qp, !pdfTarget.isEmpty()};
    int from = CMD1.FromPage;
    int to = CMD1.ToPage;
    if (!quiet) {
        qp->setPrintRange((CMD1.Flags & 1) ? QPrinter::Selection : QPrinter::AllPages);
        qp->setFromTo(1, CMD1.Max);
        qp->setCopyCount(CMD1.Copies);
        clsLibrary::instance().HOOKFRMLOAD();
        const bool accepted = UiServices::instance().printDialog(qp);
        clsLibrary::instance().HOOKFRMUNLOAD();
        if (!accepted)
            return false;
        if (qp->printRange() == QPrinter::PageRange && qp->fromPage() > 0) {
            from = qp->fromPage();
            to = qMax(from, qp->toPage());
        } else {
            from = 1;
            to = CMD1.Max;
        }
        CMD1.FromPage = from;
        CMD1.ToPage = to;
        CMD1.Copies = qp->copyCount();
    }
    setUpLayout(Margins[PrintSettings::Left], Margins[PrintSettings::Top],
                Margins[PrintSettings::Right], Margins[PrintSettings::Bottom]);
    if (quiet) {
        CMD1.Copies = 1;
        device.setCopies(1);
    } else {
        device.setCopies(CMD1.Copies);
    }

    // Locate the chosen pages.
    RichTextBox *rtf2 = RTF2();
    NextChar = 0;
    int page = 1;
    int start = 0;
    int end = PrintTextLength;
    MeasureRange.cpMin = 0;
    for (;;) {
        if (page == from)
            start = NextChar;
        const int next = m_formatter.formatRange(*rtf2, MeasureRange);
        if (next <= MeasureRange.cpMin) {
            NextChar = PrintTextLength;
            break;
        }
        NextChar = next;
        if (NextChar >= PrintTextLength)
            break;
        MeasureRange.cpMin = NextChar;
        if (page == to) {
            end = NextChar;
            break;
        }
        ++page;
    }
    if (page == to)
        end = std::min(NextChar, PrintTextLength);
    if (page < from)
        return false; // the range lies beyond the last page

    // The chosen range's own text, kept as the last printed range.
    RichTextBox *rtf3 = RTF3();
    rtf3->setText(QString());
    if (start == 0 && end >= PrintTextLength) {
        rtf3->setTextRTF(rtf2->TextRTF());
    } else {
        rtf2->setSelStart(start);
        rtf2->setSelLength(end - start);
        rtf3->setTextRTF(rtf2->SelRTF());
        rtf2->setSelStart(0);
    }
    m_rangeEnd = end;

    QPainter painter;
    if (!painter.begin(qp))
        return false;
    const double scale = 1.0 / device.TwipsPerPixel();
    painter.scale(scale, scale);
    m_printerPainter = &painter;
    NextChar = start;
    int number = 1;
    for (;;) {
        const int next = drawPage(painter, number, NextChar, end);
        ++PrintedPages;
        if (next <= NextChar || next >= end)
            break;
        NextChar = next;
        qp->newPage();
        ++number;
    }
    m_printerPainter = nullptr;
    painter.end();
    m_formatter.release();
    if (!pdfTarget.isEmpty())
        UiServices::instance().messageBox(
            QStringLiteral("The document was printed to the PDF file '") +
                QDir::toNativeSeparators(pdfTarget) + QStringLiteral("'."),
            MsgStyle::Information, Identity::AppTitle);
    return true;
}

QString clsPrinting::choosePdfFile() const
{
    // Beside the document, under its name; a document never saved goes to the documents folder.
    const frmMain *main = AppState::instance().MainWindow.data();
    const frmDocRTF *doc = main ? main->activeDocument() : nullptr;
    QString path;
    if (doc && !doc->isUntitled()) {
        const QFileInfo file(doc->Caption());
        path = file.absolutePath() + QLatin1Char('/') + file.completeBaseName();
    } else {
        path = AppPaths::documentsFolder() + QLatin1Char('/') +
               (doc ? doc->Caption() : Identity::AppTitle);
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Print to File");
    request.folder = QFileInfo(path).absolutePath();
    request.fileName = path + QStringLiteral(".pdf");
    request.filters = {QStringLiteral("PDF Document (*.pdf)")};
    const FileDialogResult result = UiServices::instance().saveFile(request);
    if (result.files.isEmpty())
        return QString();
    QString chosen = result.files.first();
    if (!chosen.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".pdf");
    return chosen;
}

bool clsPrinting::PAGESEL(int page, QImage &picture)
{
    GETMARGINS();
    if (!marginsFit())
        return false;
    setUpLayout(Margins[PrintSettings::Left], Margins[PrintSettings::Top],
                Margins[PrintSettings::Right], Margins[PrintSettings::Bottom]);
    const double scale = PreviewDpi / 1440.0;
    const QSize size(qMax(1, static_cast<int>(std::lround(PageRect.width() * scale))),
                     qMax(1, static_cast<int>(std::lround(PageRect.height() * scale))));
    picture = QImage(size, QImage::Format_RGB32);
    picture.fill(Qt::white);

    // Find where the page starts; the page number printed is the document's own.
    MeasureRange.cpMin = 0;
    int n = 1;
    int first = 0;
    while (n < page) {
        const int next = m_formatter.formatRange(*RTF2(), MeasureRange);
        if (next <= MeasureRange.cpMin || next >= PrintTextLength)
            break;
        first = next;
        MeasureRange.cpMin = next;
        ++n;
    }
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    drawPage(painter, n, first, -1);
    painter.end();
    return true;
}

void clsPrinting::PRINTPREVIEW(QWidget *form, RichTextBox *source)
{
    if (!source)
        return;
    INITIALIZEPATH(form, source);
    GETMARGINS();
    int pages = 1;
    if (marginsFit())
        PAGECOUNT(form, 1, Margins[PrintSettings::Left], Margins[PrintSettings::Top],
                  Margins[PrintSettings::Right], Margins[PrintSettings::Bottom], pages);
    PreviewPageCount = pages;
    PaperWidthPx = printer().PhysicalWidthPx();
    PaperHeightPx = printer().PhysicalHeightPx();
    frmPPrev preview(pages, form);
    UiServices::instance().execDialog(&preview);
}
