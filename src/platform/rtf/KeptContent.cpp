#include "platform/rtf/KeptContent.h"

#include "platform/TextObjectHandler.h"
#include "platform/rtf/RtfEncoding.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>

namespace KeptContent {

namespace {

const char *const StoreProperty = "pamphlexaKeptContent";
const char *const HandlerName = "pamphlexaKeptObjects";

using StorePtr = std::shared_ptr<const Store>;

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The name of the bookmark an "{\*\bkmkstart NAME}" group starts; empty for other groups.
QString bookmarkStartName(const QByteArray &rtf)
{
    const qsizetype at = rtf.indexOf("\\bkmkstart");
    if (at < 0 || at > 8)
        return {};
    qsizetype i = at + 10;
    // Further control words of the group (\bkmkcolf, \bkmkcoll) come before the name.
    while (i < rtf.size()) {
        if (rtf[i] == ' ') {
            ++i;
        } else if (rtf[i] == '\\' && i + 1 < rtf.size() && isLetter(rtf[i + 1])) {
            ++i;
            while (i < rtf.size() &&
                   (isLetter(rtf[i]) || rtf[i] == '-' || (rtf[i] >= '0' && rtf[i] <= '9')))
                ++i;
        } else {
            break;
        }
    }
    const qsizetype end = rtf.indexOf('}', i);
    return QString::fromLatin1(rtf.mid(i, end < 0 ? -1 : end - i)).trimmed();
}

// The font a kept object's text is drawn in, and whether it is raised.
QFont objectFont(const QTextCharFormat &format, bool *raised)
{
    QFont font = format.font();
    const auto v = format.verticalAlignment();
    *raised = v == QTextCharFormat::AlignSuperScript;
    if (v == QTextCharFormat::AlignSuperScript || v == QTextCharFormat::AlignSubScript) {
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * 2 / 3);
        else if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, font.pixelSize() * 2 / 3));
    }
    return font;
}

} // namespace

bool Summary::isEmpty() const
{
    return title.isEmpty() && subject.isEmpty() && author.isEmpty() && company.isEmpty() &&
           keywords.isEmpty() && comment.isEmpty() && operatorName.isEmpty() &&
           category.isEmpty() && manager.isEmpty() && !created.isValid() && !revised.isValid() &&
           !printed.isValid();
}

bool Store::isEmpty() const
{
    return fonts.empty() && colors.isEmpty() && styleSheet.isEmpty() && info.isEmpty() &&
           header.isEmpty() && sections.isEmpty();
}

const Store *store(const QTextDocument &document)
{
    const QVariant v = document.property(StoreProperty);
    if (!v.isValid())
        return nullptr;
    return v.value<StorePtr>().get();
}

void setStore(QTextDocument &document, Store store)
{
    if (store.isEmpty())
        document.setProperty(StoreProperty, QVariant());
    else
        document.setProperty(StoreProperty, QVariant::fromValue(StorePtr(
                                                std::make_shared<Store>(std::move(store)))));
}

Summary parseInfo(QByteArrayView group, int codePage)
{
    enum Field {
        None = -1,
        Title,
        Subject,
        Author,
        Operator,
        Keywords,
        Comment,
        Company,
        Category,
        Manager,
        FieldCount
    };
    static const char *const names[] = {"title",   "subject", "author",   "operator", "keywords",
                                        "doccomm", "company", "category", "manager"};
    static const char *const dateNames[] = {"creatim", "revtim", "printim"};
    const RtfEncoding::CodePage &page = RtfEncoding::CodePage::get(codePage);
    QString out[FieldCount];
    int dates[3][6] = {};
    struct Level
    {
        int field = None;
        int date = -1;
    };
    std::vector<Level> stack(1);
    QByteArray pending; // 8-bit text of the current field, decoded at its end
    int uc = 1, skip = 0;
    constexpr qsizetype MaxField = 1024;

    auto flush = [&] {
        const int f = stack.back().field;
        if (f != None && !pending.isEmpty() && out[f].size() < MaxField)
            page.decode(pending, out[f]);
        pending.clear();
    };
    const char *p = group.data();
    const qsizetype n = group.size();
    for (qsizetype i = 0; i < n;) {
        const char c = p[i];
        if (c == '{') {
            flush();
            if (stack.size() < 64)
                stack.push_back(stack.back());
            ++i;
        } else if (c == '}') {
            flush();
            if (stack.size() > 1)
                stack.pop_back();
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= n)
                break;
            if (!isLetter(p[i])) {
                const char s = p[i++];
                if (s == '\'' && i + 1 < n && RtfEncoding::hexDigitValue(p[i]) >= 0 &&
                    RtfEncoding::hexDigitValue(p[i + 1]) >= 0) {
                    const char byte = char(RtfEncoding::hexDigitValue(p[i]) * 16 +
                                           RtfEncoding::hexDigitValue(p[i + 1]));
                    i += 2;
                    if (skip > 0)
                        --skip;
                    else if (stack.back().field != None && pending.size() < MaxField)
                        pending.append(byte);
                } else if (s == '\\' || s == '{' || s == '}') {
                    if (stack.back().field != None && pending.size() < MaxField)
                        pending.append(s);
                } else if (s == '~') {
                    pending.append(' ');
                }
                continue;
            }
            const qsizetype start = i;
            while (i < n && isLetter(p[i]))
                ++i;
            const QByteArrayView word(p + start, i - start);
            bool negative = false;
            if (i < n && p[i] == '-') {
                negative = true;
                ++i;
            }
            qint64 value = 0;
            bool hasParam = false;
            while (i < n && p[i] >= '0' && p[i] <= '9') {
                value = std::min<qint64>(value * 10 + (p[i] - '0'), 0x7FFFFFFF);
                hasParam = true;
                ++i;
            }
            if (i < n && p[i] == ' ')
                ++i;
            const int param = int(negative ? -value : value);
            Level &level = stack.back();
            if (word == "u" && hasParam) {
                flush();
                if (level.field != None && out[level.field].size() < MaxField)
                    out[level.field].append(QChar(char16_t(param < 0 ? param + 65536 : param)));
                skip = uc;
                continue;
            }
            if (skip > 0) {
                --skip;
                continue;
            }
            if (word == "uc") {
                uc = std::clamp(param, 0, 16);
                continue;
            }
            for (int f = 0; f < FieldCount; ++f) {
                if (word == names[f]) {
                    flush();
                    level.field = f;
                }
            }
            for (int d = 0; d < 3; ++d) {
                if (word == dateNames[d])
                    level.date = d;
            }
            static const char *const parts[] = {"yr", "mo", "dy", "hr", "min", "sec"};
            for (int k = 0; k < 6; ++k) {
                if (word == parts[k] && level.date >= 0)
                    dates[level.date][k] = std::clamp(param, 0, 9999);
            }
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else {
            if (skip > 0)
                --skip;
            else if (stack.back().field != None && pending.size() < MaxField)
                pending.append(c);
            ++i;
        }
    }
    flush();
    auto dateTime = [](const int(&d)[6]) {
        const QDate date(d[0], d[1], d[2]);
        if (d[0] <= 0 || !date.isValid())
            return QDateTime();
        QTime time(d[3], d[4], d[5]);
        return QDateTime(date, time.isValid() ? time : QTime(0, 0));
    };
    Summary s;
    s.title = out[Title].trimmed();
    s.subject = out[Subject].trimmed();
    s.author = out[Author].trimmed();
    s.operatorName = out[Operator].trimmed();
    s.keywords = out[Keywords].trimmed();
    s.comment = out[Comment].trimmed();
    s.company = out[Company].trimmed();
    s.category = out[Category].trimmed();
    s.manager = out[Manager].trimmed();
    s.created = dateTime(dates[0]);
    s.revised = dateTime(dates[1]);
    s.printed = dateTime(dates[2]);
    return s;
}

QTextCharFormat objectFormat(const QTextCharFormat &base, const QByteArray &rtf,
                             const QString &shown)
{
    QTextCharFormat f = base;
    f.setObjectType(KeptObject);
    f.setProperty(KeptRtf, rtf);
    if (!shown.isEmpty())
        f.setProperty(KeptShown, shown);
    return f;
}

QTextCharFormat hiddenTextFormat(const QTextCharFormat &base, const QString &text)
{
    QTextCharFormat f = base;
    f.setObjectType(KeptObject);
    f.setProperty(HiddenText, text);
    return f;
}

bool isKeptObject(const QTextFormat &format)
{
    return format.objectType() == KeptObject;
}

int bookmarkPosition(const QTextDocument &document, const QString &name)
{
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!isKeptObject(f) || !f.hasProperty(KeptRtf))
                continue;
            if (bookmarkStartName(f.property(KeptRtf).toByteArray()) == name)
                return it.fragment().position();
        }
    }
    return -1;
}

static QSizeF objectSize(QTextDocument *doc, int, const QTextFormat &format)
{
    const QString shown = format.stringProperty(KeptShown);
    if (shown.isEmpty())
        return {0, 0};
    const QTextCharFormat cf = format.toCharFormat();
    bool raised = false;
    const QFont font = objectFont(cf, &raised);
    QPaintDevice *device = doc ? doc->documentLayout()->paintDevice() : nullptr;
    const QFontMetricsF small(font, device);
    const QFontMetricsF full(cf.font(), device);
    // A raised mark reaches as high as the text beside it; others sit on the baseline.
    return {small.horizontalAdvance(shown), raised ? full.ascent() : small.ascent()};
}

static void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                       const QTextFormat &format)
{
    const QString shown = format.stringProperty(KeptShown);
    if (shown.isEmpty())
        return;
    const QTextCharFormat cf = format.toCharFormat();
    bool raised = false;
    const QFont font = objectFont(cf, &raised);
    painter->save();
    painter->setFont(font);
    if (cf.hasProperty(QTextFormat::ForegroundBrush))
        painter->setPen(cf.foreground().color());
    const QFontMetricsF metrics(font, painter->device());
    const qreal baseline = raised ? rect.top() + metrics.ascent() : rect.bottom();
    painter->drawText(QPointF(rect.left(), baseline), shown);
    painter->restore();
}

void installHandler(QTextDocument &document)
{
    TextObjectHandler::install(document, KeptObject, HandlerName, objectSize, drawObject);
}

} // namespace KeptContent
