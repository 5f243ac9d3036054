#include "platform/rtf/DocumentConvert.h"

#include "platform/ListMarkers.h"
#include "platform/rtf/KeptContent.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/TextFormats.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextList>

#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace {
// The marker a list paragraph shows, as text. Bullets are told apart by depth, as other
// programs write them in plain text.
QString listMarker(const QTextList &list, const QTextBlock &block)
{
    switch (list.format().style()) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare: {
        static const char16_t bullets[] = {0x2022, 0x25E6, 0x25AA};
        return QString(
            QChar(bullets[std::max(0, list.format().intProperty(TextFormats::ListLevel)) % 3]));
    }
    default:
        break;
    }
    return ListMarkers::itemText(block);
}

// A paragraph's text as other programs' plain text has it: a note's reference mark and hidden
// text included, pictures and other kept content left out.
QString textOf(const QTextBlock &block)
{
    QString t;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        const QTextCharFormat cf = f.charFormat();
        if (KeptContent::isKeptObject(cf)) {
            const QString shown = cf.hasProperty(KeptContent::HiddenText)
                                      ? cf.stringProperty(KeptContent::HiddenText)
                                      : cf.stringProperty(KeptContent::KeptShown);
            for (int i = 0; i < f.length(); ++i)
                t += shown;
        } else {
            QString text = f.text();
            text.remove(QChar::ObjectReplacementCharacter);
            t += text;
        }
    }
    return t;
}

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}
} // namespace

DocumentConvert::FileKind DocumentConvert::kindOfPath(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toUpper();
    if (ext == QLatin1String("RTF") || ext == QLatin1String("RTT"))
        return FileKind::RichText;
    static const char *const text[] = {"TXT", "SCP", "INI", "INF",  "NFO", "DIZ",
                                       "URL", "HTM", "ASP", "HTML", "CSS"};
    for (const char *t : text)
        if (ext == QLatin1String(t))
            return FileKind::PlainText;
    return FileKind::Unknown;
}

bool DocumentConvert::writeFileAtomically(const QString &path, const QByteArray &data,
                                          QString *error)
{
    const SafeFile::Result r = SafeFile::write(path, data);
    if (!r.ok())
        setError(error, QStringLiteral("%1: %2").arg(path, problemText(r)));
    return r.ok();
}

QString DocumentConvert::problemText(const SafeFile::Result &result)
{
    switch (result.problem) {
    case SafeFile::Problem::None:
        return QString();
    case SafeFile::Problem::Missing:
        return QStringLiteral("no such file or folder");
    case SafeFile::Problem::NotRegular:
        return QStringLiteral("not an ordinary file (a %1)").arg(result.kind);
    case SafeFile::Problem::BadName:
        return QStringLiteral("the name is not valid UTF-8 and cannot be used as given");
    case SafeFile::Problem::Unreadable:
        return QStringLiteral("permission to read it is denied");
    case SafeFile::Problem::ReadOnlyFile:
        return QStringLiteral("the file is read-only");
    case SafeFile::Problem::FolderNotWritable:
        return QStringLiteral("the folder cannot be written to");
    case SafeFile::Problem::DiskFull:
        return QStringLiteral("the disk is full");
    case SafeFile::Problem::Other:
        break;
    }
    return result.systemText();
}

QString DocumentConvert::plainText(const QTextDocument &document)
{
    QString out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b != document.begin())
            out.append(u'\n');
        QString t = textOf(b);
        if (const QTextList *list = b.textList())
            t.prepend(listMarker(*list, b) + u'\t');
        t.replace(QChar::LineSeparator, u'\n');
        out.append(t);
    }
    return out;
}

bool DocumentConvert::load(const QString &path, QTextDocument &document,
                           PlainText::Decoded *textInfo, QString *error)
{
    QByteArray data;
    const SafeFile::Result read = SafeFile::read(path, data);
    if (!read.ok()) {
        setError(error, QStringLiteral("%1: %2").arg(path, problemText(read)));
        return false;
    }
    if (Rtf::read(data, document))
        return true;
    PlainText::Decoded decoded = PlainText::decode(data);
    document.setPlainText(decoded.text);
    if (textInfo)
        *textInfo = std::move(decoded);
    return true;
}

bool DocumentConvert::convert(const QString &in, const QString &out, QString *error)
{
    const FileKind outKind = kindOfPath(out);
    if (kindOfPath(in) == FileKind::Unknown || outKind == FileKind::Unknown) {
        setError(error, QStringLiteral("Not a document type: %1")
                            .arg(kindOfPath(in) == FileKind::Unknown ? in : out));
        return false;
    }
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    PlainText::Decoded info;
    info.encoding = PlainText::Encoding::Utf8;
    if (!load(in, document, &info, error))
        return false;
    QByteArray bytes;
    if (outKind == FileKind::RichText)
        bytes = Rtf::write(document);
    else
        bytes = PlainText::encode(plainText(document), info.encoding, info.lineEnding);
    return writeFileAtomically(out, bytes, error);
}

QByteArray DocumentConvert::formatReport(const QTextDocument &document)
{
    QByteArray out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        QJsonObject para;
        QString text = b.text();
        text.remove(QChar::ObjectReplacementCharacter);
        para["text"] = text;
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        para["align"] = (a & Qt::AlignJustify)   ? 3
                        : (a & Qt::AlignHCenter) ? 2
                        : (a & Qt::AlignRight)   ? 1
                                                 : 0;
        para["li"] = qRound(bf.leftMargin() * 15);
        para["ri"] = qRound(bf.rightMargin() * 15);
        para["fi"] = bf.hasProperty(TextFormats::FirstIndentTwips)
                         ? bf.intProperty(TextFormats::FirstIndentTwips)
                         : qRound(bf.textIndent() * 15);
        para["bullet"] = b.textList() != nullptr;
        QJsonArray runs;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat cf = f.charFormat();
            int length = f.length();
            if (cf.isImageFormat())
                continue;
            length -= int(f.text().count(QChar::ObjectReplacementCharacter));
            const bool colored = cf.hasProperty(QTextFormat::ForegroundBrush) &&
                                 cf.foreground().style() != Qt::NoBrush;
            runs.append(QJsonArray{length, cf.fontWeight() >= QFont::DemiBold, cf.fontItalic(),
                                   cf.underlineStyle() != QTextCharFormat::NoUnderline,
                                   cf.fontPointSize(),
                                   colored ? cf.foreground().color().name() : QString()});
        }
        para["runs"] = runs;
        out.append(QJsonDocument(para).toJson(QJsonDocument::Compact));
        out.append('\n');
    }
    return out;
}
