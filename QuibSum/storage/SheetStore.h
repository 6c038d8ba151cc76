#pragma once
// SheetStore: the user's sheets on disk. One folder holds "index.json" (every sheet's id,
// title, dates and position) and one UTF-8 text file per sheet, named by its id. Edits are
// kept in memory and written together, with the index, half a second after the last one;
// creating, deleting, appending to the quick sheet and saving write at once. Every file is
// replaced atomically (a failed write leaves the old file whole), and the folder is readable
// by its owner only.
//
// Several processes may use one folder at once (the window and `quibsum append`): every change
// is made under the folder's lock (SheetStoreLock), after reading the index again, so that the
// sheets another process added, deleted or changed are kept, and an append adds to the text
// the last writer saved.
//
// The quick sheet always exists, sorts first and cannot be deleted. Lives on the thread that
// runs its Qt event loop (the standard save timer runs there); not safe for concurrent use.

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "QuibSum/storage/SaveTimer.h"
#include "QuibSum/storage/StorageError.h"
#include "QuibSumRates/FileDevice.h"

namespace quibsum {

class SheetStore {
public:
    struct Record {
        QUuid id;
        QString title;
        QDateTime created;       // UTC
        QDateTime modified;      // UTC
        std::int64_t order = 0;  // the quick sheet has -1, other sheets 0 and up

        friend bool operator==(const Record&, const Record&) = default;
    };

    using Clock = std::function<QDateTime()>;

    static const QUuid quickSheetID;
    // The most text a sheet may hold; longer stored texts are refused, not read.
    static constexpr std::size_t maxTextBytes = 64 * 1024 * 1024;
    static constexpr std::size_t maxIndexBytes = 64 * 1024 * 1024;
    static constexpr std::chrono::milliseconds saveDelay{500};

    // Creates the folder (owner-only), reads the index and makes sure the quick sheet exists.
    // Throws StorageError: the folder cannot be made, the index cannot be read or is damaged
    // (the file is then left exactly as it was), or the first save fails. Without a clock or a
    // save timer, the system's and SaveTimer::standard().
    explicit SheetStore(const QString& directory, Clock clock = {}, std::unique_ptr<SaveTimer> saveTimer = {});
    SheetStore(const SheetStore&) = delete;
    SheetStore& operator=(const SheetStore&) = delete;

    const QString& directory() const { return directory_; }
    // Every sheet, sorted by order (stably).
    const std::vector<Record>& records() const { return records_; }
    const Record* record(const QUuid& id) const;
    const std::optional<QString>& lastError() const { return lastError_; }
    // Texts changed since the last successful save.
    bool hasPendingChanges() const { return !pending_.empty(); }
    bool isSaveScheduled() const { return saveTimer_->isActive(); }

    // The sheet's latest text: the unsaved one if any, else its file's. Throws StorageError
    // when the file cannot be read.
    QString text(const QUuid& id) const;
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
    // Writes every pending text, then the index. On failure sets lastError and throws; the
    // pending texts stay pending so that the next save writes them again.
    void save();

    // Called with lastError after every assignment of it (each save sets or clears it).
    std::function<void(const std::optional<QString>&)> onSaveStateChange;
    // Called after the records changed (a new modification date, a sheet added or removed).
    std::function<void()> onRecordsChange;

    // The canonical upper-case form, as in file names and the index.
    static QString idText(const QUuid& id);

    static QByteArray encodeIndex(const std::vector<Record>& records);
    // Throws std::invalid_argument naming the problem.
    static std::vector<Record> decodeIndex(const QByteArray& bytes);

    // Where the files are written; tests put a failing device here.
    void setFileDevice(FileDevice& device) { device_ = &device; }

private:
    // Runs `change` under the folder's lock after merging what other processes saved; sets or
    // clears lastError.
    template <class Change>
    auto locked(Change&& change);
    std::vector<Record> readIndex() const;  // none when there is no index
    void syncWithDisk();
    QString readText(const QUuid& id) const;
    void touch(const QUuid& id);
    void writeAll();
    QString indexPath() const;
    QString textPath(const QUuid& id) const;
    void writeFile(const QString& path, const QByteArray& bytes);
    void setLastError(std::optional<QString> error);
    void recordsChanged();
    void delayedSave();

    QString directory_;
    Clock clock_;
    std::vector<Record> records_;
    std::optional<QString> lastError_;
    std::map<QUuid, QString> pending_;
    // Records this process changed or deleted since its last save: they win over the index on
    // disk when the two are merged; every other record is taken from the disk.
    std::set<QUuid> changedRecords_;
    std::set<QUuid> deletedRecords_;
    std::set<QUuid> indexedOnDisk_;  // the sheets the index on disk listed when last read or written
    FileDevice* device_ = &FileDevice::system();
    std::unique_ptr<SaveTimer> saveTimer_;
};

}  // namespace quibsum
