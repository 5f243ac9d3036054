#include "printing/PaperSizes.h"

#include <QSizeF>

namespace {
QPageSize inches(double width, double height, const char *name)
{
    return QPageSize(QSizeF(width, height), QPageSize::Inch, QString::fromLatin1(name),
                     QPageSize::ExactMatch);
}
} // namespace

const std::vector<PaperSizes::Paper> &PaperSizes::all()
{
    static const std::vector<Paper> papers = {
        {QStringLiteral("Letter"), 1},
        {QStringLiteral("A4"), 9},
        {QStringLiteral("Legal"), 5},
        {QStringLiteral("B5"), 13},
        {QStringLiteral("Executive"), 261},
        {QStringLiteral("A5"), 11},
        {QStringLiteral("A6 Card"), 264},
        {QStringLiteral("Index Card"), 257},
        {QStringLiteral("Banner Letter"), 268},
        {QStringLiteral("Banner A4"), 269},
        {QStringLiteral("Postcard"), 258},
        {QStringLiteral("Envelope 6 3/4"), 267},
        {QStringLiteral("Envelope #9"), 19},
        {QStringLiteral("Envelope #10"), 20},
        {QStringLiteral("Envelope DL"), 27},
        {QStringLiteral("Envelope C5"), 28},
        {QStringLiteral("Envelope C6"), 31},
        {QStringLiteral("Envelope B5"), 259},
        {QStringLiteral("Envelope 7 3/4"), 260},
        {QStringLiteral("Baronial"), 265},
        {QStringLiteral("Hagaki"), 262},
        {QStringLiteral("User Defined"), 256},
    };
    return papers;
}

int PaperSizes::indexOfCode(int code)
{
    const auto &papers = all();
    for (size_t i = 0; i < papers.size(); ++i) {
        if (papers[i].code == code)
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<QPageSize> PaperSizes::pageSize(int code)
{
    switch (code) {
    case 1:
        return QPageSize(QPageSize::Letter);
    case 9:
        return QPageSize(QPageSize::A4);
    case 5:
        return QPageSize(QPageSize::Legal);
    case 13:
        return QPageSize(QPageSize::JisB5);
    case 261:
        return QPageSize(QPageSize::Executive);
    case 11:
        return QPageSize(QPageSize::A5);
    case 264:
        return QPageSize(QPageSize::A6);
    case 257:
        return inches(3, 5, "Index Card");
    case 258:
        return inches(3.5, 5.5, "Postcard");
    case 267:
        return QPageSize(QPageSize::EnvelopePersonal);
    case 19:
        return QPageSize(QPageSize::Envelope9);
    case 20:
        return QPageSize(QPageSize::Envelope10);
    case 27:
        return QPageSize(QPageSize::EnvelopeDL);
    case 28:
        return QPageSize(QPageSize::EnvelopeC5);
    case 31:
        return QPageSize(QPageSize::EnvelopeC6);
    case 259:
        return QPageSize(QPageSize::EnvelopeB5);
    case 260:
        return QPageSize(QPageSize::EnvelopeMonarch);
    case 265:
        return inches(4.375, 5.75, "Baronial");
    case 262:
        return QPageSize(QPageSize::Postcard);
    default:
        // Banners and user-defined paper have no size of their own.
        return std::nullopt;
    }
}

int PaperSizes::codeOf(const QPageSize &size)
{
    for (const Paper &paper : all()) {
        const std::optional<QPageSize> candidate = pageSize(paper.code);
        if (candidate && candidate->isEquivalentTo(size))
            return paper.code;
    }
    // A size named by the printer may differ from ours by rounding only.
    const QSizeF points = size.size(QPageSize::Point);
    for (const Paper &paper : all()) {
        const std::optional<QPageSize> candidate = pageSize(paper.code);
        if (!candidate)
            continue;
        const QSizeF c = candidate->size(QPageSize::Point);
        if (qAbs(c.width() - points.width()) < 1.5 && qAbs(c.height() - points.height()) < 1.5)
            return paper.code;
    }
    return 0;
}
