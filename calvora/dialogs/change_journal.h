// The undo journal of the period list dialog.
#pragma once

#include <memory>
#include <vector>

#include "calvora/framework/coblist.h"
#include "calvora/periods/period_records.h"

// Snapshots of the periods the operator added, modified or deleted since the dialog opened,
// oldest first. Each snapshot remembers the period it concerns, so that undoing touches that
// period even when others share its number. An entry names only objects that live until Commit
// or Undo: a period in the list, or the snapshot of its deletion, which the journal owns.
class CChangeJournal {
public:
    // The module's one journal, created empty on first use.
    static CChangeJournal* GetInstance();

    CChangeJournal(const CChangeJournal&) = delete;
    CChangeJournal& operator=(const CChangeJournal&) = delete;

    // Appends a snapshot of the period as it is now. Kinds other than ChangeAdded,
    // ChangeDeleted and ChangeModified, and a null period, record nothing. ChangeDeleted
    // means that the caller takes the period out of the list and destroys it next.
    void Record(CTimeZone* period, int kind);

    // Drops every snapshot: the changes stand.
    void Commit();

    // Takes the changes back in the list, newest first, and leaves the journal empty. Added
    // periods are removed and destroyed, modified ones get their earlier values back, and
    // deleted ones return, as their snapshot, at the end of the list.
    void Undo(CObList* periods);

    BOOL IsEmpty() const { return m_entries.empty(); }

private:
    CChangeJournal() = default;

    struct Entry {
        std::unique_ptr<CTimeZone> snapshot;  // m_nChangeKind says what happened
        // The period concerned, or the snapshot of its deletion; only dereferenced once found
        // in the list.
        CTimeZone* period;
    };

    std::vector<Entry> m_entries;
};
