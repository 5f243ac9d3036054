#pragma once

#include <QString>
#include <QStringList>

// The last eight documents opened or saved, most recent first. Each entry is shown and stored
// as "&" + (position + 1) + " " + path; paths compare without regard to letter case.
class RecentFilesList
{
public:
    static constexpr int MaxEntries = 8;

    // The paths, most recent first.
    const QStringList &paths() const { return m_paths; }
    int count() const { return static_cast<int>(m_paths.size()); }
    // The path of entry k, or empty.
    QString path(int k) const;
    // The caption of entry k ("&1 /path"), or empty for a free entry.
    QString caption(int k) const;

    // Moves the path to the top: an entry already present moves up (nothing is dropped),
    // otherwise the others move down and the eighth falls off.
    void add(const QString &path);
    // Removes entry k; the entries below move up.
    void remove(int k);
    void clear() { m_paths.clear(); }

    // Sets the list from stored captions ("File 0" to "File 7"); empty captions end the list.
    void setCaptions(const QStringList &captions);
    // The eight captions as stored, free entries empty.
    QStringList captions() const;

    // The path part of a caption: the caption without its three-character prefix.
    static QString pathOfCaption(const QString &caption);
    static QString captionFor(int k, const QString &path);

private:
    QStringList m_paths;
};
