#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "calvora/dialogs/change_journal.h"

namespace {

using Row = std::pair<int, std::string>;  // number and description, in list order

// A period list with the list dialog's actions, each recorded in the journal as the dialog
// records it. Destroys whatever it holds at the end.
class JournalTest : public testing::Test {
public:
    void SetUp() override { Journal().Commit(); }
    void TearDown() override {
        Journal().Commit();
        while (!m_list.IsEmpty())
            delete m_list.RemoveHead();
    }

    static CChangeJournal& Journal() { return *CChangeJournal::GetInstance(); }

    CTimeZone* Put(int id, const char* desc) {
        auto* period = new CTimeZone;
        period->SetID(id);
        period->SetDesc(desc);
        m_list.AddTail(period);
        return period;
    }

    // The next number follows the last period, as the list dialog proposes it.
    CTimeZone* Add(const char* desc) {
        const int id = m_list.IsEmpty() ? 0 : At(m_list.GetCount() - 1)->GetID() + 1;
        CTimeZone* period = Put(id, desc);
        Journal().Record(period, ChangeAdded);
        return period;
    }

    void Edit(CTimeZone* period, const char* desc) {
        Journal().Record(period, ChangeModified);
        period->SetDesc(desc);
        period->SetStartDate(2011, 5, 1, 0, 0);
        period->m_nWeekStart = 1;
        period->m_timeEnd = 1234;
    }

    void Delete(CTimeZone* period) {
        Journal().Record(period, ChangeDeleted);
        m_list.RemoveAt(m_list.Find(period));
        delete period;
    }

    CTimeZone* At(int index) {
        return static_cast<CTimeZone*>(m_list.GetAt(m_list.FindIndex(index)));
    }

    std::vector<Row> Rows() const {
        std::vector<Row> rows;
        for (POSITION pos = m_list.GetHeadPosition(); pos != nullptr;) {
            const auto* period = static_cast<const CTimeZone*>(m_list.GetNext(pos));
            rows.emplace_back(period->GetID(), std::string(period->GetDesc().View()));
        }
        return rows;
    }

    void Cancel() {
        Journal().Undo(&m_list);
        EXPECT_TRUE(Journal().IsEmpty());
    }

    CObList m_list{10};
};

TEST_F(JournalTest, EmptyJournalChangesNothing) {
    CTimeZone* only = Put(0, "a");
    Journal().Commit();
    Cancel();
    ASSERT_EQ(m_list.GetCount(), 1);
    EXPECT_EQ(At(0), only);
}

TEST_F(JournalTest, CancelRemovesAnAddedPeriod) {
    Put(0, "a");
    Add("new");
    Cancel();
    EXPECT_EQ(Rows(), (std::vector<Row>{{0, "a"}}));
}

TEST_F(JournalTest, DeletedPeriodReturnsWithAllFieldsAtTheEnd) {
    Put(0, "a");
    CTimeZone* middle = Put(1, "b");
    middle->SetStartDate(2011, 5, 1, 7, -8);
    middle->SetEndDate(2012, 6, 2, 9, 10);
    middle->m_nWeekStart = 2;
    middle->m_nWeekEnd = 6;
    middle->m_timeStart = 100;
    middle->m_timeEnd = 200;
    Put(2, "c");
    Delete(middle);
    Cancel();

    ASSERT_EQ(Rows(), (std::vector<Row>{{0, "a"}, {2, "c"}, {1, "b"}}));
    const CTimeZone* back = At(2);
    EXPECT_EQ(back->m_dateStart.GetYear(), 2011);
    EXPECT_EQ(back->m_dateStart.m_nReserved1, 7);
    EXPECT_EQ(back->m_dateStart.m_nReserved2, -8);
    EXPECT_EQ(back->m_dateEnd.GetDay(), 2);
    EXPECT_EQ(back->m_dateEnd.m_nReserved2, 10);
    EXPECT_EQ(back->m_nWeekStart, 2);
    EXPECT_EQ(back->m_nWeekEnd, 6);
    EXPECT_EQ(back->m_timeStart, CTime(100));
    EXPECT_EQ(back->m_timeEnd, CTime(200));
    EXPECT_EQ(back->m_nChangeKind, ChangeDeleted);
}

TEST_F(JournalTest, SeveralDeletionsReturnInReverseOrder) {
    for (int id = 0; id < 4; ++id)
        Put(id, std::to_string(id).c_str());
    // One Delete of rows 1 and 2 goes bottom-up.
    CTimeZone* row1 = At(1);
    Delete(At(2));
    Delete(row1);
    Cancel();
    EXPECT_EQ(Rows(), (std::vector<Row>{{0, "0"}, {3, "3"}, {1, "1"}, {2, "2"}}));
}

TEST_F(JournalTest, TwoEditsReturnToTheFirstValues) {
    CTimeZone* period = Put(0, "before");
    period->SetEndDate(2000, 1, 2, 3, 4);
    period->m_timeEnd = 99;
    Edit(period, "first");
    Edit(period, "second");
    Cancel();
    ASSERT_EQ(At(0), period);
    EXPECT_EQ(period->GetDesc(), "before");
    EXPECT_EQ(period->m_dateStart.GetYear(), 0);
    EXPECT_EQ(period->m_dateEnd.m_nReserved2, 4);
    EXPECT_EQ(period->m_nWeekStart, 0);
    EXPECT_EQ(period->m_timeEnd, CTime(99));
    EXPECT_EQ(period->m_nChangeKind, ChangeNone);
}

TEST_F(JournalTest, ActionSequencesUndoToTheOpeningList) {
    struct Case {
        const char* name;
        void (*act)(JournalTest&);
        std::vector<Row> after;
    };
    const Case cases[] = {
        {"add, edit", [](JournalTest& t) { t.Edit(t.Add("new"), "edited"); }, {{0, "a"}, {1, "b"}}},
        {"delete the last, add one with its number",
         [](JournalTest& t) {
             t.Delete(t.At(1));
             t.Add("new");
         },
         {{0, "a"}, {1, "b"}}},
        {"add, delete it", [](JournalTest& t) { t.Delete(t.Add("new")); }, {{0, "a"}, {1, "b"}}},
        {"edit, delete it",
         [](JournalTest& t) {
             t.Edit(t.At(0), "edited");
             t.Delete(t.At(0));
         },
         {{1, "b"}, {0, "a"}}},
        {"add, edit, delete, add again",
         [](JournalTest& t) {
             CTimeZone* added = t.Add("new");
             t.Edit(added, "edited");
             t.Delete(added);
             t.Edit(t.Add("again"), "edited again");
         },
         {{0, "a"}, {1, "b"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Put(0, "a");
        Put(1, "b");
        c.act(*this);
        Cancel();
        EXPECT_EQ(Rows(), c.after);
        while (!m_list.IsEmpty())
            delete m_list.RemoveHead();
    }
}

// A Cancel appends restored periods, and the next number follows the last period, so numbers
// repeat in ordinary use; undoing touches the period the operator touched.
TEST_F(JournalTest, UndoFollowsThePeriodNotItsNumber) {
    CTimeZone* original = Put(0, "a");
    Put(2, "b");
    Put(1, "c");
    CTimeZone* added = Add("new");
    ASSERT_EQ(added->GetID(), 2);
    Cancel();
    EXPECT_EQ(Rows(), (std::vector<Row>{{0, "a"}, {2, "b"}, {1, "c"}}));
    EXPECT_EQ(At(0), original);

    CTimeZone* second = Put(2, "second two");
    Edit(second, "edited");
    Cancel();
    EXPECT_EQ(Rows(), (std::vector<Row>{{0, "a"}, {2, "b"}, {1, "c"}, {2, "second two"}}));
}

TEST_F(JournalTest, SnapshotOfAPeriodNoLongerListed) {
    Put(0, "a");
    auto outside = std::make_unique<CTimeZone>();
    outside->SetID(0);
    Journal().Record(outside.get(), ChangeAdded);
    Journal().Record(outside.get(), ChangeModified);
    outside->SetDesc("changed");
    auto gone = std::make_unique<CTimeZone>();
    gone->SetID(7);
    gone->SetDesc("gone");
    Journal().Record(gone.get(), ChangeDeleted);
    Cancel();
    // Added and modified leave the period alone; deleted still appends its snapshot.
    EXPECT_EQ(Rows(), (std::vector<Row>{{0, "a"}, {7, "gone"}}));
    EXPECT_EQ(outside->GetDesc(), "changed");
}

TEST_F(JournalTest, NothingIsRecordedForUnknownKindsOrNoPeriod) {
    CTimeZone* period = Put(0, "a");
    for (int kind : {0, 4, -1})
        Journal().Record(period, kind);
    Journal().Record(nullptr, ChangeDeleted);
    EXPECT_TRUE(Journal().IsEmpty());
}

TEST_F(JournalTest, CommittedChangesStand) {
    Put(0, "a");
    Add("new");
    Delete(At(0));
    Journal().Commit();
    EXPECT_TRUE(Journal().IsEmpty());
    Cancel();
    EXPECT_EQ(Rows(), (std::vector<Row>{{1, "new"}}));
}

TEST_F(JournalTest, UndoWithoutAListDropsTheEntries) {
    Put(0, "a");
    Add("new");
    Journal().Undo(nullptr);
    EXPECT_TRUE(Journal().IsEmpty());
    EXPECT_EQ(m_list.GetCount(), 2);
}

}  // namespace
