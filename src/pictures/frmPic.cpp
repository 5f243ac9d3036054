#include "pictures/frmPic.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtMath>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "pictures/PicBrowse.h"
#include "pictures/PicBrowseLoader.h"
#include "pictures/PicFileOps.h"
#include "pictures/PictureUnits.h"
#include "pictures/frmPPrevPhoto.h"
#include "pictures/frmPicCopyMove.h"
#include "pictures/frmPicRename.h"
#include "platform/AppPaths.h"
#include "platform/Icons.h"
#include "platform/UiServices.h"

namespace {

QPointer<frmPic> g_browser;

QString itemsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmPic\\Items");
}

} // namespace

frmPic::frmPic(frmMain &main) : QDialog(&main), m_main(main)
{
    setObjectName(QStringLiteral("frmPic"));
    setWindowTitle(QStringLiteral("Picture"));
    setModal(false);
    g_browser = this;

    // Thumbnails have as many pixels as the screen shows in their box (twice as many each way
    // on a high-density screen), so they stay sharp.
    const int thumbPixels = qCeil(ThumbPixels * qBound(1.0, devicePixelRatioF(), 3.0));
    m_loader = new PicBrowseLoader(QSize(thumbPixels, thumbPixels), this);
    connect(m_loader, &PicBrowseLoader::thumbnailReady, this, &frmPic::thumbnailReady);
    buildControls();
    buildMenu();

    // Room for the folders and all nine thumbnails with their names.
    resize(sizeHint().expandedTo(QSize(760, 520)));
    const clsLibrary &lib = clsLibrary::instance();
    lib.FORMLOAD(Identity::AppTitle, this, false);
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Creating thumbnail images..."), 0);
    m_pageBusy = true;
    // The folder of the last visit, else the user's pictures folder.
    QString start = lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, itemsKey(),
                                   QStringLiteral("Folder"), AppPaths::picturesFolder());
    if (!QFileInfo(start).isDir())
        start = AppPaths::picturesFolder();
    AppState::instance().DocumentWord = QStringLiteral("picture");
    changeFolder(start);
}

frmPic::~frmPic()
{
    const clsLibrary &lib = clsLibrary::instance();
    if (!m_folder.isEmpty())
        lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, itemsKey(), QStringLiteral("Folder"),
                        m_folder);
    lib.FORMSAVE(Identity::AppTitle, this, false);
    AppState::instance().DocumentWord = QStringLiteral("document");
}

frmPic *frmPic::loaded()
{
    return g_browser.data();
}

frmPic *frmPic::SHOW(frmMain &main)
{
    frmPic *browser = g_browser ? g_browser.data() : new frmPic(main);
    browser->show();
    browser->raise();
    browser->activateWindow();
    return browser;
}

void frmPic::UNLOAD()
{
    if (g_browser)
        g_browser->releaseStatus();
    delete g_browser.data();
}

void frmPic::releaseStatus()
{
    m_loader->cancel();
    if (m_pageBusy)
        clsLibrary::instance().STATUSBARCAPTION(&m_main, QString(), 0);
    m_pageBusy = false;
}

void frmPic::done(int result)
{
    releaseStatus();
    QDialog::done(result);
    // A closed browser unloads.
    deleteLater();
    g_browser = nullptr;
}

void frmPic::buildControls()
{
    m_tree = new QFileSystemModel(this);
    m_tree->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_tree->setRootPath(QString());
    FTVBRWS = new QTreeView(this);
    FTVBRWS->setObjectName(QStringLiteral("FTVBRWS"));
    FTVBRWS->setModel(m_tree);
    for (int c = 1; c < m_tree->columnCount(); ++c)
        FTVBRWS->hideColumn(c);
    FTVBRWS->header()->hide();
    FTVBRWS->setMinimumWidth(180);
    TXTPATH = new QLineEdit(this);
    TXTPATH->setObjectName(QStringLiteral("TXTPATH"));
    TXTPATH->setPlaceholderText(QStringLiteral("Folder"));
    TXTPATH->setClearButtonEnabled(true);
    connect(TXTPATH, &QLineEdit::returnPressed, this, [this] {
        const QString typed = QDir::fromNativeSeparators(TXTPATH->text().trimmed());
        const QString path =
            typed.startsWith(QLatin1Char('~')) ? AppPaths::homeFolder() + typed.mid(1) : typed;
        if (QFileInfo(path).isDir())
            changeFolder(path);
        else
            UiServices::instance().beep();
    });
    connect(FTVBRWS->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncingTree)
                    changeFolder(m_tree->filePath(current));
            });

    TABPG = new QTabBar(this);
    TABPG->setObjectName(QStringLiteral("TABPG"));
    TABPG->setExpanding(false);
    TABPG->setUsesScrollButtons(true);
    connect(TABPG, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            showPage(index + 1);
    });

    auto *grid = new QGridLayout;
    for (int i = 0; i < Slots; ++i) {
        SHPHL[i] = new QFrame(this);
        SHPHL[i]->setObjectName(QStringLiteral("SHPHL%1").arg(i));
        // The highlight is a border that is always there, only coloured when selected, so that
        // selecting never moves or resizes anything.
        SHPHL[i]->setFrameShape(QFrame::NoFrame);
        SHPHL[i]->setAutoFillBackground(false);
        IMGSEL[i] = new QLabel(SHPHL[i]);
        IMGSEL[i]->setObjectName(QStringLiteral("IMGSEL%1").arg(i));
        IMGSEL[i]->setFixedSize(ThumbPixels + 4, ThumbPixels + 4);
        IMGSEL[i]->setAlignment(Qt::AlignCenter);
        IMGSEL[i]->installEventFilter(this);
        LBLH[i] = new QLabel(SHPHL[i]);
        LBLH[i]->setObjectName(QStringLiteral("LBLH%1").arg(i));
        LBLH[i]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        LBLH[i]->setFixedWidth(ThumbPixels + 24);
        auto *column = new QVBoxLayout(SHPHL[i]);
        column->setContentsMargins(3, 3, 3, 3);
        column->addWidget(IMGSEL[i], 0, Qt::AlignHCenter);
        column->addWidget(LBLH[i]);
        grid->addWidget(SHPHL[i], i / 3, i % 3);
    }

    BTNOK = new QPushButton(QStringLiteral("OK"), this);
    BTNOK->setObjectName(QStringLiteral("BTNOK"));
    BTNINSERT = new QPushButton(QStringLiteral("&Insert"), this);
    BTNINSERT->setObjectName(QStringLiteral("BTNINSERT"));
    BTNCANCEL = new QPushButton(QStringLiteral("Cancel"), this);
    BTNCANCEL->setObjectName(QStringLiteral("BTNCANCEL"));
    for (QPushButton *b : {BTNOK, BTNINSERT})
        b->setEnabled(false);
    connect(BTNOK, &QPushButton::clicked, this, &frmPic::PICINSCLOSE);
    connect(BTNINSERT, &QPushButton::clicked, this, &frmPic::PICINSERT);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    auto *pages = new QVBoxLayout;
    pages->addWidget(TABPG);
    pages->addLayout(grid);
    pages->addStretch(1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNINSERT);
    buttons->addWidget(BTNCANCEL);
    buttons->addStretch(1);
    // The folder pane and the thumbnail pane keep their widths: the pages take the room nine
    // thumbnails need, the folders the rest.
    auto *left = new QWidget(this);
    auto *folders = new QVBoxLayout(left);
    folders->setContentsMargins(0, 0, 0, 0);
    folders->addWidget(TXTPATH);
    folders->addWidget(FTVBRWS, 1);
    auto *right = new QWidget(this);
    right->setLayout(pages);
    right->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    pages->setContentsMargins(0, 0, 0, 0);
    auto *split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("SPLITTER"));
    split->setChildrenCollapsible(false);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    auto *row = new QHBoxLayout(this);
    row->addWidget(split, 1);
    row->addLayout(buttons);
}

void frmPic::buildMenu()
{
    MNUPICTOP = new QMenu(QStringLiteral("&Insert Picture"), this);
    MNUPICTOP->setObjectName(QStringLiteral("MNUPICTOP"));
    auto item = [this](const char *name, const QString &caption, void (frmPic::*op)(),
                       const char *icon, const char *description) {
        QAction *a = MNUPICTOP->addAction(Icons::image(QLatin1String(icon)), caption);
        a->setObjectName(QLatin1String(name));
        a->setStatusTip(QLatin1String(description));
        connect(a, &QAction::triggered, this, op);
        return a;
    };
    auto separator = [this](const char *name) {
        MNUPICTOP->addSeparator()->setObjectName(QLatin1String(name));
    };
    MNUPICINSCLOSE = item("MNUPICINSCLOSE", QStringLiteral("In&sert and Close"),
                          &frmPic::PICINSCLOSE, "INSERT AND CLOSE",
                          "Insert the selected picture into the document and close the browser");
    MNUPICINS = item("MNUPICINS", QStringLiteral("&Insert"), &frmPic::PICINSERT, "INSERT",
                     "Insert the selected picture into the document");
    MNUPICPREVIEW = item("MNUPICPREVIEW", QStringLiteral("Pre&view..."), &frmPic::PICTUREPREVIEW,
                         "PICTURE PREVIEW", "Show the selected picture at its own size");
    separator("MNUPICSEP1");
    MNUPICCOPY = item("MNUPICCOPY", QStringLiteral("&Copy to..."), &frmPic::COPYTO, "COPY TO",
                      "Copy the selected picture to another folder");
    MNUPICMOVE = item("MNUPICMOVE", QStringLiteral("&Move to..."), &frmPic::MOVETO, "MOVE TO",
                      "Move the selected picture to another folder");
    separator("MNUPICSEP2");
    MNUPICDEL = item("MNUPICDEL", QStringLiteral("&Delete"), &frmPic::PICDEL, "DELETE",
                     "Move the selected picture to the trash");
    MNUPICRENAME = item("MNUPICRENAME", QStringLiteral("&Rename..."), &frmPic::PICRENAME, "RENAME",
                        "Give the selected picture a new name");
    separator("MNUPICSEP3");
    MNUPICPROPS = item("MNUPICPROPS", QStringLiteral("&Properties..."), &frmPic::PROPERTIES,
                       "PROPERTIES", "Display the properties of the selected picture");
    MNUPICTOP->setDefaultAction(MNUPICINSCLOSE);
    clsLibrary::instance().DESCRIBEMENU(&m_main, MNUPICTOP);
}

bool frmPic::eventFilter(QObject *watched, QEvent *event)
{
    const auto slot = std::find(IMGSEL.begin(), IMGSEL.end(), watched);
    if (slot == IMGSEL.end())
        return QDialog::eventFilter(watched, event);
    const int i = int(slot - IMGSEL.begin());
    if (event->type() == QEvent::MouseButtonPress) {
        selectSlot(i, static_cast<QMouseEvent *>(event)->button() == Qt::RightButton);
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        selectSlot(i);
        PICINSCLOSE();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int frmPic::pageCount() const
{
    return PicBrowse::pageCount(int(m_files.size()));
}

void frmPic::changeFolder(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return;
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    if (folder != m_folder)
        m_told.clear();
    m_folder = folder;
    TXTPATH->setText(QDir::toNativeSeparators(m_folder));
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, itemsKey(),
                                       QStringLiteral("Folder"), m_folder);
    {
        // Keep the tree on the folder without taking its change for a new choice.
        m_syncingTree = true;
        const QModelIndex index = m_tree->index(m_folder);
        if (index.isValid() && FTVBRWS->currentIndex() != index) {
            FTVBRWS->setCurrentIndex(index);
            FTVBRWS->scrollTo(index);
        }
        m_syncingTree = false;
    }
    setFiles(PicBrowse::listPictures(m_folder));
    showPage(1);
}

void frmPic::setFiles(const QStringList &files)
{
    m_files = files;
    m_loader->setFiles(m_folder, m_files);
    setWindowTitle(PicBrowse::caption(int(m_files.size())));
}

void frmPic::refreshLists()
{
    if (m_folder.isEmpty())
        return;
    const QStringList files = PicBrowse::listPictures(m_folder);
    const int page = m_page;
    if (files != m_files)
        setFiles(files);
    showPage(std::min(page, pageCount()));
}

void frmPic::showPage(int page)
{
    m_page = std::clamp(page, 1, pageCount());
    {
        const QSignalBlocker block(TABPG);
        while (TABPG->count() > 0)
            TABPG->removeTab(0);
        for (int n = 1; n <= pageCount(); ++n) {
            const int tab = TABPG->addTab(QString::number(n));
            TABPG->setTabData(tab, QStringLiteral("M") + QString::number(n));
            TABPG->setTabToolTip(tab, QStringLiteral("VIEW PAGE ") + QString::number(n));
        }
        TABPG->setCurrentIndex(m_page - 1);
    }
    m_selected = -1;
    m_pictureOf.clear();
    m_picture = QImage();
    BTNOK->setEnabled(false);
    BTNINSERT->setEnabled(false);
    const int first = (m_page - 1) * Slots;
    m_loader->request(first, std::min<int>(Slots, int(m_files.size()) - first));
    for (int slot = 0; slot < Slots; ++slot)
        fillSlot(slot);
    pageStatus();
    showMessages();
}

void frmPic::fillSlot(int slot)
{
    const int index = (m_page - 1) * Slots + slot;
    highlight(slot, slot == m_selected);
    if (index >= m_files.size()) {
        IMGSEL[slot]->clear();
        IMGSEL[slot]->setToolTip(QString());
        LBLH[slot]->clear();
        SHPHL[slot]->setVisible(false);
        return;
    }
    SHPHL[slot]->setVisible(true);
    const QString name = m_files[index];
    LBLH[slot]->setText(
        LBLH[slot]->fontMetrics().elidedText(name, Qt::ElideMiddle, LBLH[slot]->width()));
    LBLH[slot]->setToolTip(name);
    const PicBrowse::Picture *thumb = m_loader->thumbnail(index);
    if (!thumb) {
        IMGSEL[slot]->clear();
        IMGSEL[slot]->setToolTip(QString());
        return;
    }
    // Shown at the size of the picture fitted into the box (never enlarged), whatever the
    // thumbnail's own pixel count.
    QPixmap pixmap = QPixmap::fromImage(thumb->image);
    const QSize box(ThumbPixels, ThumbPixels);
    const QSize shown = thumb->pixels.isValid() && (thumb->pixels.width() > ThumbPixels ||
                                                    thumb->pixels.height() > ThumbPixels)
                            ? thumb->pixels.scaled(box, Qt::KeepAspectRatio)
                            : thumb->image.size();
    if (shown.width() > 0 && thumb->image.width() > shown.width())
        pixmap.setDevicePixelRatio(qreal(thumb->image.width()) / shown.width());
    IMGSEL[slot]->setPixmap(pixmap);
    IMGSEL[slot]->setToolTip(
        PicBrowse::thumbTooltip(PixelsToTwips(thumb->pixels), thumb->fileBytes));
    if (thumb->status == PicBrowse::LoadStatus::Invalid)
        say(15, QDir(m_folder).filePath(name));
    else if (thumb->status == PicBrowse::LoadStatus::Tga16)
        say(22, QString());
}

void frmPic::thumbnailReady(int index)
{
    const int first = (m_page - 1) * Slots;
    if (index < first || index >= first + Slots)
        return;
    fillSlot(index - first);
    pageStatus();
    showMessages();
}

void frmPic::pageStatus()
{
    const int first = (m_page - 1) * Slots;
    const int last = std::min<int>(first + Slots, int(m_files.size()));
    bool busy = false;
    for (int i = first; i < last && !busy; ++i)
        busy = !m_loader->thumbnail(i);
    if (busy == m_pageBusy)
        return;
    m_pageBusy = busy;
    clsLibrary::instance().STATUSBARCAPTION(
        &m_main, busy ? QStringLiteral("Creating thumbnail images...") : QString(), 0);
}

void frmPic::highlight(int slot, bool on)
{
    SHPHL[slot]->setStyleSheet(
        QStringLiteral("QFrame#%1 { border: 2px solid %2; border-radius: 3px; }")
            .arg(SHPHL[slot]->objectName(),
                 on ? QStringLiteral("palette(highlight)") : QStringLiteral("transparent")));
}

void frmPic::say(qint16 id, const QString &text)
{
    // Each problem of a folder is told once, not each time its page is shown again.
    const QString key = QString::number(id) + QLatin1Char('|') + text;
    if (m_told.contains(key))
        return;
    m_told.insert(key);
    m_messages.append({id, text});
}

void frmPic::showMessages()
{
    // A message box runs its own event loop, in which more thumbnails arrive: they wait their
    // turn instead of stacking boxes.
    if (m_showingMessages)
        return;
    m_showingMessages = true;
    QPointer<frmPic> self(this);
    while (self && !m_messages.isEmpty()) {
        const auto [id, text] = m_messages.takeFirst();
        clsLibrary::instance().MESSAGEBOX(id, text);
    }
    if (self)
        m_showingMessages = false;
}

void frmPic::selectSlot(int slot, bool rightButton)
{
    const int index = (m_page - 1) * Slots + slot;
    if (slot < 0 || slot >= Slots || index >= m_files.size())
        return;
    m_selected = slot;
    for (int i = 0; i < Slots; ++i)
        highlight(i, i == slot);
    BTNOK->setEnabled(true);
    BTNINSERT->setEnabled(true);
    if (rightButton)
        MNUPICTOP->popup(QCursor::pos(), MNUPICINSCLOSE);
}

QString frmPic::selectedPath() const
{
    const int index = (m_page - 1) * Slots + m_selected;
    if (m_selected < 0 || index >= m_files.size())
        return QString();
    return QDir(m_folder).filePath(m_files[index]);
}

QImage frmPic::selectedPicture()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return QImage();
    if (path != m_pictureOf) {
        m_pictureOf = path;
        m_picture = PicBrowse::readPicture(path).image;
    }
    return m_picture;
}

void frmPic::PICTUREPREVIEW()
{
    if (selectedPath().isEmpty())
        return;
    frmPPrevPhoto preview(selectedPicture(), this);
    UiServices::instance().execDialog(&preview);
}

void frmPic::PICINSERT()
{
    frmDocRTF *doc = m_main.activeDocument();
    if (!doc || selectedPath().isEmpty())
        return;
    PicBrowse::pastePicture(doc->RTF1, selectedPicture());
}

void frmPic::PICINSCLOSE()
{
    PICINSERT();
    close();
}

void frmPic::fileOperation(bool move)
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    {
        frmPicCopyMove dialog(path, move, this);
        UiServices::instance().execDialog(&dialog);
    }
    refreshLists();
}

void frmPic::COPYTO()
{
    fileOperation(false);
}

void frmPic::MOVETO()
{
    fileOperation(true);
}

void frmPic::PICDEL()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    if (PicFileOps::deleteAsk(path))
        refreshLists();
}

void frmPic::PICRENAME()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    {
        frmPicRename dialog(path, this);
        UiServices::instance().execDialog(&dialog);
    }
    refreshLists();
}

void frmPic::PROPERTIES()
{
    const QString path = selectedPath();
    if (path.isEmpty())
        return;
    // The dialog reads the picture's size from the holder when the file does not say it.
    QWidget holder;
    holder.resize(selectedPicture().size());
    clsLibrary::instance().GETPROPERTIES(this, path, &holder, QStringLiteral("PICTURE"),
                                         QFileInfo(path).fileName(), QString(), nullptr);
}
