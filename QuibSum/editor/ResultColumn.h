#pragma once
// ResultColumn: each line's result, right-aligned and level with the line's first visual row.
// A click on a result copies exactly the text shown and the row reads "Copied" for a moment;
// hovering a converted amount tells where its rate came from. Notes have no row; errors are
// drawn in the error colour and never copied. A result too long for the column keeps its unit
// or currency and gives up digits from the middle of its figure; the whole text is then its
// tooltip.

#include <QFontMetricsF>
#include <QString>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "QuibSum/editor/EditorTheme.h"
#include "QuibSum/editor/Schedule.h"
#include "QuibSumCore/LineResult.h"

namespace quibsum {

class SumTextView;

class ResultColumn : public QWidget {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds copiedFeedback{650};
    // Between a row's text and the column's sides.
    static constexpr qreal sidePadding = 8;

    // What the column needs of the editor.
    struct Source {
        std::function<const LineResult*(int line)> result;  // null past the last line
        std::function<std::optional<QString>(const Quantity&)> rateSource;
    };

    struct Row {
        int line = 0;
        QRectF rect;  // the line's first visual row, in the column's coordinates
        QString text;
        bool error = false;
        bool carriesRate = false;
    };

    ResultColumn(SumTextView* text, Source source, QWidget* parent = nullptr);

    void setTheme(const EditorTheme& theme);
    // Where copied text goes, and how the feedback's end is scheduled (tests inject both).
    void setClipboard(std::function<void(const QString&)> copy) { copy_ = std::move(copy); }
    void setSchedule(Schedule schedule) { schedule_ = std::move(schedule); }

    // The rows of the lines in view, top to bottom.
    std::vector<Row> rows() const;
    // Copies a line's result (not an error's) and shows "Copied" in its row.
    void copyResult(int line);
    // Redraws the rows of these lines only (ascending).
    void invalidate(const std::vector<std::size_t>& lines);
    // Redraws the rows of this line and every line after it in view (lines below moved).
    void invalidateFrom(int line);
    std::optional<int> copiedLine() const { return copied_; }
    // The text a row shows now ("Copied" during the feedback).
    QString shownText(const Row& row) const;
    // The row's text as it fits the row: whole, or shortened inside its figure ("123,4…00.00 USD").
    QString fittedText(const Row& row) const;
    // The width the column would need to show every row in view whole.
    int wantedWidth() const;
    // Over a shortened row, its whole text; over a converted amount, where its rate came from.
    std::optional<QString> tooltip(QPointF point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::optional<Row> rowAt(QPointF point) const;
    // Calls `visit(line, rect)` for each line in view, top to bottom, until it returns false.
    template <typename Visit>
    void forEachLineInView(Visit visit) const;
    void redrawLine(int line);

    SumTextView* text_;
    Source source_;
    EditorTheme theme_;
    std::function<void(const QString&)> copy_;
    Schedule schedule_;
    std::optional<int> copied_;
    std::uint64_t copies_ = 0;  // so that only the latest copy's feedback ends
    std::map<int, QRectF> drawnRects_;
};

// A result's text as the column shows it: the display text of a value, the message of an
// error through the application's translations, nothing for a note.
QString resultText(const LineResult& result);
// An engine's message (an error's, a total's) in the application's language.
QString engineMessageText(const std::string& message);
// A result's text as it fits `width`: whole when it does; else a value keeps what follows its
// figure (the unit or currency after the last space) and loses digits from the figure's middle,
// and anything else is cut at its end.
QString fitResultText(const QString& text, bool error, const QFontMetricsF& metrics, qreal width);

}  // namespace quibsum
