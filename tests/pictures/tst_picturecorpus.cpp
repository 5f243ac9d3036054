// Decodes every picture of the shared corpus through the readers and compares the bitmap with
// the expected decode (NAME.spec.png, else NAME.ref.png), or checks that a file the readers
// refuse builds nothing. Skips when PAMPHLEXA_SHARED does not name the shared folder.
#include <QDir>
#include <QFile>
#include <QtTest>

#include "core/AppState.h"
#include "pictures/clsPicPCX.h"
#include "pictures/clsPicTGA.h"
#include "platform/ScreenMetrics.h"
#include "support/ScriptedUiServices.h"

namespace {

QStringList splitCsvLine(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                field += c;
                ++i;
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

// Empty when the images agree within 8 levels a channel, else what differs.
QString compareImages(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y) {
        const auto *pa = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *pe = reinterpret_cast<const QRgb *>(e.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (qAbs(qRed(pa[x]) - qRed(pe[x])) > 8 || qAbs(qGreen(pa[x]) - qGreen(pe[x])) > 8 ||
                qAbs(qBlue(pa[x]) - qBlue(pe[x])) > 8)
                return QStringLiteral("pixel (%1, %2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(pa[x] & 0xFFFFFF, 6, 16, QLatin1Char('0'))
                    .arg(pe[x] & 0xFFFFFF, 6, 16, QLatin1Char('0'));
        }
    }
    return QString();
}

} // namespace

class tst_PictureCorpus : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString shared = qEnvironmentVariable("PAMPHLEXA_SHARED");
        m_folder = shared + QStringLiteral("/corpus/pictures");
        if (shared.isEmpty() || !QFile::exists(m_folder + QStringLiteral("/MANIFEST.csv")))
            QSKIP("the shared picture corpus is not available (set PAMPHLEXA_SHARED)");
        ScreenMetrics::setInstance(&m_metrics);
    }
    void cleanupTestCase() { ScreenMetrics::setInstance(nullptr); }

    void decodesEveryPicture()
    {
        QFile manifest(m_folder + QStringLiteral("/MANIFEST.csv"));
        QVERIFY(manifest.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lines = QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'));
        const QStringList columns = splitCsvLine(lines.value(0));
        const qsizetype fileColumn = columns.indexOf(QStringLiteral("file"));
        const qsizetype ruleColumn = columns.indexOf(QStringLiteral("spec"));
        QVERIFY(fileColumn >= 0 && ruleColumn >= 0);

        int total = 0;
        int matched = 0;
        QStringList failures;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (lines[i].trimmed().isEmpty())
                continue;
            const QStringList fields = splitCsvLine(lines[i]);
            const QString name = fields.value(fileColumn);
            const QString rule = fields.value(ruleColumn);
            ++total;
            const QString problem = check(name, rule);
            if (problem.isEmpty())
                ++matched;
            else
                failures << name + QStringLiteral(": ") + problem;
        }
        for (const QString &f : failures)
            qWarning().noquote() << "MISMATCH" << f;
        qInfo().noquote() << QStringLiteral("matched %1/%2").arg(matched).arg(total);
        QCOMPARE(matched, total);
    }

private:
    // Empty when the file decodes as expected.
    QString check(const QString &name, const QString &rule)
    {
        const QString path = m_folder + QLatin1Char('/') + name;
        const QString base = path.left(path.lastIndexOf(QLatin1Char('.')));
        const bool refused = rule.startsWith(QLatin1String("message 22")) ||
                             rule.contains(QLatin1String("refused")) ||
                             rule.contains(QLatin1String("no bitmap"));
        const bool sixteenBit = rule.startsWith(QLatin1String("message 22"));

        AppState::reset();
        ScriptedUiServices ui;
        if (name.endsWith(QLatin1String(".pcx"), Qt::CaseInsensitive)) {
            clsPicPCX pcx;
            pcx.LOADPCX(path);
        } else {
            clsPicTGA tga;
            tga.LOADTGA(path);
        }
        const QImage built = AppState::instance().CurrentBitmap;
        if (sixteenBit &&
            (ui.messages.size() != 1 || !ui.messages[0].text.contains(QLatin1String("TGA 16 bit"))))
            return QStringLiteral("message 22 was not shown");
        if (!sixteenBit && !ui.messages.isEmpty())
            return QStringLiteral("unexpected message ") + ui.messages[0].text;
        if (refused)
            return built.isNull() ? QString() : QStringLiteral("built a picture, expected none");
        if (built.isNull())
            return QStringLiteral("no picture");
        QString expectedPath = base + QStringLiteral(".spec.png");
        if (!QFile::exists(expectedPath))
            expectedPath = base + QStringLiteral(".ref.png");
        const QImage expected(expectedPath);
        if (expected.isNull())
            return QStringLiteral("no expected picture ") + expectedPath;
        return compareImages(built, expected);
    }

    QString m_folder;
    FixedScreenMetrics m_metrics{QSize(1024, 768), 15};
};

QTEST_MAIN(tst_PictureCorpus)
#include "tst_picturecorpus.moc"
