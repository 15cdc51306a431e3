// Random operator sessions in the list dialog and its edit form, run through the four dialog
// exports on the headless window system and checked against a model of the period list that
// knows nothing of the journal: which periods, in which order, with which values, what the log,
// the selection and the data file hold, and that the list refuses input while a form is open.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "calvora/api/calvora_api.h"
#include "calvora/dialogs/change_journal.h"
#include "calvora/periods/time_of_day.h"
#include "calvora/resources/resource.h"
#include "tests/support/fake_program.h"
#include "tests/support/headless/headless_window_system.h"
#include "tests/support/module_store.h"
#include "tests/support/operation_log.h"
#include "tests/support/period_files.h"

namespace {

using namespace period_list_ids;
namespace edit = period_edit_ids;

// The calendar day the times of the periods on entry carry; an edit keeps it.
constexpr int kEntryYear = 2005, kEntryMonth = 4, kEntryDay = 12;

struct ModelPeriod {
    int id = 0;
    std::string desc;
    std::array<int, 5> start{};  // year, month, day and the two carried integers
    std::array<int, 5> end{};
    int weekStart = 0;
    int weekEnd = 0;
    int timeStart = 0;  // seconds since midnight
    int timeEnd = 0;
    bool onEntryDay = false;  // the times' date part is the entry day (added ones carry today's)
    int entryIndex = -1;      // which period of the entry list this is; -1 for an added one

    bool operator==(const ModelPeriod& other) const {
        return id == other.id && desc == other.desc && start == other.start && end == other.end &&
               weekStart == other.weekStart && weekEnd == other.weekEnd &&
               timeStart == other.timeStart && timeEnd == other.timeEnd &&
               onEntryDay == other.onEntryDay;
    }
};

std::ostream& operator<<(std::ostream& out, const ModelPeriod& p) {
    out << "{" << p.id << " \"" << p.desc << "\" " << p.start[0] << "-" << p.start[1] << "-"
        << p.start[2] << "/" << p.start[3] << "," << p.start[4] << " " << p.end[0] << "-"
        << p.end[1] << "-" << p.end[2] << "/" << p.end[3] << "," << p.end[4] << " w" << p.weekStart
        << "-" << p.weekEnd << " t" << p.timeStart << "-" << p.timeEnd
        << (p.onEntryDay ? "" : " today") << "}";
    return out;
}

CTime OnEntryDay(int seconds) {
    return CTime(kEntryYear, kEntryMonth, kEntryDay, seconds / 3600, seconds / 60 % 60,
                 seconds % 60);
}

bool IsOnEntryDay(const CTime& time) {
    std::tm fields{};
    return time.GetLocalTm(&fields) != nullptr && fields.tm_year + 1900 == kEntryYear &&
           fields.tm_mon + 1 == kEntryMonth && fields.tm_mday == kEntryDay;
}

std::array<int, 5> Fields(const CDateInfo& date) {
    return {date.m_nYear, date.m_nMonth, date.m_nDay, date.m_nReserved1, date.m_nReserved2};
}

std::vector<ModelPeriod> ActualPeriods() {
    std::vector<ModelPeriod> periods;
    for (POSITION pos = g_periodList->GetHeadPosition(); pos != nullptr;) {
        const auto& p = *static_cast<const CTimeZone*>(g_periodList->GetNext(pos));
        periods.push_back({p.m_nID, std::string(p.m_strDesc.View()), Fields(p.m_dateStart),
                           Fields(p.m_dateEnd), p.m_nWeekStart, p.m_nWeekEnd,
                           SecondsSinceMidnight(p.m_timeStart), SecondsSinceMidnight(p.m_timeEnd),
                           IsOnEntryDay(p.m_timeStart) && IsOnEntryDay(p.m_timeEnd)});
    }
    return periods;
}

void PutPeriods(const std::vector<ModelPeriod>& periods) {
    for (const ModelPeriod& m : periods) {
        auto* period = new CTimeZone;
        period->SetID(m.id);
        period->SetDesc(m.desc.c_str());
        period->SetStartDate(m.start[0], m.start[1], m.start[2], m.start[3], m.start[4]);
        period->SetEndDate(m.end[0], m.end[1], m.end[2], m.end[3], m.end[4]);
        period->m_nWeekStart = m.weekStart;
        period->m_nWeekEnd = m.weekEnd;
        period->m_timeStart = OnEntryDay(m.timeStart);
        period->m_timeEnd = OnEntryDay(m.timeEnd);
        g_periodList->AddTail(period);
    }
}

int Next(int id) {
    return id == INT_MAX ? INT_MIN : id + 1;
}

void DeleteRows(ScriptedOperator& o, std::vector<int> rows) {
    o.SelectRows(IDC_PERIOD_LIST, std::move(rows)).Click(IDC_DELETE);
}

enum class Export { DoSet, DoSetEx, DoConfig, DoConfigEx };
enum class Ending { Ok, CancelButton, Exit, Escape, CloseBox, EnterWithoutTicks };

// One session: builds the operator's script and, step by step, what the list must become.
class Session {
public:
    Session(std::mt19937& random, HeadlessWindowSystem& system)
        : m_random(random), m_system(system), m_operator(system) {}

    void Run(const ModuleStore& store) {
        MakeEntryList();
        const auto exports = {Export::DoSet, Export::DoSetEx, Export::DoConfig, Export::DoConfigEx};
        m_export = *(exports.begin() + Pick(0, 3));
        m_selecting = m_export == Export::DoSet || m_export == Export::DoSetEx;
        PreTick();
        for (int actions = Pick(0, 6); actions > 0; --actions)
            Act();
        End();
        RunExportAndCheck(store);
    }

    std::string Story() const { return m_story.str(); }

private:
    struct Form {
        std::string desc;
        bool useDates = false;
        std::array<int, 6> dates{};  // year, month, day of the start, then of the end
        bool useWeekdays = false;
        int weekStartSel = -1;
        int weekEndSel = -1;
        int timeStart = 0;
        int timeEnd = 0;
    };

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    bool Chance(int percent) { return Pick(1, 100) <= percent; }
    template <typename T>
    const T& OneOf(const std::vector<T>& values) {
        return values[static_cast<std::size_t>(Pick(0, static_cast<int>(values.size()) - 1))];
    }

    std::string Description() {
        static const std::vector<std::string> pool = {"", "早班", "Night", "夜班 2", "a|){(}|$b"};
        return Chance(30) ? OneOf(pool) : "描述" + std::to_string(++m_descriptions);
    }

    // Two ordered values from low..high, each side open (0) at times.
    std::pair<int, int> OrderedPair(int low, int high) {
        int a = Chance(25) ? 0 : Pick(low, high);
        int b = Chance(25) ? 0 : Pick(low, high);
        if (a != 0 && b != 0 && a > b)
            std::swap(a, b);
        return {a, b};
    }

    // Dates that every check accepts: each side's year, month and day no later than the end's.
    std::array<int, 6> Dates() {
        const auto [yearStart, yearEnd] = OrderedPair(1990, 2050);
        const auto [monthStart, monthEnd] = OrderedPair(1, 12);
        const auto [dayStart, dayEnd] = OrderedPair(1, 28);
        return {yearStart, monthStart, dayStart, yearEnd, monthEnd, dayEnd};
    }

    std::pair<int, int> Times() {
        int a = Pick(0, 86399);
        int b = Pick(0, 86399);
        if (a > b)
            std::swap(a, b);
        return {a, b};
    }

    void MakeEntryList() {
        const int count = Pick(0, 5);
        int id = OneOf(std::vector<int>{0, 1, -5, INT_MAX - 2, INT_MIN});
        for (int i = 0; i < count; ++i) {
            ModelPeriod p;
            id = Chance(20) ? OneOf(std::vector<int>{id, 3, INT_MAX}) : Next(id);
            p.id = id;
            p.desc = Description();
            if (Chance(50)) {
                const std::array<int, 6> dates = Dates();
                p.start = {dates[0], dates[1], dates[2], Pick(-9, 9), Pick(-9, 9)};
                p.end = {dates[3], dates[4], dates[5], Pick(-9, 9), Pick(-9, 9)};
            }
            if (Chance(50)) {
                const auto [first, last] = OrderedPair(1, 7);
                p.weekStart = first;
                p.weekEnd = first != 0 && last == 0 ? first : last;
            }
            std::tie(p.timeStart, p.timeEnd) = Times();
            p.onEntryDay = true;
            p.entryIndex = i;
            m_entry.push_back(p);
        }
        m_rows = m_entry;
        PutPeriods(m_entry);
        m_story << "entry:";
        for (const ModelPeriod& p : m_entry)
            m_story << " " << p;
    }

    // The incoming selection: some of the entry numbers, and now and then one of no period.
    void PreTick() {
        m_ticks.assign(m_rows.size(), false);
        if (!m_selecting)
            return;
        for (const ModelPeriod& p : m_entry) {
            if (Chance(40))
                m_selection.push_back(static_cast<DWORD>(p.id));
        }
        if (Chance(20))
            m_selection.push_back(77);
        for (DWORD number : m_selection) {
            for (std::size_t row = 0; row < m_rows.size(); ++row) {
                if (static_cast<DWORD>(m_rows[row].id) == number) {
                    m_ticks[row] = true;
                    break;
                }
            }
        }
        m_story << " | selection:";
        for (DWORD number : m_selection)
            m_story << " " << static_cast<int>(number);
    }

    void Act() {
        const int rows = static_cast<int>(m_rows.size());
        switch (Pick(0, 4)) {
            case 0: {
                m_story << " | add";
                m_operator.Click(IDC_ADD);
                ModelPeriod added;
                added.id = m_rows.empty() ? 0 : Next(m_rows.back().id);
                Form form;
                // A new period starts at the present moment: set both times.
                std::tie(form.timeStart, form.timeEnd) = Times();
                m_operator.SetTimeOfDay(edit::IDC_TIME_START, form.timeStart / 3600,
                                        form.timeStart / 60 % 60, form.timeStart % 60);
                m_operator.SetTimeOfDay(edit::IDC_TIME_END, form.timeEnd / 3600,
                                        form.timeEnd / 60 % 60, form.timeEnd % 60);
                if (FillForm(form)) {
                    Apply(form, added);
                    m_rows.push_back(added);
                    m_ticks.push_back(false);
                    m_log += Added(added.id, added.desc.c_str());
                }
                break;
            }
            case 1:
            case 2: {
                if (rows == 0)
                    break;
                const int row = Pick(0, rows - 1);
                m_story << " | edit " << row;
                m_operator.FocusRow(IDC_PERIOD_LIST, row).Click(IDC_EDIT);
                ModelPeriod& period = m_rows[static_cast<std::size_t>(row)];
                Form form = Load(period);
                if (FillForm(form)) {
                    Apply(form, period);
                    m_log += Modified(period.id, period.desc.c_str());
                }
                break;
            }
            case 3: {
                std::vector<int> chosen;
                for (int row = 0; row < rows; ++row) {
                    if (Chance(30))
                        chosen.push_back(row);
                }
                m_story << " | delete";
                for (int row : chosen)
                    m_story << " " << row;
                m_operator.SelectRows(IDC_PERIOD_LIST, chosen).Click(IDC_DELETE);
                for (auto row = chosen.rbegin(); row != chosen.rend(); ++row) {
                    const auto at = m_rows.begin() + *row;
                    m_log += Deleted(at->id, at->desc.c_str());
                    if (at->entryIndex >= 0)
                        m_deletedEntries.push_back(at->entryIndex);
                    m_rows.erase(at);
                    m_ticks.erase(m_ticks.begin() + *row);
                }
                break;
            }
            case 4: {
                if (!m_selecting || rows == 0)
                    break;
                const int row = Pick(0, rows - 1);
                const bool ticked = Chance(50);
                m_story << " | tick " << row << (ticked ? " on" : " off");
                m_operator.TickRow(IDC_PERIOD_LIST, row, ticked);
                m_ticks[static_cast<std::size_t>(row)] = ticked;
                break;
            }
        }
    }

    static Form Load(const ModelPeriod& p) {
        Form form;
        form.desc = p.desc;
        form.dates = {p.start[0], p.start[1], p.start[2], p.end[0], p.end[1], p.end[2]};
        form.useDates = std::any_of(form.dates.begin(), form.dates.end(), [](int v) { return v; });
        form.weekStartSel = p.weekStart - 1;
        form.weekEndSel = p.weekEnd - 1;
        form.useWeekdays = form.weekStartSel != -1 || form.weekEndSel != -1;
        form.timeStart = p.timeStart;
        form.timeEnd = p.timeEnd;
        return form;
    }

    static void Apply(const Form& form, ModelPeriod& p) {
        p.desc = form.desc;
        const std::array<int, 6> dates = form.useDates ? form.dates : std::array<int, 6>{};
        p.start = {dates[0], dates[1], dates[2], 0, 0};
        p.end = {dates[3], dates[4], dates[5], 0, 0};
        p.weekStart = form.useWeekdays ? form.weekStartSel + 1 : 0;
        p.weekEnd = form.useWeekdays ? form.weekEndSel + 1 : 0;
        p.timeStart = form.timeStart;
        p.timeEnd = form.timeEnd;
    }

    // Changes some values of the open form and confirms or cancels it; true when confirmed.
    bool FillForm(Form& form) {
        for (int changes = Pick(0, 3); changes > 0; --changes) {
            switch (Pick(0, 5)) {
                case 0:
                    form.desc = Description();
                    m_operator.Type(edit::IDC_DESC, form.desc);
                    break;
                case 1:
                    form.useDates = !form.useDates;
                    m_operator.Click(edit::IDC_USE_DATES);
                    break;
                case 2: {
                    if (!form.useDates) {
                        form.useDates = true;
                        m_operator.Click(edit::IDC_USE_DATES);
                    }
                    form.dates = Dates();
                    const int ids[] = {edit::IDC_YEAR_START, edit::IDC_MONTH_START,
                                       edit::IDC_DAY_START,  edit::IDC_YEAR_END,
                                       edit::IDC_MONTH_END,  edit::IDC_DAY_END};
                    for (std::size_t i = 0; i < form.dates.size(); ++i)
                        m_operator.Type(ids[i], std::to_string(form.dates[i]));
                    break;
                }
                case 3: {
                    if (!form.useWeekdays || Chance(30)) {
                        form.useWeekdays = !form.useWeekdays;
                        m_operator.Click(edit::IDC_USE_WEEKDAYS);
                    }
                    if (!form.useWeekdays)
                        break;
                    const auto [first, last] = OrderedPair(1, 7);
                    // Only the end may stay open: choosing cannot clear a list.
                    const int startSel = first - 1, endSel = last != 0 ? last - 1 : 6;
                    if (startSel >= 0) {
                        form.weekStartSel = startSel;
                        m_operator.ChooseComboItem(edit::IDC_WEEK_START, startSel);
                    }
                    form.weekEndSel = std::max(endSel, form.weekStartSel);
                    m_operator.ChooseComboItem(edit::IDC_WEEK_END, form.weekEndSel);
                    break;
                }
                case 4:
                    std::tie(form.timeStart, form.timeEnd) = Times();
                    m_operator.SetTimeOfDay(edit::IDC_TIME_START, form.timeStart / 3600,
                                            form.timeStart / 60 % 60, form.timeStart % 60);
                    m_operator.SetTimeOfDay(edit::IDC_TIME_END, form.timeEnd / 3600,
                                            form.timeEnd / 60 % 60, form.timeEnd % 60);
                    break;
                case 5:
                    PokeTheList();
                    break;
            }
        }
        switch (Pick(0, 4)) {
            case 0:
                m_story << " confirmed";
                m_operator.Click(edit::IDC_CONFIRM);
                return true;
            case 1:
                m_story << " entered";
                m_operator.PressEnter();
                return true;
            case 2:
                m_story << " cancelled";
                m_operator.Click(IDCANCEL);
                return false;
            case 3:
                m_story << " escaped";
                m_operator.PressEscape();
                return false;
            default:
                m_story << " closed";
                m_operator.PressCloseBox();
                return false;
        }
    }

    // Input to the list behind the open form, which it must refuse.
    void PokeTheList() {
        m_operator.OperateOn(IDD_PERIOD_LIST);
        m_operator.Observe([](HeadlessWindowSystem& s) {
            EXPECT_FALSE(s.DialogEnabled(IDD_PERIOD_LIST));
            EXPECT_TRUE(s.DialogEnabled(IDD_PERIOD_EDIT));
        });
        switch (Pick(0, 5)) {
            case 0:
                m_story << " [delete on the list]";
                m_operator.SelectRows(IDC_PERIOD_LIST, {0});
                m_operator.Click(IDC_DELETE);
                m_refused += 2;
                break;
            case 1:
                m_story << " [add on the list]";
                m_operator.Click(IDC_ADD);
                ++m_refused;
                break;
            case 2:
                m_story << " [OK on the list]";
                m_operator.Click(IDOK);
                ++m_refused;
                break;
            case 3:
                m_story << " [escape on the list]";
                m_operator.PressEscape();
                ++m_refused;
                break;
            case 4:
                m_story << " [enter on the list]";
                m_operator.PressEnter();
                ++m_refused;
                break;
            default:
                m_story << " [close box of the list]";
                m_operator.PressCloseBox();
                ++m_refused;
                break;
        }
        m_operator.OperateOn(0);
    }

    void End() {
        if (m_selecting) {
            m_ending = std::vector<Ending>{Ending::Ok, Ending::CancelButton, Ending::Escape,
                                           Ending::CloseBox}[static_cast<std::size_t>(Pick(0, 3))];
        } else {
            m_ending = std::vector<Ending>{
                Ending::Exit, Ending::Escape, Ending::CloseBox,
                Ending::EnterWithoutTicks}[static_cast<std::size_t>(Pick(0, 3))];
        }
        switch (m_ending) {
            case Ending::Ok:
                m_story << " | OK";
                m_operator.Click(IDOK);
                break;
            case Ending::CancelButton:
                m_story << " | Cancel";
                m_operator.Click(IDC_CANCEL_CHANGES);
                break;
            case Ending::Exit:
                m_story << " | Exit";
                m_operator.Click(IDC_EXIT);
                break;
            case Ending::Escape:
                m_story << " | Escape";
                m_operator.PressEscape();
                break;
            case Ending::CloseBox:
                m_story << " | close box";
                m_operator.PressCloseBox();
                break;
            case Ending::EnterWithoutTicks:
                // From the list, so that Enter reaches the default button.
                m_story << " | Enter";
                m_operator.MoveFocus(IDC_PERIOD_LIST).PressEnter();
                break;
        }
    }

    // The list as it was on entry, the deleted periods of the entry list at its end in the
    // reverse order of their deletion.
    std::vector<ModelPeriod> Restored() const {
        std::vector<ModelPeriod> restored;
        for (const ModelPeriod& p : m_entry) {
            if (std::find(m_deletedEntries.begin(), m_deletedEntries.end(), p.entryIndex) ==
                m_deletedEntries.end())
                restored.push_back(p);
        }
        for (auto index = m_deletedEntries.rbegin(); index != m_deletedEntries.rend(); ++index)
            restored.push_back(m_entry[static_cast<std::size_t>(*index)]);
        return restored;
    }

    void RunExportAndCheck(const ModuleStore& store) {
        CDWordArray selection;
        Assign(selection, m_selection);
        const std::string oldLog = "旧";
        CString log = oldLog.c_str();
        BOOL result = FALSE;
        switch (m_export) {
            case Export::DoSet:
                result = DoSet(&selection);
                break;
            case Export::DoSetEx:
                result = DoSetEx(&selection, &log);
                break;
            case Export::DoConfig:
                DoConfig();
                break;
            case Export::DoConfigEx:
                DoConfigEx(&log);
                break;
        }

        const bool ok = m_ending == Ending::Ok;
        const bool saved = ok || m_ending == Ending::Exit || m_ending == Ending::EnterWithoutTicks;
        std::vector<DWORD> ticked;
        std::string tickMessages;
        if (ok) {
            for (std::size_t row = 0; row < m_rows.size(); ++row) {
                const ModelPeriod& p = m_rows[row];
                const bool wasSelected = std::find(m_selection.begin(), m_selection.end(),
                                                   static_cast<DWORD>(p.id)) != m_selection.end();
                if (wasSelected && !m_ticks[row])
                    tickMessages += Unticked(p.id, p.desc.c_str());
                if (!wasSelected && m_ticks[row])
                    tickMessages += Ticked(p.id, p.desc.c_str());
                if (m_ticks[row])
                    ticked.push_back(static_cast<DWORD>(p.id));
            }
        }

        const std::vector<ModelPeriod> expected =
            m_ending == Ending::CancelButton ? Restored() : m_rows;
        EXPECT_EQ(ActualPeriods(), expected);
        EXPECT_TRUE(CChangeJournal::GetInstance()->IsEmpty());
        EXPECT_EQ(result, ok ? TRUE : FALSE);
        EXPECT_EQ(Numbers(selection), ok ? ticked : m_selection);
        if (m_export == Export::DoSetEx) {
            EXPECT_EQ(Text(log), ok ? m_log + tickMessages : oldLog);
        } else if (m_export == Export::DoConfigEx) {
            EXPECT_EQ(Text(log), m_log);
        }
        EXPECT_EQ(FileExists(store.DataFile()), saved);
        if (saved) {
            std::vector<int> numbers;
            for (const ModelPeriod& p : expected)
                numbers.push_back(p.id);
            EXPECT_EQ(store.FileNumbers(), numbers);
        }
        EXPECT_EQ(m_system.IgnoredInputs().size(), m_refused);
        EXPECT_TRUE(m_system.Problems().empty());
        EXPECT_EQ(m_system.PendingSteps(), 0u);
        EXPECT_TRUE(m_system.MessageBoxes().empty());
    }

    std::mt19937& m_random;
    HeadlessWindowSystem& m_system;
    ScriptedOperator m_operator;
    std::ostringstream m_story;
    int m_descriptions = 0;
    Export m_export = Export::DoSet;
    bool m_selecting = false;
    Ending m_ending = Ending::Ok;
    std::vector<ModelPeriod> m_entry;
    std::vector<ModelPeriod> m_rows;  // the list view's rows, which are the list's periods
    std::vector<bool> m_ticks;
    std::vector<DWORD> m_selection;
    std::vector<int> m_deletedEntries;  // entry indexes, in the order of deletion
    std::string m_log;
    std::size_t m_refused = 0;
};

// Every save brings the data file to disk: the thousands of sessions save into memory where
// the system has a directory there (Linux's /dev/shm, which Wine shows as Z:\dev\shm).
std::filesystem::path InMemoryDirectory() {
    for (const char* path : {"/dev/shm", "Z:\\dev\\shm"}) {
        std::error_code error;
        if (std::filesystem::is_directory(path, error))
            return path;
    }
    return std::filesystem::temp_directory_path();
}

class ListDialogModelTest : public testing::Test, protected ModuleStore {
protected:
    using Periods = ModuleStore::Periods;

    ListDialogModelTest() : ModuleStore(InMemoryDirectory()) {}

    void TearDown() override {
        EXPECT_TRUE(m_system.Problems().empty());
        EXPECT_EQ(m_system.PendingSteps(), 0u);
        EXPECT_TRUE(CChangeJournal::GetInstance()->IsEmpty());
    }

    void Reset() {
        DeleteAllPeriods(*g_periodList);
        std::remove(DataFile().c_str());
    }

    // No notice program: a notice would be a box, which the checks count.
    TempDir m_noPrograms;
    PathGuard m_path{m_noPrograms.Path()};
    HeadlessWindowSystem m_system;
    ScopedWindowSystem m_installed{m_system};
    ScriptedOperator m_operator{m_system};
};

// Sessions in which the heap is apt to hand a destroyed period's address to the snapshot or
// period made next; Cancel must still give back the list as it was.
TEST_F(ListDialogModelTest, CancelAfterDeletionsWhereTheHeapReusesAddresses) {
    struct Case {
        const char* name;
        std::vector<PeriodRow> entry;
        void (*actions)(ScriptedOperator&);
        Periods restored;
    };
    const Case cases[] = {
        {"added, then both deleted",
         {{0, "orig"}},
         [](ScriptedOperator& o) {
             o.Click(IDC_ADD).Type(edit::IDC_DESC, "new").Click(edit::IDC_CONFIRM);
             DeleteRows(o, {0});
             DeleteRows(o, {0});
         },
         {{0, "orig"}}},
        {"edited, then both deleted",
         {{1, "P"}, {2, "Q"}},
         [](ScriptedOperator& o) {
             o.FocusRow(IDC_PERIOD_LIST, 1)
                 .Click(IDC_EDIT)
                 .Type(edit::IDC_DESC, "Q-edited")
                 .Click(edit::IDC_CONFIRM);
             DeleteRows(o, {0});
             DeleteRows(o, {0});
         },
         {{2, "Q"}, {1, "P"}}},
        {"deleted one by one, then together",
         {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}},
         [](ScriptedOperator& o) {
             DeleteRows(o, {3});
             o.Click(IDC_ADD).Type(edit::IDC_DESC, "e").Click(edit::IDC_CONFIRM);
             DeleteRows(o, {0, 3});
             DeleteRows(o, {0, 1});
         },
         {{2, "b"}, {3, "c"}, {1, "a"}, {4, "d"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        FillPeriods(*g_periodList, c.entry);
        c.actions(m_operator);
        m_operator.Click(IDC_CANCEL_CHANGES);
        CDWordArray selection;
        EXPECT_FALSE(DoSet(&selection));
        EXPECT_EQ(ModulePeriods(), c.restored);
    }
}

// While the form is open the list takes no input: a Delete there would destroy the period the
// form is then copied into.
TEST_F(ListDialogModelTest, TheListRefusesInputWhileTheFormIsOpen) {
    FillPeriods(*g_periodList, {{1, "甲"}, {2, "乙"}, {3, "丙"}});
    m_operator.SelectRows(IDC_PERIOD_LIST, {2})
        .Click(IDC_EDIT)
        .Type(edit::IDC_DESC, "改")
        .OperateOn(IDD_PERIOD_LIST)
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_FALSE(s.DialogEnabled(IDD_PERIOD_LIST));
            EXPECT_TRUE(s.DialogEnabled(IDD_PERIOD_EDIT));
        })
        .Click(IDC_DELETE)
        .Click(IDC_ADD)
        .PressEnter()
        .PressEscape()
        .PressCloseBox()
        .OperateOn(0)
        .Click(edit::IDC_CONFIRM)
        .Observe([](HeadlessWindowSystem& s) {
            EXPECT_TRUE(s.DialogEnabled(IDD_PERIOD_LIST));
            EXPECT_EQ(s.ListViewOf(s.TopDialog(), IDC_PERIOD_LIST)->RowCount(), 3);
            EXPECT_EQ(s.ListViewOf(s.TopDialog(), IDC_PERIOD_LIST)->CellText(2, 1), "改");
        })
        .PressEscape();
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Modified(3, "改"));
    EXPECT_EQ(ModulePeriods(), (Periods{{1, "甲"}, {2, "乙"}, {3, "改"}}));
    EXPECT_EQ(m_system.IgnoredInputs(),
              (std::vector<std::string>{"click 1005", "click 1003", "enter 0", "escape 0",
                                        "close box 0"}));
}

TEST_F(ListDialogModelTest, AddAfterTheLargestNumberWrapsToTheSmallest) {
    FillPeriods(*g_periodList, {{INT_MAX, "末"}});
    m_operator.Click(IDC_ADD)
        .Observe(
            [](HeadlessWindowSystem& s) { EXPECT_EQ(s.Text(edit::IDC_PERIOD_ID), "-2147483648"); })
        .Type(edit::IDC_DESC, "新")
        .Click(edit::IDC_CONFIRM)
        .Click(IDC_EXIT);
    CString log;
    DoConfigEx(&log);
    EXPECT_EQ(Text(log), Added(INT_MIN, "新"));
    EXPECT_EQ(ModulePeriods(), (Periods{{INT_MAX, "末"}, {INT_MIN, "新"}}));
    EXPECT_EQ(FileNumbers(), (std::vector<int>{INT_MAX, INT_MIN}));
}

TEST_F(ListDialogModelTest, RandomSessionsLeaveTheListTheModelPredicts) {
    constexpr unsigned kSeed = 20261208;
    constexpr int kSessions = 10000;
    std::mt19937 random(kSeed);
    for (int i = 0; i < kSessions; ++i) {
        Reset();
        HeadlessWindowSystem system;
        ScopedWindowSystem installed(system);
        Session session(random, system);
        session.Run(*this);
        if (HasFailure()) {
            ADD_FAILURE() << "seed " << kSeed << ", session " << i << ": " << session.Story();
            return;
        }
    }
}

}  // namespace
