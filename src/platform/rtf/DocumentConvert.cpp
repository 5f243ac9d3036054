#include "platform/rtf/DocumentConvert.h"

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    if (file.write(data) != data.size()) {
        setError(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

QString DocumentConvert::plainText(const QTextDocument &document)
{
    QString out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b != document.begin())
            out.append(u'\n');
        QString t = b.text();
        t.remove(QChar::ObjectReplacementCharacter);
        t.replace(QChar::LineSeparator, u'\n');
        out.append(t);
    }
    return out;
}

bool DocumentConvert::load(const QString &path, QTextDocument &document,
                           PlainText::Decoded *textInfo, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    const QByteArray data = file.readAll();
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
