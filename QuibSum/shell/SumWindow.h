#pragma once
// SumWindow: the sheet window, a light panel of its own making: a title line with the sheet's
// name and a close button, the editor, the total footer. A drag on its background moves it
// and its edges resize it (through the window manager or compositor, so both work on X11 and
// Wayland alike). It shows one sheet of the store at a time and switches, creates and deletes
// them; it hides on Escape, on its close button and, unless pinned, when the application
// loses focus, and is never destroyed while the program runs. Pinned, it stays above other
// windows and on every workspace. Its frame, pin state and sheet are remembered.
//
// It watches the sheets folder: a line another program (`quibsum append`, another session)
// adds to the sheet shown appears at once, without moving the caret, and a change it cannot
// merge is kept as a sheet of its own, which the user is told of. A sheet whose stored text is
// not UTF-8 is shown read-only, with the reason.
//
// Confirmations and focus questions go through `Hooks`, so that its logic runs in tests
// without a window manager.

#include <QUuid>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/storage/SheetStore.h"

class QAction;
class QFileSystemWatcher;
class QTimer;
class QDBusVariant;
class QLabel;
class QSettings;
class QTimer;
class QToolButton;

namespace quibsum {

class WindowPin;
class EditorView;
class LargeSheetView;
class SumRuntime;
class TotalFooter;

class SumWindow : public QWidget {
    Q_OBJECT
public:
    struct Hooks {
        // Asks the question with its two buttons ("Delete", "Cancel"); calls back with whether
        // the first was chosen.
        std::function<void(QWidget* window, const QString& message, const QString& details,
                           std::function<void(bool confirmed)>)>
            confirm;
        // Shows an error the user must acknowledge.
        std::function<void(QWidget* window, const QString& message)> alert;
        // Brings a window forward and gives it the keyboard.
        std::function<void(QWidget* window)> present;
        // The window that has the keyboard now, if any.
        std::function<QWidget*()> currentKeyWindow;
        // Whether the window system tells a window where it is (Wayland does not).
        bool positionKnown = true;

        static Hooks standard();
    };

    // Opens the sheet the window showed last (else the quick sheet). Throws StorageError when
    // its text cannot be read.
    SumWindow(SheetStore& store, SumRuntime& runtime, QSettings& windowSettings, Hooks hooks = Hooks::standard(),
              QWidget* parent = nullptr);

    // The sheet shown: in the editor, or, when it is too large to edit, in a read-only view
    // (LargeSheetView::isTooLargeToEdit). Exactly one of the two is there.
    EditorView* editor() const { return editor_; }
    LargeSheetView* largeSheetView() const { return largeView_; }
    TotalFooter* footer() const { return footer_; }
    const QUuid& sheetID() const { return sheetID_; }
    bool isPinned() const { return pinned_; }
    QString titleText() const;
    QAction* deleteAction() const { return deleteAction_; }

    // The window's operations, as its keys and menu run them.
    void showWindow();
    void hideWindow();
    // Hides the window when it is shown (and, when pinned, has the keyboard), else shows it.
    void toggleWindow();
    void newSheet();
    void nextSheet();
    void previousSheet();
    void deleteSheet();
    void closeKeyWindow();
    void togglePin();
    // Shows a sheet; a sheet whose text cannot be read is not shown (the current one stays),
    // one whose text is not UTF-8 is shown read-only.
    bool showSheet(const QUuid& id);
    // Compares the stored texts with the files now (the folder watch does it on every change).
    void checkForOutsideChanges();
    // Shows the quick sheet with this text (it changed outside the window), the caret at its
    // end, in view.
    void showQuickSheetText(const QString& text);

    // Saves every pending text; on failure alerts and returns false, so the program keeps
    // running and nothing typed is lost.
    bool saveBeforeQuit();
    // Quits the program once everything is saved.
    void quit();
    void applyTheme();
    // Puts a notice at the bottom of the sheet, above the footer; it hides and shows itself.
    void setNotice(QWidget* notice);
    // A short line above the footer until the window hides ("No text is selected…").
    void showNote(const QString& text);
    QLabel* note() const { return note_; }

signals:
    // "Settings…" and Ctrl+,: for the settings window.
    void settingsRequested();
    // After the window was shown (a rate refresh may be due).
    void shown();
    // The pin state changed.
    void pinChanged(bool pinned);
    // The window took the colours of another appearance (the setting, or the desktop's scheme
    // when the setting follows it).
    void themeChanged();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void desktopSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void buildMenus();
    bool openSheet(const QUuid& id);
    QWidget* openEditor(const QString& text, const std::optional<QString>& readOnly, const QUuid& id);
    QWidget* openLargeSheet(const QString& text, const std::optional<QString>& readOnly, const QUuid& id);
    QString sheetFile(const QUuid& id) const;
    void focusSheet();
    void outsideChange(const SheetStore::OutsideChange& change);
    void watchShownSheet();
    bool isKey() const;
    void stepSheet(int by);
    void updateTitle();
    void updateFooter();
    void applyPin();
    void saveState();
    Qt::Edges edgesAt(QPoint point) const;
    void endUserMove();

    SheetStore& store_;
    SumRuntime& runtime_;
    QSettings& windowSettings_;
    Hooks hooks_;
    EditorTheme theme_;
    QLabel* title_;
    QLabel* note_;
    QToolButton* closeButton_;
    EditorView* editor_ = nullptr;
    LargeSheetView* largeView_ = nullptr;
    QWidget* sheetView_ = nullptr;  // the one of the two shown
    TotalFooter* footer_;
    QFileSystemWatcher* sheetsWatch_;
    QTimer* checkSoon_;  // gathers a burst of file events into one check
    QTimer* moveWatch_;
    WindowPin* pin_;
    QAction* deleteAction_ = nullptr;
    QUuid sheetID_;
    bool pinned_ = false;
    bool restoring_ = true;
    QPointF storedOrigin_;       // where the frame stored last is, kept while the position is unknown
    bool hadKeyboard_ = false;   // since it was last shown
    bool userMoving_ = false;    // the window manager moves or resizes it for the user
    std::string lastOpenError_;  // why the last sheet could not be opened
};

}  // namespace quibsum
