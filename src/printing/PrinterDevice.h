#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QPrinter;

// The program's current printer: one installed printer, or a PDF file printer standing in when
// none is installed so that printing and preview always work. Sizes are in twips; "Width" and
// "Height" are the physical paper, "ScaleWidth" and "ScaleHeight" its printable area, whose top
// left corner lies EdgeX, EdgeY twips inside the paper and is the origin of every drawing.
class PrinterDevice
{
public:
    // Orientation codes.
    enum { Portrait = 1, Landscape = 2 };

    // The default printer, else the first installed one, else the PDF stand-in.
    PrinterDevice();
    ~PrinterDevice();
    PrinterDevice(const PrinterDevice &) = delete;
    PrinterDevice &operator=(const PrinterDevice &) = delete;

    // The device names of every installed printer; the stand-in's name alone when none is.
    static QStringList deviceNames();
    // The name the PDF stand-in shows in the printer list.
    static QString pdfDeviceName();

    QString DeviceName() const;
    // Makes the named printer current (the stand-in for its own name); false when unknown.
    // Paper size and orientation carry over when the new printer accepts them.
    bool selectDevice(const QString &name);
    // Replaces the current printer by the PDF stand-in writing to path (tests, tools).
    void usePdf(const QString &path);
    bool isPdf() const;

    // Paper code of the page setup's list (PaperSizes); 0 when the paper is none of them.
    int PaperSize() const;
    // Asks for a paper code; false, leaving the paper as it was, when the printer refuses it.
    bool setPaperSize(int code);
    int Orientation() const;
    bool setOrientation(int code);
    int Copies() const;
    void setCopies(int copies);

    int Width() const;
    int Height() const;
    int ScaleWidth() const;
    int ScaleHeight() const;
    int EdgeX() const;
    int EdgeY() const;
    // Physical paper size in device pixels, and the device's pixels per inch.
    int PhysicalWidthPx() const;
    int PhysicalHeightPx() const;
    int Resolution() const;
    // Twips per device pixel, horizontally or vertically.
    double TwipsPerPixel() const;

    // The Qt printer behind it, for the print dialog and painting.
    QPrinter *printer() const { return m_printer.get(); }

private:
    void makePdf();

    std::unique_ptr<QPrinter> m_printer;
};
