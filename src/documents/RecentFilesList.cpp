#include "documents/RecentFilesList.h"

QString RecentFilesList::path(int k) const
{
    return k >= 0 && k < m_paths.size() ? m_paths[k] : QString();
}

QString RecentFilesList::caption(int k) const
{
    return k >= 0 && k < m_paths.size() ? captionFor(k, m_paths[k]) : QString();
}

void RecentFilesList::add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString upper = path.toUpper();
    for (int k = 0; k < m_paths.size(); ++k) {
        if (m_paths[k].toUpper() == upper) {
            m_paths.removeAt(k);
            break;
        }
    }
    m_paths.prepend(path);
    while (m_paths.size() > MaxEntries)
        m_paths.removeLast();
}

void RecentFilesList::remove(int k)
{
    if (k >= 0 && k < m_paths.size())
        m_paths.removeAt(k);
}

void RecentFilesList::setCaptions(const QStringList &captions)
{
    m_paths.clear();
    for (const QString &c : captions) {
        if (c.isEmpty() || m_paths.size() == MaxEntries)
            break;
        m_paths.append(pathOfCaption(c));
    }
}

QStringList RecentFilesList::captions() const
{
    QStringList out;
    for (int k = 0; k < MaxEntries; ++k)
        out.append(caption(k));
    return out;
}

QString RecentFilesList::pathOfCaption(const QString &caption)
{
    return caption.mid(3);
}

QString RecentFilesList::captionFor(int k, const QString &path)
{
    return QLatin1Char('&') + QString::number(k + 1) + QLatin1Char(' ') + path;
}
