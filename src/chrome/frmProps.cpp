#include "chrome/frmProps.h"

#include <QCheckBox>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "chrome/FileProperties.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "pictures/ImageFileInfo.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/KeptContent.h"

namespace {

QLineEdit *field(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setReadOnly(true);
    e->setFrame(false);
    return e;
}

// A read-only field on a new row of form, after its label.
QLineEdit *addField(QFormLayout *form, const char *name, const char *label)
{
    QLineEdit *e = field(name, form->parentWidget());
    form->addRow(QString::fromLatin1(label), e);
    return e;
}

QFrame *frame(const char *name, QWidget *parent)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    return f;
}

QString kindName(qint32 kind)
{
    switch (kind) {
    case ImageFileInfo::Gif:
        return QStringLiteral("GIF");
    case ImageFileInfo::Jpeg:
        return QStringLiteral("JPEG");
    case ImageFileInfo::Png:
        return QStringLiteral("PNG");
    case ImageFileInfo::Bmp:
        return QStringLiteral("BMP");
    default:
        return QString();
    }
}

} // namespace

frmProps::frmProps(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmProps"));
    const AppState::PropertiesRequest &request = AppState::instance().Properties;
    const QString kind = request.kind.toUpper();
    const QString fileName = request.path.section(QLatin1Char('/'), -1);
    QString caption = (request.title.isEmpty() ? fileName : request.title);
    caption += caption.isEmpty() ? QStringLiteral("Properties") : QStringLiteral(" Properties");
    if (!request.extra.isEmpty())
        caption += QStringLiteral(" - ") + request.extra;
    setWindowTitle(caption);

    TABPROPS = new QTabWidget(this);
    TABPROPS->setObjectName(QStringLiteral("TABPROPS"));

    FRAMGENERAL = frame("FRAMGENERAL", TABPROPS);
    PICICON = new QLabel(FRAMGENERAL);
    PICICON->setObjectName(QStringLiteral("PICICON"));
    PICICON->setFixedSize(32, 32);
    TXTFILENAME = field("TXTFILENAME", FRAMGENERAL);
    auto *general = new QFormLayout(FRAMGENERAL);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(PICICON);
    nameRow->addWidget(TXTFILENAME, 1);
    general->addRow(nameRow);
    TXTTYPE = addField(general, "TXTTYPE", "Type:");
    TXTLOCATION = addField(general, "TXTLOCATION", "Location:");
    TXTSIZE = addField(general, "TXTSIZE", "Size:");
    TXTMODIFIED = addField(general, "TXTMODIFIED", "Modified:");
    const char *attrCaptions[] = {"&Read-only", "&Hidden", "&Archive"};
    auto *attrRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        CHKATTR[i] = new QCheckBox(QString::fromLatin1(attrCaptions[i]), FRAMGENERAL);
        CHKATTR[i]->setObjectName(QStringLiteral("CHKATTR(%1)").arg(i));
        // The attributes are shown, not changed here.
        CHKATTR[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
        CHKATTR[i]->setFocusPolicy(Qt::NoFocus);
        attrRow->addWidget(CHKATTR[i]);
    }
    // Linux files have no archive attribute.
    CHKATTR[2]->setEnabled(false);
    attrRow->addStretch(1);
    general->addRow(QStringLiteral("Attributes:"), attrRow);

    FRAMPIC = frame("FRAMPIC", TABPROPS);
    auto *pic = new QFormLayout(FRAMPIC);
    TXTPICTYPE = addField(pic, "TXTPICTYPE", "Type:");
    TXTPICWIDTH = addField(pic, "TXTPICWIDTH", "Width:");
    TXTPICHEIGHT = addField(pic, "TXTPICHEIGHT", "Height:");
    TXTPICPIXELDEPTH = addField(pic, "TXTPICPIXELDEPTH", "Colors:");

    FRAMDOCUMENT = frame("FRAMDOCUMENT", TABPROPS);
    auto *doc = new QFormLayout(FRAMDOCUMENT);
    TXTDOCPATH = addField(doc, "TXTDOCPATH", "Path:");
    TXTWORDS = addField(doc, "TXTWORDS", "Words:");
    TXTDOCLEN = addField(doc, "TXTDOCLEN", "Characters:");
    TXTDOCLINES = addField(doc, "TXTDOCLINES", "Lines:");
    TXTDOCPAGES = addField(doc, "TXTDOCPAGES", "Pages:");
    TXTTITLE = addField(doc, "TXTTITLE", "Title:");
    TXTSUBJECT = addField(doc, "TXTSUBJECT", "Subject:");
    TXTAUTHOR = addField(doc, "TXTAUTHOR", "Author:");
    TXTCOMPANY = addField(doc, "TXTCOMPANY", "Company:");
    TXTKEYWORDS = addField(doc, "TXTKEYWORDS", "Keywords:");
    TXTCREATED = addField(doc, "TXTCREATED", "Created:");
    TXTREVISED = addField(doc, "TXTREVISED", "Revised:");

    // Only the tabs that apply to the kind of file.
    auto addTab = [this](QFrame *page, const QString &caption, const char *key) {
        const int at = TABPROPS->addTab(page, caption);
        TABPROPS->tabBar()->setTabData(at, QString::fromLatin1(key));
    };
    addTab(FRAMGENERAL, QStringLiteral("General"), "GENERAL");
    if (kind == QLatin1String("PICTURE"))
        addTab(FRAMPIC, QStringLiteral("Picture"), "PICTURE");
    else
        FRAMPIC->hide();
    if (kind == QLatin1String("DOCUMENT") || kind == QLatin1String("TEMPLATE"))
        addTab(FRAMDOCUMENT, QStringLiteral("Document"), "DOCUMENT");
    else
        FRAMDOCUMENT->hide();

    BTNCLOSE = new QPushButton(QStringLiteral("&Close"), this);
    BTNCLOSE->setObjectName(QStringLiteral("BTNCLOSE"));
    BTNCLOSE->setDefault(true);
    connect(BTNCLOSE, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TABPROPS, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BTNCLOSE);
    layout->addLayout(buttons);
    setMinimumWidth(380);

    clsLibrary::instance().FORMLOAD(QStringLiteral("GLOBAL"), this, false);

    const bool untitled = kind == QLatin1String("UNTITLED");
    const bool complete = untitled ? (TXTFILENAME->setText(request.path), true) : UPDATEINFO();
    if (kind == QLatin1String("PICTURE"))
        fillPicture(request.path);
    else if (kind == QLatin1String("DOCUMENT") || kind == QLatin1String("TEMPLATE"))
        fillDocument(request.path);
    if (!complete)
        clsLibrary::instance().MESSAGEBOX(14, fileName);
}

frmProps::~frmProps()
{
    clsLibrary::instance().FORMSAVE(QStringLiteral("GLOBAL"), this, false);
}

bool frmProps::ATTRREADONLY(const QString &path)
{
    return FileProperties::attributes(path).readOnly;
}

QString frmProps::PROPERCASEPATH(const QString &path)
{
    return FileProperties::properCasePath(path);
}

QString frmProps::TRIMNULL(const QString &text)
{
    return FileProperties::trimNull(text);
}

QStringList frmProps::tabKeys() const
{
    QStringList keys;
    for (int i = 0; i < TABPROPS->count(); ++i)
        keys.append(TABPROPS->tabBar()->tabData(i).toString());
    return keys;
}

bool frmProps::UPDATEINFO()
{
    const QString path = AppState::instance().Properties.path;
    TXTFILENAME->setText(path.section(QLatin1Char('/'), -1));
    PICICON->clear();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return false;
    TXTTYPE->setText(FileProperties::typeName(path));
    TXTLOCATION->setText(FileProperties::locationText(path));
    TXTSIZE->setText(FileProperties::sizeText(info.size()));
    TXTMODIFIED->setText(FileProperties::modifiedText(info.lastModified()));
    const FileProperties::Attributes attrs = FileProperties::attributes(path);
    CHKATTR[0]->setChecked(attrs.readOnly);
    CHKATTR[1]->setChecked(attrs.hidden);
    CHKATTR[2]->setChecked(attrs.archive);
    static const QFileIconProvider icons;
    const QIcon icon = icons.icon(info);
    if (!icon.isNull())
        PICICON->setPixmap(icon.pixmap(32, 32));
    return info.isReadable();
}

void frmProps::fillPicture(const QString &path)
{
    AppState &st = AppState::instance();
    st.ImageFileName = path;
    st.ImageWidth = 0;
    st.ImageHeight = 0;
    st.ImageBitDepth = 0;
    const clsLibrary &lib = clsLibrary::instance();
    lib.GETIMAGEFILEINFO();
    QString type = kindName(st.ImageKind);
    int width = st.ImageWidth;
    int height = st.ImageHeight;
    int depth = st.ImageBitDepth;
    if (type.isEmpty()) {
        // Pictures the examiner does not know (PCX, Targa, icons): what a reader can tell.
        type = QFileInfo(path).suffix().toUpper();
        QImageReader reader(path);
        if (const QSize size = reader.size(); size.isValid()) {
            width = size.width();
            height = size.height();
        }
        if (width <= 0 && st.Properties.picture) {
            width = st.Properties.picture->width();
            height = st.Properties.picture->height();
        }
    }
    TXTPICTYPE->setText(type);
    if (width > 0 && height > 0) {
        TXTPICWIDTH->setText(QString::number(width) + QStringLiteral(" pixels"));
        TXTPICHEIGHT->setText(QString::number(height) + QStringLiteral(" pixels"));
    }
    if (depth > 0)
        TXTPICPIXELDEPTH->setText(lib.GETCOLORDEPTH(QString::number(depth)));
}

void frmProps::fillDocument(const QString &path)
{
    TXTDOCPATH->setText(path);
    auto *rtf = qobject_cast<RichTextBox *>(AppState::instance().Properties.source.data());
    if (!rtf)
        return;
    const QString text = rtf->Text();
    TXTWORDS->setText(QString::number(clsLibrary::instance().WORDCOUNT(text)));
    TXTDOCLEN->setText(QString::number(text.size()));
    TXTDOCLINES->setText(QString::number(rtf->GetLineCount()));
    TXTDOCPAGES->setText(QString::number(
        FileProperties::estimatePages(*rtf->document(), FileProperties::printableWidthTwips(),
                                      FileProperties::printableHeightTwips())));
    if (const KeptContent::Store *kept = KeptContent::store(*rtf->document())) {
        const KeptContent::Summary &s = kept->summary;
        TXTTITLE->setText(s.title);
        TXTSUBJECT->setText(s.subject);
        TXTAUTHOR->setText(s.author);
        TXTCOMPANY->setText(s.company);
        TXTKEYWORDS->setText(s.keywords);
        if (s.created.isValid())
            TXTCREATED->setText(FileProperties::modifiedText(s.created));
        if (s.revised.isValid())
            TXTREVISED->setText(FileProperties::modifiedText(s.revised));
    }
}
