#include "chrome/FileProperties.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QTextDocument>
#include <cmath>
#include <memory>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "documents/DocumentFiles.h"
#include "documents/PageMetrics.h"
#include "platform/ScreenMetrics.h"

namespace {

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

double marginInches(int index)
{
    const QString text = clsLibrary::instance().REGSTRREAD(
        clsLibrary::HKEY_CURRENT_USER, Identity::companyKey() + QStringLiteral("\\frmPPrev\\Items"),
        QStringLiteral("Page Margin ") + QString::number(index), QStringLiteral("1"));
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && value >= 0 && value < 100 ? value : 1.0;
}

// The paper height that goes with the page width: A4 for an A4 width, otherwise Letter's shape.
int pageHeightTwips(int widthTwips)
{
    if (std::abs(widthTwips - 11906) < 60)
        return 16838;
    if (std::abs(widthTwips - 12240) < 60)
        return 15840;
    return int(std::lround(widthTwips * 11.0 / 8.5));
}

} // namespace

QString FileProperties::grouped(qint64 number)
{
    QString digits = QString::number(number < 0 ? -number : number);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

QString FileProperties::sizeText(qint64 bytes)
{
    const QString exact = grouped(bytes) + QStringLiteral(" Bytes");
    if (bytes < 1024)
        return exact;
    const double k = double(bytes) / 1024.0;
    QString shown;
    if (k < 10)
        shown = fixed(k, 2) + QStringLiteral("KB");
    else if (k < 100)
        shown = fixed(k, 1) + QStringLiteral("KB");
    else if (k < 1000)
        shown = fixed(k, 0) + QStringLiteral("KB");
    else if (k < 10000)
        shown = fixed(k / 1024, 2) + QStringLiteral("MB");
    else if (k < 100000)
        shown = fixed(k / 1024, 1) + QStringLiteral("MB");
    else if (k < 1000000)
        shown = fixed(k / 1024, 0) + QStringLiteral("MB");
    else
        shown = fixed(k / 1024 / 1024, 1) + QStringLiteral("GB");
    return shown + QStringLiteral(" (") + exact + QLatin1Char(')');
}

QString FileProperties::properCasePath(const QString &path)
{
    if (path.isEmpty())
        return path;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QStringList parts = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = QStringLiteral("/");
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        QString found;
        if (QFileInfo::exists(current + part)) {
            found = part;
        } else {
            const QStringList entries = QDir(current).entryList(
                QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString &entry : entries)
                if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
        }
        if (found.isEmpty()) {
            // Not on disk: the rest stays as given.
            return current + parts.mid(i).join(QLatin1Char('/'));
        }
        current += found;
        if (i + 1 < parts.size())
            current += QLatin1Char('/');
    }
    return current;
}

QString FileProperties::trimNull(const QString &text)
{
    const qsizetype at = text.indexOf(QChar(0));
    return at < 0 ? text : text.left(at);
}

QString FileProperties::locationText(const QString &path)
{
    const QString proper = properCasePath(path);
    const qsizetype at = proper.lastIndexOf(QLatin1Char('/'));
    if (at < 0)
        return QString();
    // A file in the root folder keeps its separator, as a drive root would.
    return at == 0 ? QStringLiteral("/") : proper.left(at);
}

QString FileProperties::typeName(const QString &path)
{
    const QFileInfo info(path);
    static const QMimeDatabase db;
    // By name, as the desktop names types; the content is not sniffed.
    const QMimeType type = db.mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    const QString ext = info.suffix().toUpper();
    return ext.isEmpty() ? QStringLiteral("File") : ext + QStringLiteral(" file");
}

QString FileProperties::modifiedText(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    const QLocale locale;
    const QDateTime local = time.toLocalTime();
    // The long time without the time zone, as a clock shows it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    timeFormat = timeFormat.trimmed();
    return locale.toString(local.date(), QLocale::LongFormat) + QLatin1Char(' ') +
           locale.toString(local.time(), timeFormat);
}

FileProperties::Attributes FileProperties::attributes(const QString &path)
{
    Attributes a;
    const QFileInfo info(path);
    if (!info.exists())
        return a;
    a.readOnly = DocumentFiles::isReadOnlyFile(path);
    a.hidden = info.fileName().startsWith(QLatin1Char('.'));
    return a;
}

int FileProperties::estimatePages(const QTextDocument &document, int printableWidthTwips,
                                  int printableHeightTwips)
{
    const ScreenMetrics &m = ScreenMetrics::instance();
    const double width = double(std::max(printableWidthTwips, 1440)) / m.twipsPerPixelX();
    const double height = double(std::max(printableHeightTwips, 1440)) / m.twipsPerPixelY();
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setDocumentMargin(0);
    copy->setPageSize(QSizeF(width, height));
    return std::max(1, copy->pageCount());
}

int FileProperties::printableWidthTwips()
{
    const double margins = marginInches(0) + marginInches(1);
    return std::max(1440, PageMetrics::pageWidthTwips() - int(std::lround(margins * 1440)));
}

int FileProperties::printableHeightTwips()
{
    const double margins = marginInches(2) + marginInches(3);
    return std::max(1440, pageHeightTwips(PageMetrics::pageWidthTwips()) -
                              int(std::lround(margins * 1440)));
}
