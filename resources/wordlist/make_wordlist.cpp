// Builds a shipped word list from Debian's word lists, run by the build:
//
//   make_wordlist LIST SCOWLDIR VARIANT MAXSIZE OUTDIR
//
// LIST is a /usr/share/dict list (wbritish, wamerican: UTF-8, one word a line; size 50). SCOWLDIR
// holds the lists the Debian lists were made from, split by size (scowl: "english-words.10",
// "british-upper.35" ...); a word's smallest size is how common it is. VARIANT is "british" or
// "american" and picks the size lists of that spelling ("british" takes the -ize spellings of
// "british_z" too, as British writers use both). Words of those lists up to MAXSIZE that LIST
// lacks are added. Writes OUTDIR/Words.dic (one word a line,
// CR LF, Windows-1252 where the code page has every character of the word, else UTF-8) with the
// most common words first, and OUTDIR/Words.frq, the frequency classes: one line "SIZE COUNT" for
// each class in file order, saying that the next COUNT words of Words.dic have that size.
// Without SCOWLDIR (an empty or missing folder) every word goes in one class, in list order.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {

// Unicode characters of Windows-1252's 0x80-0x9F row.
constexpr char16_t kHighRow[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

int windows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHighRow[i] == c && c != 0)
            return 0x80 + i;
    return -1;
}

QByteArray encodeLine(const QString &word)
{
    QByteArray line;
    for (const QChar ch : word) {
        const int b = windows1252(ch.unicode());
        if (b < 0)
            return word.toUtf8() + "\r\n";
        line.append(char(b));
    }
    return line + "\r\n";
}

QStringList readLines(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    if (!*ok)
        return {};
    QStringList words;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString word = utf8.decode(line);
        if (utf8.hasError())
            word = QString::fromLatin1(line);
        words.append(word);
    }
    return words;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: make_wordlist LIST SCOWLDIR VARIANT MAXSIZE OUTDIR\n");
        return 2;
    }
    bool ok = false;
    const QStringList list = readLines(args[1], &ok);
    if (!ok || list.isEmpty()) {
        std::fprintf(stderr, "make_wordlist: cannot read %s\n", qPrintable(args[1]));
        return 1;
    }

    // The size of each word: the smallest size list of the right spelling that has it.
    QHash<QString, int> sizes;
    const QDir scowl(args[2]);
    const QString variant = args[3];
    const int maxSize = args[4].toInt();
    QStringList extra; // words of the size lists that LIST lacks, in the order first met
    for (const QFileInfo &info : scowl.entryInfoList(QDir::Files)) {
        const QString name = info.fileName();
        const QString stem = name.section(QLatin1Char('-'), 0, 0);
        if (stem != QLatin1String("english") && stem != QLatin1String("special") &&
            !stem.startsWith(variant))
            continue;
        bool number = false;
        const int size = info.suffix().toInt(&number);
        if (!number)
            continue;
        for (const QString &w : readLines(info.filePath(), &ok)) {
            auto it = sizes.find(w);
            if (it == sizes.end()) {
                sizes.insert(w, size);
                if (size <= maxSize)
                    extra.append(w);
            } else if (size < *it) {
                if (*it > maxSize && size <= maxSize)
                    extra.append(w);
                *it = size;
            }
        }
    }
    const int unknown = 99;
    std::map<int, QStringList> classes;
    QHash<QString, bool> seen;
    for (const QString &w : list + extra) {
        if (seen.contains(w))
            continue;
        seen.insert(w, true);
        classes[sizes.value(w, unknown)].append(w);
    }

    const QDir outDir(args[5]);
    QDir().mkpath(outDir.path());
    QSaveFile dic(outDir.filePath(QStringLiteral("Words.dic")));
    QSaveFile frq(outDir.filePath(QStringLiteral("Words.frq")));
    if (!dic.open(QIODevice::WriteOnly) || !frq.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make_wordlist: cannot write in %s\n", qPrintable(outDir.path()));
        return 1;
    }
    for (const auto &[size, words] : classes) {
        for (const QString &w : words)
            dic.write(encodeLine(w));
        frq.write(QByteArray::number(size) + ' ' + QByteArray::number(words.size()) + "\r\n");
    }
    if (!dic.commit() || !frq.commit()) {
        std::fprintf(stderr, "make_wordlist: cannot write in %s\n", qPrintable(outDir.path()));
        return 1;
    }
    return 0;
}
