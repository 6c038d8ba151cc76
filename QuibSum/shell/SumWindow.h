#pragma once
// SumWindow: the sheet window. It shows one sheet at a time, its editor above the total
// footer, under the title "Quib Sum" (the quick sheet) or "Quib Sum — <title>". Every change
// of text goes to the sheet store, whose failed writes show in the editor's status line; the
// window's place and pin state are remembered.

#include <QUuid>
#include <QWidget>

#include <functional>
#include <memory>

#include "QuibSum/editor/EditorTheme.h"

class QDBusVariant;
class QSettings;

namespace quibsum {

class EditorView;
class SheetStore;
class SumRuntime;
class TotalFooter;

class SumWindow : public QWidget {
    Q_OBJECT
public:
    // Opens the sheet the window showed last (else the quick sheet). Throws StorageError when
    // its text cannot be read.
    SumWindow(SheetStore& store, SumRuntime& runtime, QSettings& windowSettings, QWidget* parent = nullptr);
    ~SumWindow() override;

    EditorView* editor() const { return editor_; }
    TotalFooter* footer() const { return footer_; }
    const QUuid& sheetID() const { return sheetID_; }
    bool isPinned() const { return pinned_; }

    // Saves every pending text now; on failure shows why and returns false, so the program
    // keeps running and nothing typed is lost. Closing the window (Ctrl+Q, "Quit Quib Sum")
    // ends the program after such a save.
    bool saveBeforeQuit();
    void applyTheme();

    // Shows the window in front, with the keyboard focus, also when it was minimised.
    void present();
    // Hides the window when it is shown and active; otherwise presents it.
    void toggle();
    // Presents the quick sheet holding `text` (its whole text, just appended to), the caret
    // at the end, scrolled into view. Throws StorageError when the quick sheet cannot be read.
    void showQuickSheetAtEnd(const QString& text);

    // "Settings…" and Ctrl+,: for the settings window.
    std::function<void()> onSettings;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void desktopSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void showSheet(const QUuid& id);
    void updateTitle();
    void updateFooter();
    void togglePin();
    void saveState();

    SheetStore& store_;
    SumRuntime& runtime_;
    QSettings& windowSettings_;
    EditorTheme theme_;
    EditorView* editor_ = nullptr;
    TotalFooter* footer_;
    QUuid sheetID_;
    bool pinned_ = false;
    bool restoring_ = true;
};

}  // namespace quibsum
