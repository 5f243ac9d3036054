#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QComboBox;

// The lists of the formatting toolbar and the font dialog, and the pick-only behaviour of
// their boxes.
namespace FormatLists {

// The 40 font sizes, smallest first, as list texts ("1" to "400").
const QStringList &sizes();
// The size list's entry next to `text` (direction +1 or -1); empty when `text` is no entry or
// has no neighbour that way.
QString sizeStep(const QString &text, int direction);
// A size in points as the size boxes show it (whole points, no leading zeros).
QString sizeText(double points);

// The named styles, in list order.
const QStringList &styleNames();
// What choosing a style sets on the selection; an attribute without a value stays as it is,
// a size of 0 leaves the size.
struct Style
{
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<bool> strikeThru;
    std::optional<bool> bullet;
    int size = 0;
};
// The style named `name`; nullopt for a name not in the list.
std::optional<Style> style(const QString &name);

// The screen's font families for the font lists: every family the font database knows, without
// foundry qualifiers or duplicates, in its order, leaving out the first one.
QStringList screenFonts();

// A tab stop as the tab dialog lists it: inches rounded to two decimals, at least one shown
// ("0.5", "1.0", "1.25").
QString tabText(double inches);
// The 14 stops of Reset: every half inch from 0.5 to 7.0.
const QStringList &defaultTabs();
// Inserts the stop `inches` into the ascending list; a stop already listed, or at 0 or less, is
// not added. False when nothing was added.
bool insertTab(QStringList &tabs, double inches);

// Pick-only boxes: setting the text selects the entry of that text (compared without regard to
// case); a text that is no entry leaves the list without a current entry and shows the text
// greyed in the box, so the box still tells what the selection uses.
void setListText(QComboBox *box, const QString &text);
// The font name boxes: a name that is no entry but that an installed family draws (its own
// under another spelling, or a substitute such as Liberation Serif for "TIMES NEW ROMAN")
// becomes an entry and is selected; only a name nothing installed can draw shows greyed.
void setFontText(QComboBox *box, const QString &name);
// The entry shown, or the greyed text of a text that is no entry.
QString listText(const QComboBox *box);

} // namespace FormatLists
