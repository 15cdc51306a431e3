// A box is made, shown and destroyed on the application object's thread only. A box asked for
// from another thread is posted there; the asking thread only waits for the answer, which is
// given exactly once, also when the application goes away before the box is answered.
#include "calvora/framework/ui/qt/message_box.h"

#include <xcb/xcb.h>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <cstdio>
#include <future>
#include <memory>
#include <utility>

#include "calvora/framework/ui/qt/qt_text.h"

namespace {

// The platform's button sets and results.
enum : int { kIdOk = 1, kIdCancel, kIdAbort, kIdRetry, kIdIgnore, kIdYes, kIdNo };

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    int first;
};

ButtonSet ButtonsOf(UINT type) {
    switch (type & 0x0Fu) {
        case 1:
            return {QMessageBox::Ok | QMessageBox::Cancel, kIdOk};
        case 2:
            return {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, kIdAbort};
        case 3:
            return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, kIdYes};
        case 4:
            return {QMessageBox::Yes | QMessageBox::No, kIdYes};
        case 5:
            return {QMessageBox::Retry | QMessageBox::Cancel, kIdRetry};
        default:
            return {QMessageBox::Ok, kIdOk};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & 0xF0u) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case 0x30:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

int ResultOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return kIdOk;
        case QMessageBox::Abort:
            return kIdAbort;
        case QMessageBox::Retry:
            return kIdRetry;
        case QMessageBox::Ignore:
            return kIdIgnore;
        case QMessageBox::Yes:
            return kIdYes;
        case QMessageBox::No:
            return kIdNo;
        default:
            return kIdCancel;
    }
}

// The buttons read as on a Chinese system, whatever language the toolkit was set up for.
QString ButtonText(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return QStringLiteral("确定");
        case QMessageBox::Cancel:
            return QStringLiteral("取消");
        case QMessageBox::Abort:
            return QStringLiteral("中止(&A)");
        case QMessageBox::Retry:
            return QStringLiteral("重试(&R)");
        case QMessageBox::Ignore:
            return QStringLiteral("忽略(&I)");
        case QMessageBox::Yes:
            return QStringLiteral("是(&Y)");
        case QMessageBox::No:
            return QStringLiteral("否(&N)");
        default:
            return {};
    }
}

QMessageBox* MakeBox(QWidget* owner, const CString& text, const CString& caption, UINT type) {
    auto* box = new QMessageBox(IconOf(type), ToQString(caption.View()), ToQString(text.View()),
                                ButtonsOf(type).buttons, owner);
    box->setTextFormat(Qt::PlainText);
    for (QAbstractButton* button : box->buttons()) {
        button->setText(ButtonText(box->standardButton(button)));
        button->setIcon(QIcon());  // the platform's buttons carry text only
    }
    return box;
}

// The button that closed the box; closed without one (the close box), the platform answers
// cancel, or OK when that is the only button.
int ResultOf(const QMessageBox& box, UINT type) {
    if (box.clickedButton() == nullptr)
        return (type & 0x0Fu) == 0 ? kIdOk : kIdCancel;
    return ResultOf(box.standardButton(box.clickedButton()));
}

// Qt hands a window's transient parent to the X window manager only when it maps the window;
// a change while it is shown is told here.
void TellTransientParent(QWidget& window, QWidget& parent) {
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return;
    const auto parentId = static_cast<xcb_window_t>(parent.winId());
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(window.winId()), XCB_ATOM_WM_TRANSIENT_FOR,
                        XCB_ATOM_WINDOW, 32, 1, &parentId);
    xcb_flush(x11->connection());
}

// Keeps a box of another thread above the dialog it reports on, the innermost one open, and
// once that dialog is gone, above its owner in turn.
void KeepAbove(QWidget* dialog, QMessageBox& box) {
    if (dialog == nullptr)
        return;
    box.windowHandle()->setTransientParent(dialog->windowHandle());
    if (box.isVisible())
        TellTransientParent(box, *dialog);
    QObject::connect(dialog, &QObject::destroyed, &box,
                     [&box, owner = QPointer<QWidget>(dialog->parentWidget())] {
                         KeepAbove(owner.isNull() ? nullptr : owner->window(), box);
                     });
}

}  // namespace

int ExecMessageBox(QWidget* owner, const CString& text, const CString& caption, UINT type) {
    const std::unique_ptr<QMessageBox> box(MakeBox(owner, text, caption, type));
    box->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    box->exec();
    // As the platform does, the owner is active again once its box is closed.
    if (owner != nullptr)
        owner->activateWindow();
    return ResultOf(*box, type);
}

int ShowMessageBoxFromOtherThread(const CString& text, const CString& caption, UINT type) {
    // Answered once, on the application's thread: by the button, or as cancelled when the box
    // goes away unanswered with the application.
    struct Answer {
        std::promise<int> promise;
        bool given = false;
        void Give(int result) {
            if (!std::exchange(given, true))
                promise.set_value(result);
        }
    };
    auto answer = std::make_shared<Answer>();
    std::future<int> result = answer->promise.get_future();
    QMetaObject::invokeMethod(
        qApp,
        [=] {
            QMessageBox* box = MakeBox(nullptr, text, caption, type);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->setWindowModality(Qt::NonModal);
            QObject::connect(box, &QMessageBox::finished, box,
                             [=] { answer->Give(ResultOf(*box, type)); });
            QObject::connect(box, &QObject::destroyed, [=] { answer->Give(kIdCancel); });
            box->winId();  // its window, made transient before it is shown
            KeepAbove(QApplication::activeModalWidget(), *box);
            box->show();
        },
        Qt::QueuedConnection);
    return result.get();
}

int ReportMessageBox(const CString& text, UINT type) {
    const std::string line = Cp936ToUtf8(text.View()) + '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    return ButtonsOf(type).first;
}
