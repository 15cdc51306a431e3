// Opening the period list dialog on the Qt window system with 10 000 periods, against opening it
// empty. Each opening builds the dialog, fills the list, paints it once and closes it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

#include "framework/afxwin.h"
#include "resources/resource.h"

namespace {

// The list dialog's set-up: four columns, one row of four texts and a pointer per period.
class CListOpeningDlg : public CDialog {
public:
    explicit CListOpeningDlg(int rows) : CDialog(IDD_PERIOD_LIST), m_nRows(rows) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, period_list_ids::IDC_PERIOD_LIST, m_listPeriods);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_listPeriods.InsertColumn(0, "序号", LVCFMT_LEFT, 60);
        m_listPeriods.InsertColumn(1, "描述", LVCFMT_LEFT, 120);
        m_listPeriods.InsertColumn(2, "起止日期", LVCFMT_LEFT, 100);
        m_listPeriods.InsertColumn(3, "起止时间", LVCFMT_LEFT, 100);
        CString number;
        for (int row = 0; row < m_nRows; ++row) {
            const int at = m_listPeriods.InsertItem(m_listPeriods.GetItemCount(), "新建Item");
            number.Format("%d", row);
            m_listPeriods.SetItemText(at, 0, number);
            m_listPeriods.SetItemText(at, 1, "夜班巡检");
            m_listPeriods.SetItemText(at, 2, "2024-01-01 至 2024-12-31");
            m_listPeriods.SetItemText(at, 3, "08:00:00 至 17:30:00");
            m_listPeriods.SetItemData(at, static_cast<DWORD_PTR>(row));
        }
        m_listPeriods.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT |
                                       LVS_EX_ONECLICKACTIVATE);
        return TRUE;
    }

private:
    CListCtrl m_listPeriods;
    int m_nRows;
};

// Once the dialog is up: paint it, then press its close box.
void CloseWhenShown() {
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->repaint();
            dialog->close();
        }
    });
}

void OpenListDialog(benchmark::State& state) {
    for (auto _ : state) {
        CListOpeningDlg dlg(static_cast<int>(state.range(0)));
        CloseWhenShown();
        if (dlg.DoModal() != IDCANCEL)
            state.SkipWithError("the dialog could not be shown");
    }
}
BENCHMARK(OpenListDialog)->Arg(0)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Rendered offscreen unless a display is asked for.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
