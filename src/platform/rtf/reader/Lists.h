#pragma once

#include "platform/rtf/reader/Reader.h"

#include <QPointer>
#include <QTextList>

namespace RtfRead {

// The list table, the override table and \pn paragraphs; makes each list paragraph an item
// of the QTextList of its list and level.
class ListsHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;
    void text(quint8 dest, const char *p, qsizetype n) override;
    void byte(quint8 dest, char b) override;
    void character(quint8 dest, char16_t ch) override;
    void groupEnded(quint8 group, State &closing) override;

    // Adds the cursor's block to the list its paragraph properties name (or to none).
    void applyList(const ParaProps &p);

    // The lists that paragraphs go on joining, belonging to one document. A list whose last
    // paragraph leaves it (taken back into a table cell, joined to the paragraph before) is
    // deleted by its document: its entry then holds null and the run ends there.
    using ListRun = std::unordered_map<qint64, QPointer<QTextList>>;
    struct Runs
    {
        ListRun text, pn, bullets;
    };
    // Paragraphs go into another document (a table's): its lists start afresh. The runs
    // returned go on when given back.
    Runs suspendRuns();
    void resumeRuns(Runs runs);

private:
    struct LevelDef
    {
        ListKind kind = ListKind::Bullet;
        QTextListFormat::Style bullet = QTextListFormat::ListDisc;
        bool bulletGiven = false; // the level's text names its bullet
        int start = 1;
        QString prefix, suffix = QStringLiteral(".");
    };
    void levelTextEnded();
    void markStarted(const QTextList &list, QTextCursor &cursor);

    std::unordered_map<int, std::vector<LevelDef>> m_lists; // \listid -> levels
    std::unordered_map<int, int> m_overrides;               // \ls -> \listid
    int m_listDefId = 0;
    std::vector<LevelDef> m_listDefLevels;
    LevelDef m_levelDef;
    QString m_marker; // \leveltext, \pntxtb or \pntxta being read
    int m_overrideListId = 0, m_overrideLs = 0;
    ListRun m_textLists;
    ListRun m_pnLists;     // numbered \pn paragraphs
    ListRun m_bulletLists; // the current run of bullets
    // The next number of each numbered list and level, in whichever document its items are
    // (a list that goes on in a table, or after one, takes its number up there).
    std::unordered_map<qint64, int> m_nextNumber;
};

} // namespace RtfRead
