#pragma once
// TextLoader: puts a sheet's text into the text view. A short text goes in at once; a longer
// one a part at a time, each between two turns of the event loop, so that opening it never
// freezes the window; the view is read-only until the last part is in. Lines longer than the
// view can lay out quickly are shown cut short (the sheet's own text keeps them whole). Either
// way the undo history starts empty.

#include <QObject>
#include <QString>
#include <cstdint>

class QPlainTextEdit;

namespace quibsum {

class TextLoader : public QObject {
    Q_OBJECT
public:
    // A longer text goes into the view a part of this many UTF-16 units at a time.
    static constexpr qsizetype partLength = 32 * 1024;
    // The text view cannot lay out a longer line quickly.
    static constexpr qsizetype maxEditableLineLength = 100000;

    explicit TextLoader(QPlainTextEdit* view, QObject* parent = nullptr);

    // Shows `text` in the view, replacing what it held; a load still under way stops.
    void load(const QString& text);

    // The text is still going into the view.
    bool isLoading() const { return loading_; }
    // The text last loaded holds a line too long to edit: it is shown shortened.
    bool hasUneditableLines() const { return uneditableLines_; }

    // The text as the view shows it: every line longer than the view can lay out cut short,
    // and `shortened` set when one was.
    static QString forDisplay(const QString& text, bool& shortened);

signals:
    // All of the text is in the view; `inParts` when it went in over several turns.
    void loaded(bool inParts);

private:
    void loadNextPart(std::uint64_t load);
    void finish(bool inParts);

    QPlainTextEdit* view_;
    QString unloaded_;         // what is still to go into the view
    std::uint64_t loads_ = 0;  // so that a superseded load stops
    bool loading_ = false;
    bool uneditableLines_ = false;
};

}  // namespace quibsum
