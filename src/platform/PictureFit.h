#pragma once

class QTextDocument;

// Pictures wider than the text area are laid out (shown and printed) scaled down to its width,
// keeping their proportions; their format keeps the size they were given and their image keeps
// its pixels, so a save writes them as they were.
namespace PictureFit {

// Makes the document's layout size and draw pictures this way. Without it a picture takes its
// given size whatever the width of the text.
void install(QTextDocument &document);

} // namespace PictureFit
