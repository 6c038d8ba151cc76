#include "QuibSum/storage/SheetStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <type_traits>

#include "QuibSum/storage/JsonText.h"
#include "QuibSum/storage/SheetStoreLock.h"
#include "QuibSumCore/LineEnds.h"
#include "QuibSumFiles/StoredFile.h"

namespace quibsum {

const QUuid SheetStore::quickSheetID = QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-000000000001"));

namespace {

// Dates in the index count seconds from 2001-01-01 00:00:00 UTC, with a fraction.
constexpr double referenceDateOffset = 978307200.0;  // 2001-01-01 in Unix seconds
// Far beyond any real date, yet small enough that the conversion to milliseconds is exact.
constexpr double maxIndexDate = 1e13;

double encodeDate(const QDateTime& date) {
    // Subtract in whole milliseconds first, so the number written is the date's own decimal.
    return static_cast<double>(date.toMSecsSinceEpoch() - static_cast<qint64>(referenceDateOffset) * 1000) / 1000.0;
}

QDateTime decodeDate(double seconds) {
    auto ms = static_cast<qint64>(std::llround((seconds + referenceDateOffset) * 1000.0));
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

QString quoted(const QString& path) { return QStringLiteral("“%1”").arg(path); }

// Makes every missing folder of the path, owner-only, and makes the last one owner-only even
// if it existed: sheets are private notes.
void makePrivateFolder(const QString& path) {
    QByteArray native = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    for (qsizetype i = 1; i <= native.size(); ++i) {
        if (i < native.size() && native[i] != '/') continue;
        QByteArray prefix = native.left(i);
        if (::mkdir(prefix.constData(), 0700) != 0 && errno != EEXIST) {
            throw StorageError(
                StorageError::Kind::file,
                QCoreApplication::translate("SheetStore", "Could not create the folder %1: %2")
                    .arg(quoted(QFile::decodeName(prefix)), QString::fromLocal8Bit(std::strerror(errno))));
        }
    }
    struct stat info {};
    if (::stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        throw StorageError(
            StorageError::Kind::file,
            QCoreApplication::translate("SheetStore", "Could not create the folder %1: it is not a folder")
                .arg(quoted(path)));
    }
    if ((info.st_mode & 077) != 0 && info.st_uid == ::geteuid()) ::chmod(native.constData(), info.st_mode & 0700);
}

std::invalid_argument damaged(const QString& problem) { return std::invalid_argument(problem.toStdString()); }

StorageError notText(const QString& path) {
    return StorageError(
        StorageError::Kind::notText,
        QCoreApplication::translate(
            "SheetStore", "The sheet %1 is not UTF-8 text, so it is kept exactly as it is and can only be read")
            .arg(quoted(path)));
}

bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

// The lines another process added at the end of the text stamped `before`, now `bytes`, as the
// store's own append adds them (after a line break, added when the text did not end in one);
// none for any other change.
std::optional<QString> appendedLines(const TextStamp& before, QByteArrayView bytes) {
    if (!before.isUtf8() || bytes.size() <= before.size() || !before.isPrefixOf(bytes)) return std::nullopt;
    QByteArrayView tail = bytes.sliced(before.size());
    if (before.size() > 0 && !isLineBreak(bytes[before.size() - 1])) {
        if (tail.front() != '\n') return std::nullopt;
        tail = tail.sliced(1);
    }
    std::optional<QString> lines = TextStamp::decode(tail);
    if (!lines) return std::nullopt;
    return LineEnds::withLineFeeds(std::move(*lines));
}

// What follows `shown` (a text, or none when it ended in a line break or was empty) once
// `lines` are added to it.
QString appendedTo(bool shownEndsOpen, const QString& lines) { return shownEndsOpen ? u'\n' + lines : lines; }

}  // namespace

SheetStore::SheetStore(const QString& directory, const Clock& clock, std::unique_ptr<SaveTimer> saveTimer)
    : directory_(directory), clock_(clock), saveTimer_(saveTimer ? std::move(saveTimer) : SaveTimer::standard()) {
    // The timer dies with the store, so a discarded store is never saved late.
    connect(saveTimer_.get(), &SaveTimer::timeout, this, [this] { delayedSave(); });

    makePrivateFolder(directory_);

    records_ = readIndex();
    if (record(quickSheetID) != nullptr) return;

    // Decided under the lock: a concurrent first run may be creating the quick sheet, and its
    // text must not be written over with an empty one.
    try {
        SheetStoreLock lock(directory_, lockWait_);
        syncWithDisk();
        if (record(quickSheetID) == nullptr) {
            QDateTime now = currentTime();
            records_.insert(records_.begin(), Record{quickSheetID, tr("Quick"), now, now, -1});
            changedRecords_.insert(quickSheetID);
            // A quick sheet whose record was lost (an index removed by hand) still has the
            // user's text: keep its file as it is rather than writing an empty text over it.
            QFileInfo file(textPath(quickSheetID));
            if (!file.exists() && !file.isSymLink()) pending_[quickSheetID] = QString();
            writeAll();
        }
    } catch (const StorageError& e) {
        setLastError(e.message());
        throw;
    }
}

std::vector<SheetStore::Record> SheetStore::readIndex() const {
    std::optional<std::string> bytes;
    try {
        bytes = StoredFile::read(QFile::encodeName(indexPath()).toStdString(), maxIndexBytes);
    } catch (const StoredFileError& e) {
        throw StorageError(
            StorageError::Kind::file,
            tr("Could not read the sheet index %1: %2").arg(quoted(indexPath()), QString::fromStdString(e.reason())));
    }
    if (!bytes) return {};
    std::vector<Record> records;
    try {
        records = decodeIndex(QByteArray::fromStdString(*bytes));
    } catch (const std::invalid_argument& e) {
        // Never rebuilt or overwritten: it lists the user's sheets and may be repairable.
        throw StorageError(
            StorageError::Kind::damagedIndex,
            tr("The sheet index %1 is damaged: %2").arg(quoted(indexPath()), QString::fromUtf8(e.what())));
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const Record& a, const Record& b) { return a.order < b.order; });
    return records;
}

void SheetStore::syncWithDisk() {
    std::vector<Record> merged = readIndex();
    std::erase_if(merged, [&](const Record& r) { return deletedRecords_.contains(r.id); });
    for (const QUuid& id : changedRecords_) {
        const Record* mine = record(id);
        if (mine == nullptr) continue;
        auto it = std::find_if(merged.begin(), merged.end(), [&](const Record& r) { return r.id == id; });
        if (it != merged.end())
            *it = *mine;
        else
            merged.push_back(*mine);
    }
    std::stable_sort(merged.begin(), merged.end(), [](const Record& a, const Record& b) { return a.order < b.order; });
    // A sheet another process deleted takes its unsaved text with it: there is no record left
    // to find it by.
    std::erase_if(pending_, [&](const auto& entry) {
        return std::none_of(merged.begin(), merged.end(), [&](const Record& r) { return r.id == entry.first; });
    });
    if (merged != records_) records_ = std::move(merged);
}

std::pair<QByteArray, TextStamp> SheetStore::readStored(const QUuid& id) const {
    const QString path = textPath(id);
    // Stamped before it is read: a change made meanwhile is then seen at the next look.
    const std::optional<TextStamp::FileID> file = TextStamp::stat(path);
    std::optional<std::string> bytes;
    QString reason;
    try {
        bytes = StoredFile::read(QFile::encodeName(path).toStdString(), maxTextBytes);
        if (!bytes) reason = QString::fromLocal8Bit(std::strerror(ENOENT));
    } catch (const StoredFileError& e) {
        reason = QString::fromStdString(e.reason());
    }
    if (!bytes)
        throw StorageError(StorageError::Kind::file, tr("Could not read the sheet %1: %2").arg(quoted(path), reason));
    QByteArray data = QByteArray::fromStdString(*bytes);
    TextStamp stamp(file, data);
    return {std::move(data), std::move(stamp)};
}

QString SheetStore::readText(const QUuid& id) const {
    auto [bytes, stamp] = readStored(id);
    std::optional<QString> text = TextStamp::decode(bytes);
    known_[id] = std::move(stamp);
    // Decoding would put U+FFFD in place of every bad byte, and a save would then write that
    // over the user's text.
    if (!text) throw notText(textPath(id));
    return LineEnds::withLineFeeds(std::move(*text));
}

QString SheetStore::readOnlyText(const QUuid& id) const {
    auto [bytes, stamp] = readStored(id);
    known_[id] = std::move(stamp);
    return LineEnds::withLineFeeds(QString::fromUtf8(bytes));
}

void SheetStore::reconcile(const QUuid& id) {
    auto pending = pending_.find(id);
    if (pending == pending_.end()) return;
    const QString path = textPath(id);
    const std::optional<TextStamp::FileID> file = TextStamp::stat(path);
    auto known = known_.find(id);
    if (known != known_.end() && known->second.file() == file) {
        if (file && !known->second.isUtf8()) throw notText(path);
        return;
    }
    if (!file) return;  // not there (any more): written anew

    auto [bytes, seen] = readStored(id);
    QString& mine = pending->second;
    if (known != known_.end()) {
        const TextStamp before = std::exchange(known->second, seen);
        if (before.sameBytes(seen)) return;  // touched, not changed
        if (std::optional<QString> lines = appendedLines(before, bytes)) {
            const QString added = appendedTo(!mine.isEmpty() && !mine.endsWith(u'\n'), *lines);
            mine += added;
            reportOutsideChange({id, OutsideChange::Kind::appended, added, {}});
            return;
        }
    } else {
        known_[id] = seen;
    }
    // Changed some other way: nothing of it is written over.
    if (bytes.isEmpty()) return;
    if (std::optional<QString> theirs = TextStamp::decode(bytes); theirs && LineEnds::withLineFeeds(*theirs) == mine)
        return;
    const QUuid kept = keepApart(id, bytes);
    reportOutsideChange({id, OutsideChange::Kind::keptApart, {}, kept});
}

QUuid SheetStore::keepApart(const QUuid& id, const QByteArray& bytes) {
    const Record* source = record(id);
    const QString title = tr("%1 (changed elsewhere)").arg(source ? source->title : tr("Quick"));
    std::int64_t order = 0;
    for (const Record& r : records_) order = std::max(order, r.order + 1);
    const QDateTime now = currentTime();
    const QUuid kept = QUuid::createUuid();
    // A copy, byte for byte: the sheet's own file is replaced only by the save that follows.
    writeFile(textPath(kept), bytes);
    known_[kept] = TextStamp(TextStamp::stat(textPath(kept)), bytes);
    records_.push_back(Record{kept, title, now, now, order});
    changedRecords_.insert(kept);
    return kept;
}

void SheetStore::reportOutsideChange(OutsideChange change) { emit changedOutside(change); }

void SheetStore::checkForOutsideChanges() {
    std::vector<QUuid> ids;
    for (const auto& [id, stamp] : known_) ids.push_back(id);
    bool saveNow = false;
    for (const QUuid& id : ids) {
        auto known = known_.find(id);
        if (known == known_.end() || record(id) == nullptr) continue;
        const std::optional<TextStamp::FileID> file = TextStamp::stat(textPath(id));
        if (file == known->second.file()) continue;
        if (pending_.contains(id)) {
            saveNow = true;  // the save merges, or keeps both
            continue;
        }
        if (!file) continue;  // removed: its next reading says so
        std::pair<QByteArray, TextStamp> stored;
        try {
            stored = readStored(id);
        } catch (const StorageError&) {
            continue;  // unreadable now: its next reading says why
        }
        const auto& [bytes, seen] = stored;
        const TextStamp before = std::exchange(known_[id], seen);
        if (before.sameBytes(seen)) continue;
        if (std::optional<QString> lines = appendedLines(before, bytes)) {
            const bool endsOpen = before.size() > 0 && !isLineBreak(bytes[before.size() - 1]);
            reportOutsideChange({id, OutsideChange::Kind::appended, appendedTo(endsOpen, *lines), {}});
        } else if (std::optional<QString> text = TextStamp::decode(bytes)) {
            reportOutsideChange({id, OutsideChange::Kind::replaced, LineEnds::withLineFeeds(std::move(*text)), {}});
        } else {
            reportOutsideChange({id, OutsideChange::Kind::notText, notText(textPath(id)).message(), {}});
        }
    }
    if (saveNow) delayedSave();
}

const SheetStore::Record* SheetStore::record(const QUuid& id) const {
    auto it = std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.id == id; });
    return it == records_.end() ? nullptr : &*it;
}

QString SheetStore::text(const QUuid& id) const {
    if (auto it = pending_.find(id); it != pending_.end()) return it->second;
    return readText(id);
}

void SheetStore::setText(const QString& text, const QUuid& id) {
    pending_[id] = LineEnds::withLineFeeds(text);
    touch(id);
    saveTimer_->start(saveDelay);  // restarts a waiting save: a burst of edits gives one write
}

template <class Change>
auto SheetStore::locked(std::chrono::milliseconds wait, Change&& change) {
    saveTimer_->stop();
    try {
        SheetStoreLock lock(directory_, wait);
        // Other processes may have changed the index and the texts since they were read.
        syncWithDisk();
        if constexpr (std::is_void_v<decltype(change())>) {
            change();
            setLastError(std::nullopt);
        } else {
            auto result = change();
            setLastError(std::nullopt);
            return result;
        }
    } catch (const StorageError& e) {
        setLastError(e.message());
        // Unsaved texts are saved as soon as the other process lets the lock go.
        if (e.kind() == StorageError::Kind::locked && !pending_.empty()) saveTimer_->start(lockRetryDelay);
        throw;
    }
}

QString SheetStore::appendToQuickSheet(const QString& text) {
    std::optional<QString> indexError;
    QString whole = locked(lockWait_, [&] {
        // The file as the last writer left it, unless this process holds a newer text (with
        // what was added to the file since merged into it).
        reconcile(quickSheetID);
        QString combined = pending_.contains(quickSheetID) ? pending_[quickSheetID] : readText(quickSheetID);
        if (!combined.isEmpty() && !combined.endsWith(u'\n')) combined += u'\n';
        combined += LineEnds::withLineFeeds(text);
        if (static_cast<std::size_t>(combined.toUtf8().size()) > maxTextBytes) {
            throw StorageError(StorageError::Kind::file,
                               tr("Could not add to the quick sheet: it would be larger than the %1 limit")
                                   .arg(QString::fromStdString(StoredFile::sizeText(maxTextBytes))));
        }
        // A failed append is reported to the caller, who may try again: it must not stay behind
        // to be written by a later save and appear twice.
        std::optional<QString> before;
        if (auto it = pending_.find(quickSheetID); it != pending_.end()) before = it->second;
        pending_[quickSheetID] = combined;
        touch(quickSheetID);
        try {
            writeTexts();
        } catch (const StorageError&) {
            if (before)
                pending_[quickSheetID] = *before;
            else
                pending_.erase(quickSheetID);
            throw;
        }
        // The text is saved, so the append stands: the index (a modification date) is written
        // again by the next save, and the failure is kept for the status line.
        try {
            writeIndex();
            pending_.clear();
            changedRecords_.clear();
            deletedRecords_.clear();
        } catch (const StorageError& e) {
            indexError = e.message();
        }
        return combined;
    });
    if (indexError) setLastError(indexError);
    return whole;
}

QUuid SheetStore::createSheet(const std::optional<QString>& title) {
    return locked(lockWait_, [&] {
        QString name;
        if (title) {
            name = *title;
        } else {
            for (long long n = 1;; ++n) {
                name = tr("Sheet %1").arg(n);
                if (std::none_of(records_.begin(), records_.end(), [&](const Record& r) { return r.title == name; }))
                    break;
            }
        }
        std::int64_t order = 1;
        if (!records_.empty()) {
            order = std::max_element(records_.begin(), records_.end(),
                                     [](const Record& a, const Record& b) { return a.order < b.order; })
                        ->order +
                    1;
        }
        QDateTime now = currentTime();
        QUuid id = QUuid::createUuid();
        records_.push_back(Record{id, name, now, now, order});
        changedRecords_.insert(id);
        pending_[id] = QString();
        try {
            writeAll();
        } catch (const StorageError&) {
            // Not created, as the caller is told: it must not appear at a later save.
            records_.pop_back();
            changedRecords_.erase(id);
            pending_.erase(id);
            throw;
        }
        return id;
    });
}

void SheetStore::deleteSheet(const QUuid& id) {
    if (id == quickSheetID) {
        throw StorageError(StorageError::Kind::protectedSheet, tr("The quick sheet cannot be deleted."));
    }
    locked(lockWait_, [&] {
        std::erase_if(records_, [&](const Record& r) { return r.id == id; });
        pending_.erase(id);
        changedRecords_.erase(id);
        deletedRecords_.insert(id);
        writeAll();
        QFile file(textPath(id));
        if (!file.remove()) {
            throw StorageError(
                StorageError::Kind::file,
                tr("Could not remove the sheet %1: %2").arg(quoted(file.fileName()), file.errorString()));
        }
    });
}

void SheetStore::save() {
    locked(lockWait_, [&] { writeAll(); });
}

void SheetStore::touch(const QUuid& id) {
    auto it = std::find_if(records_.begin(), records_.end(), [&](const Record& r) { return r.id == id; });
    if (it == records_.end()) return;
    it->modified = currentTime();
    changedRecords_.insert(id);
}

void SheetStore::writeAll() {
    writeTexts();
    writeIndex();
    pending_.clear();
    changedRecords_.clear();
    deletedRecords_.clear();
}

// Every text before the index: the index never names a file that is not there, and a failed
// text write leaves it exactly as it was (modification dates included).
void SheetStore::writeTexts() {
    std::vector<QUuid> ids;
    for (const auto& [id, text] : pending_) ids.push_back(id);
    for (const QUuid& id : ids) reconcile(id);
    for (const auto& [id, text] : pending_) {
        const QByteArray bytes = text.toUtf8();
        writeFile(textPath(id), bytes);
        known_[id] = TextStamp(TextStamp::stat(textPath(id)), bytes);
    }
}

void SheetStore::writeIndex() { writeFile(indexPath(), encodeIndex(records_)); }

QDateTime SheetStore::currentTime() const {
    return QDateTime::fromMSecsSinceEpoch(clock_.millisecondsSinceEpoch(), Qt::UTC);
}

void SheetStore::delayedSave() {
    // Typing goes on while another process holds the lock: the save only tries it, and tries
    // again a little later until it lands.
    try {
        locked(std::chrono::milliseconds(0), [&] { writeAll(); });
    } catch (const StorageError&) {
        // locked() has set lastError, which is how a failed background write is reported.
    }
}

void SheetStore::writeFile(const QString& path, const QByteArray& bytes) {
    try {
        StoredFile::replace(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), bytes.size()),
                            0600, *device_);
    } catch (const StoredFileError& e) {
        throw StorageError(StorageError::Kind::file,
                           tr("Could not save %1: %2").arg(quoted(path), QString::fromStdString(e.reason())));
    }
}

void SheetStore::setLastError(std::optional<QString> error) {
    lastError_ = std::move(error);
    emit saveStateChanged(lastError_);
}

QString SheetStore::indexPath() const { return directory_ + QStringLiteral("/index.json"); }

QString SheetStore::textPath(const QUuid& id) const { return directory_ + u'/' + idText(id) + QStringLiteral(".txt"); }

QString SheetStore::idText(const QUuid& id) { return id.toString(QUuid::WithoutBraces).toUpper(); }

QByteArray SheetStore::encodeIndex(const std::vector<Record>& records) {
    JsonText json(/*escapeSlash=*/true);
    json.beginArray();
    for (const Record& r : records) {
        json.beginObject()
            .key("id")
            .string(idText(r.id).toStdString())
            .key("title")
            .string(r.title.toStdString())
            .key("created")
            .number(encodeDate(r.created))
            .key("modified")
            .number(encodeDate(r.modified))
            .key("order")
            .integer(r.order)
            .endObject();
    }
    json.endArray();
    return QByteArray::fromStdString(json.text());
}

std::vector<SheetStore::Record> SheetStore::decodeIndex(const QByteArray& bytes) {
    QJsonParseError error{};
    QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        throw damaged(QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset));
    }
    if (!document.isArray()) throw damaged(QStringLiteral("it is not a list of sheets"));

    std::vector<Record> records;
    const QJsonArray array = document.array();
    records.reserve(static_cast<std::size_t>(array.size()));
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString where = QStringLiteral("sheet %1").arg(i + 1);
        if (!array[i].isObject()) throw damaged(where + QStringLiteral(" is not an object"));
        QJsonObject object = array[i].toObject();
        auto member = [&](const char* key, bool (QJsonValue::*isType)() const, const char* type) {
            QJsonValue value = object.value(QLatin1String(key));
            if (value.isUndefined()) throw damaged(QStringLiteral("%1 has no \"%2\"").arg(where, QLatin1String(key)));
            if (!(value.*isType)())
                throw damaged(QStringLiteral("%1 has a \"%2\" that is not %3")
                                  .arg(where, QLatin1String(key), QLatin1String(type)));
            return value;
        };

        Record r;
        QString id = member("id", &QJsonValue::isString, "a string").toString();
        // Only the 8-4-4-4-12 form: QUuid would also take braces, and a null id for garbage.
        r.id = id.size() == 36 ? QUuid::fromString(id) : QUuid();
        if (r.id.isNull() && id != QStringLiteral("00000000-0000-0000-0000-000000000000"))
            throw damaged(QStringLiteral("%1 has an \"id\" that is not a UUID").arg(where));
        r.title = member("title", &QJsonValue::isString, "a string").toString();
        for (auto [key, field] : {std::pair{"created", &Record::created}, std::pair{"modified", &Record::modified}}) {
            double seconds = member(key, &QJsonValue::isDouble, "a number").toDouble();
            if (!std::isfinite(seconds) || std::fabs(seconds) > maxIndexDate)
                throw damaged(QStringLiteral("%1 has a \"%2\" that is not a date").arg(where, QLatin1String(key)));
            r.*field = decodeDate(seconds);
        }
        QJsonValue order = member("order", &QJsonValue::isDouble, "a number");
        qint64 integral = order.toInteger();
        if (static_cast<double>(integral) != order.toDouble())
            throw damaged(QStringLiteral("%1 has an \"order\" that is not an integer").arg(where));
        r.order = integral;
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace quibsum
