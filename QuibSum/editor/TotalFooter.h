#pragma once
// TotalFooter: the page total at the bottom of the window ("Total:" and a button that copies
// it), the pin button and the settings menu (number style, default VND rate, appearance, rate
// refresh, settings, donation, updates, quit).

#include <QString>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/editor/Schedule.h"
#include "QuibSumCore/PageTotal.h"

class QLabel;
class QMenu;
class QToolButton;

namespace quibsum {

class SumSettings;

class TotalFooter : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds copiedFeedback{1500};

    explicit TotalFooter(SumSettings& settings, QWidget* parent = nullptr);

    // The total to show, with the line naming its rate's source when it was converted.
    void setTotal(const PageTotal& total, const std::optional<QString>& rateSource = std::nullopt);
    const PageTotal& total() const { return total_; }
    // The text that a copy puts on the clipboard; none when there is nothing to copy.
    const std::optional<QString>& display() const { return display_; }
    bool isError() const { return isError_; }
    bool isCopied() const { return isCopied_; }

    void copyTotal();
    // Ends the "Copied" feedback now (the window is hidden or shows another sheet).
    void endFeedback();
    void setPinned(bool pinned);
    void setTheme(const EditorTheme& theme);

    void setClipboard(std::function<void(const QString&)> copy) { copy_ = std::move(copy); }
    void setSchedule(Schedule schedule) { schedule_ = std::move(schedule); }

    QToolButton* valueButton() const { return valueButton_; }
    QToolButton* pinButton() const { return pinButton_; }
    QToolButton* settingsButton() const { return settingsButton_; }
    QMenu* settingsMenu() const { return menu_; }

    // Puts "Donate…" and "Check for Updates…" in the menu (left out until then: a build
    // without the project's pages has neither).
    void offerProjectPages(bool donate, bool updates);

signals:
    void pinClicked();
    void refreshRequested();
    void settingsRequested();
    void donateRequested();
    void updatesRequested();
    void quitRequested();

private:
    void buildMenu();
    void refreshChecks();
    void themeMenus();
    void showTotal();

    struct ChoiceMenu {
        QMenu* menu;
        const QString& (SumSettings::*current)() const;
    };

    SumSettings& settings_;
    EditorTheme theme_;
    std::vector<ChoiceMenu> choiceMenus_;
    QLabel* label_;
    QToolButton* valueButton_;
    QToolButton* pinButton_;
    QToolButton* settingsButton_;
    QMenu* menu_;
    QAction* donateAction_ = nullptr;
    QAction* updatesAction_ = nullptr;
    bool offersDonate_ = false;
    bool offersUpdates_ = false;
    std::function<void(const QString&)> copy_;
    Schedule schedule_;
    PageTotal total_;
    std::optional<QString> display_;
    QString totalTitle_;
    bool isError_ = false;
    bool isCopied_ = false;
    std::uint64_t feedbackGeneration_ = 0;
};

}  // namespace quibsum
