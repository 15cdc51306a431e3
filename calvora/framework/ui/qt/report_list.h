// The list-view control in report view: a table whose rows carry texts per column, a
// pointer-sized value and a tick, shown with the platform list's extended styles.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <vector>

#include "calvora/framework/afxtypes.h"
#include "calvora/framework/cstring.h"
#include "calvora/framework/ui/window_controls.h"

class ReportListModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int InsertColumn(int column, const CString& heading);
    int InsertRow(int row, const CString& text);
    bool RemoveRow(int row);
    bool SetText(int row, int column, const CString& text);
    CString Text(int row, int column) const;
    bool SetValue(int row, DWORD_PTR value);
    DWORD_PTR Value(int row) const;
    bool IsTicked(int row) const;
    // Without tick boxes no row is ticked; false for a bad row.
    bool SetTicked(int row, bool ticked);
    // With tick boxes off no row shows one; turning them on gives every row an empty box.
    void SetTickBoxes(bool on);
    bool HasTickBoxes() const { return m_tickBoxes; }
    bool IsRow(int row) const { return row >= 0 && row < static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return static_cast<int>(m_headings.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        std::vector<CString> texts;
        DWORD_PTR value = 0;
        bool ticked = false;
    };

    std::vector<CString> m_headings;
    std::vector<Row> m_rows;
    bool m_tickBoxes = false;
};

class ReportListView final : public QTableView {
public:
    explicit ReportListView(QWidget* parent);

    ReportListModel& Model() { return m_model; }
    int InsertColumn(int column, const CString& heading, int width);
    bool IsSelected(int row) const;
    bool SetSelected(int row, bool selected);
    int FocusedRow() const;
    bool SetFocusedRow(int row);
    ui::ListLook Look() const { return m_look; }
    void SetLook(const ui::ListLook& look);
    bool ScrollTo(int row);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    // The row whose tick box lies under a point of the viewport, -1 when none does.
    int TickBoxRowAt(const QPoint& point) const;

    ReportListModel m_model;
    ui::ListLook m_look;
    bool m_pressedOnTickBox = false;
};
