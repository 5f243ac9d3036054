#include "platform/SettingsText.h"

namespace {

void appendQuoted(QString &out, const QString &text)
{
    out += QLatin1Char('"');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += c;
                out += text.at(++i);
            } else if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.isSurrogate()) {
                // Control characters and unpaired surrogates (which UTF-8 cannot carry).
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            } else {
                out += c;
            }
        }
    }
    out += QLatin1Char('"');
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos] (the opening quote); advances pos past the closing
// quote. Returns an error text, empty on success.
QString readQuoted(const QString &line, qsizetype &pos, QString &out)
{
    if (pos >= line.size() || line.at(pos) != QLatin1Char('"'))
        return QStringLiteral("expected a quoted text");
    ++pos;
    out.clear();
    while (pos < line.size()) {
        const QChar c = line.at(pos++);
        if (c == QLatin1Char('"'))
            return {};
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (pos >= line.size())
            break;
        const QChar e = line.at(pos++);
        switch (e.unicode()) {
        case '\\':
            out += QLatin1Char('\\');
            break;
        case '"':
            out += QLatin1Char('"');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'u': {
            if (pos + 4 > line.size())
                return QStringLiteral("incomplete \\u escape");
            int v = 0;
            for (int i = 0; i < 4; ++i) {
                const int d = hexDigit(line.at(pos + i));
                if (d < 0)
                    return QStringLiteral("bad \\u escape");
                v = v * 16 + d;
            }
            pos += 4;
            out += QChar(char16_t(v));
            break;
        }
        default:
            return QStringLiteral("unknown escape \\%1").arg(e);
        }
    }
    return QStringLiteral("missing closing quote");
}

// A value line: name=data. Returns an error text, empty on success.
QString parseValue(const QString &line, SettingsStore::Value &v)
{
    qsizetype pos = 0;
    if (line.startsWith(QLatin1Char('@'))) {
        v.name.clear();
        pos = 1;
    } else {
        const QString err = readQuoted(line, pos, v.name);
        if (!err.isEmpty())
            return err;
    }
    if (pos >= line.size() || line.at(pos) != QLatin1Char('='))
        return QStringLiteral("expected \"=\" after the value name");
    ++pos;
    const QStringView rest = QStringView(line).mid(pos);
    if (rest.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QStringView digits = rest.mid(6);
        if (digits.isEmpty() || digits.size() > 8)
            return QStringLiteral("a dword needs 1 to 8 hexadecimal digits");
        quint32 n = 0;
        for (const QChar c : digits) {
            const int d = hexDigit(c);
            if (d < 0)
                return QStringLiteral("a dword needs 1 to 8 hexadecimal digits");
            n = n * 16 + quint32(d);
        }
        v.type = SettingsStore::Type::Dword;
        v.number = qint32(n);
        v.text.clear();
        return {};
    }
    v.type = SettingsStore::Type::String;
    if (rest.startsWith(QLatin1String("expand:"), Qt::CaseInsensitive)) {
        v.type = SettingsStore::Type::ExpandString;
        pos += 7;
    }
    const QString err = readQuoted(line, pos, v.text);
    if (!err.isEmpty())
        return err;
    if (pos != line.size())
        return QStringLiteral("unexpected text after the value");
    v.number = 0;
    return {};
}

} // namespace

namespace SettingsText {

QByteArray format(const QList<SettingsStore::Value> &values, bool withHeader)
{
    QString out;
    if (withHeader)
        out += QLatin1String(Header) + QLatin1Char('\n');
    bool first = true;
    SettingsStore::Root root = SettingsStore::CurrentUser;
    QString key;
    for (const SettingsStore::Value &v : values) {
        if (first || v.root != root || v.key != key) {
            if (!first || withHeader)
                out += QLatin1Char('\n');
            out += QLatin1Char('[') + SettingsStore::rootName(v.root);
            if (!v.key.isEmpty())
                out += QLatin1Char('\\') + v.key;
            out += QLatin1String("]\n");
            first = false;
            root = v.root;
            key = v.key;
        }
        if (v.name.isEmpty())
            out += QLatin1Char('@');
        else
            appendQuoted(out, v.name);
        out += QLatin1Char('=');
        switch (v.type) {
        case SettingsStore::Type::Dword:
            out += QStringLiteral("dword:%1").arg(quint32(v.number), 8, 16, QLatin1Char('0'));
            break;
        case SettingsStore::Type::ExpandString:
            out += QLatin1String("expand:");
            appendQuoted(out, v.text);
            break;
        case SettingsStore::Type::String:
            appendQuoted(out, v.text);
            break;
        }
        out += QLatin1Char('\n');
    }
    return out.toUtf8();
}

ParseResult parse(const QByteArray &text)
{
    ParseResult result;
    const QString all = QString::fromUtf8(text);
    const QStringList lines = all.split(QLatin1Char('\n'));
    bool sawHeader = false;
    bool inKey = false;
    SettingsStore::Value current;
    int lineNo = 0;
    auto fail = [&](const QString &error) {
        result.values.clear();
        result.ok = false;
        result.errorLine = lineNo;
        result.error = error;
        return result;
    };
    for (QString line : lines) {
        ++lineNo;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (lineNo == 1 && line.startsWith(QChar(0xfeff)))
            line.remove(0, 1);
        const QString trimmed = line.trimmed();
        if (!sawHeader) {
            if (trimmed.isEmpty())
                continue;
            if (trimmed != QLatin1String(Header))
                return fail(QStringLiteral("not a settings export (the first line must be \"%1\")")
                                .arg(QLatin1String(Header)));
            sawHeader = true;
            continue;
        }
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            if (!trimmed.endsWith(QLatin1Char(']')) || trimmed.size() < 2)
                return fail(QStringLiteral("a key line must end with \"]\""));
            const QString path = trimmed.mid(1, trimmed.size() - 2);
            const qsizetype sep = path.indexOf(QLatin1Char('\\'));
            const auto root = SettingsStore::rootFromName(sep < 0 ? path : path.left(sep));
            if (!root)
                return fail(QStringLiteral("unknown root (use HKCU, HKLM or HKCR)"));
            current.root = *root;
            current.key = SettingsStore::normalisedKey(sep < 0 ? QString() : path.mid(sep + 1));
            inKey = true;
            continue;
        }
        if (!inKey)
            return fail(QStringLiteral("a value before any [key] line"));
        SettingsStore::Value v = current;
        const QString err = parseValue(trimmed, v);
        if (!err.isEmpty())
            return fail(err);
        result.values.append(v);
    }
    if (!sawHeader)
        return fail(QStringLiteral("empty file"));
    result.ok = true;
    return result;
}

} // namespace SettingsText
