#include "QuibSum/shell/SumWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/RateSourceText.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/shell/ProjectLinks.h"
#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSum/storage/StorageError.h"
#include "QuibSum/storage/WindowState.h"

namespace quibsum {

namespace {

QList<QRectF> screenAreas() {
    QList<QRectF> areas;
    for (QScreen* screen : QGuiApplication::screens()) areas.append(QRectF(screen->availableGeometry()));
    return areas;
}

}  // namespace

SumWindow::SumWindow(SheetStore& store, SumRuntime& runtime, QSettings& windowSettings, QWidget* parent)
    : QWidget(parent),
      store_(store),
      runtime_(runtime),
      windowSettings_(windowSettings),
      theme_(EditorTheme::forAppearance(runtime.settings().windowAppearance())),
      footer_(new TotalFooter(runtime.settings(), this)) {
    const WindowState state = WindowState::load(windowSettings_).value_or(WindowState::defaults());
    pinned_ = state.pinned;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(footer_);
    showSheet(state.sheetToShow(store_));

    setMinimumSize(WindowState::minimumSize.toSize());
    const QRectF frame = WindowState::place(state.frame, screenAreas(), QPointF(QCursor::pos()));
    setGeometry(frame.toRect());
    if (pinned_) setWindowFlag(Qt::WindowStaysOnTopHint, true);
    footer_->setPinned(pinned_);

    footer_->onPin = [this] { togglePin(); };
    footer_->onRefresh = [this] { runtime_.refreshRates(true); };
    footer_->onSettings = [this] {
        if (onSettings) onSettings();
    };
    footer_->onQuit = [this] { close(); };
    footer_->onDonate = [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(ProjectLinks::donate))); };
    footer_->onUpdates = [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(ProjectLinks::releases))); };
    // "System" follows the desktop's colour scheme as it changes.
    QDBusConnection::sessionBus().connect(QStringLiteral("org.freedesktop.portal.Desktop"),
                                          QStringLiteral("/org/freedesktop/portal/desktop"),
                                          QStringLiteral("org.freedesktop.portal.Settings"),
                                          QStringLiteral("SettingChanged"), this,
                                          SLOT(desktopSettingChanged(QString, QString, QDBusVariant)));

    auto* copyTotal = new QShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_T), this);
    connect(copyTotal, &QShortcut::activated, footer_, [this] { footer_->copyTotal(); });
    // Ctrl+Q and Ctrl+, are the shortcuts of the footer menu's "Quit Quib Sum" and "Settings…":
    // a second binding here would make both ambiguous, and Qt then runs neither.

    store_.onSaveStateChange = [this](const std::optional<QString>& error) {
        if (editor_) editor_->setSaveError(error);
    };
    applyTheme();
    restoring_ = false;
}

SumWindow::~SumWindow() {
    store_.onSaveStateChange = nullptr;
}

void SumWindow::showSheet(const QUuid& id) {
    const QString text = store_.text(id);  // throws: the current sheet stays
    auto* editor = new EditorView(text, runtime_.makeEngine(), theme_, this);
    footer_->endFeedback();
    if (editor_) {
        static_cast<QVBoxLayout*>(layout())->replaceWidget(editor_, editor);
        editor_->deleteLater();
    } else {
        static_cast<QVBoxLayout*>(layout())->insertWidget(0, editor, 1);
    }
    editor_ = editor;
    sheetID_ = id;
    editor_->setSaveError(store_.lastError());
    editor_->onChange = [this, id](const QString& t) { store_.setText(t, id); };
    editor_->onEvaluation = [this] { updateFooter(); };
    // Escape hides the window; until the window can be summoned back by a key, it minimises.
    editor_->onCancel = [this] { showMinimized(); };
    runtime_.registerEditor(editor_);
    updateFooter();
    updateTitle();
    saveState();
    editor_->textView()->setFocus();
}

void SumWindow::updateTitle() {
    const SheetStore::Record* record = store_.record(sheetID_);
    QString title = QStringLiteral("Quib Sum");
    if (sheetID_ != SheetStore::quickSheetID && record) title += QStringLiteral(" — ") + record->title;
    setWindowTitle(title);
}

void SumWindow::updateFooter() {
    const PageTotal& total = editor_->pageTotal();
    std::optional<QString> source;
    if (const auto* value = std::get_if<PageTotal::Value>(&total.payload)) source = rateSourceText(value->quantity);
    footer_->setTotal(total, source);
}

void SumWindow::togglePin() {
    pinned_ = !pinned_;
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, pinned_);
    if (visible) show();  // changing the flags re-creates the native window
    footer_->setPinned(pinned_);
    saveState();
}

void SumWindow::desktopSettingChanged(const QString& group, const QString& key, const QDBusVariant&) {
    if (group == QLatin1String("org.freedesktop.appearance") && key == QLatin1String("color-scheme") &&
        runtime_.settings().windowAppearance() == Appearance::system)
        applyTheme();
}

void SumWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Without a portal, "System" reads the desktop's palette, which the platform theme changes.
    if (event->type() == QEvent::ApplicationPaletteChange && editor_ &&
        runtime_.settings().windowAppearance() == Appearance::system)
        applyTheme();
}

void SumWindow::applyTheme() {
    theme_ = EditorTheme::forAppearance(runtime_.settings().windowAppearance());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, theme_.color(PaletteRole::background));
    setPalette(palette);
    setAutoFillBackground(true);
    editor_->setTheme(theme_);
    footer_->setTheme(theme_);
}

void SumWindow::present() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void SumWindow::toggle() {
    if (isVisible() && !isMinimized() && isActiveWindow())
        hide();
    else
        present();
}

void SumWindow::showQuickSheetAtEnd(const QString& text) {
    if (sheetID_ != SheetStore::quickSheetID) showSheet(SheetStore::quickSheetID);
    editor_->replaceText(text);
    QTextCursor cursor = editor_->textView()->textCursor();
    cursor.movePosition(QTextCursor::End);
    editor_->textView()->setTextCursor(cursor);
    editor_->textView()->ensureCursorVisible();
    present();
}

bool SumWindow::saveBeforeQuit() {
    try {
        store_.save();
        return true;
    } catch (const StorageError& e) {
        QMessageBox::critical(this, tr("Quib Sum"),
                              tr("Your changes could not be saved, so Quib Sum keeps running.\n\n%1").arg(e.message()));
        return false;
    }
}

void SumWindow::closeEvent(QCloseEvent* event) {
    // Closing the window ends the program for now: only once everything typed is on disk.
    if (saveBeforeQuit()) {
        event->accept();
        QCoreApplication::quit();
    } else {
        event->ignore();
    }
}

void SumWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    saveState();
}

void SumWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    saveState();
}

void SumWindow::saveState() {
    if (restoring_) return;
    WindowState state;
    state.frame = QRectF(geometry());
    state.pinned = pinned_;
    state.sheetID = sheetID_;
    state.save(windowSettings_);
}

}  // namespace quibsum
