// The model holds the texts, values and ticks; which row has the focus and which are selected
// is the view's selection model's alone, so an item state is put together from both. A row
// keeps texts only up to the last column written; the columns beyond read empty.
#include "calvora/framework/ui/qt/report_list.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "calvora/framework/ui/qt/qt_text.h"
#include "calvora/framework/winconst.h"

namespace {

// Cells without a focus frame of their own: the view draws one around the focused row. A tick
// box gets a frame in the text colour, which stands out in a dark palette as in a light one. A
// cell too narrow for its text shows the whole text as a tip, as the platform's label tips do.
class CellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell(option);
        cell.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, cell, index);
        if ((index.flags() & Qt::ItemIsUserCheckable) == 0)
            return;
        initStyleOption(&cell, index);
        const QRect box = Style(option).subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &cell,
                                                       option.widget);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Text));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        painter->restore();
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        if (IsCut(cell))
            QToolTip::showText(event->globalPos(), cell.text, view, option.rect);
        else
            QToolTip::hideText();
        return true;
    }

private:
    static const QStyle& Style(const QStyleOptionViewItem& option) {
        return option.widget != nullptr ? *option.widget->style() : *QApplication::style();
    }

    // As the style lays the text out: inside its rectangle less a margin on either side.
    static bool IsCut(const QStyleOptionViewItem& cell) {
        const QStyle& style = Style(cell);
        const QRect text = style.subElementRect(QStyle::SE_ItemViewItemText, &cell, cell.widget);
        const int margin =
            style.pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
        return cell.fontMetrics.horizontalAdvance(cell.text) > text.width() - 2 * margin;
    }
};

}  // namespace

int ReportListModel::InsertColumn(int column, const CString& heading) {
    if (column < 0)
        return -1;
    const int at = std::min(column, ColumnCount());
    // The first column exists for the rows even before it has a heading.
    if (ColumnCount() == 0 && at == 0) {
        m_headings.push_back(heading);
        emit headerDataChanged(Qt::Horizontal, 0, 0);
        return 0;
    }
    beginInsertColumns({}, at, at);
    m_headings.insert(m_headings.begin() + at, heading);
    for (Row& row : m_rows) {
        if (static_cast<int>(row.texts.size()) > at)
            row.texts.insert(row.texts.begin() + at, CString());
    }
    endInsertColumns();
    return at;
}

int ReportListModel::InsertRow(int row, const CString& text) {
    if (row < 0)
        return -1;
    const int at = std::min(row, static_cast<int>(m_rows.size()));
    beginInsertRows({}, at, at);
    m_rows.insert(m_rows.begin() + at, Row{{text}, 0, false});
    endInsertRows();
    return at;
}

bool ReportListModel::RemoveRow(int row) {
    if (!IsRow(row))
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

bool ReportListModel::SetText(int row, int column, const CString& text) {
    if (!IsRow(row) || column < 0 || column >= columnCount())
        return false;
    std::vector<CString>& texts = m_rows[static_cast<std::size_t>(row)].texts;
    if (static_cast<int>(texts.size()) <= column)
        texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = text;
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    return true;
}

CString ReportListModel::Text(int row, int column) const {
    if (!IsRow(row) || column < 0)
        return CString();
    const std::vector<CString>& texts = m_rows[static_cast<std::size_t>(row)].texts;
    return column < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(column)]
                                                   : CString();
}

bool ReportListModel::SetValue(int row, DWORD_PTR value) {
    if (!IsRow(row))
        return false;
    m_rows[static_cast<std::size_t>(row)].value = value;
    return true;
}

DWORD_PTR ReportListModel::Value(int row) const {
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].value : 0;
}

bool ReportListModel::IsTicked(int row) const {
    return IsRow(row) && m_rows[static_cast<std::size_t>(row)].ticked;
}

bool ReportListModel::SetTicked(int row, bool ticked) {
    if (!IsRow(row))
        return false;
    m_rows[static_cast<std::size_t>(row)].ticked = m_tickBoxes && ticked;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
    return true;
}

void ReportListModel::SetTickBoxes(bool on) {
    if (m_tickBoxes == on)
        return;
    m_tickBoxes = on;
    for (Row& row : m_rows)
        row.ticked = false;
    if (!m_rows.empty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    }
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, ColumnCount());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsRow(index.row()))
        return {};
    if (role == Qt::DisplayRole)
        return ToQString(Text(index.row(), index.column()).View());
    if (role == Qt::CheckStateRole && m_tickBoxes && index.column() == 0)
        return IsTicked(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ReportListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !m_tickBoxes || index.column() != 0)
        return false;
    SetTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_tickBoxes && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= ColumnCount())
        return {};
    return ToQString(m_headings[static_cast<std::size_t>(section)].View());
}

ReportListView::ReportListView(QWidget* parent) : QTableView(parent), m_model(this) {
    setModel(&m_model);
    setItemDelegate(new CellDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    // Rows of one height keep a long list as cheap to fill as a short one.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int ReportListView::InsertColumn(int column, const CString& heading, int width) {
    const int at = m_model.InsertColumn(column, heading);
    if (at >= 0 && width >= 0)
        setColumnWidth(at, width);
    return at;
}

bool ReportListView::IsSelected(int row) const {
    return m_model.IsRow(row) && selectionModel()->rowIntersectsSelection(row, {});
}

bool ReportListView::SetSelected(int row, bool selected) {
    if (!m_model.IsRow(row))
        return false;
    const QItemSelection rowSelection(m_model.index(row, 0),
                                      m_model.index(row, m_model.columnCount() - 1));
    selectionModel()->select(
        rowSelection, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    return true;
}

int ReportListView::FocusedRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

bool ReportListView::SetFocusedRow(int row) {
    if (row != -1 && !m_model.IsRow(row))
        return false;
    selectionModel()->setCurrentIndex(row == -1 ? QModelIndex() : m_model.index(row, 0),
                                      QItemSelectionModel::NoUpdate);
    return true;
}

void ReportListView::SetLook(const ui::ListLook& look) {
    m_look = look;
    setShowGrid(look.gridLines);
    setSelectionBehavior(look.fullRowSelect ? QAbstractItemView::SelectRows
                                            : QAbstractItemView::SelectItems);
    m_model.SetTickBoxes(look.tickBoxes);
}

bool ReportListView::ScrollTo(int row) {
    if (!m_model.IsRow(row))
        return false;
    // A row just inserted is not laid out yet, and the scroll range would not reach it.
    updateGeometries();
    scrollTo(m_model.index(row, 0));
    return true;
}

QModelIndex ReportListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // Home and End go to the first and last row, as in a report list, not along the row; the
    // selection then follows the focus as for the other keys (Shift extends, Ctrl leaves it).
    if ((action == MoveHome || action == MoveEnd) && m_model.rowCount() > 0) {
        const int row = action == MoveHome ? 0 : m_model.rowCount() - 1;
        return m_model.index(row, currentIndex().isValid() ? currentIndex().column() : 0);
    }
    return QTableView::moveCursor(action, modifiers);
}

QItemSelectionModel::SelectionFlags ReportListView::selectionCommand(const QModelIndex& index,
                                                                     const QEvent* event) const {
    QItemSelectionModel::SelectionFlags how = QTableView::selectionCommand(index, event);
    // Shift with a key selects the rows from the anchor to the focus and no others.
    if (event != nullptr && event->type() == QEvent::KeyPress &&
        static_cast<const QKeyEvent*>(event)->modifiers() == Qt::ShiftModifier) {
        how |= QItemSelectionModel::Clear;
    }
    return how;
}

void ReportListView::focusInEvent(QFocusEvent* event) {
    // Taking the focus gives no row the focus: the operator picks one with a click or a key.
    const bool hadFocusRow = currentIndex().isValid();
    QTableView::focusInEvent(event);
    if (!hadFocusRow && currentIndex().isValid())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void ReportListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space ||
        (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) != 0) {
        QTableView::keyPressEvent(event);
        return;
    }
    // Space ticks the focused row, whichever of its cells is current, and selects it alone;
    // with Ctrl it adds the row to the selection or takes it out.
    event->accept();
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    if (m_model.HasTickBoxes())
        m_model.SetTicked(current.row(), !m_model.IsTicked(current.row()));
    const QItemSelectionModel::SelectionFlags how = (event->modifiers() & Qt::ControlModifier) != 0
                                                        ? QItemSelectionModel::Toggle
                                                        : QItemSelectionModel::ClearAndSelect;
    selectionModel()->select(
        current, how | (selectionBehavior() == SelectRows ? QItemSelectionModel::Rows
                                                          : QItemSelectionModel::NoUpdate));
}

int ReportListView::TickBoxRowAt(const QPoint& point) const {
    if (!m_model.HasTickBoxes())
        return -1;
    const QModelIndex index = indexAt(point);
    if (!index.isValid() || index.column() != 0)
        return -1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
    return box.contains(point) ? index.row() : -1;
}

void ReportListView::mousePressEvent(QMouseEvent* event) {
    // A press on a tick box flips the tick and nothing else: selection and focused row stay.
    const int row =
        event->button() == Qt::LeftButton ? TickBoxRowAt(event->position().toPoint()) : -1;
    m_pressedOnTickBox = row >= 0;
    if (!m_pressedOnTickBox) {
        QTableView::mousePressEvent(event);
        return;
    }
    m_model.SetTicked(row, !m_model.IsTicked(row));
    event->accept();
}

void ReportListView::mouseReleaseEvent(QMouseEvent* event) {
    if (std::exchange(m_pressedOnTickBox, false))
        event->accept();
    else
        QTableView::mouseReleaseEvent(event);
}

void ReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click on a tick box flips it again, as two clicks would.
    if (event->button() == Qt::LeftButton && TickBoxRowAt(event->position().toPoint()) >= 0)
        mousePressEvent(event);
    else
        QTableView::mouseDoubleClickEvent(event);
}

void ReportListView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid())
        return;
    // A dotted frame round the focused row (its cell without full-row selection).
    QRect frame = visualRect(current);
    if (selectionBehavior() == SelectRows) {
        frame = visualRect(m_model.index(current.row(), 0))
                    .united(visualRect(m_model.index(current.row(), m_model.columnCount() - 1)));
    }
    const bool selected = selectionModel()->isSelected(current);
    QPainter painter(viewport());
    QPen pen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
}

void ReportListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    // The frame spans the row, wider than the cells the view repaints by itself.
    viewport()->update();
}
