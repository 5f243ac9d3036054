#include "printing/frmPPrev.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <cmath>

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "platform/Icons.h"
#include "printing/PrintSettings.h"
#include "printing/clsPrinting.h"

namespace {
const QStringList &zoomTexts()
{
    static const QStringList texts = {QStringLiteral("200 %"),      QStringLiteral("150 %"),
                                      QStringLiteral("100 %"),      QStringLiteral("75 %"),
                                      QStringLiteral("50 %"),       QStringLiteral("25 %"),
                                      QStringLiteral("Page Width"), QStringLiteral("Whole Page")};
    return texts;
}

// The zoom steps from smallest to largest.
const QStringList &zoomSteps()
{
    static const QStringList steps = {QStringLiteral("25 %"),  QStringLiteral("50 %"),
                                      QStringLiteral("75 %"),  QStringLiteral("100 %"),
                                      QStringLiteral("150 %"), QStringLiteral("200 %")};
    return steps;
}

QString readItem(const QString &name, const QString &def)
{
    return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER,
                                             PrintSettings::itemsKey(), name, def);
}

void writeItem(const QString &name, const QString &value)
{
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, PrintSettings::itemsKey(),
                                       name, value);
}

QString trueFalse(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

// "##.00" for paper sizes in inches.
QString inches(double value)
{
    const QString text = clsLibrary::instance().CURRENCYFMT(QString::number(value, 'f', 4));
    return text.startsWith(QLatin1String("0.")) ? text.mid(1) : text;
}
} // namespace

frmPPrev::frmPPrev(int pages, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPPrev"));
    setWindowTitle(QStringLiteral("Preview"));
    setModal(true);
    setSizeGripEnabled(true);
    resize(640, 600);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    layout->setMenuBar(m_menuBar);
    buildMenus();
    buildToolbar();
    layout->addWidget(PICTBAR);
    PICWINDOW = new QScrollArea(this);
    PICWINDOW->setObjectName(QStringLiteral("PICWINDOW"));
    PICWINDOW->setAlignment(Qt::AlignCenter);
    PICWINDOW->setBackgroundRole(QPalette::Dark);
    PICWINDOW->setFocusPolicy(Qt::StrongFocus);
    IMGPREVIEW = new QLabel;
    IMGPREVIEW->setObjectName(QStringLiteral("IMGPREVIEW"));
    IMGPREVIEW->setScaledContents(true);
    PICWINDOW->setWidget(IMGPREVIEW);
    PICWINDOW->installEventFilter(this);
    IMGPREVIEW->installEventFilter(this);
    layout->addWidget(PICWINDOW, 1);
    buildStatusBar();
    layout->addWidget(SBMAIN);

    showToolbar(readItem(QStringLiteral("Toolbar"), QStringLiteral("True")) !=
                QLatin1String("False"));
    showStatusBar(readItem(QStringLiteral("Status Bar"), QStringLiteral("True")) !=
                  QLatin1String("False"));

    clsPrinting &engine = clsPrinting::instance();
    // The page picture has the screen's device pixels in mind: on a high-density screen
    // (a device pixel ratio of 2) it is drawn at twice the density so the text stays sharp.
    engine.PreviewDpi = qRound(144 * qBound(1.0, devicePixelRatioF(), 3.0));
    CBOPGZOOM->addItems(zoomTexts());
    engine.PAGESEL(1, PICSTDPAGE);
    IMGPREVIEW->setPixmap(QPixmap::fromImage(PICSTDPAGE));
    {
        const QSignalBlocker block(CBOPGNO);
        for (int n = 1; n <= pages; ++n)
            CBOPGNO->addItem(QString::number(n));
        CBOPGNO->setCurrentIndex(0);
    }
    const int zoom = CBOPGZOOM->findText(readItem(QStringLiteral("Zoom"), QStringLiteral("50 %")));
    CBOPGZOOM->setCurrentIndex(zoom >= 0 ? zoom : 4);
    connect(CBOPGZOOM, &QComboBox::currentIndexChanged, this, &frmPPrev::ZOOMSEL);
    connect(CBOPGNO, &QComboBox::currentIndexChanged, this, &frmPPrev::pageChosen);
    engine.PreviewPageCount = CBOPGNO->count();
    updateNavigation();
    ZOOMSEL();

    const clsLibrary &lib = clsLibrary::instance();
    engine.PaperWidthPx = engine.printer().PhysicalWidthPx();
    engine.PaperHeightPx = engine.printer().PhysicalHeightPx();
    setPanel(3, inches(lib.SHOWUNITS(engine.PaperWidthPx, true)) + QStringLiteral(" x ") +
                    inches(lib.SHOWUNITS(engine.PaperHeightPx, false)) + QStringLiteral(" inches"));
    setPanel(6, CBOPGNO->currentText());
    setPanel(8, QString::number(engine.PreviewPageCount));
    lib.COMBOINIT(CBOPGZOOM, 15);
    lib.COMBOINIT(CBOPGNO, 15);
    lib.FORMLOAD(QStringLiteral("GLOBAL"), this, true);
    // The page keys work as soon as the preview opens: the page area has the focus.
    PICWINDOW->setFocus();
}

frmPPrev::~frmPPrev()
{
    unload();
}

void frmPPrev::buildMenus()
{
    const auto item = [this](QMenu *menu, const char *name, const QString &caption, auto slot) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        m_items.insert(QLatin1String(name), action);
        return action;
    };
    QMenu *file = m_menuBar->addMenu(QStringLiteral("&File"));
    item(file, "MNUFILEPRINT", QStringLiteral("&Print..."), [this] { printPages(false); });
    file->addSeparator();
    item(file, "MNUFILEEXIT", QStringLiteral("&Close\tAlt+F4"), [this] { reject(); });

    QMenu *view = m_menuBar->addMenu(QStringLiteral("&View"));
    QAction *toolbar = item(view, "MNUVIEWTOOLBAR", QStringLiteral("&Standard Toolbar"),
                            [this] { showToolbar(!PICTBAR->isVisibleTo(this)); });
    toolbar->setCheckable(true);
    QAction *status = item(view, "MNUVIEWSTATUSBAR", QStringLiteral("S&tatus Bar"),
                           [this] { showStatusBar(!SBMAIN->isVisibleTo(this)); });
    status->setCheckable(true);
    view->addSeparator();
    QMenu *zoom = view->addMenu(QStringLiteral("&Zoom"));
    const char *names[] = {"MNUZOOM200", "MNUZOOM150", "MNUZOOM100", "MNUZOOM75",
                           "MNUZOOM50",  "MNUZOOM25",  "MNUZOOMPW",  "MNUZOOMWP"};
    const QStringList captions = {QStringLiteral("200 %"),       QStringLiteral("150 %"),
                                  QStringLiteral("100 %"),       QStringLiteral("75 %"),
                                  QStringLiteral("50 %"),        QStringLiteral("25 %"),
                                  QStringLiteral("&Page Width"), QStringLiteral("&Whole Page")};
    for (int i = 0; i < captions.size(); ++i) {
        QAction *z = item(zoom, names[i], captions[i],
                          [this, i] { CBOPGZOOM->setCurrentText(zoomTexts()[i]); });
        z->setCheckable(true);
    }

    QMenu *go = m_menuBar->addMenu(QStringLiteral("&Go To"));
    item(go, "MNUVIEWFIRST", QStringLiteral("&First Page\tHome"), [this] { PAGESTART(); });
    item(go, "MNUVIEWPREVIOUS", QStringLiteral("&Previous Page\tPgUp"), [this] { PAGEPREVIOUS(); });
    item(go, "MNUVIEWNEXT", QStringLiteral("&Next Page\tPgDn"), [this] { PAGENEXT(); });
    item(go, "MNUVIEWLAST", QStringLiteral("&Last Page\tEnd"), [this] { PAGEEND(); });

    QMenu *help = m_menuBar->addMenu(QStringLiteral("&Help"));
    item(help, "MNUHELPABOUT", QStringLiteral("&About"), [] {
        if (frmMain *main = AppState::instance().MainWindow)
            main->cmd().HELPABOUT();
    });
    // The menus' icons and the descriptions of their items in the preview's own status bar.
    for (const auto &[name, key] : {std::pair{"MNUFILEPRINT", "PRINT"},
                                    {"MNUVIEWFIRST", "FIRST PAGE"},
                                    {"MNUVIEWPREVIOUS", "PREVIOUS PAGE"},
                                    {"MNUVIEWNEXT", "NEXT PAGE"},
                                    {"MNUVIEWLAST", "LAST PAGE"},
                                    {"MNUHELPABOUT", "ABOUT"}})
        if (QAction *a = m_items.value(QLatin1String(name)))
            a->setIcon(Icons::image(QLatin1String(key)));
    for (QMenu *menu : {file, view, zoom, go, help})
        clsLibrary::instance().DESCRIBEMENU(this, menu);
}

void frmPPrev::buildToolbar()
{
    PICTBAR = new QWidget(this);
    PICTBAR->setObjectName(QStringLiteral("PICTBAR"));
    auto *strip = new QHBoxLayout(PICTBAR);
    strip->setContentsMargins(4, 2, 4, 2);
    TBARMAIN = new QToolBar(PICTBAR);
    TBARMAIN->setObjectName(QStringLiteral("TBARMAIN"));
    const auto button = [this](const char *key, const QString &glyph, const QString &tip,
                               auto slot) {
        const QIcon icon = Icons::image(QLatin1String(key));
        QAction *action =
            icon.isNull() ? TBARMAIN->addAction(glyph) : TBARMAIN->addAction(icon, tip);
        action->setToolTip(tip);
        connect(action, &QAction::triggered, this, slot);
        // The button's description shows in the status bar while the pointer rests on it.
        connect(action, &QAction::hovered, this,
                [this, tip] { clsLibrary::instance().STATUSTEXTDESC(this, tip); });
        m_buttons.insert(QLatin1String(key), action);
    };
    button("PRINT", QStringLiteral("Print"), QStringLiteral("Print"), [this] { printPages(true); });
    TBARMAIN->addSeparator();
    button("FIRST PAGE", QStringLiteral("|\u25C0"), QStringLiteral("First Page"),
           [this] { PAGESTART(); });
    button("PREVIOUS PAGE", QStringLiteral("\u25C0"), QStringLiteral("Previous Page"),
           [this] { PAGEPREVIOUS(); });
    button("NEXT PAGE", QStringLiteral("\u25B6"), QStringLiteral("Next Page"),
           [this] { PAGENEXT(); });
    button("LAST PAGE", QStringLiteral("\u25B6|"), QStringLiteral("Last Page"),
           [this] { PAGEEND(); });
    TBARMAIN->addSeparator();
    button("ZOOM OUT", QStringLiteral("\u2212"), QStringLiteral("Zoom Out"), [this] { ZOOMOUT(); });
    button("ZOOM IN", QStringLiteral("+"), QStringLiteral("Zoom In"), [this] { ZOOMIN(); });
    strip->addWidget(TBARMAIN);
    LBLZOOM = new QLabel(QStringLiteral("Zoom"), PICTBAR);
    LBLZOOM->setObjectName(QStringLiteral("LBLZOOM"));
    CBOPGZOOM = new QComboBox(PICTBAR);
    CBOPGZOOM->setObjectName(QStringLiteral("CBOPGZOOM"));
    CBOPGNO = new QComboBox(PICTBAR);
    CBOPGNO->setObjectName(QStringLiteral("CBOPGNO"));
    strip->addWidget(LBLZOOM);
    strip->addWidget(CBOPGZOOM);
    strip->addWidget(CBOPGNO);
    strip->addStretch(1);
}

void frmPPrev::buildStatusBar()
{
    SBMAIN = new QStatusBar(this);
    SBMAIN->setObjectName(QStringLiteral("SBMAIN"));
    SBMAIN->setSizeGripEnabled(false);
    const QStringList fixed = {
        QString(), QStringLiteral("Paper Size:"), QString(), QString(), QStringLiteral("Page No:"),
        QString(), QStringLiteral("of"),          QString()};
    for (int i = 0; i < fixed.size(); ++i) {
        auto *panel = new QLabel(fixed[i], SBMAIN);
        panel->setObjectName(QStringLiteral("SBMAIN.Panel%1").arg(i + 1));
        // The paper and page panels keep their full width; descriptions take what is left.
        if (i == 0) {
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            SBMAIN->addWidget(panel, 1);
        } else {
            SBMAIN->addPermanentWidget(panel);
        }
        m_panels.append(panel);
    }
}

QString frmPPrev::panelText(int panel) const
{
    return panel >= 1 && panel <= m_panels.size() ? m_panels[panel - 1]->text() : QString();
}

void frmPPrev::setPanel(int panel, const QString &text)
{
    if (panel >= 1 && panel <= m_panels.size())
        m_panels[panel - 1]->setText(text);
}

QSize frmPPrev::imageSize() const
{
    return IMGPREVIEW->size();
}

int frmPPrev::currentPage() const
{
    return CBOPGNO->currentText().toInt();
}

void frmPPrev::pageChosen()
{
    clsPrinting &engine = clsPrinting::instance();
    engine.PAGESEL(currentPage(), PICSTDPAGE);
    IMGPREVIEW->setPixmap(QPixmap::fromImage(PICSTDPAGE));
    setPanel(6, CBOPGNO->currentText());
    setPanel(8, QString::number(engine.PreviewPageCount));
    updateNavigation();
}

void frmPPrev::PAGESTART()
{
    if (CBOPGNO->count() != 1)
        CBOPGNO->setCurrentText(QStringLiteral("1"));
    updateNavigation();
}

void frmPPrev::PAGEEND()
{
    const int count = CBOPGNO->count();
    if (count != 1)
        CBOPGNO->setCurrentText(QString::number(count));
    updateNavigation();
}

void frmPPrev::PAGENEXT()
{
    const int count = CBOPGNO->count();
    const int current = currentPage();
    if (count != 1 && current != count)
        CBOPGNO->setCurrentText(QString::number(current + 1));
    updateNavigation();
}

void frmPPrev::PAGEPREVIOUS()
{
    const int count = CBOPGNO->count();
    const int current = currentPage();
    if (count != 1 && current > 1)
        CBOPGNO->setCurrentText(QString::number(current - 1));
    updateNavigation();
}

void frmPPrev::updateNavigation()
{
    const int count = CBOPGNO->count();
    const int current = currentPage();
    bool back = true;
    bool forward = true;
    if (count < 2) {
        back = forward = false;
    } else if (current <= 1) {
        back = false;
    } else if (current >= count) {
        forward = false;
    }
    for (const char *name : {"MNUVIEWFIRST", "MNUVIEWPREVIOUS"})
        m_items.value(QLatin1String(name))->setEnabled(back);
    for (const char *name : {"MNUVIEWNEXT", "MNUVIEWLAST"})
        m_items.value(QLatin1String(name))->setEnabled(forward);
    for (const char *key : {"FIRST PAGE", "PREVIOUS PAGE"})
        m_buttons.value(QLatin1String(key))->setEnabled(back);
    for (const char *key : {"NEXT PAGE", "LAST PAGE"})
        m_buttons.value(QLatin1String(key))->setEnabled(forward);
}

void frmPPrev::ZOOMIN()
{
    const int at = zoomSteps().indexOf(CBOPGZOOM->currentText());
    if (at >= 0 && at + 1 < zoomSteps().size())
        CBOPGZOOM->setCurrentText(zoomSteps()[at + 1]);
    updateZoomControls();
}

void frmPPrev::ZOOMOUT()
{
    const int at = zoomSteps().indexOf(CBOPGZOOM->currentText());
    if (at > 0)
        CBOPGZOOM->setCurrentText(zoomSteps()[at - 1]);
    updateZoomControls();
}

void frmPPrev::ZOOMSEL()
{
    if (PICSTDPAGE.isNull())
        return;
    // The page picture at 100 % is the printable area at the screen's 15 twips per pixel.
    const clsPrinting &engine = clsPrinting::instance();
    const QSizeF full(PICSTDPAGE.width() * 96.0 / engine.PreviewDpi,
                      PICSTDPAGE.height() * 96.0 / engine.PreviewDpi);
    const QString text = CBOPGZOOM->currentText();
    const QSize viewport = PICWINDOW->size();
    const int barW = PICWINDOW->verticalScrollBar()->sizeHint().width();
    const int barH = PICWINDOW->horizontalScrollBar()->sizeHint().height();
    QSize size;
    if (text == QLatin1String("Whole Page")) {
        const int h = qMax(1, viewport.height() - 2 * barH);
        size = QSize(qMax(1, static_cast<int>(std::lround(h * full.width() / full.height()))), h);
    } else if (text == QLatin1String("Page Width")) {
        const int w = qMax(1, viewport.width() - 2 * barW);
        size = QSize(w, qMax(1, static_cast<int>(std::lround(w * full.height() / full.width()))));
    } else {
        const double percent = QStringView(text).split(u' ').first().toDouble();
        size = QSize(qMax(1, static_cast<int>(std::lround(full.width() * percent / 100))),
                     qMax(1, static_cast<int>(std::lround(full.height() * percent / 100))));
    }
    IMGPREVIEW->resize(size);
    updateZoomControls();
}

void frmPPrev::updateZoomControls()
{
    const QString text = CBOPGZOOM->currentText();
    const int index = zoomTexts().indexOf(text);
    const char *names[] = {"MNUZOOM200", "MNUZOOM150", "MNUZOOM100", "MNUZOOM75",
                           "MNUZOOM50",  "MNUZOOM25",  "MNUZOOMPW",  "MNUZOOMWP"};
    for (int i = 0; i < 8; ++i)
        m_items.value(QLatin1String(names[i]))->setChecked(i == index);
    const int step = zoomSteps().indexOf(text);
    m_buttons.value(QStringLiteral("ZOOM IN"))->setEnabled(step >= 0 && step < 5);
    m_buttons.value(QStringLiteral("ZOOM OUT"))->setEnabled(step > 0);
}

void frmPPrev::showToolbar(bool on)
{
    PICTBAR->setVisible(on);
    m_items.value(QStringLiteral("MNUVIEWTOOLBAR"))->setChecked(on);
}

void frmPPrev::showStatusBar(bool on)
{
    SBMAIN->setVisible(on);
    m_items.value(QStringLiteral("MNUVIEWSTATUSBAR"))->setChecked(on);
}

void frmPPrev::printPages(bool quiet)
{
    clsPrinting &engine = clsPrinting::instance();
    engine.PRINTDOCUMENT(this, engine.RTF3(), quiet);
}

bool frmPPrev::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PICWINDOW && event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const auto run = [this](const char *name, void (frmPPrev::*step)()) {
            if (m_items.value(QLatin1String(name))->isEnabled())
                (this->*step)();
        };
        const auto scroll = [](QScrollBar *bar, int by) {
            bar->setValue(qBound(bar->minimum(), bar->value() + by, bar->maximum()));
        };
        constexpr int Step = 1000 / 15; // 1000 twips
        switch (key->key()) {
        case Qt::Key_Home:
            run("MNUVIEWFIRST", &frmPPrev::PAGESTART);
            return true;
        case Qt::Key_PageUp:
            run("MNUVIEWPREVIOUS", &frmPPrev::PAGEPREVIOUS);
            return true;
        case Qt::Key_PageDown:
            run("MNUVIEWNEXT", &frmPPrev::PAGENEXT);
            return true;
        case Qt::Key_End:
            run("MNUVIEWLAST", &frmPPrev::PAGEEND);
            return true;
        case Qt::Key_Left:
            scroll(PICWINDOW->horizontalScrollBar(), -Step);
            return true;
        case Qt::Key_Right:
            scroll(PICWINDOW->horizontalScrollBar(), Step);
            return true;
        case Qt::Key_Up:
            scroll(PICWINDOW->verticalScrollBar(), -Step);
            return true;
        case Qt::Key_Down:
            scroll(PICWINDOW->verticalScrollBar(), Step);
            return true;
        default:
            break;
        }
    }
    if (watched == PICWINDOW && event->type() == QEvent::KeyPress) {
        // The keys act on release; their presses must not scroll the view as well.
        const int k = static_cast<QKeyEvent *>(event)->key();
        if (k == Qt::Key_Home || k == Qt::Key_End || k == Qt::Key_PageUp || k == Qt::Key_PageDown ||
            k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down)
            return true;
    }
    if (watched == IMGPREVIEW && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            ZOOMIN();
        else if (mouse->button() == Qt::RightButton)
            ZOOMOUT();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmPPrev::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    ZOOMSEL();
}

void frmPPrev::done(int result)
{
    unload();
    QDialog::done(result);
}

void frmPPrev::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (isMinimized())
        return;
    clsLibrary::instance().FORMSAVE(QStringLiteral("GLOBAL"), this, true);
    writeItem(QStringLiteral("Zoom"), CBOPGZOOM->currentText());
    writeItem(QStringLiteral("Status Bar"), trueFalse(!SBMAIN->isHidden()));
    writeItem(QStringLiteral("Toolbar"), trueFalse(!PICTBAR->isHidden()));
}
