#include "printing/PrintSettings.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"

namespace {
const clsLibrary &lib()
{
    return clsLibrary::instance();
}

QString readValue(const QString &key, const QString &name, const QString &def)
{
    return lib().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, key, name, def);
}

void writeValue(const QString &key, const QString &name, const QString &value)
{
    lib().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, key, name, value);
}

bool readCheck(const QString &key, const QString &name)
{
    bool ok = false;
    const int value = readValue(key, name, QStringLiteral("1")).trimmed().toInt(&ok);
    return ok && value == 1;
}

QString check(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// Prints text with its top left corner at (x, y), as a printer's current position does.
void printAt(QPainter &painter, double x, double y, const QString &text)
{
    const QFontMetricsF metrics(painter.font());
    painter.drawText(QPointF(x, y + metrics.ascent()), text);
}
} // namespace

QString PrintSettings::itemsKey()
{
    return Identity::companyKey() + QStringLiteral("\\frmPPrev\\Items");
}

QString PrintSettings::headerKey()
{
    return Identity::appKey() + QStringLiteral("\\frmPPrev\\Items\\Header");
}

QString PrintSettings::footerKey()
{
    return Identity::appKey() + QStringLiteral("\\frmPPrev\\Items\\Footer");
}

QString PrintSettings::marginText(int n)
{
    return readValue(itemsKey(), QStringLiteral("Page Margin %1").arg(n), QStringLiteral("1"));
}

void PrintSettings::setMarginText(int n, const QString &text)
{
    writeValue(itemsKey(), QStringLiteral("Page Margin %1").arg(n), text);
}

std::array<double, 4> PrintSettings::margins()
{
    std::array<double, 4> inches{};
    for (int n = 0; n < 4; ++n) {
        bool ok = false;
        const double value = marginText(n).trimmed().toDouble(&ok);
        inches[static_cast<size_t>(n)] = ok ? value : 1.0;
    }
    return inches;
}

QString PrintSettings::defaultTitle()
{
    return Identity::AppTitle + QStringLiteral(" Report.");
}

QString PrintSettings::defaultField1()
{
    return lib().GETCOMPANYNAME();
}

QString PrintSettings::defaultField2()
{
    // The active document's own path; "Untitled" before it is first saved.
    const frmMain *main = AppState::instance().MainWindow.data();
    const frmDocRTF *doc = main ? main->activeDocument() : nullptr;
    return lib().FILECHK(doc && !doc->isUntitled() ? doc->Caption() : QString());
}

HeaderFooterSettings HeaderFooterSettings::defaults()
{
    HeaderFooterSettings s;
    s.title = PrintSettings::defaultTitle();
    s.field1Text = PrintSettings::defaultField1();
    s.field2Text = PrintSettings::defaultField2();
    return s;
}

HeaderFooterSettings HeaderFooterSettings::read()
{
    const QString h = PrintSettings::headerKey();
    const QString f = PrintSettings::footerKey();
    HeaderFooterSettings s;
    s.header = readCheck(h, QStringLiteral("Checked"));
    s.headTitle = readCheck(h, QStringLiteral("chkTitle"));
    s.headLine = readCheck(h, QStringLiteral("chkHLine"));
    s.headDate = readCheck(h, QStringLiteral("chkDate"));
    s.headTime = readCheck(h, QStringLiteral("chkTime"));
    s.title = readValue(h, QStringLiteral("txtTitle"), PrintSettings::defaultTitle());
    s.footer = readCheck(f, QStringLiteral("Checked"));
    s.field1 = readCheck(f, QStringLiteral("chkField1"));
    s.field2 = readCheck(f, QStringLiteral("chkField2"));
    s.footLine = readCheck(f, QStringLiteral("chkFLine"));
    s.pageNo = readCheck(f, QStringLiteral("chkPgNo"));
    s.field1Text = readValue(f, QStringLiteral("txtField1"), PrintSettings::defaultField1());
    // An empty field 2 is the document's own path: each document prints its own.
    s.field2Text = readValue(f, QStringLiteral("txtField2"), QString());
    if (s.field2Text.isEmpty())
        s.field2Text = PrintSettings::defaultField2();
    return s;
}

void HeaderFooterSettings::write() const
{
    const QString h = PrintSettings::headerKey();
    const QString f = PrintSettings::footerKey();
    writeValue(h, QStringLiteral("Checked"), check(header));
    writeValue(h, QStringLiteral("chkTitle"), check(headTitle));
    writeValue(h, QStringLiteral("chkHLine"), check(headLine));
    writeValue(h, QStringLiteral("chkDate"), check(headDate));
    writeValue(h, QStringLiteral("chkTime"), check(headTime));
    writeValue(h, QStringLiteral("txtTitle"), title);
    writeValue(f, QStringLiteral("Checked"), check(footer));
    writeValue(f, QStringLiteral("chkField1"), check(field1));
    writeValue(f, QStringLiteral("chkField2"), check(field2));
    writeValue(f, QStringLiteral("chkFLine"), check(footLine));
    writeValue(f, QStringLiteral("chkPgNo"), check(pageNo));
    writeValue(f, QStringLiteral("txtField1"), field1Text);
    writeValue(f, QStringLiteral("txtField2"),
               field2Text == PrintSettings::defaultField2() ? QString() : field2Text);
}

void drawHeaderFooter(QPainter &painter, const HeaderFooterSettings &s, const QString &pageText,
                      int left, int top, int right, int bottom, int width, int height,
                      const QDateTime &now)
{
    // 170 twips is taken as the width of one character at 10 points when centring.
    constexpr int CharWidth = 170;
    painter.save();
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(200); // 10 points in twips
    painter.setFont(font);
    QPen pen(Qt::black);
    pen.setWidth(15);
    painter.setPen(pen);
    if (s.header) {
        if (s.headLine)
            painter.drawLine(QPointF(left - 200, top - 300), QPointF(width - right, top - 300));
        if (s.headDate)
            printAt(painter, left + 200, top - 700, now.toString(QStringLiteral("dd/MM/yyyy")));
        if (s.headTime)
            printAt(painter, width - 2500, top - 700, now.toString(QStringLiteral("H:mm:ss")));
        if (s.headTitle)
            printAt(painter, (width - s.title.size() * CharWidth) / 2.0 + 400, top - 700, s.title);
    }
    if (s.footer) {
        const int base = height - bottom;
        if (s.footLine)
            painter.drawLine(QPointF(left - 200, base + 200), QPointF(width - right, base + 200));
        if (s.field1)
            printAt(painter, left + 300, base + 360, s.field1Text);
        if (s.field2)
            printAt(painter, width - 4000, base + 360, s.field2Text);
        if (s.pageNo)
            printAt(painter, (width - pageText.size() * CharWidth) / 2.0, base + 360, pageText);
    }
    painter.restore();
}
