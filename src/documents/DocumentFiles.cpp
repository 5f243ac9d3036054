#include "documents/DocumentFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

#include "core/clsLibrary.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {

// The memory the system can still give without swapping (MemAvailable), -1 when unknown.
qint64 availableMemory()
{
    QFile f(QStringLiteral("/proc/meminfo"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine();
        if (line.startsWith("MemAvailable:")) {
            bool ok = false;
            const qint64 kb = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kb * 1024 : -1;
        }
    }
    return -1;
}

bool differentFamily(const QTextCharFormat &f, const QFont &base)
{
    const QStringList families = f.fontFamilies().toStringList();
    return !families.isEmpty() && families.first().compare(base.family(), Qt::CaseInsensitive) != 0;
}

bool formattedCharacters(const QTextCharFormat &f, const QFont &base)
{
    if (f.isImageFormat() || f.fontWeight() > QFont::Medium || f.fontItalic() ||
        f.fontUnderline() || f.fontStrikeOut() || f.fontCapitalization() != QFont::MixedCase ||
        f.verticalAlignment() != QTextCharFormat::AlignNormal || f.isAnchor())
        return true;
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush &&
        f.foreground().color() != QColor(Qt::black))
        return true;
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        return true;
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0 &&
        qAbs(f.fontPointSize() - base.pointSizeF()) > 0.01)
        return true;
    return differentFamily(f, base);
}

} // namespace

bool DocumentFiles::isReadOnlyFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return false;
    // The user bits reflect the running account's access, which for the superuser is always
    // granted; the owner, group and other bits are the file's own.
    const auto writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return (info.permissions() & writeBits) == 0 || !info.isWritable();
}

SafeFile::Result DocumentFiles::write(RichTextBox &rtf, const QString &path, bool richText)
{
    SafeFile::Result result;
    rtf.SaveFile(path, richText ? RichTextBox::rtfRTF : RichTextBox::rtfText, &result);
    return result;
}

bool DocumentFiles::sameFile(const QString &a, const QString &b)
{
    const SafeFile::Stamp sa = SafeFile::stampOf(a);
    const SafeFile::Stamp sb = SafeFile::stampOf(b);
    if (sa.exists && sb.exists)
        return sa.device == sb.device && sa.inode == sb.inode;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

bool DocumentFiles::hasFormatting(const RichTextBox &rtf)
{
    const QTextDocument *doc = rtf.document();
    if (!doc->rootFrame()->childFrames().isEmpty())
        return true; // tables
    const QFont base = rtf.Font();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        const Qt::Alignment align = bf.alignment() & Qt::AlignHorizontal_Mask;
        if (b.textList() || (align & (Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify)) ||
            bf.leftMargin() != 0 || bf.rightMargin() != 0 || bf.textIndent() != 0)
            return true;
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (formattedCharacters(it.fragment().charFormat(), base))
                return true;
    }
    return false;
}

void DocumentFiles::reportOpenProblem(const QString &path, const SafeFile::Result &result)
{
    const clsLibrary &lib = clsLibrary::instance();
    switch (result.problem) {
    case SafeFile::Problem::None:
        return;
    case SafeFile::Problem::Missing:
        lib.MESSAGEBOX(43, path);
        return;
    case SafeFile::Problem::NotRegular:
        lib.MESSAGEBOX(41, path, result.kind);
        return;
    case SafeFile::Problem::BadName:
        lib.MESSAGEBOX(42, path);
        return;
    default:
        lib.MESSAGEBOX(40, path);
        return;
    }
}

void DocumentFiles::reportSaveProblem(const QString &path, const SafeFile::Result &result)
{
    const clsLibrary &lib = clsLibrary::instance();
    switch (result.problem) {
    case SafeFile::Problem::None:
        return;
    case SafeFile::Problem::ReadOnlyFile:
        lib.MESSAGEBOX(10, path);
        return;
    case SafeFile::Problem::FolderNotWritable:
        lib.MESSAGEBOX(44, path);
        return;
    case SafeFile::Problem::DiskFull:
        lib.MESSAGEBOX(45, path);
        return;
    case SafeFile::Problem::NotRegular:
        lib.MESSAGEBOX(46, path, result.kind);
        return;
    case SafeFile::Problem::BadName:
        lib.MESSAGEBOX(42, path);
        return;
    default:
        lib.MESSAGEBOX(47, path, result.systemText());
        return;
    }
}

bool DocumentFiles::confirmLargeFile(const QString &path)
{
    const qint64 size = QFileInfo(path).size();
    const qint64 needed = size * MemoryPerFileByte;
    const qint64 available = availableMemory();
    // Comfortably: in half of what is available.
    if (size <= LargeFileBytes && (available < 0 || needed <= available / 2))
        return true;
    constexpr qint64 Mb = 1024 * 1024;
    qint16 answer = 0;
    clsLibrary::instance().MESSAGEBOXFCN(60, path, QString::number((size + Mb - 1) / Mb),
                                         QString::number((needed + Mb - 1) / Mb), QString(),
                                         answer);
    return answer == MsgResult::Yes;
}
