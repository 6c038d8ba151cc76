#include "QuibSum/shell/SumWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QFileSystemWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>
#include <chrono>

#include "QuibSum/desktop/ProjectLinks.h"
#include "QuibSum/desktop/WindowPin.h"
#include "QuibSum/desktop/x11/X11Focus.h"
#include "QuibSum/editor/EditorView.h"
#include "QuibSum/editor/LargeSheetView.h"
#include "QuibSum/editor/RateSourceText.h"
#include "QuibSum/editor/SumTextView.h"
#include "QuibSum/editor/TotalFooter.h"
#include "QuibSum/shell/SumRuntime.h"
#include "QuibSum/storage/SheetStore.h"
#include "QuibSum/storage/StorageError.h"
#include "QuibSum/storage/WindowState.h"

namespace quibsum {

namespace {

// The band along the window's edges that resizes it.
constexpr int edgeWidth = 5;
// How often the focus is asked for while a move the user started holds the keyboard.
constexpr std::chrono::milliseconds moveWatchInterval{100};

QList<QRectF> screenAreas() {
    QList<QRectF> areas;
    for (QScreen* screen : QGuiApplication::screens()) areas.append(QRectF(screen->availableGeometry()));
    return areas;
}

QIcon closeIcon(const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 4.5), QPointF(11.5, 11.5));
    p.drawLine(QPointF(11.5, 4.5), QPointF(4.5, 11.5));
    return QIcon(pixmap);
}

}  // namespace

SumWindow::Hooks SumWindow::Hooks::standard() {
    Hooks hooks;
    hooks.confirm = [](QWidget* window, const QString& message, const QString& details,
                       std::function<void(bool)> done) {
        auto* box =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("Quib Sum"), message, QMessageBox::NoButton, window);
        box->setInformativeText(details);
        QPushButton* confirm = box->addButton(SumWindow::tr("Delete"), QMessageBox::DestructiveRole);
        box->addButton(SumWindow::tr("Cancel"), QMessageBox::RejectRole);
        box->setDefaultButton(confirm);
        box->setWindowModality(Qt::WindowModal);
        box->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(box, &QMessageBox::finished, box, [box, confirm, done = std::move(done)](int) {
            done(box->clickedButton() == static_cast<QAbstractButton*>(confirm));
        });
        box->open();
    };
    hooks.alert = [](QWidget* window, const QString& message) {
        QMessageBox::critical(window, QStringLiteral("Quib Sum"), message);
    };
    hooks.present = [](QWidget* window) {
        if (window->isMinimized()) window->showNormal();
        window->show();
        window->raise();
        window->activateWindow();
    };
    hooks.currentKeyWindow = [] { return QApplication::activeWindow(); };
    hooks.positionKnown = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return hooks;
}

SumWindow::SumWindow(SheetStore& store, SumRuntime& runtime, QSettings& windowSettings, Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      store_(store),
      runtime_(runtime),
      windowSettings_(windowSettings),
      hooks_(std::move(hooks)),
      theme_(EditorTheme::forAppearance(runtime.settings().windowAppearance())),
      title_(new QLabel(this)),
      note_(new QLabel(this)),
      closeButton_(new QToolButton(this)),
      footer_(new TotalFooter(runtime.settings(), this)),
      sheetsWatch_(new QFileSystemWatcher(this)),
      checkSoon_(new QTimer(this)),
      moveWatch_(new QTimer(this)),
      pin_(new WindowPin(this)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    const WindowState state = WindowState::load(windowSettings_).value_or(WindowState::defaults());
    pinned_ = state.pinned;
    storedOrigin_ = state.frame.topLeft();

    title_->setAlignment(Qt::AlignCenter);
    title_->setTextFormat(Qt::PlainText);
    closeButton_->setAutoRaise(true);
    closeButton_->setToolTip(tr("Hide"));
    closeButton_->setAccessibleName(tr("Hide"));
    connect(closeButton_, &QToolButton::clicked, this, [this] { hideWindow(); });
    auto* titleLine = new QHBoxLayout;
    titleLine->setContentsMargins(8, 4, 4, 0);
    titleLine->addSpacing(closeButton_->sizeHint().width());  // keeps the title centred
    titleLine->addWidget(title_, 1);
    titleLine->addWidget(closeButton_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(edgeWidth, 0, edgeWidth, edgeWidth);
    layout->setSpacing(0);
    layout->addLayout(titleLine);
    note_->setObjectName(QStringLiteral("windowNote"));
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    note_->setContentsMargins(8, 4, 8, 4);
    note_->hide();
    layout->addWidget(note_);
    layout->addWidget(footer_);
    if (!showSheet(state.sheetToShow(store_)) && !showSheet(SheetStore::quickSheetID)) {
        // Not even the quick sheet can be read: the program cannot start.
        throw StorageError(StorageError::Kind::file, QString::fromStdString(lastOpenError_));
    }

    setMinimumSize(WindowState::minimumSize.toSize());
    setGeometry(WindowState::place(state.frame, screenAreas(), QPointF(QCursor::pos())).toRect());
    applyPin();

    connect(footer_, &TotalFooter::pinClicked, this, &SumWindow::togglePin);
    connect(footer_, &TotalFooter::refreshRequested, this, [this] { runtime_.refreshRates(true); });
    connect(footer_, &TotalFooter::settingsRequested, this, &SumWindow::settingsRequested);
    connect(footer_, &TotalFooter::quitRequested, this, &SumWindow::quit);
    connect(footer_, &TotalFooter::donateRequested, this, [this] { ProjectLinks::open(ProjectLinks::donate(), this); });
    connect(footer_, &TotalFooter::updatesRequested, this,
            [this] { ProjectLinks::open(ProjectLinks::releases(), this); });
    footer_->offerProjectPages(!ProjectLinks::donate().isEmpty(), !ProjectLinks::releases().isEmpty());
    buildMenus();
    deleteAction_->setEnabled(sheetID_ != SheetStore::quickSheetID);

    auto* copyTotal = new QShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_T), this);
    connect(copyTotal, &QShortcut::activated, footer_, [this] { footer_->copyTotal(); });

    // Unless pinned, the window goes away when the user turns to another program.
    // (A window the desktop never gave the keyboard has not lost it: it stays.)
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            endUserMove();
            return;
        }
        if (state != Qt::ApplicationInactive || pinned_ || !isVisible() || !hadKeyboard_) return;
        // While the window manager moves or resizes the window at the user's request, it holds
        // the keyboard, which Qt reports as lost focus: that is no turn to another program.
        if (userMoving_) {
            moveWatch_->start();
            return;
        }
        hideWindow();
    });
    // During a move: the focus is still the window's (the window manager only grabbed the
    // keyboard) until the move ends and the program is active again, unless another window
    // took it meanwhile.
    moveWatch_->setInterval(moveWatchInterval);
    connect(moveWatch_, &QTimer::timeout, this, [this] {
        if (QGuiApplication::applicationState() == Qt::ApplicationActive || !isVisible() || pinned_)
            return endUserMove();
        if (X11Focus::holder(this) == X11Focus::Holder::other) {
            endUserMove();
            hideWindow();
        }
    });
    connect(&store_, &SheetStore::saveStateChanged, this, [this](const std::optional<QString>& error) {
        if (editor_) editor_->setSaveError(error);
    });
    connect(&store_, &SheetStore::changedOutside, this, &SumWindow::outsideChange);
    // Saves replace files by renaming, which the folder's watch sees; the shown sheet's own
    // watch sees a program that writes into the file in place.
    checkSoon_->setSingleShot(true);
    checkSoon_->setInterval(20);
    connect(checkSoon_, &QTimer::timeout, this, [this] { checkForOutsideChanges(); });
    connect(sheetsWatch_, &QFileSystemWatcher::directoryChanged, checkSoon_, qOverload<>(&QTimer::start));
    connect(sheetsWatch_, &QFileSystemWatcher::fileChanged, checkSoon_, qOverload<>(&QTimer::start));
    sheetsWatch_->addPath(store_.directory());
    watchShownSheet();
    // "System" follows the desktop's colour scheme as it changes.
    QDBusConnection::sessionBus().connect(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"), this,
        SLOT(desktopSettingChanged(QString, QString, QDBusVariant)));
    applyTheme();
    restoring_ = false;
}

// The sheet commands: in the footer's menu (a floating panel has no menu bar) and on their keys.
void SumWindow::buildMenus() {
    QMenu* menu = footer_->settingsMenu();
    QAction* first = menu->actions().value(0);
    auto add = [this](QMenu* to, const QString& title, QKeySequence keys, auto slot) {
        QAction* action = to->addAction(title);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);  // the keys work while the menu is closed
        return action;
    };
    auto* file = new QMenu(tr("File"), menu);
    add(file, tr("New sheet"), QKeySequence(Qt::CTRL | Qt::Key_N), &SumWindow::newSheet);
    add(file, tr("Next sheet"), QKeySequence(Qt::CTRL | Qt::Key_BracketRight), &SumWindow::nextSheet);
    add(file, tr("Previous sheet"), QKeySequence(Qt::CTRL | Qt::Key_BracketLeft), &SumWindow::previousSheet);
    deleteAction_ =
        add(file, tr("Delete…"), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Backspace), &SumWindow::deleteSheet);
    add(file, tr("Close"), QKeySequence(Qt::CTRL | Qt::Key_W), &SumWindow::closeKeyWindow);
    menu->insertMenu(first, file);

    // The editor takes its own keys for these; the menu shows them and works on the editor.
    auto* edit = new QMenu(tr("Edit"), menu);
    const std::pair<QString, QKeySequence::StandardKey> editing[] = {
        {tr("Undo"), QKeySequence::Undo},
        {tr("Cut"), QKeySequence::Cut},
        {tr("Copy"), QKeySequence::Copy},
        {tr("Paste"), QKeySequence::Paste},
        {tr("Select All"), QKeySequence::SelectAll},
    };
    for (const auto& [title, key] : editing) {
        QAction* action = edit->addAction(title);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);  // shown in the menu, not taken from the editor
        connect(action, &QAction::triggered, this, [this, key = key] {
            if (largeView_) {
                // Read-only: only copying and selecting.
                if (key == QKeySequence::Copy) largeView_->copy();
                if (key == QKeySequence::SelectAll) largeView_->selectAll();
                return;
            }
            SumTextView* text = editor_->textView();
            switch (key) {
                case QKeySequence::Undo:
                    text->undo();
                    break;
                case QKeySequence::Cut:
                    text->cut();
                    break;
                case QKeySequence::Copy:
                    text->copy();
                    break;
                case QKeySequence::Paste:
                    text->paste();
                    break;
                default:
                    text->selectAll();
                    break;
            }
        });
    }
    menu->insertMenu(first, edit);
    menu->insertSeparator(first);
    // The footer's own keys (Settings…, Quit) work while its menu is closed too.
    for (QAction* action : menu->actions())
        if (!action->shortcut().isEmpty()) addAction(action);
}

QString SumWindow::titleText() const {
    const SheetStore::Record* record = store_.record(sheetID_);
    if (sheetID_ == SheetStore::quickSheetID || !record) return QStringLiteral("Quib Sum");
    return QStringLiteral("Quib Sum — ") + record->title;
}

bool SumWindow::isKey() const { return hooks_.currentKeyWindow() == this; }

// ---- Showing and hiding ------------------------------------------------------------------

void SumWindow::showWindow() {
    hooks_.present(this);
    focusSheet();
    emit shown();
}

void SumWindow::hideWindow() {
    endUserMove();
    footer_->endFeedback();
    note_->hide();
    hadKeyboard_ = false;
    hide();
}

void SumWindow::toggleWindow() {
    // A pinned window behind another program's comes forward. An unpinned one is shown only
    // while it has the keyboard, unless the desktop would not give it the keyboard (focus-
    // stealing prevention, or no window manager): then the same key must still hide it.
    if (isVisible() && (isKey() || !pinned_))
        hideWindow();
    else
        showWindow();
}

void SumWindow::closeKeyWindow() {
    QWidget* key = hooks_.currentKeyWindow();
    if (!key || key == this)
        hideWindow();
    else
        key->close();
}

void SumWindow::closeEvent(QCloseEvent* event) {
    // The window manager's close hides it: the program runs on, ready for the hot key.
    event->ignore();
    hideWindow();
}

void SumWindow::quit() {
    // exit(), not quit(): quit() first asks every window to close, and this one (hidden
    // instead) or the settings window would refuse, leaving the program running.
    if (saveBeforeQuit()) QCoreApplication::exit(0);
}

bool SumWindow::saveBeforeQuit() {
    try {
        store_.save();
        return true;
    } catch (const StorageError& e) {
        hooks_.alert(this, tr("Your changes could not be saved, so Quib Sum keeps running.\n\n%1").arg(e.message()));
        return false;
    }
}

// ---- Sheets ------------------------------------------------------------------------------

bool SumWindow::showSheet(const QUuid& id) {
    if (sheetView_ && id == sheetID_) return true;
    return openSheet(id);
}

bool SumWindow::openSheet(const QUuid& id) {
    QString text;
    std::optional<QString> readOnly;
    try {
        text = store_.text(id);
    } catch (const StorageError& e) {
        if (e.kind() != StorageError::Kind::notText) {
            lastOpenError_ = e.what();
            return false;
        }
        // Shown for reading, so the user sees what is there; never saved, so nothing is lost.
        try {
            text = store_.readOnlyText(id);
            readOnly = e.message();
        } catch (const StorageError& again) {
            lastOpenError_ = again.what();
            return false;
        }
    }
    // A sheet too large for the editor is shown read-only, at a few bytes a line.
    QWidget* view =
        LargeSheetView::isTooLargeToEdit(text) ? openLargeSheet(text, readOnly, id) : openEditor(text, readOnly, id);
    footer_->endFeedback();
    auto* column = static_cast<QVBoxLayout*>(layout());
    if (sheetView_) {
        delete column->replaceWidget(sheetView_, view);  // the layout hands back the old item
        sheetView_->disconnect(this);
        sheetView_->hide();
        sheetView_->deleteLater();
    } else {
        column->insertWidget(1, view, 1);
    }
    sheetView_ = view;
    sheetID_ = id;
    if (deleteAction_) deleteAction_->setEnabled(id != SheetStore::quickSheetID);
    updateFooter();
    updateTitle();
    saveState();
    watchShownSheet();
    focusSheet();
    return true;
}

QWidget* SumWindow::openEditor(const QString& text, const std::optional<QString>& readOnly, const QUuid& id) {
    auto* editor = new EditorView(text, runtime_.makeEngine(), theme_, this);
    if (readOnly) editor->setReadOnlyReason(readOnly);
    editor_ = editor;
    largeView_ = nullptr;
    editor_->setSaveError(store_.lastError());
    connect(editor_, &EditorView::textEdited, this, [this, id](const QString& t) { store_.setText(t, id); });
    connect(editor_, &EditorView::evaluated, this, &SumWindow::updateFooter);
    connect(editor_, &EditorView::cancelRequested, this, &SumWindow::hideWindow);
    runtime_.registerEditor(editor_);
    return editor;
}

// Nothing typed reaches the store from this view: its text is only ever read.
QWidget* SumWindow::openLargeSheet(const QString& text, const std::optional<QString>& readOnly, const QUuid& id) {
    auto* view = new LargeSheetView(text, runtime_.makeEngine(), theme_, this);
    view->setReadOnlyReason(readOnly);
    view->setSheetFile(sheetFile(id));
    largeView_ = view;
    editor_ = nullptr;
    connect(view, &LargeSheetView::evaluated, this, &SumWindow::updateFooter);
    connect(view, &LargeSheetView::cancelRequested, this, &SumWindow::hideWindow);
    view->applyRateVersion(runtime_.rates()->version());
    connect(&runtime_, &SumRuntime::ratesRefreshed, view, &LargeSheetView::applyRateVersion);
    SumSettings& settings = runtime_.settings();
    for (auto evaluationChoice : {&SumSettings::numberStyleChanged, &SumSettings::rateKindChanged})
        connect(&settings, evaluationChoice, view, [this, view] { view->setEngine(runtime_.makeEngine()); });
    return view;
}

QString SumWindow::sheetFile(const QUuid& id) const {
    return store_.directory() + u'/' + SheetStore::idText(id) + QStringLiteral(".txt");
}

void SumWindow::focusSheet() {
    if (editor_)
        editor_->textView()->setFocus();
    else if (largeView_)
        largeView_->setFocus();
}

void SumWindow::setNotice(QWidget* notice) {
    auto* column = static_cast<QVBoxLayout*>(layout());
    column->insertWidget(column->indexOf(footer_), notice);
}

void SumWindow::showNote(const QString& text) {
    note_->setText(text);
    note_->show();
}

void SumWindow::watchShownSheet() {
    if (!sheetView_) return;
    const QString file = sheetFile(sheetID_);
    // A file replaced by renaming is a new file: its watch is gone and is set anew.
    const QStringList watched = sheetsWatch_->files();
    if (watched.contains(file)) return;
    if (!watched.isEmpty()) sheetsWatch_->removePaths(watched);
    sheetsWatch_->addPath(file);
    if (!sheetsWatch_->directories().contains(store_.directory())) sheetsWatch_->addPath(store_.directory());
}

void SumWindow::checkForOutsideChanges() {
    store_.checkForOutsideChanges();
    watchShownSheet();
}

void SumWindow::outsideChange(const SheetStore::OutsideChange& change) {
    using Kind = SheetStore::OutsideChange::Kind;
    if (change.kind == Kind::keptApart) {
        const SheetStore::Record* mine = store_.record(change.id);
        const SheetStore::Record* kept = store_.record(change.keptAs);
        const QString message =
            tr("“%1” was changed by another program in a way that cannot be combined with your changes. Your "
               "text is saved, and the other program's text is kept as the sheet “%2”.")
                .arg(mine ? mine->title : QString(), kept ? kept->title : QString());
        // Not from inside the save that found it: the dialog's event loop would run saves.
        QTimer::singleShot(0, this, [this, message] {
            hooks_.alert(this, message);
            updateTitle();
        });
        return;
    }
    if (!sheetView_ || change.id != sheetID_) return;  // another sheet is read afresh when shown
    if (largeView_ && change.kind == Kind::appended) return largeView_->appendText(change.text);
    // The sheet crossed the size up to which it is edited: shown again, in the other view.
    if (largeView_ ||
        (change.kind == Kind::appended && LargeSheetView::isTooLargeToEdit(editor_->source() + change.text))) {
        openSheet(sheetID_);
        return;
    }
    switch (change.kind) {
        case Kind::appended:
            editor_->appendText(change.text);
            break;
        case Kind::replaced:
            // Nothing was unsaved here, so the other program's text is simply shown.
            if (editor_->readOnlyReason())
                openSheet(sheetID_);
            else
                editor_->replaceText(change.text);
            break;
        case Kind::notText:
            openSheet(sheetID_);  // read-only, with the reason
            break;
        case Kind::keptApart:
            break;
    }
}

void SumWindow::showQuickSheetText(const QString& text) {
    if (sheetID_ != SheetStore::quickSheetID) showSheet(SheetStore::quickSheetID);
    const bool tooLarge = LargeSheetView::isTooLargeToEdit(text);
    if (editor_ && !tooLarge)
        editor_->replaceText(text);
    else if (largeView_ && tooLarge)
        largeView_->replaceText(text);
    else
        openSheet(SheetStore::quickSheetID);  // it crossed the size up to which it is edited
    showWindow();
    // After showing: a hidden view has no height to scroll by yet.
    if (editor_)
        editor_->revealEnd();
    else
        largeView_->revealEnd();
}

void SumWindow::newSheet() {
    if (!isKey()) return;
    try {
        showSheet(store_.createSheet());
    } catch (const StorageError&) {
        // The store keeps the failure for the status line.
    }
}

void SumWindow::nextSheet() {
    if (isKey()) stepSheet(1);
}

void SumWindow::previousSheet() {
    if (isKey()) stepSheet(-1);
}

void SumWindow::stepSheet(int by) {
    const auto& records = store_.records();
    if (records.empty()) return;
    const auto count = static_cast<int>(records.size());
    int at = 0;
    for (int i = 0; i < count; ++i)
        if (records[static_cast<std::size_t>(i)].id == sheetID_) at = i;
    showSheet(records[static_cast<std::size_t>(((at + by) % count + count) % count)].id);
}

void SumWindow::deleteSheet() {
    if (!isKey() || sheetID_ == SheetStore::quickSheetID) return;
    const auto& records = store_.records();
    std::size_t at = 0;
    while (at < records.size() && records[at].id != sheetID_) ++at;
    // The quick sheet always stands first, so a deletable sheet always has one before it.
    const QUuid after = at > 0 && at < records.size() ? records[at - 1].id : SheetStore::quickSheetID;
    const QUuid doomed = sheetID_;
    hooks_.confirm(this, tr("Delete this sheet?"), tr("This cannot be undone."), [this, doomed, after](bool yes) {
        if (!yes || doomed != sheetID_) return;
        try {
            store_.deleteSheet(doomed);
        } catch (const StorageError& e) {
            hooks_.alert(this, e.message());
            // The record may be gone from the index while its file stayed: show what remains.
            if (store_.record(doomed)) return;
        }
        showSheet(after);
    });
}

void SumWindow::updateTitle() {
    const QString text = titleText();
    setWindowTitle(text);
    title_->setToolTip(text);
    title_->setText(title_->fontMetrics().elidedText(text, Qt::ElideRight, std::max(40, title_->width())));
}

void SumWindow::updateFooter() {
    const PageTotal& total = editor_ ? editor_->pageTotal() : largeView_->pageTotal();
    std::optional<QString> source;
    if (const auto* value = std::get_if<PageTotal::Value>(&total.payload)) source = rateSourceText(value->quantity);
    footer_->setTotal(total, source);
}

// ---- Pinning, state, appearance ----------------------------------------------------------

void SumWindow::togglePin() {
    pinned_ = !pinned_;
    applyPin();
    emit pinChanged(pinned_);
    saveState();
}

void SumWindow::applyPin() {
    pin_->setPinned(pinned_);
    footer_->setPinned(pinned_);
}

void SumWindow::saveState() {
    if (restoring_) return;
    WindowState state;
    state.frame = QRectF(geometry());
    // A Wayland window is never told where it is (its position reads as 0,0), and the
    // compositor places it: keep the size, at the position known before, if any.
    if (!hooks_.positionKnown) state.frame.moveTopLeft(storedOrigin_);
    storedOrigin_ = state.frame.topLeft();
    state.pinned = pinned_;
    state.sheetID = sheetID_;
    state.save(windowSettings_);
}

void SumWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    saveState();
}

void SumWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateTitle();
    saveState();
}

void SumWindow::applyTheme() {
    theme_ = EditorTheme::forAppearance(runtime_.settings().windowAppearance());
    // Everything Qt draws in the window (its buttons, dialogs over it) takes the theme's colours.
    QPalette palette = theme_.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::WindowText, theme_.color(PaletteRole::footerText));
    setPalette(palette);
    setAutoFillBackground(false);
    title_->setFont(theme_.textFont());
    closeButton_->setIcon(closeIcon(theme_.color(PaletteRole::footerText)));
    if (editor_)
        editor_->setTheme(theme_);
    else
        largeView_->setTheme(theme_);
    footer_->setTheme(theme_);
    update();
    emit themeChanged();
}

void SumWindow::desktopSettingChanged(const QString& group, const QString& key, const QDBusVariant&) {
    if (group == QLatin1String("org.freedesktop.appearance") && key == QLatin1String("color-scheme") &&
        runtime_.settings().windowAppearance() == Appearance::system)
        applyTheme();
}

void SumWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) hadKeyboard_ = true;
    // Without a portal, "System" reads the desktop's palette, which the platform theme changes.
    if (event->type() == QEvent::ApplicationPaletteChange && sheetView_ &&
        runtime_.settings().windowAppearance() == Appearance::system)
        applyTheme();
}

void SumWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), theme_.color(PaletteRole::background));
    p.setPen(theme_.color(PaletteRole::separator));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- Moving and resizing -----------------------------------------------------------------

Qt::Edges SumWindow::edgesAt(QPoint point) const {
    Qt::Edges edges;
    if (point.x() < edgeWidth) edges |= Qt::LeftEdge;
    if (point.x() >= width() - edgeWidth) edges |= Qt::RightEdge;
    if (point.y() < edgeWidth) edges |= Qt::TopEdge;
    if (point.y() >= height() - edgeWidth) edges |= Qt::BottomEdge;
    return edges;
}

void SumWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !windowHandle()) return QWidget::mousePressEvent(event);
    // The window manager (or compositor) moves and resizes: the only way that works on Wayland.
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    if (edges ? windowHandle()->startSystemResize(edges) : windowHandle()->startSystemMove()) userMoving_ = true;
}

void SumWindow::endUserMove() {
    userMoving_ = false;
    moveWatch_->stop();
}

void SumWindow::mouseMoveEvent(QMouseEvent* event) {
    // The pointer is the window's again, its button up: whatever move there was is over. (With
    // the button still down this is the drag itself, before the window manager has taken it
    // over: the move is only beginning.)
    if (userMoving_ && event->buttons() == Qt::NoButton && QGuiApplication::applicationState() == Qt::ApplicationActive)
        endUserMove();
    const Qt::Edges edges = edgesAt(event->position().toPoint());
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        shape = Qt::SizeFDiagCursor;
    else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        shape = Qt::SizeBDiagCursor;
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        shape = Qt::SizeHorCursor;
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        shape = Qt::SizeVerCursor;
    setCursor(shape);
    QWidget::mouseMoveEvent(event);
}

}  // namespace quibsum
