#pragma once

#include <QDateTime>
#include <QString>
#include <array>

class QPainter;

// The page setup's stored values: the four page margins (inches, as text) and the header and
// footer record, read afresh by every print, preview and page setup.
namespace PrintSettings {
enum Margin { Left = 0, Right = 1, Top = 2, Bottom = 3 };

// "SOFTWARE\<company>\GLOBAL\frmPPrev\Items": margins and the preview's own values.
QString itemsKey();
QString headerKey();
QString footerKey();

// "Page Margin n" as stored, "1" when missing.
QString marginText(int n);
void setMarginText(int n, const QString &text);
// Left, right, top, bottom in inches; a value that is not a number counts as 1.
std::array<double, 4> margins();

// The header title, field 1 and field 2 a fresh store starts with.
QString defaultTitle();
QString defaultField1();
QString defaultField2();
} // namespace PrintSettings

// The header and footer record: what the header and footer of each printed page hold.
struct HeaderFooterSettings
{
    bool header = true;
    bool headTitle = true;
    bool headLine = true;
    bool headDate = true;
    bool headTime = true;
    QString title;
    bool footer = true;
    bool field1 = true;
    bool field2 = true;
    bool footLine = true;
    bool pageNo = true;
    QString field1Text;
    QString field2Text;

    // The stored record; a box counts as checked only when its value is 1.
    static HeaderFooterSettings read();
    // The record of a fresh store.
    static HeaderFooterSettings defaults();
    // Stores all thirteen values ("1"/"0" and the texts as they stand).
    void write() const;
};

// Draws a page's header and footer. The painter works in twips with its origin at the printable
// area's top left; width and height are the paper's, the margins are twips from that origin.
void drawHeaderFooter(QPainter &painter, const HeaderFooterSettings &settings,
                      const QString &pageText, int left, int top, int right, int bottom, int width,
                      int height, const QDateTime &now);
