#include "documents/DocumentFiles.h"

#include <QFile>
#include <QFileInfo>

#include "platform/RichTextBox.h"

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

bool DocumentFiles::readWhole(const QString &path, QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    data.clear();
    char piece[2048];
    for (;;) {
        const qint64 n = f.read(piece, sizeof piece);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        data.append(piece, static_cast<qsizetype>(n));
    }
    return true;
}

bool DocumentFiles::write(RichTextBox &rtf, const QString &path, bool richText)
{
    if (path.isEmpty() || isReadOnlyFile(path) || QFileInfo(path).isDir())
        return false;
    return rtf.SaveFile(path, richText ? RichTextBox::rtfRTF : RichTextBox::rtfText);
}
