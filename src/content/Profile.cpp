#include "content/Profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

#include "core/clsLibrary.h"
#include "platform/AppPaths.h"
#include "platform/rtf/PlainTextCodec.h"
#include "platform/rtf/RtfEncoding.h"

namespace Profile {

namespace {

// One line of the file as a field.
QString fieldOfLine(QStringView line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
        ++i;
    if (i == line.size() || line[i] != u'"')
        return line.trimmed().left(MaxFieldChars).toString();
    QString field;
    for (++i; i < line.size() && field.size() < MaxFieldChars; ++i) {
        if (line[i] != u'"') {
            field.append(line[i]);
        } else if (i + 1 < line.size() && line[i + 1] == u'"') {
            field.append(u'"');
            ++i;
        } else {
            break; // the closing quote; whatever follows it is not part of the field
        }
    }
    return field;
}

// The Windows-1252 bytes of text, when every character has one and the reader will not take
// the bytes for UTF-8 (as it would "\u00C3\u00A9").
std::optional<QByteArray> asWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    bool high = false;
    for (QChar c : text) {
        const int b = RtfEncoding::toWindows1252(c.unicode());
        if (b < 0)
            return std::nullopt;
        high = high || b >= 0x80;
        bytes.append(char(b));
    }
    if (high) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)utf8.decode(bytes);
        if (!utf8.hasError())
            return std::nullopt;
    }
    return bytes;
}

struct MenuField
{
    const char *item;
    int first; // first field
    int lines; // 1, or 5 for an address
};

// The insert items and their fields; the full name is handled on its own.
constexpr MenuField kMenuFields[] = {
    {"MNUINSERTPSUBDOB", 2, 1},
    {"MNUINSERTPSUBJOBTITLE", 3, 1},
    {"MNUINSERTPSUBMOBILENO", 4, 1},
    {"MNUINSERTPSUBPAGER", 5, 1},
    {"MNUINSERTPSUBHOMESUBADDRESS", 6, 5},
    {"MNUINSERTPSUBHOMESUBPHONE", 11, 1},
    {"MNUINSERTPSUBHOMESUBFAX", 12, 1},
    {"MNUINSERTPSUBHOMESUBEMAIL", 21, 1},
    {"MNUINSERTPSUBHOMESUBWEB", 23, 1},
    {"MNUINSERTPSUBWORKSUBADDRESS", 13, 5},
    {"MNUINSERTPSUBWORKSUBPHONE", 18, 1},
    {"MNUINSERTPSUBWORKSUBFAX", 19, 1},
    {"MNUINSERTPSUBWORKSUBEMAIL", 22, 1},
    {"MNUINSERTPSUBWORKSUBWEB", 24, 1},
};

const QString kFullName = QStringLiteral("MNUINSERTPSUBFULLNAME");

const MenuField *menuField(const QString &item)
{
    for (const MenuField &m : kMenuFields)
        if (item.compare(QLatin1String(m.item), Qt::CaseInsensitive) == 0)
            return &m;
    return nullptr;
}

} // namespace

int recordBox(int record)
{
    if (record < 0 || record >= RecordCount)
        return -1;
    if (record < 20)
        return record;
    if (record < 24)
        return record + 1;
    return 24;
}

Fields parse(QByteArrayView bytes)
{
    Fields fields;
    const QByteArray head = bytes.first(std::min(bytes.size(), MaxFileBytes)).toByteArray();
    const QString text = PlainText::decode(head).text;
    const QStringView all(text);
    qsizetype start = 0;
    for (int record = 0; record < RecordCount && start < all.size(); ++record) {
        qsizetype end = all.indexOf(u'\n', start);
        if (end < 0)
            end = all.size();
        fields[size_t(recordBox(record))] = fieldOfLine(all.sliced(start, end - start));
        start = end + 1;
    }
    return fields;
}

QByteArray serialize(const Fields &fields)
{
    QString text;
    for (int record = 0; record < RecordCount; ++record) {
        QString value = fields[size_t(recordBox(record))];
        value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        value.replace(u'\r', u' ');
        value.replace(u'\n', u' ');
        value.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        text += u'"' + value + QStringLiteral("\"\r\n");
    }
    if (std::optional<QByteArray> bytes = asWindows1252(text))
        return *bytes;
    return text.toUtf8();
}

QString filePath()
{
    QString folder = clsLibrary::instance().FILESLOCATION();
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable()) {
        // An installed program's folder belongs to the system; the profile goes with the user.
        const QString own = AppPaths::userDataFolder();
        if (AppPaths::ensureFolder(own))
            folder = own;
    }
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + FileName;
}

Fields load(const QString &path)
{
    QFile file(path);
    if (!file.exists()) {
        // A first start: an empty profile file, as the dialog would leave it.
        if (file.open(QIODevice::WriteOnly))
            file.close();
        return {};
    }
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.read(MaxFileBytes));
}

bool save(const QString &path, const Fields &fields)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = serialize(fields);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

const QStringList &menuItems()
{
    static const QStringList items = [] {
        QStringList list{kFullName};
        for (const MenuField &m : kMenuFields)
            list << QString::fromLatin1(m.item);
        return list;
    }();
    return items;
}

QString insertText(const Fields &fields, const QString &menuItem)
{
    if (menuItem.compare(kFullName, Qt::CaseInsensitive) == 0) {
        QStringList parts;
        for (const QString &p : {fields[0], fields[1]})
            if (!p.isEmpty())
                parts << p;
        return parts.join(u' ');
    }
    const MenuField *m = menuField(menuItem);
    if (!m)
        return {};
    if (m->lines == 1)
        return fields[size_t(m->first)];
    QStringList lines;
    for (int k = m->first; k < m->first + m->lines; ++k)
        if (!fields[size_t(k)].isEmpty())
            lines << fields[size_t(k)];
    return lines.join(QStringLiteral("\r\n"));
}

bool itemAvailable(const Fields &fields, const QString &menuItem)
{
    if (menuItem.compare(kFullName, Qt::CaseInsensitive) == 0)
        return !fields[0].isEmpty() || !fields[1].isEmpty();
    const MenuField *m = menuField(menuItem);
    return m && !fields[size_t(m->first)].isEmpty();
}

} // namespace Profile
