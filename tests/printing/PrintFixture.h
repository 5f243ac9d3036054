#pragma once

#include <QFile>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextItem>

#include "platform/Clock.h"
#include "platform/RichTextBox.h"
#include "printing/PrintSettings.h"
#include "printing/clsPrinting.h"
#include "support/ScriptedUiServices.h"
#include "support/TempSettings.h"

// Scripted dialogs whose print dialog chooses a page range (0: all pages).
class PrintUi : public ScriptedUiServices
{
public:
    int fromPage = 0;
    int toPage = 0;
    QPrinter::PrintRange rangeSeen = QPrinter::AllPages;
    bool printDialog(QPrinter *printer) override
    {
        rangeSeen = printer->printRange();
        if (fromPage > 0) {
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(fromPage, toPage);
        } else {
            printer->setPrintRange(QPrinter::AllPages);
        }
        return ScriptedUiServices::printDialog(printer);
    }
};

// A paint device that keeps the texts drawn on it and where (in its own units: twips).
class TextRecorder : public QPaintDevice
{
public:
    struct Item
    {
        QString text;
        QPointF at;
    };
    QList<Item> texts;
    int lines = 0;

    QStringList strings() const
    {
        QStringList all;
        for (const Item &item : texts)
            all.append(item.text);
        return all;
    }
    QPaintEngine *paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return 12240;
        case PdmHeight:
            return 15840;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 1440;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 1000;
        }
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(TextRecorder *owner) : QPaintEngine(AllFeatures), m_owner(owner) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPath(const QPainterPath &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawLines(const QLineF *, int count) override { m_owner->lines += count; }
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            m_owner->texts.append({item.text(), painter()->transform().map(p)});
        }
        Type type() const override { return User; }

    private:
        TextRecorder *m_owner;
    };
    mutable Engine m_engine{this};
};

// A fresh store, scripted dialogs, a fixed clock and the PDF printer on Letter paper.
struct PrintFixture
{
    TempSettings settings;
    PrintUi ui;
    FixedClock clock{QDateTime(QDate(2026, 12, 6), QTime(3, 4, 5))};
    QString pdf = settings.path(QStringLiteral("out.pdf"));

    PrintFixture()
    {
        Clock::setInstance(&clock);
        clsPrinting::destroy();
        PrinterDevice &printer = clsPrinting::instance().printer();
        printer.usePdf(pdf);
        printer.setPaperSize(1);
        printer.setOrientation(PrinterDevice::Portrait);
    }
    ~PrintFixture()
    {
        clsPrinting::destroy();
        Clock::setInstance(nullptr);
    }
    static void setMargins(double left, double right, double top, double bottom)
    {
        const double m[] = {left, right, top, bottom};
        for (int n = 0; n < 4; ++n)
            PrintSettings::setMarginText(n, QString::number(m[n]));
    }
    // Pages written to the PDF file.
    int pdfPages() const
    {
        QFile f(pdf);
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        return static_cast<int>(QString::fromLatin1(f.readAll())
                                    .count(QRegularExpression(QStringLiteral("/Type /Page\\n"))));
    }
};

// An RTF document of paragraphs; "\f" in a paragraph's place is a page break.
inline QString rtfOf(const QStringList &paragraphs)
{
    QString body;
    for (const QString &p : paragraphs)
        body += p == QLatin1String("\f") ? QStringLiteral("\\page ") : p + QStringLiteral("\\par ");
    return QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Serif;}}\\f0\\fs24 ") + body +
           QLatin1Char('}');
}

// count paragraphs "Line 1" ... of one line each.
inline QStringList lines(int count, const QString &prefix = QStringLiteral("Line"))
{
    QStringList all;
    for (int i = 1; i <= count; ++i)
        all.append(prefix + QLatin1Char(' ') + QString::number(i));
    return all;
}
