#include "documents/frmDocRTF.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/StatusProgress.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/DocumentFiles.h"
#include "documents/PageMetrics.h"
#include "documents/Recovery.h"
#include "platform/RichTextBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/UiServices.h"

namespace {
constexpr int RulerHeightPx = 26;

QString prefsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
}
QString mainItemsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmMain\\Items");
}

int tppX()
{
    return ScreenMetrics::instance().twipsPerPixelX();
}
int tppY()
{
    return ScreenMetrics::instance().twipsPerPixelY();
}

QLabel *marker(const char *name, const QString &glyph, QWidget *parent)
{
    auto *l = new QLabel(glyph, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAlignment(Qt::AlignCenter);
    l->setFixedSize(9, 8);
    QFont f = l->font();
    f.setPixelSize(8);
    l->setFont(f);
    return l;
}
} // namespace

// --- Ruler ------------------------------------------------------------------------------------

RulerStrip::RulerStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PICRULER"));
    setFixedHeight(RulerHeightPx);
    setAutoFillBackground(true);
}

void RulerStrip::setScaleTwips(int twips)
{
    if (m_scaleTwips != twips) {
        m_scaleTwips = twips;
        update();
    }
}

void RulerStrip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int tpp = tppX();
    const int scalePx = m_scaleTwips > 0 ? m_scaleTwips / tpp : width();
    p.fillRect(rect(), palette().window());
    p.fillRect(QRect(0, 6, std::min(scalePx, width()), height() - 12), Qt::white);
    p.setPen(QColor(90, 90, 90));
    QFont f = font();
    f.setPixelSize(9);
    p.setFont(f);
    // A tick every eighth of an inch, a number every inch.
    for (int eighth = 1; eighth * 180 / tpp < scalePx; ++eighth) {
        const int x = eighth * 180 / tpp;
        if (eighth % 8 == 0)
            p.drawText(QRect(x - 10, 6, 20, height() - 12), Qt::AlignCenter,
                       QString::number(eighth / 8));
        else
            p.drawLine(x, height() / 2 - (eighth % 4 == 0 ? 3 : 1), x,
                       height() / 2 + (eighth % 4 == 0 ? 3 : 1));
    }
}

// --- Document window --------------------------------------------------------------------------

frmDocRTF::frmDocRTF(frmMain &main, int slotTag, QWidget *parent)
    : QWidget(parent), m_main(main), m_tag(slotTag)
{
    AppState &st = AppState::instance();
    const clsLibrary &lib = clsLibrary::instance();
    setObjectName(QStringLiteral("frmDocRTF"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    PICRULER = new RulerStrip(this);
    LBLRULER = new QLabel(PICRULER);
    LBLRULER->setObjectName(QStringLiteral("LBLRULER"));
    LBLRULER2 = new QLabel(PICRULER);
    LBLRULER2->setObjectName(QStringLiteral("LBLRULER2"));
    for (QLabel *l : {LBLRULER, LBLRULER2}) {
        QFont f = l->font();
        f.setPixelSize(9);
        l->setFont(f);
    }
    LBLFSTLINE = marker("LBLFSTLINE", QStringLiteral("\u25BC"), PICRULER);
    LBLHANGIND = marker("LBLHANGIND", QStringLiteral("\u25B2"), PICRULER);
    LBLLEFTIND = marker("LBLLEFTIND", QStringLiteral("\u25A0"), PICRULER);
    LBLRIGHTIND = marker("LBLRIGHTIND", QStringLiteral("\u25B2"), PICRULER);
    for (QLabel *m : {LBLFSTLINE, LBLHANGIND, LBLLEFTIND, LBLRIGHTIND}) {
        m->installEventFilter(this);
        m->setCursor(Qt::SizeHorCursor);
    }

    RTF1 = new RichTextBox(this);
    RTF1->setObjectName(QStringLiteral("RTF1"));
    RTF2 = new RichTextBox(this);
    RTF2->setObjectName(QStringLiteral("RTF2"));
    RTF2->hide();
    m_main.cmd().SPELLATTACH(RTF1);

    // Load: ruler, default font, tab stops, then the document starts unchanged.
    QAction *ruler = m_main.menuItem(QStringLiteral("MNUVIEWRULER"));
    PICRULER->setVisible(ruler && ruler->isChecked());
    const QString fontName =
        lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, prefsKey(), QStringLiteral("Font Name"),
                       QStringLiteral("TIMES NEW ROMAN"));
    const double fontSize = lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, prefsKey(),
                                           QStringLiteral("Font Size"), QStringLiteral("10"))
                                .toDouble();
    RTF1->setFont(fontName, fontSize > 0 ? fontSize : 10);
    RTF1->setSelTabCount(14);
    for (int i = 1; i <= 14; ++i) {
        RTF1->setSelTabs(i - 1, i * 720);
        m_tabs.append(i * 720);
    }
    // Stops in twips also serve plain text typed before any paragraph format exists.
    RTF1->document()->setDefaultTextOption([this] {
        QTextOption o = RTF1->document()->defaultTextOption();
        o.setTabStopDistance(720.0 / tppX());
        return o;
    }());

    connect(RTF1, &RichTextBox::Change, this, &frmDocRTF::onChange);
    connect(RTF1, &RichTextBox::SelChange, this, &frmDocRTF::onSelChange);
    connect(RTF1, &RichTextBox::KeyDown, this, &frmDocRTF::onKeyDown);
    connect(RTF1, &RichTextBox::KeyUp, this, &frmDocRTF::onKeyUp);
    connect(RTF1, &RichTextBox::MouseUp, this, &frmDocRTF::onMouseUp);
    // Undo becomes available or runs out without the selection moving (formatting, undo).
    const auto followUndo = [this] {
        connect(RTF1->document(), &QTextDocument::undoAvailable, this, [this] {
            if (m_main.activeDocument() == this)
                TEXTSELECT();
        });
    };
    followUndo();
    connect(RTF1, &RichTextBox::DocumentReplaced, this, followUndo);
    // The program's own context menu replaces the control's (see onMouseUp and onKeyUp).
    RTF1->setContextMenuPolicy(Qt::PreventContextMenu);
    // A key released after the focus left the text (Ctrl+F opening the Find dialog) never
    // reaches it: forget the held keys then, or the Edit commands would stay blocked.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) {
        if (old == RTF1)
            AppState::instance().EditKeyDown = AppState::instance().UndoKeyDown = false;
    });
    // Over a link the description panel shows its address (Ctrl+click follows it).
    connect(RTF1, &RichTextBox::MouseMove, this, [this](QMouseEvent *event) {
        m_main.setPanelText(frmMain::PanelDescription, RTF1->LinkAt(event->position().toPoint()));
    });
    // A long document is laid out in the background; the status bar shows it after half a
    // second, and Cancel stops it (what is shown is still laid out as needed).
    connect(RTF1, &RichTextBox::LayoutProgress, this, [this](int percent) {
        StatusProgress &progress = StatusProgress::of(m_main);
        progress.begin(this, QStringLiteral("Laying out the document..."),
                       [doc = QPointer<frmDocRTF>(this)] {
                           if (doc)
                               doc->RTF1->stopBackgroundLayout();
                       });
        progress.setPercent(this, percent);
    });
    connect(RTF1, &RichTextBox::LayoutFinished, this, [this] {
        StatusProgress::of(m_main).end(this);
        if (m_main.activeDocument() == this)
            DOCCHK();
    });

    st.SuppressModified = false;
    m_main.cmd().MNUENABLED();
    LBLRULER->setText(QStringLiteral("0"));
    LBLRULER2->setText(QString());
    RTF1->setTag(QStringLiteral("0"));
    // The tab stops and font set up above are no step the user can undo.
    RTF1->resetHistory();
    setFocusProxy(RTF1);
}

frmDocRTF::~frmDocRTF()
{
    // A window destroyed without closing (the main window going) still leaves the count.
    if (m_counted) {
        AppState::instance().DocCount = std::max(0, AppState::instance().DocCount - 1);
        m_counted = false;
    }
}

void frmDocRTF::setCaption(const QString &caption)
{
    m_caption = caption;
    setWindowTitle(m_recovered ? caption + QStringLiteral(" (Recovered)") : caption);
}

void frmDocRTF::setRecovered(bool recovered)
{
    m_recovered = recovered;
    setCaption(m_caption);
}

bool frmDocRTF::isModified() const
{
    return RTF1->Tag() == QLatin1String("1");
}

void frmDocRTF::markUnchanged()
{
    RTF1->setTag(QStringLiteral("0"));
    if (m_recovered)
        setRecovered(false);
    Recovery::documentUnchanged(this);
    if (m_main.activeDocument() == this)
        SAVESTATUS(false);
}

bool frmDocRTF::isUntitled() const
{
    return Caption().left(8).toUpper() == QLatin1String("DOCUMENT");
}

void frmDocRTF::MARGINCHK()
{
    const int tpp = tppX();
    RTF1->move(0, RTF1->y());
    RTF1->resize(width(), RTF1->height());
    const QString wrap =
        clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, mainItemsKey(),
                                          QStringLiteral("Wrap Text"), QStringLiteral("3"));
    if (wrap == QLatin1String("1")) {
        RTF1->setRightMargin(RichTextBox::NoWrap);
        m_rulerWidth = width() * tpp;
    } else if (wrap == QLatin1String("2")) {
        m_rulerWidth = std::max(tpp, width() * tpp - 400);
        RTF1->setRightMargin(m_rulerWidth);
    } else {
        m_rulerWidth = std::max(tpp, PageMetrics::printableWidthTwips());
        RTF1->setRightMargin(m_rulerWidth);
    }
    PICRULER->setScaleTwips(m_rulerWidth);
    placeMarkers();
    update();
    if (m_main.activeDocument() == this)
        m_main.cmd().TOOLBARSBUTTONSUPDATE();
}

void frmDocRTF::DOCCHK()
{
    QAction *ruler = m_main.menuItem(QStringLiteral("MNUVIEWRULER"));
    const bool showRuler = ruler && ruler->isChecked();
    if (PICRULER->isVisibleTo(this) != showRuler) {
        PICRULER->setVisible(showRuler);
        RESIZEDOC();
    }
    // From the layout so far: a caret past the background layout's progress is shown again
    // when the layout has finished.
    const auto [line, column] = RTF1->lineAndColumn(RTF1->SelStart());
    m_main.setPanelText(frmMain::PanelLineCol, QStringLiteral("Line: ") + QString::number(line) +
                                                   QStringLiteral(", Col: ") +
                                                   QString::number(column));
    TEXTSELECT();
}

void frmDocRTF::SAVESTAT()
{
    if (QAction *reopen = m_main.menuItem(QStringLiteral("MNUFILEREOPEN")))
        reopen->setEnabled(clsLibrary::instance().FILEEXISTS(Caption()));
    SAVESTATUS(isModified());
}

void frmDocRTF::SAVESTATUS(bool modified)
{
    if (QAction *save = m_main.menuItem(QStringLiteral("MNUFILESAVE")))
        save->setEnabled(modified);
    if (QAction *button = m_main.button(QStringLiteral("SAVE")))
        button->setEnabled(modified);
    m_main.setPanelText(frmMain::PanelModified, modified ? QStringLiteral("Modified") : QString());
}

void frmDocRTF::RESIZEDOC()
{
    const int tpp = tppY();
    const bool ruler = PICRULER->isVisibleTo(this);
    const int rulerHeight = ruler ? PICRULER->height() : 0;
    PICRULER->setGeometry(0, 0, width(), RulerHeightPx);
    // The 60-twip margin leaves room for the frame of a window that is not maximised.
    QWidget *frame = parentWidget();
    const bool maximised = frame && frame->isMaximized();
    const int marginTwips = maximised ? 45 : 60;
    int heightTwips = height() * tpp - rulerHeight * tpp - marginTwips;
    if (heightTwips < 70)
        heightTwips = 55;
    RTF1->setGeometry(0, rulerHeight, width(), heightTwips / tpp);
    LBLRULER->setGeometry(2, 0, 30, 8);
    LBLRULER2->setGeometry(width() - 75 / tppX() - 30, 0, 30, 8);
    LBLRULER2->setAlignment(Qt::AlignRight);
    placeMarkers();
}

void frmDocRTF::TEXTSELECT()
{
    const bool hasText = !RTF1->document()->isEmpty();
    const bool hasSelection = RTF1->SelLength() > 0;
    const bool editable = !RTF1->isReadOnly();
    // The toolbar button and the Edit menu item of a command always agree.
    auto set = [this](const char *key, const char *item, bool on) {
        if (QAction *b = m_main.button(QString::fromLatin1(key)))
            b->setEnabled(on);
        if (QAction *a = m_main.menuItem(QString::fromLatin1(item)))
            a->setEnabled(on);
    };
    set("FIND", "MNUEDITFIND", hasText);
    set("REPLACE", "MNUEDITREPLACE", hasText && editable);
    set("SPELL CHECKER", "MNUEDITSPELLCHECKER", hasText && editable);
    set("SELECT ALL", "MNUEDITSELECTALL", hasText);
    set("COPY", "MNUEDITCOPY", hasSelection);
    set("CUT", "MNUEDITCUT", hasSelection && editable);
    set("CLEAR", "MNUEDITDELETE", hasSelection && editable);
    set("UNDO", "MNUEDITUNDO", editable && RTF1->CanUndo());
    // An armed painter can always be switched off.
    set("FORMAT PAINTER", "MNUEDITFMTPAINTER",
        (hasSelection && editable) || AppState::instance().PainterActive);
}

void frmDocRTF::Activate()
{
    AppState &st = AppState::instance();
    SAVESTAT();
    DOCCHK();
    m_main.cmd().TOOLBARSBUTTONSUPDATE();
    m_readOnly =
        !isUntitled() && QFileInfo::exists(Caption()) && DocumentFiles::isReadOnlyFile(Caption());
    st.DocReadOnly = m_readOnly;
    RTF1->setLocked(m_readOnly);
    m_main.setPanelText(frmMain::PanelReadWrite,
                        m_readOnly ? QStringLiteral("READ") : QStringLiteral("Write"));
    m_main.cmd().MNUENABLED();
    TEXTSELECT();
    if (QAction *dec = m_main.button(QStringLiteral("DECREASE INDENT"))) {
        const auto indent = RTF1->SelIndent();
        dec->setEnabled(isEditable() && indent && std::round(*indent / 144.0) / 10.0 > 0);
    }
    checkDiskChange();
}

void frmDocRTF::setDiskStamp(const QString &path, const SafeFile::Stamp &stamp)
{
    m_stampPath = path;
    m_diskStamp = stamp;
    m_toldStamp = SafeFile::Stamp();
}

bool frmDocRTF::changedOnDisk() const
{
    if (isUntitled() || m_stampPath != Caption() || !m_diskStamp.exists)
        return false;
    const SafeFile::Stamp now = SafeFile::stampOf(Caption());
    return now.exists && now != m_diskStamp;
}

void frmDocRTF::checkDiskChange()
{
    if (m_checkingDisk || !changedOnDisk())
        return;
    const SafeFile::Stamp now = SafeFile::stampOf(Caption());
    if (now == m_toldStamp)
        return;
    m_toldStamp = now;
    // The question may take the focus away and back again: ask only once.
    m_checkingDisk = true;
    const clsLibrary &lib = clsLibrary::instance();
    if (isModified()) {
        lib.MESSAGEBOX(48, Caption());
    } else {
        qint16 answer = 0;
        lib.MESSAGEBOXFCN(41, Caption(), QString(), QString(), QString(), answer);
        if (answer == MsgResult::Yes)
            m_main.cmd().loadIntoDocument(this, Caption());
    }
    m_checkingDisk = false;
}

bool frmDocRTF::plainTextAgreed(const QString &path) const
{
    return !m_plainTextAgreed.isEmpty() && m_plainTextAgreed == path;
}

bool frmDocRTF::QueryUnload()
{
    AppState &st = AppState::instance();
    st.DocReadOnly = false;
    if (!isModified())
        return true;
    const clsLibrary &lib = clsLibrary::instance();
    RTF1->setFocus();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Unsaved document found..."), 11);
    qint16 answer = 0;
    lib.MESSAGEBOXFCN(6, Caption(), QString(), QString(), QString(), answer);
    if (answer == MsgResult::Cancel) {
        lib.STATUSBARCAPTION(&m_main, QString(), 0);
        return false;
    }
    if (answer == MsgResult::Yes) {
        // The save works on the active document. A document with a file keeps its file's type;
        // only a document never saved goes through Save As.
        m_main.activateDocument(this);
        st.SaveMode = isUntitled() ? QStringLiteral("SAVEAS") : QStringLiteral("SAVE");
        if (!m_main.cmd().FILESAVEDOC()) {
            lib.STATUSBARCAPTION(&m_main, QString(), 0);
            return false;
        }
    }
    return true;
}

void frmDocRTF::closeAfterQuery()
{
    m_queried = true;
    if (QWidget *frame = parentWidget())
        frame->close();
    else
        close();
    m_queried = false;
}

void frmDocRTF::closeEvent(QCloseEvent *event)
{
    if (m_closed) {
        event->accept();
        return;
    }
    if (!m_queried && !QueryUnload()) {
        event->ignore();
        return;
    }
    m_queried = false;
    m_closed = true;
    event->accept();
    unloadDocument();
}

void frmDocRTF::unloadDocument()
{
    AppState &st = AppState::instance();
    RTF1->stopBackgroundLayout();
    StatusProgress::of(m_main).end(this);
    if (m_counted) {
        st.DocCount = std::max(0, st.DocCount - 1);
        m_counted = false;
    }
    if (st.DocCount < 1)
        m_main.cmd().MNUENABLED();
    Recovery::documentClosed(this);
    clsLibrary::instance().STATUSBARCAPTION(&m_main, QStringLiteral("Closing down..."), 11);
    if (st.DocCount < 1)
        m_main.cmd().DOCUMENTDIALOGSUNLOAD();
    clsLibrary::instance().STATUSBARCAPTION(&m_main, QString(), 0);
}

void frmDocRTF::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    MARGINCHK();
    RESIZEDOC();
}

void frmDocRTF::onChange()
{
    // The markers follow indents set by commands and dialogs too.
    if (!m_dragMarker)
        placeMarkers();
    if (AppState::instance().SuppressModified)
        return;
    RTF1->setTag(QStringLiteral("1"));
    if (m_main.activeDocument() == this || m_main.activeDocument() == nullptr) {
        m_main.setPanelText(frmMain::PanelModified, QStringLiteral("Modified"));
        SAVESTAT();
    }
}

void frmDocRTF::onSelChange()
{
    if (m_main.activeDocument() != this)
        return;
    DOCCHK();
    placeMarkers();
    m_main.cmd().TOOLBARSBUTTONSUPDATE();
}

bool frmDocRTF::handleKey(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    const int key = event->key();
    clsMain &c = m_main.cmd();
    const bool ctrl = mods == Qt::ControlModifier;
    const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    const bool ctrlAlt = mods == (Qt::ControlModifier | Qt::AltModifier);
    auto insertChar = [this](char16_t ch) {
        if (!RTF1->isReadOnly())
            RTF1->setSelText(QString(QChar(ch)));
    };
    if (ctrl && key == Qt::Key_Minus) {
        RTF1->setSelCharOffset(-55);
    } else if (ctrlShift && (key == Qt::Key_Equal || key == Qt::Key_Plus)) {
        RTF1->setSelCharOffset(55);
    } else if (ctrl && key == Qt::Key_Equal) {
        RTF1->setSelCharOffset(0);
    } else if (ctrlAlt && key == Qt::Key_R) {
        insertChar(u'\u00AE');
    } else if (ctrlAlt && key == Qt::Key_T) {
        insertChar(u'\u2122'); // 153 in Windows-1252
    } else if (ctrlAlt && key == Qt::Key_C) {
        insertChar(u'\u00A9');
    } else if (ctrl && key == Qt::Key_B) {
        c.FONTBOLD();
    } else if (ctrl && key == Qt::Key_I) {
        c.FONTITALIC();
    } else if (ctrl && key == Qt::Key_U) {
        c.FONTUNDERLINE();
    } else if (ctrl && key == Qt::Key_L) {
        c.ALIGNLEFT();
    } else if (ctrl && key == Qt::Key_E) {
        c.ALIGNCENTER();
    } else if (ctrl && key == Qt::Key_R) {
        c.ALIGNRIGHT();
    } else if (ctrl && key == Qt::Key_Tab) {
        c.FORMATINDENTINCREASE();
    } else if ((ctrlShift && key == Qt::Key_Backtab) || (ctrlShift && key == Qt::Key_Tab)) {
        c.FORMATINDENTDECREASE();
    } else {
        return false;
    }
    return true;
}

void frmDocRTF::onKeyDown(QKeyEvent *event)
{
    AppState &st = AppState::instance();
    st.EditKeyDown = true;
    if (event->key() == Qt::Key_Z)
        st.UndoKeyDown = true;
    // A handled key goes no further into the control.
    if (handleKey(event))
        event->accept();
}

void frmDocRTF::onKeyUp(QKeyEvent *event)
{
    AppState &st = AppState::instance();
    st.EditKeyDown = false;
    st.UndoKeyDown = false;
    if (event->key() == Qt::Key_Return && (event->modifiers() & Qt::ShiftModifier))
        m_main.cmd().FONTBULLETS();
    else if (event->key() == Qt::Key_Menu)
        m_main.cmd().EDITCONTEXTMENU(
            RTF1->viewport()->mapToGlobal(RTF1->cursorRect().bottomLeft()));
}

void frmDocRTF::onMouseUp(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        TEXTSELECT();
        m_main.cmd().EDITCONTEXTMENU(event->globalPosition().toPoint());
    } else if (event->button() == Qt::LeftButton && AppState::instance().PainterActive) {
        m_main.cmd().FORMATPAINTERAPPLY();
    }
}

void frmDocRTF::placeMarkers()
{
    const int tpp = tppX();
    const int first = RTF1->SelIndent().value_or(0);
    const int hanging = RTF1->SelHangingIndent().value_or(0);
    const int right = RTF1->SelRightIndent().value_or(0);
    const int half = LBLFSTLINE->width() / 2;
    LBLFSTLINE->move(first / tpp - half, 0);
    LBLHANGIND->move((first + hanging) / tpp - half, RulerHeightPx - 16);
    LBLLEFTIND->move((first + hanging) / tpp - half, RulerHeightPx - 8);
    LBLRIGHTIND->move((m_rulerWidth - right) / tpp - half, RulerHeightPx - 8);
    LBLRULER2->setText(QString::number(m_rulerWidth / 1440.0, 'f', 1));
}

// --- Ruler markers ----------------------------------------------------------------------------

bool frmDocRTF::eventFilter(QObject *watched, QEvent *event)
{
    auto *marker = qobject_cast<QLabel *>(watched);
    const bool isMarker = marker && (marker == LBLFSTLINE || marker == LBLHANGIND ||
                                     marker == LBLLEFTIND || marker == LBLRIGHTIND);
    if (!isMarker)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton && !RTF1->isReadOnly()) {
            m_dragMarker = marker;
            m_dragStartX = marker->x();
        }
        return true;
    case QEvent::MouseMove:
        if (m_dragMarker == marker)
            dragMarker(marker, static_cast<QMouseEvent *>(event)->position().toPoint().x());
        return true;
    case QEvent::MouseButtonRelease:
        if (m_dragMarker == marker &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            dropMarker(marker);
            m_dragMarker = nullptr;
            placeMarkers();
        }
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void frmDocRTF::dragMarker(QLabel *marker, int pointerX)
{
    // The marker's middle follows the pointer, within the ruler.
    const int half = marker->width() / 2;
    const int left = std::clamp(marker->x() + pointerX - half, -half, PICRULER->width() - half);
    const int delta = left - marker->x();
    if (marker == LBLRIGHTIND) {
        // The right marker keeps 1500 twips clear of the others.
        const int gap = 1500 / tppX();
        for (QLabel *other : {LBLFSTLINE, LBLHANGIND, LBLLEFTIND})
            if (left < other->x() + gap)
                return;
    }
    marker->move(left, marker->y());
    // The left marker carries the first-line and hanging markers; the hanging one the left one.
    if (marker == LBLLEFTIND) {
        LBLHANGIND->move(LBLHANGIND->x() + delta, LBLHANGIND->y());
        LBLFSTLINE->move(LBLFSTLINE->x() + delta, LBLFSTLINE->y());
    } else if (marker == LBLHANGIND) {
        LBLLEFTIND->move(left, LBLLEFTIND->y());
    }
}

void frmDocRTF::dropMarker(QLabel *marker)
{
    if (marker->x() == m_dragStartX)
        return;
    // Positions snap to sixteenths of an inch.
    const int tpp = tppX();
    auto twipsAt = [&](const QLabel *m) {
        const int twips = (m->x() + m->width() / 2) * tpp;
        return static_cast<int>(std::lround(twips / 90.0)) * 90;
    };
    const int first = RTF1->SelIndent().value_or(0);
    QTextCursor group = RTF1->textCursor();
    group.beginEditBlock();
    if (marker == LBLFSTLINE) {
        // The first line moves alone: the other lines keep their place.
        const int others = first + RTF1->SelHangingIndent().value_or(0);
        const int to = std::max(0, twipsAt(marker));
        RTF1->setSelIndent(to);
        RTF1->setSelHangingIndent(others - to);
    } else if (marker == LBLHANGIND) {
        RTF1->setSelHangingIndent(std::max(0, twipsAt(marker)) - first);
    } else if (marker == LBLLEFTIND) {
        const int delta = (marker->x() - m_dragStartX) * tpp;
        RTF1->setSelIndent(std::max(0, static_cast<int>(std::lround((first + delta) / 90.0)) * 90));
    } else if (marker == LBLRIGHTIND) {
        RTF1->setSelRightIndent(std::max(0, m_rulerWidth - twipsAt(marker)));
    }
    group.endEditBlock();
    m_main.cmd().TOOLBARSBUTTONSUPDATE();
}
