#pragma once
// SheetStore: the user's sheets on disk. One folder holds "index.json" (every sheet's id,
// title, dates and position) and one UTF-8 text file per sheet, named by its id. Edits are
// kept in memory and written together, with the index, half a second after the last one;
// creating, deleting, appending to the quick sheet and saving write at once. Every file is
// replaced atomically (a failed write leaves the old file whole), and the folder is readable
// by its owner only.
//
// Several processes may use one folder at once (the window and `quibsum append`, or two
// sessions): every change is made under the folder's lock (SheetStoreLock), after reading the
// index again, so that the sheets another process added, deleted or changed are kept, and an
// append adds to the text the last writer saved. The lock is never waited for without end: the
// delayed save only tries it and tries again later, every other change waits at most
// lockWait().
//
// Each stored text carries a stamp of what this process last read or wrote (TextStamp). Before
// a text is written its file is compared with that stamp, under the lock: lines another process
// added at the end are merged into the text being saved; any other change is never written
// over: the other text is kept as a sheet of its own, "<title> (changed elsewhere)". Either way
// the owner hears of it through changedOutside(), as it does when checkForOutsideChanges() finds
// a change while nothing is unsaved.
//
// A stored text that is not UTF-8 is never written: reading it fails (kind notText), naming the
// file, and readOnlyText() gives it for display only.
//
// The quick sheet always exists, sorts first and cannot be deleted. Lives on the thread that
// runs its Qt event loop (the standard save timer runs there); not safe for concurrent use.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUuid>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "QuibSum/storage/SaveTimer.h"
#include "QuibSum/storage/StorageError.h"
#include "QuibSum/storage/TextStamp.h"
#include "QuibSumCore/Clock.h"
#include "QuibSumFiles/FileDevice.h"

namespace quibsum {

class SheetStore : public QObject {
    Q_OBJECT
public:
    struct Record {
        QUuid id;
        QString title;
        QDateTime created;       // UTC
        QDateTime modified;      // UTC
        std::int64_t order = 0;  // the quick sheet has -1, other sheets 0 and up

        friend bool operator==(const Record&, const Record&) = default;
    };

    // A stored text changed behind this process's back, as the owner is told.
    struct OutsideChange {
        enum class Kind {
            appended,   // lines added at its end: `text` is what follows the text shown
            replaced,   // changed otherwise while nothing here was unsaved: `text` is the whole new text
            keptApart,  // changed otherwise while this process had unsaved changes: those were saved
                        // and the other text is kept as the sheet `keptAs`
            notText,    // no longer UTF-8 text (`text` says so): only to be shown, read-only
        };
        QUuid id;
        Kind kind = Kind::appended;
        QString text;
        QUuid keptAs;
    };

    static const QUuid quickSheetID;
    // The most text a sheet may hold; longer stored texts are refused, not read.
    static constexpr std::size_t maxTextBytes = 64 * 1024 * 1024;
    static constexpr std::size_t maxIndexBytes = 64 * 1024 * 1024;
    static constexpr std::chrono::milliseconds saveDelay{500};
    // How long a change other than the delayed save waits for another process's lock, unless
    // told otherwise; and how soon a delayed save that found the lock held tries again.
    static constexpr std::chrono::milliseconds defaultLockWait{5000};
    static constexpr std::chrono::milliseconds lockRetryDelay{200};

    // Creates the folder (owner-only), reads the index and makes sure the quick sheet exists.
    // Throws StorageError: the folder cannot be made, the index cannot be read or is damaged
    // (the file is then left exactly as it was), or the first save fails. `clock` dates the
    // sheets and must outlive the store; without a save timer, SaveTimer::standard().
    explicit SheetStore(const QString& directory, const Clock& clock = Clock::system(),
                        std::unique_ptr<SaveTimer> saveTimer = {});

    const QString& directory() const { return directory_; }
    // Every sheet, sorted by order (stably).
    const std::vector<Record>& records() const { return records_; }
    const Record* record(const QUuid& id) const;
    const std::optional<QString>& lastError() const { return lastError_; }
    // Texts changed since the last successful save.
    bool hasPendingChanges() const { return !pending_.empty(); }
    bool isSaveScheduled() const { return saveTimer_->isActive(); }

    // The sheet's latest text: the unsaved one if any, else its file's. Throws StorageError
    // when the file cannot be read, or (kind notText) is not UTF-8 text.
    QString text(const QUuid& id) const;
    // A stored text that is not UTF-8, every bad byte shown as U+FFFD: for display only, never
    // to be saved. Throws StorageError when the file cannot be read.
    QString readOnlyText(const QUuid& id) const;
    // Records a new text and (re)starts the delayed save.
    void setText(const QString& text, const QUuid& id);
    // Adds the text as new lines at the end of the quick sheet, saves at once and returns the
    // quick sheet's whole text. Throws StorageError, also when the text would exceed
    // maxTextBytes.
    QString appendToQuickSheet(const QString& text);
    // Adds an empty sheet at the end and saves at once. Without a title it is named
    // "Sheet N" with the smallest N not taken. Throws StorageError.
    QUuid createSheet(const std::optional<QString>& title = std::nullopt);
    // Removes the sheet from the index, saves, then removes its file. Throws StorageError
    // (protectedSheet for the quick sheet, which is left untouched).
    void deleteSheet(const QUuid& id);
    // Writes every pending text, then the index (so a failed text write leaves the index as it
    // was). On failure sets lastError and throws; the pending texts stay pending so that the
    // next save writes them again.
    void save();
    // Compares every stored text this process read or wrote with its file and reports the
    // changes made elsewhere through changedOutside(); a changed sheet with unsaved changes is
    // saved at once (which merges them, or keeps both). Takes no lock and never waits.
    void checkForOutsideChanges();

    std::chrono::milliseconds lockWait() const { return lockWait_; }
    void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

    // The canonical upper-case form, as in file names and the index.
    static QString idText(const QUuid& id);

    static QByteArray encodeIndex(const std::vector<Record>& records);
    // Throws std::invalid_argument naming the problem.
    static std::vector<Record> decodeIndex(const QByteArray& bytes);

    // Where the files are written; tests put a failing device here.
    void setFileDevice(FileDevice& device) { device_ = &device; }

signals:
    // With lastError after every assignment of it (each save sets or clears it).
    void saveStateChanged(const std::optional<QString>& error);
    // A stored text changed elsewhere (see OutsideChange), during a save or a check, before
    // the store's own text of that sheet is used again (a direct connection runs in time).
    void changedOutside(const quibsum::SheetStore::OutsideChange& change);

private:
    // Runs `change` under the folder's lock after merging what other processes saved; sets or
    // clears lastError.
    template <class Change>
    auto locked(std::chrono::milliseconds wait, Change&& change);
    std::vector<Record> readIndex() const;  // none when there is no index
    void syncWithDisk();
    // The file's bytes, stamped; throws StorageError when it cannot be read.
    std::pair<QByteArray, TextStamp> readStored(const QUuid& id) const;
    QString readText(const QUuid& id) const;
    // Under the lock, before a pending text is written over its file: merges lines added
    // elsewhere, or keeps another change as a sheet of its own.
    void reconcile(const QUuid& id);
    QUuid keepApart(const QUuid& id, const QByteArray& bytes);
    void reportOutsideChange(OutsideChange change);
    void touch(const QUuid& id);
    void writeAll();
    void writeTexts();
    void writeIndex();
    QString indexPath() const;
    QString textPath(const QUuid& id) const;
    void writeFile(const QString& path, const QByteArray& bytes);
    void setLastError(std::optional<QString> error);
    void delayedSave();
    QDateTime currentTime() const;  // UTC, from the clock

    QString directory_;
    const Clock& clock_;
    std::vector<Record> records_;
    std::optional<QString> lastError_;
    std::map<QUuid, QString> pending_;
    // Records this process changed or deleted since its last save: they win over the index on
    // disk when the two are merged; every other record is taken from the disk.
    std::set<QUuid> changedRecords_;
    std::set<QUuid> deletedRecords_;
    // The stored texts as this process last read or wrote them.
    mutable std::map<QUuid, TextStamp> known_;
    std::chrono::milliseconds lockWait_ = defaultLockWait;
    FileDevice* device_ = &FileDevice::system();
    std::unique_ptr<SaveTimer> saveTimer_;
};

}  // namespace quibsum
