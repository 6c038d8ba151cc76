#pragma once
// CompletionList: the small list of variable names offered under the caret. It never takes
// the keyboard: the editor moves its selection and accepts from it, and a click on a row
// accepts that row. Six rows show at once; the list scrolls to keep the selection in view.

#include <QStringList>
#include <QWidget>

#include "QuibSum/editor/EditorTheme.h"

namespace quibsum {

class CompletionList : public QWidget {
    Q_OBJECT
public:
    static constexpr int rowHeight = 26;
    static constexpr int visibleRowCount = 6;

    explicit CompletionList(QWidget* parent = nullptr);

    void show(const QStringList& candidates);
    void dismiss();
    void moveSelection(int by);
    void acceptSelected();
    void setTheme(const EditorTheme& theme);

    const QStringList& candidates() const { return candidates_; }
    int selectedIndex() const { return selectedIndex_; }
    int firstVisibleIndex() const { return firstVisibleIndex_; }
    // The size the list takes for its candidates.
    QSize listSize() const;

signals:
    void accepted(const QString& name);
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QStringList candidates_;
    int selectedIndex_ = 0;
    int firstVisibleIndex_ = 0;
    EditorTheme theme_;
};

}  // namespace quibsum
