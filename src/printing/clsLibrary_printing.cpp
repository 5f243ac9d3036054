// The page setup and header/footer operations of clsLibrary.

#include <QApplication>

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/frmMain.h"
#include "platform/Clock.h"
#include "platform/UiServices.h"
#include "printing/PrintSettings.h"
#include "printing/clsPrinting.h"
#include "printing/frmPSetup.h"

namespace {
void showPageSetup(const clsLibrary &lib, int tab)
{
    QWidget *main = AppState::instance().MainWindow.data();
    lib.STATUSBARCAPTION(main, QStringLiteral("Obtaining settings..."), 11);
    frmPSetup dialog(main);
    dialog.selectTab(tab);
    UiServices::instance().execDialog(&dialog);
}
} // namespace

void clsLibrary::PAGESETUPPAGESHOW() const
{
    showPageSetup(*this, 1);
}

void clsLibrary::PAGESETUPHEADFOOTSHOW() const
{
    showPageSetup(*this, 2);
}

double clsLibrary::SHOWUNITS(qint32 pixels, bool horizontal) const
{
    // Printers have square pixels here: one factor serves both directions.
    Q_UNUSED(horizontal);
    return pixels * clsPrinting::instance().printer().TwipsPerPixel() / 1440.0;
}

void clsLibrary::PAGEHEADERFOOTERINFO(const QString &page, qint16 left, qint16 top, qint16 right,
                                      qint16 bottom) const
{
    QPainter *painter = clsPrinting::instance().printerPainter();
    if (painter)
        PAGEHEADERFOOTERINFOPREVIEW(*painter, page, left, top, right, bottom);
}

void clsLibrary::PAGEHEADERFOOTERINFOPREVIEW(QPainter &picture, const QString &page, qint16 left,
                                             qint16 top, qint16 right, qint16 bottom) const
{
    const PrinterDevice &printer = clsPrinting::instance().printer();
    drawHeaderFooter(picture, HeaderFooterSettings::read(), page, left, top, right, bottom,
                     printer.Width(), printer.Height(), Clock::instance().now());
}
