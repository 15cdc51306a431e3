#include "calvora/dialogs/change_journal.h"

namespace {

bool IsRecordedKind(int kind) {
    return kind == ChangeAdded || kind == ChangeDeleted || kind == ChangeModified;
}

}  // namespace

CChangeJournal* CChangeJournal::GetInstance() {
    static CChangeJournal journal;
    return &journal;
}

void CChangeJournal::Record(CTimeZone* period, int kind) {
    if (period == nullptr || !IsRecordedKind(kind))
        return;
    auto snapshot = std::make_unique<CTimeZone>();
    snapshot->m_nChangeKind = kind;
    snapshot->SetID(period->GetID());
    CopyPeriodValues(*snapshot, *period);
    CTimeZone* concerned = period;
    if (kind == ChangeDeleted) {
        // The period is destroyed next, and the heap may hand its address to a period or
        // snapshot made later. From now on its entries name the snapshot instead, which the
        // journal keeps until Commit or Undo and which becomes the period again if undone.
        concerned = snapshot.get();
        for (Entry& older : m_entries) {
            if (older.period == period)
                older.period = concerned;
        }
    }
    m_entries.push_back({std::move(snapshot), concerned});
}

void CChangeJournal::Commit() {
    m_entries.clear();
}

void CChangeJournal::Undo(CObList* periods) {
    if (periods == nullptr) {
        Commit();  // nothing to put the snapshots back into
        return;
    }
    while (!m_entries.empty()) {
        Entry entry = std::move(m_entries.back());
        m_entries.pop_back();
        switch (entry.snapshot->m_nChangeKind) {
            case ChangeAdded:
                if (POSITION pos = periods->Find(entry.period)) {
                    periods->RemoveAt(pos);
                    delete entry.period;
                }
                break;
            case ChangeModified:
                if (periods->Find(entry.period) != nullptr) {
                    CopyPeriodValues(*entry.period, *entry.snapshot);
                }
                break;
            case ChangeDeleted:
                // The snapshot becomes the period again, and the older entries already name it.
                periods->AddTail(entry.snapshot.release());
                break;
        }
    }
}
