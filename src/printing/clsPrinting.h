#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <memory>

#include "printing/PageFormatter.h"
#include "printing/PrinterDevice.h"

class QPainter;
class QWidget;
class RichTextBox;

// The print engine, shared by printing and the print preview: lays the text out page by page
// within the stored margins, counts and locates pages, and draws each page with its header and
// footer. Both printing and the preview draw a page through drawPage(), so the preview shows
// exactly what prints. One program-wide instance.
class clsPrinting
{
public:
    // The print dialog's record (the form's common dialog): flags, page range and copies.
    struct DialogRecord
    {
        int Flags = 0;
        int FromPage = 1;
        int ToPage = 1;
        int Max = 1;
        int Copies = 1;
        bool CancelError = false;
    };
    // Dialog flags: no print-to-file, device context, collate, and the selection choice.
    static constexpr int FlagsAll = 1048852;
    static constexpr int FlagsSelection = 1048849;

    static clsPrinting &instance();
    // Drops the instance with its printer and text (tests; the program's end).
    static void destroy();

    // Reads the four stored margins into Margins (left, right, top, bottom).
    void GETMARGINS();
    // Copies the source's whole text, or its selection when it has one, into RTF2 and sets the
    // dialog flags to match.
    void INITIALIZEPATH(QWidget *form, RichTextBox *source);
    // Counts RTF2's pages within the margins (inches) and gives the dialog the page range.
    void PAGECOUNT(QWidget *form, int one, double left, double top, double right, double bottom,
                   int &pages);
    // Prints the source (or, from the preview, RTF3's range) with the print dialog unless quiet.
    // False when nothing was printed (cancelled, no printer, margins that do not fit).
    bool PRINTDOCUMENT(QWidget *form, RichTextBox *source, bool quiet);
    // Opens the print preview of the source, modally.
    void PRINTPREVIEW(QWidget *form, RichTextBox *source);
    // Renders page `page` of RTF2 into the picture (the printable area at PreviewDpi).
    bool PAGESEL(int page, QImage &picture);

    // Draws one page of RTF2 starting at firstChar (up to lastChar, -1 the end) with its header
    // and footer numbered pageNumber; the painter works in twips from the printable area's top
    // left. Returns where the next page starts.
    int drawPage(QPainter &painter, int pageNumber, int firstChar, int lastChar);
    // The first character of every page of RTF2 under the current layout.
    QList<int> pageStarts();

    PrinterDevice &printer();
    RichTextBox *RTF2();
    RichTextBox *RTF3();
    PageFormatter &formatter() { return m_formatter; }
    // The painter of the print job in progress (the header and footer draw on it).
    QPainter *printerPainter() const { return m_printerPainter; }

    FormatRange MeasureRange;
    FormatRange PrintRange;
    QRect TextRect;
    QRect PageRect;
    int EdgeX = 0;
    int EdgeY = 0;
    int NextChar = 0;
    std::array<double, 4> Margins{1, 1, 1, 1};
    int PrintTextLength = 0;
    DialogRecord CMD1;
    // The preview's page count and the printer's paper in device pixels.
    int PreviewPageCount = 0;
    int PaperWidthPx = 0;
    int PaperHeightPx = 0;
    // Pixels per inch of the preview's page picture (144 times the screen's device pixel ratio,
    // set by the preview).
    int PreviewDpi = 144;
    // Pages put on paper by the last print.
    int PrintedPages = 0;

private:
    clsPrinting();
    ~clsPrinting();
    // Rectangles and both format ranges from the margins (inches) and the printer.
    void setUpLayout(double left, double top, double right, double bottom);
    // False when a margin does not fit the header and footer routine's 16-bit twips.
    bool marginsFit() const;
    // Asks where the PDF stand-in writes (default: beside the document, its name with .pdf);
    // empty when the user cancels.
    QString choosePdfFile() const;
    qint16 marginTwips(int n) const;

    std::unique_ptr<PrinterDevice> m_printer;
    std::unique_ptr<RichTextBox> m_rtf2;
    std::unique_ptr<RichTextBox> m_rtf3;
    PageFormatter m_formatter;
    QPainter *m_printerPainter = nullptr;
    // The range of RTF2 the last print located.
    int m_rangeEnd = -1;
};
