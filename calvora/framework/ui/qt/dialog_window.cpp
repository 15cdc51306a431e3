// The widgets are the dialog's children and die with it. Every key and focus change of a control
// passes through eventFilter, so Tab, Enter, Escape and kill-focus follow the dialog rules, not the
// toolkit's; the window closes only through End, after which the sink hears nothing.
#include "calvora/framework/ui/qt/dialog_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QValidator>
#include <QWindow>
#include <algorithm>

#include "calvora/framework/ui/dialog_rules.h"
#include "calvora/framework/ui/qt/qt_text.h"
#include "calvora/framework/ui/qt/report_list.h"
#include "calvora/framework/ui/qt/time_of_day_edit.h"

using ui::ControlKind;
using ui::ControlTemplate;

namespace {

// The template's face first; where it is not installed, a Ming (Song) face of the same kind,
// then the sans-serif CJK faces commonly found.
QFont DialogFont(const ui::DialogTemplate& dialog) {
    QFont font;
    font.setFamilies({ToQString(dialog.fontFace), QStringLiteral("SimSun"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    font.setPointSize(dialog.pointSize);
    return font;
}

// The average width of the Latin letters, rounded, as dialog units are defined.
int AverageCharWidth(const QFontMetrics& metrics) {
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}

int Scale(int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
}

// The application's style with the platform's focus cue: a dotted frame in the text colour,
// shown once the keyboard has moved the focus in the window.
class FocusCueStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_FrameFocusRect) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        DrawCue(*option, option->rect, *painter);
    }

    // Push buttons get the frame inside their face, where the base style may draw none.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element == CE_PushButton && (option->state & State_HasFocus) != 0)
            DrawCue(*option, subElementRect(SE_PushButtonFocusRect, option, widget), *painter);
    }

    // Drop-down lists get it round their text.
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control == CC_ComboBox && (option->state & State_HasFocus) != 0) {
            const QRect text = subControlRect(CC_ComboBox, option, SC_ComboBoxEditField, widget);
            DrawCue(*option, text.adjusted(1, 2, -1, -2), *painter);
        }
    }

private:
    static void DrawCue(const QStyleOption& option, const QRect& rect, QPainter& painter) {
        if ((option.state & State_KeyboardFocusChange) == 0)
            return;
        painter.save();
        QPen pen(option.palette.color(QPalette::WindowText));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.restore();
    }
};

// One for the application object's life; the controls do not own it.
QStyle* FocusCues() {
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new FocusCueStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style.data();
}

// Exactly the title bar the template gives: a caption, and with the system menu the close box;
// never a minimise or maximise box, which would let the window manager hide a modal dialog.
Qt::WindowFlags TitleBarFlags(const ui::DialogTemplate& dialog) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (dialog.style & ui::kCaption)
        flags |= Qt::WindowTitleHint;
    if (dialog.style & ui::kSysMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

// What a platform single-line edit keeps of a pasted or dropped text: up to its first line
// break. Typing cannot bring one in (Enter is the dialog's), so the first line break before the
// cursor starts what was just inserted beyond it.
class SingleLineValidator final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override {
        const auto lineBreak = std::find_if(input.begin(), input.begin() + pos, [](QChar ch) {
            return ch == QLatin1Char('\n') || ch == QLatin1Char('\r');
        });
        if (lineBreak != input.begin() + pos) {
            const auto at = static_cast<int>(lineBreak - input.begin());
            input.remove(at, pos - at);
            pos = at;
        }
        return Acceptable;
    }
};

bool InPopup(const QObject* watched) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget != nullptr && widget->window()->windowType() == Qt::Popup;
}

bool IsDialogKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
           key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

DialogWindow::DialogWindow(const ui::DialogTemplate& dialog, QWidget* owner, DialogEventSink& sink,
                           WindowSystem& system)
    : QDialog(owner), m_template(dialog), m_sink(sink), m_system(system) {
    setFont(DialogFont(dialog));
    const QFontMetrics metrics(font());
    m_baseX = AverageCharWidth(metrics);
    m_baseY = metrics.height();
    setWindowTitle(ToQString(dialog.caption));
    setWindowFlags(TitleBarFlags(dialog));
    setFixedSize(Scale(dialog.cx, m_baseX, 4), Scale(dialog.cy, m_baseY, 8));
    // Modal for its owner only, so that boxes of other threads stay usable beside it.
    setWindowModality(Qt::WindowModal);
    setSizeGripEnabled(false);

    ForwardOwnerActivation();

    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = CreateControl(control);
        Place(widget, control);
        if (control.style & ui::kDisabled)
            widget->setEnabled(false);
        if (control.id != IDC_STATIC)
            widget->setObjectName(QString::number(control.id));
        if (dialog_rules::CanHoldFocus(control.kind)) {
            widget->setStyle(FocusCues());
            widget->setFocusPolicy((control.style & ui::kTabStop) ? Qt::StrongFocus
                                                                  : Qt::ClickFocus);
            WatchKeysAndFocus(widget);
        } else {
            // Frames and texts lie behind the controls and never take a click.
            widget->setAttribute(Qt::WA_TransparentForMouseEvents);
            widget->lower();
        }
        m_controls.emplace_back(&control, widget);
    }
}

void DialogWindow::ForwardOwnerActivation() {
    // A window manager may activate the blocked owner when it is clicked; as the platform's
    // disabled owner, it passes that on: this dialog comes forward and takes the keyboard.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* focused) {
        const QWidget* owner = parentWidget();
        if (!m_ended && isVisible() && owner != nullptr && focused != nullptr &&
            focused == owner->window()->windowHandle()) {
            raise();
            activateWindow();
        }
    });
}

QWidget* DialogWindow::CreateControl(const ControlTemplate& control) {
    const QString text = ToQString(control.text);
    switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            return label;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(text, this);
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, this);
            edit->setValidator(new SingleLineValidator(edit));
            edit->setFrame((control.style & ui::kBorder) != 0);
            if (control.style & ui::kReadOnly) {
                // A read-only edit shows the dialog's background, as on the platform.
                edit->setReadOnly(true);
                QPalette palette = edit->palette();
                palette.setColor(QPalette::Base, palette.color(QPalette::Window));
                edit->setPalette(palette);
            }
            return edit;
        }
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* button = new QPushButton(text, this);
            // Enter is the dialog manager's: no button may claim it by itself.
            button->setAutoDefault(false);
            button->setDefault(control.kind == ControlKind::DefPushButton);
            connect(button, &QPushButton::clicked, this,
                    [this, id = control.id] { Notify(BN_CLICKED, id); });
            return button;
        }
        case ControlKind::AutoCheckBox: {
            auto* box = new QCheckBox(text, this);
            connect(box, &QCheckBox::clicked, this,
                    [this, id = control.id] { Notify(BN_CLICKED, id); });
            return box;
        }
        case ControlKind::DropDownList: {
            auto* combo = new QComboBox(this);
            for (const char* item : control.items)
                combo->addItem(ToQString(item));
            combo->setCurrentIndex(-1);
            // Only the operator's choices notify; the window system's own changes block them.
            connect(combo, &QComboBox::currentIndexChanged, this,
                    [this, id = control.id] { Notify(CBN_SELCHANGE, id); });
            return combo;
        }
        case ControlKind::DateTimePicker:
            return new TimeOfDayEdit(this);
        case ControlKind::ListView: {
            // Only rows raise it: the view reports no double-click below the rows or on a tick
            // box.
            auto* list = new ReportListView(this);
            connect(list, &QAbstractItemView::doubleClicked, this,
                    [this, id = control.id] { Notify(NM_DBLCLK, id); });
            return list;
        }
    }
    return new QWidget(this);
}

void DialogWindow::Place(QWidget* widget, const ControlTemplate& control) const {
    const int x = Scale(control.x, m_baseX, 4);
    const int y = Scale(control.y, m_baseY, 8);
    const int width = Scale(control.cx, m_baseX, 4);
    int height = Scale(control.cy, m_baseY, 8);
    // A drop-down list's height is that of its open list; closed it is one line high.
    if (control.kind == ControlKind::DropDownList)
        height = std::min(height, widget->sizeHint().height());
    widget->setGeometry(x, y, width, height);
}

void DialogWindow::WatchKeysAndFocus(QWidget* widget) {
    widget->installEventFilter(this);
    for (QWidget* part : widget->findChildren<QWidget*>())
        part->installEventFilter(this);
}

QWidget* DialogWindow::Control(int id) const {
    if (id == IDC_STATIC)
        return nullptr;
    for (const auto& [control, widget] : m_controls) {
        if (control->id == id)
            return widget;
    }
    return nullptr;
}

const ControlTemplate* DialogWindow::TemplateOf(int id) const {
    return ui::FindControl(m_template, id);
}

int DialogWindow::ControlId(const QObject* object) const {
    for (; object != nullptr && object != this; object = object->parent()) {
        for (const auto& [control, widget] : m_controls) {
            if (widget == object)
                return control->id;
        }
    }
    return 0;
}

int DialogWindow::FocusedControl() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && focus->window() == this ? ControlId(focus) : 0;
}

void DialogWindow::FocusControl(int id, Qt::FocusReason reason) {
    QWidget* widget = Control(id);
    if (widget == nullptr)
        return;
    widget->setFocus(reason);
    // As the dialog manager does, an edit given the focus has its text selected, ready to be
    // typed over (after a rejected value above all).
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->selectAll();
}

void DialogWindow::ShowDefaultButton(int focused) {
    const ControlTemplate* control = TemplateOf(focused);
    const bool onButton = control != nullptr && dialog_rules::IsPushButton(control->kind);
    for (const auto& [each, widget] : m_controls) {
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setDefault(onButton ? each->id == focused
                                        : each->kind == ControlKind::DefPushButton);
        }
    }
}

void DialogWindow::Notify(UINT code, int id) {
    // Nothing reaches the dialog object once it has ended, not even the focus loss of closing.
    if (!m_ended)
        m_sink.OnDialogEvent(Handle(), DialogEvent{DialogEvent::Notify, code, id});
}

INT_PTR DialogWindow::Run() {
    if (m_sink.OnDialogEvent(Handle(), DialogEvent{DialogEvent::Init}) && !m_ended) {
        FocusControl(dialog_rules::FirstTabStop(m_template, m_system, Handle()));
    }
    if (!m_ended)
        exec();
    return m_result;
}

void DialogWindow::End(INT_PTR result) {
    if (m_ended)
        return;
    m_ended = true;
    m_result = result;
    done(static_cast<int>(result));
}

bool DialogWindow::HandleDialogKey(const QKeyEvent& key) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    std::optional<int> command;
    switch (key.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            const bool backward =
                key.key() == Qt::Key_Backtab || (key.modifiers() & Qt::ShiftModifier) != 0;
            const int next = dialog_rules::NextTabStop(m_template, m_system, Handle(),
                                                       FocusedControl(), backward);
            // From now on the window shows where the focus is, as after any keyboard use.
            setAttribute(Qt::WA_KeyboardFocusChange);
            if (next != 0)
                FocusControl(next, backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            command = dialog_rules::EnterCommand(m_template, m_system, Handle());
            break;
        case Qt::Key_Escape:
            command = IDCANCEL;
            break;
        default:
            return false;
    }
    if (command)
        Notify(BN_CLICKED, *command);
    return true;
}

bool DialogWindow::DropsTypedText(QWidget* edit, const QString& typed) const {
    const int id = ControlId(edit);
    const ControlTemplate* control = TemplateOf(id);
    if (control == nullptr || control->kind != ControlKind::Edit || typed.isEmpty())
        return false;
    const std::string bytes = FromQString(typed).Bytes();
    return dialog_rules::TypedText(*control, bytes).View() != bytes;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            // A control's own popup, such as a drop-down's open list, keeps every key: Enter
            // chooses in it and Escape closes it, and the dialog sees neither.
            if (InPopup(watched))
                return false;
            const auto& key = static_cast<const QKeyEvent&>(*event);
            if (IsDialogKey(key.key()))
                return HandleDialogKey(key);
            // A digits-only edit refuses other typed characters; pasted text gets through.
            const QString typed = key.text();
            const bool command =
                key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
            if (!command && !typed.isEmpty() && typed.front().isPrint() &&
                DropsTypedText(static_cast<QWidget*>(watched), typed)) {
                QApplication::beep();
                return true;
            }
            return false;
        }
        case QEvent::ShortcutOverride: {
            // Keep the controls from claiming the dialog's keys as their own shortcuts.
            const auto& key = static_cast<QKeyEvent&>(*event);
            if (IsDialogKey(key.key()))
                event->accept();
            return false;
        }
        case QEvent::InputMethod: {
            const auto& input = static_cast<const QInputMethodEvent&>(*event);
            return DropsTypedText(static_cast<QWidget*>(watched), input.commitString());
        }
        case QEvent::FocusIn:
            if (const int id = ControlId(watched); id != 0)
                ShowDefaultButton(id);
            return false;
        case QEvent::FocusOut: {
            // Opening a drop-down list's own popup does not take the focus from the control.
            if (static_cast<const QFocusEvent&>(*event).reason() == Qt::PopupFocusReason)
                return false;
            const int id = ControlId(watched);
            const ControlTemplate* control = TemplateOf(id);
            if (control != nullptr && watched == Control(id)) {
                if (auto code = dialog_rules::KillFocusNotification(control->kind))
                    Notify(*code, id);
            }
            return false;
        }
        default:
            return false;
    }
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the dialog itself: no control has the focus.
    if (!IsDialogKey(event->key()) || !HandleDialogKey(*event))
        QDialog::keyPressEvent(event);
}

void DialogWindow::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A window manager that minimises the dialog anyway would leave the host waiting on an
    // empty screen: it comes straight back.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The close box is a command for the dialog to handle; only End closes the window.
    event->ignore();
    if (auto command = dialog_rules::CloseBoxCommand(m_system, Handle()))
        Notify(BN_CLICKED, *command);
}
